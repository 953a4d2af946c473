#pragma once

#include <cstdint>
#include <string>

#include "platform/window_info.h"
#include "settings/program_places.h"
#include "settings/settings.h"
#include "platform/services.h"
#include "platform/settings_backend.h"
#include "platform/settings_hooks.h"

// What loading and saving the settings change (the settings, the autostart choice as stored)
// and read: where the program runs from, the adapters found (the default adapter), the window.
struct SettingsView {
    Settings& settings;
    ProgramPlaces& places;
    const int& found_adapters;
    const WindowInfo& window;
};

// Reads a number: the stored text as a 32-bit integer, or `default_value` when the value is
// absent, not a number or outside min..max (inclusive). A default outside the range is still
// returned; the window positions use that to mean "not set".
std::int32_t read_number(const SettingsBackend& store, const std::string& name, std::int32_t min, std::int32_t max,
                         std::int32_t default_value);
// As read_number without a range.
std::int32_t read_number_unchecked(const SettingsBackend& store, const std::string& name, std::int32_t default_value);
// The stored text, or "" when absent.
std::string read_string(const SettingsBackend& store, const std::string& name);
// Stores one value at once, as a string.
void write_value(SettingsBackend& store, const std::string& name, const std::string& value);
void write_value(SettingsBackend& store, const std::string& name, std::int64_t value);
// Stores the one setting of that value name at once from its in-memory field; false when
// no stored setting has that name.
bool write_single_setting(SettingsBackend& store, Settings& settings, const std::string& name);

// Reads the one setting of that value name into its in-memory field, with its range and
// default, leaving the store as it is; false when no stored setting has that name.
bool read_single_setting(const SettingsBackend& store, Settings& settings, const std::string& name,
                         int found_adapters, double today);

// Reads every setting in its order with its range and default, applies the dependent rules
// (adapter default, connection types, colour preset, translucency, older item layout) and
// writes the complete, normalised set back through save_settings. The store and the window
// hooks come from `services`; without a store every setting takes its default.
void load_settings(SettingsView state, Services& services);
// Writes every setting, then: the autostart entry, the overview items, and the window style
// and display list through the hooks.
void save_settings(SettingsView state, Services& services);

// The desktop's dark and light frame colours (ButtonShadow, ButtonHilight), or their
// defaults where the desktop has none; read at load and again by the timed colour jobs.
void read_desktop_colours(Settings& settings, SettingsHooks& hooks);
// Makes the window translucent when Transparency is above 0 (alpha 255 - 2.55 x percent),
// else switches the see-through background after TransBack.
void apply_translucency(const Settings& settings, SettingsHooks& hooks);
