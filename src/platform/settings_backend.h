#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

// The options dialog's line that says where the passwords are kept.
inline constexpr const char* kPasswordsInSecretStore = "Passwords are kept in the desktop's secret store.";
inline constexpr const char* kPasswordsInSettingsFile = "Passwords are kept in the settings file, readable only by you.";

// Where the settings are stored: named values, every one written as a string.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // The value's text up to its first NUL, or nothing when the value is absent or is not a
    // string.
    virtual std::optional<std::string> read(const std::string& name) const = 0;
    // Failures are not reported: a value that cannot be written is simply not stored.
    virtual void write(const std::string& name, const std::string& value) = 0;
    virtual void remove(const std::string& name) = 0;
    // Puts what was written so far on disk.
    virtual void flush() {}
    // Which store holds the passwords: kPasswordsInSecretStore or kPasswordsInSettingsFile.
    virtual std::string password_store() const { return kPasswordsInSettingsFile; }
};

// Settings held in memory: for tests, and for runs that must not touch the user's settings.
class MemorySettings : public SettingsBackend {
public:
    std::map<std::string, std::string> values;
    std::set<std::string> other_type;  // names holding a value that is not a string
    int write_count = 0;

    std::optional<std::string> read(const std::string& name) const override {
        if (other_type.count(name) != 0) return std::nullopt;
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second.substr(0, it->second.find('\0'));
    }
    void write(const std::string& name, const std::string& value) override {
        ++write_count;
        other_type.erase(name);
        values[name] = value;
    }
    void remove(const std::string& name) override {
        other_type.erase(name);
        values.erase(name);
    }
};
