#include "platform/win32/credentials.h"

#include <windows.h>
#include <wincred.h>

#include "platform/win32/win32_text.h"

std::optional<std::string> read_credential(const std::string& target) {
    CREDENTIALW* found = nullptr;
    if (!::CredReadW(widen(target).c_str(), CRED_TYPE_GENERIC, 0, &found)) return std::nullopt;
    std::string secret(reinterpret_cast<const char*>(found->CredentialBlob), found->CredentialBlobSize);
    ::SecureZeroMemory(found->CredentialBlob, found->CredentialBlobSize);
    ::CredFree(found);
    return secret;
}

bool write_credential(const std::string& target, const std::string& secret) {
    std::wstring name = widen(target);
    std::wstring user = L"Kelvanto";
    CREDENTIALW c = {};
    c.Type = CRED_TYPE_GENERIC;
    c.TargetName = name.data();
    c.CredentialBlobSize = static_cast<DWORD>(secret.size());
    c.CredentialBlob = reinterpret_cast<BYTE*>(const_cast<char*>(secret.data()));
    c.Persist = CRED_PERSIST_LOCAL_MACHINE;
    c.UserName = user.data();
    return ::CredWriteW(&c, 0) != FALSE;
}

bool remove_credential(const std::string& target) {
    return ::CredDeleteW(widen(target).c_str(), CRED_TYPE_GENERIC, 0) != FALSE || ::GetLastError() == ERROR_NOT_FOUND;
}
