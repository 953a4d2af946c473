#pragma once

#include <filesystem>
#include <string>

#include "support/process.h"

// Certificates made with openssl for one test: an authority the test trusts ("ca.pem"), a
// server certificate for 127.0.0.1 signed by it, and one signed by an authority nobody trusts.
struct TestCertificates {
    std::string ca;
    std::string cert;
    std::string key{};
    std::string untrusted_cert;
    std::string untrusted_key;
    bool made = false;
};
TestCertificates make_test_certificates(const std::filesystem::path& dir);

struct SmtpPeerOptions {
    bool starttls = false;       // offers STARTTLS and refuses mail without it
    bool implicit_tls = false;   // TLS from the first byte
    bool auth = false;           // refuses mail without a login as "alerts" / kSmtpPeerPassword
    bool auth_in_clear = false;  // offers AUTH without TLS (a server that should not)
    bool login_only = false;     // offers AUTH LOGIN, not PLAIN
    bool esmtp = false;          // its greeting announces ESMTP
    bool stall = false;          // holds every mail at DATA until release_stall()
    bool drop_in_data = false;   // the first connection breaks off once the headers follow DATA
    std::string cert{};          // server certificate and key for TLS
    std::string key{};
};

inline constexpr const char* kSmtpPeerUser = "alerts";
inline constexpr const char* kSmtpPeerPassword = "s3cret pass";

// An aiosmtpd server on 127.0.0.1 (Debian's python3-aiosmtpd through /usr/bin/python3),
// reached through a proxy that records every byte the client sends as it travels ("wire").
// It stores each mail it accepts as mail<N>.eml with envelope<N>.txt ("<from> <to> tls=<yes|no>
// login=<user>"), notes every login attempt in auth.log ("<method> <user> <password>") and
// refuses recipients starting with "refuse". It stops with the object, and on its own after
// three minutes.
class SmtpPeer {
public:
    SmtpPeer(const std::filesystem::path& dir, const SmtpPeerOptions& options);
    ~SmtpPeer();
    SmtpPeer(const SmtpPeer&) = delete;
    SmtpPeer& operator=(const SmtpPeer&) = delete;

    bool ready() const { return port_ > 0; }
    int port() const { return port_; }
    // The server's output so far, for failure messages.
    std::string log() const;

    bool has_mail(int n) const;
    std::string mail(int n) const;
    std::string envelope(int n) const;
    int mail_count() const;
    std::string wire() const;      // every byte clients sent, as sent (encrypted where TLS was on)
    std::string auth_log() const;  // the logins the server saw (after decryption)
    void release_stall();

private:
    std::filesystem::path out_;
    ChildProcess process_;
    int port_ = 0;
};

// The whole content of a file ("" when it cannot be read).
std::string slurp_file(const std::filesystem::path& path);
