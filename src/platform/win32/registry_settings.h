#pragma once

#include <optional>
#include <string>

#include "platform/settings_backend.h"

// The user's settings as string values (REG_SZ) under HKEY_CURRENT_USER\software\Kelvanto,
// named as the settings store names them ("Always on top", "Bandwidth Calc.", ...). Only
// the wide (UTF-16) registry calls are used, so any text reads back as it was written; a
// value of another type reads as absent. The key is made on the first write.
//
// The passwords (EmailPassword, LocalPassword, RemotePassword) live in the Windows
// Credential Manager instead; one that an earlier version left in the key moves there when
// it is first read and leaves the key.
class RegistrySettings : public SettingsBackend {
public:
    // `key` below HKEY_CURRENT_USER; tests give a key of their own.
    explicit RegistrySettings(std::string key = "software\\Kelvanto", std::string credential_prefix = "Kelvanto/");
    std::optional<std::string> read(const std::string& name) const override;
    void write(const std::string& name, const std::string& value) override;
    void remove(const std::string& name) override;
    std::string password_store() const override { return kPasswordsInSecretStore; }

    static bool is_password(const std::string& name);

private:
    std::optional<std::string> read_value(const std::string& name) const;
    std::string key_;
    std::string credential_prefix_;
};

// One string value under HKEY_CURRENT_USER\<key>: read, written (the key made when needed),
// removed. Writing and removing report whether they took.
std::optional<std::string> read_user_string(const std::string& key, const std::string& name);
bool write_user_string(const std::string& key, const std::string& name, const std::string& value);
bool remove_user_value(const std::string& key, const std::string& name);

// The autostart entry: the value "Kelvanto" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run, holding the quoted
// program path and " /minimized" when wanted (run_key_command).
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "Kelvanto";
bool write_run_entry(const std::string& command);
bool remove_run_entry();
