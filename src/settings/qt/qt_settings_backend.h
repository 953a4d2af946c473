#pragma once

#include <QSettings>
#include <map>

#include "settings/qt/secret_store.h"
#include "platform/settings_backend.h"

// The user's settings through QSettings in its native format: on Linux the file
// $XDG_CONFIG_HOME/Kelvanto/Kelvanto.conf with the values under [General]. Every value is
// written as a string; a value of any other type reads as absent. The file is kept private
// (mode 0600 in a folder of mode 0700): it holds mail addresses and host names.
//
// The passwords (EmailPassword, RemotePassword, LocalPassword) live in the desktop's secret
// store where one answers when they are first needed; a password an earlier version left in
// the file then moves into the store and leaves the file. Where no store answers (no session
// bus, a service without a login) they stay in the file.
class QtSettingsBackend : public SettingsBackend {
public:
    QtSettingsBackend();
    ~QtSettingsBackend() override;
    std::optional<std::string> read(const std::string& name) const override;
    void write(const std::string& name, const std::string& value) override;
    void remove(const std::string& name) override;
    void flush() override;
    std::string password_store() const override;

private:
    bool in_secret_store(const std::string& name) const;
    void choose_password_store() const;
    void store_secret(const std::string& name, const std::string& value) const;
    void secret_written(const std::string& name, const std::string& value, bool ok) const;
    void keep_private() const;

    QString file_;
    // The store and what it holds are settled on first use, also from a read.
    mutable QSettings settings_;
    mutable SecretStore secrets_;
    enum class Passwords { undecided, secret_store, settings_file };
    mutable Passwords passwords_ = Passwords::undecided;
    mutable std::map<std::string, std::string> secret_values_;
    mutable bool written_ = false;  // the file has been written (and made private) by this run
};

// The folder that holds "autostart/": $XDG_CONFIG_HOME, else ~/.config.
std::string user_config_folder();
