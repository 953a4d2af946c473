#include "platform/win32/schannel_tls.h"

#define SECURITY_WIN32
#include <windows.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>

#include <cstddef>

#include "platform/win32/win32_text.h"

struct SchannelTls::Handles {
    CredHandle credentials = {};
    CtxtHandle context = {};
    bool have_credentials = false;
    bool have_context = false;
    SecPkgContext_StreamSizes sizes = {};
};

namespace {

constexpr unsigned long kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                   ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR |
                                   ISC_REQ_MANUAL_CRED_VALIDATION;

void take_token(SecBuffer& token, std::string& send) {
    if (token.pvBuffer != nullptr && token.cbBuffer > 0)
        send.append(static_cast<const char*>(token.pvBuffer), token.cbBuffer);
    if (token.pvBuffer != nullptr) ::FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
}

}  // namespace

SchannelTls::SchannelTls(std::string host) : host_(widen(host)), h_(std::make_unique<Handles>()) {}

SchannelTls::~SchannelTls() {
    if (h_->have_context) ::DeleteSecurityContext(&h_->context);
    if (h_->have_credentials) ::FreeCredentialsHandle(&h_->credentials);
}

void SchannelTls::fail(Step& step, const std::string& reason) {
    state_ = State::failed;
    step.state = state_;
    step.reason = reason;
}

SchannelTls::Step SchannelTls::start() {
    Step step;
    SCHANNEL_CRED cred = {};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    // The certificate is checked here, after the handshake, the same way everywhere.
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    TimeStamp expiry;
    const SECURITY_STATUS got = ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                                            SECPKG_CRED_OUTBOUND, nullptr, &cred, nullptr, nullptr,
                                                            &h_->credentials, &expiry);
    if (got != SEC_E_OK) {
        fail(step, "this system offers no TLS (" + system_error_text(static_cast<unsigned long>(got)) + ")");
        return step;
    }
    h_->have_credentials = true;
    SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc out_desc = {SECBUFFER_VERSION, 1, &out};
    unsigned long attributes = 0;
    const SECURITY_STATUS s =
        ::InitializeSecurityContextW(&h_->credentials, nullptr, host_.data(), kRequest, 0, 0, nullptr, 0,
                                     &h_->context, &out_desc, &attributes, &expiry);
    if (s != SEC_I_CONTINUE_NEEDED && s != SEC_E_OK) {
        take_token(out, step.send);
        fail(step, system_error_text(static_cast<unsigned long>(s)));
        return step;
    }
    h_->have_context = true;
    take_token(out, step.send);
    return step;
}

SchannelTls::Step SchannelTls::feed(std::string_view bytes) {
    Step step;
    received_.append(bytes);
    if (state_ == State::handshaking) handshake(step);
    if (state_ == State::ready) decrypt(step);
    step.state = state_;
    return step;
}

void SchannelTls::handshake(Step& step) {
    while (state_ == State::handshaking && !received_.empty()) {
        SecBuffer in[2] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_TOKEN, received_.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc in_desc = {SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc out_desc = {SECBUFFER_VERSION, 1, out};
        unsigned long attributes = 0;
        TimeStamp expiry;
        const SECURITY_STATUS s = ::InitializeSecurityContextW(&h_->credentials, &h_->context, host_.data(), kRequest,
                                                               0, 0, &in_desc, 0, nullptr, &out_desc, &attributes,
                                                               &expiry);
        if (s == SEC_E_INCOMPLETE_MESSAGE) return;  // the rest of the record is on its way
        take_token(out[0], step.send);
        if (s != SEC_E_OK && s != SEC_I_CONTINUE_NEEDED) {
            fail(step, system_error_text(static_cast<unsigned long>(s)));
            return;
        }
        // What the call did not use belongs to the next message.
        received_ = in[1].BufferType == SECBUFFER_EXTRA ? received_.substr(received_.size() - in[1].cbBuffer)
                                                         : std::string();
        if (s == SEC_E_OK) {
            const std::string why = check_certificate();
            if (!why.empty()) {
                fail(step, why);
                return;
            }
            ::QueryContextAttributesW(&h_->context, SECPKG_ATTR_STREAM_SIZES, &h_->sizes);
            state_ = State::ready;
        }
    }
}

std::string SchannelTls::check_certificate() {
    PCCERT_CONTEXT certificate = nullptr;
    if (::QueryContextAttributesW(&h_->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
        certificate == nullptr)
        return "the server sent no certificate";
    char server_auth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {server_auth};
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    std::string why;
    // A chain engine of its own reads the authorities as they are now, so one the user
    // trusted while the program runs counts at the next mail.
    // The size of the Windows 7 layout, which every version (Wine too) takes.
    CERT_CHAIN_ENGINE_CONFIG config = {};
    config.cbSize = offsetof(CERT_CHAIN_ENGINE_CONFIG, hExclusiveRoot);
    HCERTCHAINENGINE engine = nullptr;
    if (!::CertCreateCertificateChainEngine(&config, &engine)) engine = nullptr;
    if (!::CertGetCertificateChain(engine, certificate, nullptr, certificate->hCertStore, &para, 0, nullptr, &chain)) {
        why = system_error_text(::GetLastError());
    } else {
        SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
        ssl.cbSize = sizeof ssl;
        ssl.dwAuthType = AUTHTYPE_SERVER;
        ssl.pwszServerName = host_.data();
        CERT_CHAIN_POLICY_PARA policy = {};
        policy.cbSize = sizeof policy;
        policy.pvExtraPolicyPara = &ssl;
        CERT_CHAIN_POLICY_STATUS status = {};
        status.cbSize = sizeof status;
        if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status))
            why = system_error_text(::GetLastError());
        else if (status.dwError != 0)
            why = "its certificate is not trusted (" + system_error_text(status.dwError) + ")";
        ::CertFreeCertificateChain(chain);
    }
    if (engine != nullptr) ::CertFreeCertificateChainEngine(engine);
    ::CertFreeCertificateContext(certificate);
    return why;
}

void SchannelTls::decrypt(Step& step) {
    while (state_ == State::ready && !received_.empty()) {
        SecBuffer b[4] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_DATA, received_.data()},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, b};
        const SECURITY_STATUS s = ::DecryptMessage(&h_->context, &desc, 0, nullptr);
        if (s == SEC_E_INCOMPLETE_MESSAGE) return;
        if (s == SEC_I_CONTEXT_EXPIRED) {
            state_ = State::closed;  // the peer's close_notify
            received_.clear();
            return;
        }
        if (s != SEC_E_OK && s != SEC_I_RENEGOTIATE) {
            fail(step, system_error_text(static_cast<unsigned long>(s)));
            return;
        }
        std::string extra;
        for (const SecBuffer& x : b) {
            if (x.BufferType == SECBUFFER_DATA && x.cbBuffer > 0)
                step.plain.append(static_cast<const char*>(x.pvBuffer), x.cbBuffer);
            if (x.BufferType == SECBUFFER_EXTRA && x.cbBuffer > 0)
                extra.assign(static_cast<const char*>(x.pvBuffer), x.cbBuffer);
        }
        received_ = std::move(extra);
        if (s == SEC_I_RENEGOTIATE) {
            // The server's post-handshake messages (TLS 1.3 tickets): the handshake takes them.
            state_ = State::handshaking;
            handshake(step);
        }
    }
}

std::string SchannelTls::encrypt(std::string_view plain) {
    if (state_ != State::ready) return {};
    const SecPkgContext_StreamSizes& z = h_->sizes;
    std::string wire;
    while (!plain.empty()) {
        const std::size_t n = plain.size() < z.cbMaximumMessage ? plain.size() : z.cbMaximumMessage;
        std::string record(z.cbHeader + n + z.cbTrailer, '\0');
        record.replace(z.cbHeader, n, plain.substr(0, n));
        SecBuffer b[4] = {{z.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
                          {static_cast<unsigned long>(n), SECBUFFER_DATA, record.data() + z.cbHeader},
                          {z.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + z.cbHeader + n},
                          {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, b};
        if (::EncryptMessage(&h_->context, 0, &desc, 0) != SEC_E_OK) return {};
        wire.append(record.data(), b[0].cbBuffer + b[1].cbBuffer + b[2].cbBuffer);
        plain.remove_prefix(n);
    }
    return wire;
}
