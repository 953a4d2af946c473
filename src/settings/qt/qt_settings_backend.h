#pragma once

#include <QSettings>

#include "settings/settings_backend.h"

// The user's settings through QSettings in its native format: on Linux the file
// $XDG_CONFIG_HOME/Kelvanto/Kelvanto.conf with the values under [General]. Every value is
// written as a string; a value of any other type reads as absent.
class QtSettingsBackend : public SettingsBackend {
public:
    QtSettingsBackend();
    std::optional<std::string> read(const std::string& name) const override;
    void write(const std::string& name, const std::string& value) override;
    void remove(const std::string& name) override;
    void flush() override;

private:
    QSettings settings_;
};

// The desktop palette's dark and light colours (packed RGB), nothing without a desktop.
std::optional<std::uint32_t> desktop_dark_colour();
std::optional<std::uint32_t> desktop_light_colour();

// The folder that holds "autostart/": $XDG_CONFIG_HOME, else ~/.config.
std::string user_config_folder();
