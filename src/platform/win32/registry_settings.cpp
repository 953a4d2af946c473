#include "platform/win32/registry_settings.h"

#include <windows.h>

#include "platform/win32/credentials.h"
#include "platform/win32/win32_text.h"

std::optional<std::string> read_user_string(const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring value_name = widen(name);
    std::optional<std::string> result;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(handle, value_name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (::RegQueryValueExW(handle, value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                               &size) == ERROR_SUCCESS &&
            type == REG_SZ) {
            // The text up to its first NUL (a stored terminator or one inside the value).
            text.resize(size / sizeof(wchar_t));
            result = narrow(text.substr(0, text.find(L'\0')));
        }
    }
    ::RegCloseKey(handle);
    return result;
}

bool write_user_string(const std::string& key, const std::string& name, const std::string& value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring text = widen(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const bool ok = ::RegSetValueExW(handle, widen(name).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
    ::RegCloseKey(handle);
    return ok;
}

bool remove_user_value(const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    const LSTATUS open = ::RegOpenKeyExW(HKEY_CURRENT_USER, widen(key).c_str(), 0, KEY_SET_VALUE, &handle);
    if (open == ERROR_FILE_NOT_FOUND) return true;
    if (open != ERROR_SUCCESS) return false;
    const LSTATUS r = ::RegDeleteValueW(handle, widen(name).c_str());
    ::RegCloseKey(handle);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

bool write_run_entry(const std::string& command) {
    if (read_user_string(kRunKey, kRunValue) == command) return true;
    return write_user_string(kRunKey, kRunValue, command);
}

bool remove_run_entry() { return remove_user_value(kRunKey, kRunValue); }

RegistrySettings::RegistrySettings(std::string key, std::string credential_prefix)
    : key_(std::move(key)), credential_prefix_(std::move(credential_prefix)) {}

bool RegistrySettings::is_password(const std::string& name) {
    return name == "EmailPassword" || name == "LocalPassword" || name == "RemotePassword";
}

std::optional<std::string> RegistrySettings::read(const std::string& name) const {
    if (!is_password(name)) return read_user_string(key_, name);
    if (std::optional<std::string> secret = read_credential(credential_prefix_ + name)) return secret;
    // A password of an earlier version, still in the key: into the Credential Manager with it.
    std::optional<std::string> old = read_user_string(key_, name);
    if (old && write_credential(credential_prefix_ + name, *old)) remove_user_value(key_, name);
    return old;
}

void RegistrySettings::write(const std::string& name, const std::string& value) {
    if (!is_password(name)) {
        write_user_string(key_, name, value);
        return;
    }
    // An empty password is no entry at all.
    if (value.empty() ? remove_credential(credential_prefix_ + name)
                      : write_credential(credential_prefix_ + name, value))
        remove_user_value(key_, name);
}

void RegistrySettings::remove(const std::string& name) {
    if (is_password(name)) remove_credential(credential_prefix_ + name);
    remove_user_value(key_, name);
}
