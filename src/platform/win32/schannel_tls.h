#pragma once

#include <memory>
#include <string>
#include <string_view>

// A TLS client session through Schannel (SSPI), for a connection the caller owns: bytes from
// the wire go in, bytes for the wire and the decrypted bytes come out. The server's
// certificate chain is checked against the system's trusted authorities and the host name
// connected to (CertVerifyCertificateChainPolicy with the SSL policy) once the handshake
// completes; a certificate that fails is a failed handshake with the system's reason.
class SchannelTls {
public:
    enum class State { handshaking, ready, failed, closed };
    struct Step {
        std::string send;   // bytes to put on the wire now
        std::string plain;  // bytes the peer sent, decrypted
        State state = State::handshaking;
        std::string reason;  // why it failed
    };

    explicit SchannelTls(std::string host);
    ~SchannelTls();
    SchannelTls(const SchannelTls&) = delete;
    SchannelTls& operator=(const SchannelTls&) = delete;

    // The client's first handshake message.
    Step start();
    // Bytes that arrived from the peer.
    Step feed(std::string_view bytes);
    // `plain` as TLS records for the wire; empty when the session is not up.
    std::string encrypt(std::string_view plain);
    State state() const { return state_; }

private:
    struct Handles;
    void handshake(Step& step);
    void decrypt(Step& step);
    void fail(Step& step, const std::string& reason);
    std::string check_certificate();

    std::wstring host_;
    std::unique_ptr<Handles> h_;
    std::string received_;  // wire bytes not used yet
    State state_ = State::handshaking;
};
