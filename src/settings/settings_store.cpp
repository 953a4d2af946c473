#include "settings/settings_store.h"

#include <algorithm>
#include <cmath>

#include "settings/adapter_slots.h"
#include "settings/autostart.h"
#include "settings/colour_presets.h"
#include "settings/connection_types.h"
#include "settings/date_text.h"
#include "settings/number_text.h"
#include "settings/settings_table.h"
#include "settings/translucency.h"

namespace {

constexpr std::array<const char*, 5> kItemFields{"Name", "Enabled", "Type", "Period", "Adapter"};
constexpr std::int32_t kLargestItemCount = 255;
constexpr int kLegacyCustomType = 18;

// Everything a load or save works through; a missing store or hooks object is replaced by
// one that stores nothing and does nothing.
struct SettingsIo {
    MemorySettings scratch;
    SettingsHooks no_hooks;
    SettingsBackend& store;
    SettingsHooks& hooks;

    explicit SettingsIo(Services& services)
        : store(services.settings_store ? *services.settings_store : scratch),
          hooks(services.settings_hooks ? *services.settings_hooks : no_hooks) {}
};

void assign(const SettingField& field, std::int32_t value) {
    if (auto* p = std::get_if<std::uint8_t*>(&field)) **p = static_cast<std::uint8_t>(value);
    else if (auto* q = std::get_if<std::int32_t*>(&field)) **q = value;
    else if (auto* d = std::get_if<double*>(&field)) **d = value;
}

std::int32_t number_of(const SettingField& field) {
    if (auto* p = std::get_if<std::uint8_t*>(&field)) return **p;
    if (auto* q = std::get_if<std::int32_t*>(&field)) return **q;
    if (auto* d = std::get_if<double*>(&field)) return static_cast<std::int32_t>(std::floor(**d));
    return 0;
}

void read_setting(const SettingsBackend& store, const SettingDef& d, int found_adapters, double today) {
    switch (d.kind) {
    case SettingKind::number:
        assign(d.field, read_number(store, d.name, d.min, d.max, d.default_number));
        break;
    case SettingKind::unchecked:
        assign(d.field, read_number_unchecked(store, d.name, d.default_number));
        break;
    case SettingKind::decimal: {
        const std::optional<double> v = parse_decimal(read_string(store, d.name));
        *std::get<double*>(d.field) = v && *v >= d.min && *v <= d.max ? *v : d.default_number;
        break;
    }
    case SettingKind::adapter:
        // Any adapter number is kept, also one whose adapter is absent now: it takes effect
        // when the adapter appears. Only a missing or impossible value takes the default.
        assign(d.field, read_number(store, d.name, 0, kMaxAdapters, found_adapters < 2 ? 1 : 2));
        break;
    case SettingKind::day_number:
        assign(d.field, read_number(store, d.name, d.min, d.max, static_cast<std::int32_t>(std::floor(today))));
        break;
    case SettingKind::text:
    case SettingKind::text_or_default: {
        std::string text = read_string(store, d.name);
        if (text.empty() && d.kind == SettingKind::text_or_default) text = d.default_text;
        *std::get<std::string*>(d.field) = std::move(text);
        break;
    }
    case SettingKind::date_time:
        *std::get<std::optional<double>*>(d.field) = parse_date_time(read_string(store, d.name));
        break;
    }
}

void write_setting(SettingsBackend& store, const SettingDef& d) {
    switch (d.kind) {
    case SettingKind::text:
    case SettingKind::text_or_default:
        store.write(d.name, *std::get<std::string*>(d.field));
        break;
    case SettingKind::date_time:
        if (const auto& when = *std::get<std::optional<double>*>(d.field)) store.write(d.name, format_date_time(*when));
        break;
    case SettingKind::decimal:
        store.write(d.name, decimal_text(*std::get<double*>(d.field)));
        break;
    default:
        store.write(d.name, std::to_string(number_of(d.field)));
        break;
    }
}

// Download speed from the connection type. Type 18 once was the custom type: with a custom
// speed stored it still moves to today's custom type.
void apply_downstream_speed(Settings& s) {
    if (s.ConnectionType != kCustomConnection && s.ConnectionType < kConnectionTypes)
        s.ConnectionSpeed = kConnectionKbps[s.ConnectionType];
    if (s.ConnectionType == kLegacyCustomType && s.ConnectionCustom >= 1) s.ConnectionType = kCustomConnection;
    if (s.ConnectionType == kCustomConnection) s.ConnectionSpeed = s.ConnectionCustom;
}

void apply_upstream_speed(Settings& s) {
    if (s.ConnectionTypeUp == kCustomConnectionUp) s.ConnectionSpeedUp = std::max(s.ConnectionCustomUp, 1);
    else if (s.ConnectionTypeUp == 0) s.ConnectionSpeedUp = s.ConnectionSpeed;
}

void apply_window_transparency(Settings& s, SettingsIo& io) {
    read_desktop_colours(s, io.hooks);
    if (s.Transparency > 0) {
        s.TransBack = 0;
        write_value(io.store, "TransBack", 0);
    }
    apply_translucency(s, io.hooks);
}

// Older versions kept the item count in "FormItems" and used "AdvItems" as the show flag.
void load_overview_items(Settings& s, const SettingsBackend& store) {
    if (s.FormItems != 0) {
        if (s.AdvItems == 1) s.ShowAdvItems = 1;
        s.AdvItems = std::min(s.FormItems, kLargestItemCount);
        s.FormItems = 0;
    }
    s.custom_items.assign(static_cast<std::size_t>(s.AdvItems), FormItem{});
    for (int i = 1; i <= s.AdvItems; ++i) {
        FormItem& item = s.custom_items[static_cast<std::size_t>(i - 1)];
        const auto byte = [&](const char* field) {
            return static_cast<std::uint8_t>(read_number(store, form_item_value_name(i, field), 0, 255, 0));
        };
        item.Name = read_string(store, form_item_value_name(i, "Name"));
        item.Enabled = byte("Enabled");
        item.Type = byte("Type");
        item.Period = byte("Period");
        item.Adapter = byte("Adapter");
    }
}

void save_overview_items(const Settings& s, SettingsBackend& store) {
    for (int i = 1; i <= s.AdvItems; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        const FormItem item = k < s.custom_items.size() ? s.custom_items[k] : FormItem{};
        const std::array<std::string, 5> values{item.Name, std::to_string(item.Enabled), std::to_string(item.Type),
                                                std::to_string(item.Period), std::to_string(item.Adapter)};
        for (std::size_t f = 0; f < kItemFields.size(); ++f)
            store.write(form_item_value_name(i, kItemFields[f]), values[f]);
    }
}

void apply_after_read(AfterRead rule, SettingsView state, SettingsIo& io) {
    Settings& s = state.settings;
    switch (rule) {
    case AfterRead::none: break;
    case AfterRead::colour_preset: load_current_preset(s, state.places.data_dir); break;
    case AfterRead::downstream_speed: apply_downstream_speed(s); break;
    case AfterRead::upstream_speed: apply_upstream_speed(s); break;
    case AfterRead::window_transparency: apply_window_transparency(s, io); break;
    case AfterRead::overview_items: load_overview_items(s, io.store); break;
    }
}

void remember_autostart_choice(SettingsView state) {
    state.places.autostart_as_stored = state.settings.Autostart;
    state.places.autostart_minimized_as_stored = state.settings.AutoStartMinimized;
}

// The autostart entry follows the setting. A program started from a build folder leaves it
// alone until the user changes the choice: then it names that program. So a clone neither
// adds a login item that breaks when it is deleted nor takes over an installed copy's entry.
void update_autostart(SettingsView state) {
    if (state.places.config_dir.empty() || state.places.program_path.empty()) return;
    const bool changed = state.settings.Autostart != state.places.autostart_as_stored ||
                         state.settings.AutoStartMinimized != state.places.autostart_minimized_as_stored;
    remember_autostart_choice(state);
    if (state.places.program_in_build_folder && !changed) return;
    if (state.settings.Autostart == 1)
        write_autostart_entry(state.places.config_dir,
                              autostart_command(state.places.program_path, state.settings.AutoStartMinimized == 1));
    else
        remove_autostart_entry(state.places.config_dir);
}

}  // namespace

std::int32_t read_number(const SettingsBackend& store, const std::string& name, std::int32_t min, std::int32_t max,
                         std::int32_t default_value) {
    const auto text = store.read(name);
    if (!text) return default_value;
    const auto value = parse_int32(*text);
    return value && *value >= min && *value <= max ? *value : default_value;
}

std::int32_t read_number_unchecked(const SettingsBackend& store, const std::string& name, std::int32_t default_value) {
    const auto text = store.read(name);
    if (!text) return default_value;
    return parse_int32(*text).value_or(default_value);
}

std::string read_string(const SettingsBackend& store, const std::string& name) { return store.read(name).value_or(""); }

void write_value(SettingsBackend& store, const std::string& name, const std::string& value) {
    store.write(name, value);
    store.flush();
}

void write_value(SettingsBackend& store, const std::string& name, std::int64_t value) {
    write_value(store, name, std::to_string(value));
}

bool write_single_setting(SettingsBackend& store, Settings& settings, const std::string& name) {
    for (const SettingDef& d : settings_table(settings)) {
        if (d.name != name) continue;
        write_setting(store, d);
        store.flush();
        return true;
    }
    return false;
}

bool read_single_setting(const SettingsBackend& store, Settings& settings, const std::string& name,
                         int found_adapters, double today) {
    for (const SettingDef& d : settings_table(settings)) {
        if (d.name != name) continue;
        read_setting(store, d, found_adapters, today);
        return true;
    }
    return false;
}

void load_settings(SettingsView state, Services& services) {
    SettingsIo io(services);
    const double today = services.clock.now();
    for (const SettingDef& d : settings_table(state.settings)) {
        read_setting(io.store, d, state.found_adapters, today);
        apply_after_read(d.after, state, io);
    }
    // From a build folder the program starts with the session only when asked to.
    if (state.places.program_in_build_folder)
        state.settings.Autostart = static_cast<std::uint8_t>(read_number(io.store, "Autostart", 0, 1, 0));
    remember_autostart_choice(state);
    state.settings.graph_length = state.settings.GraphBuffer;
    save_settings(state, services);
}

void save_settings(SettingsView state, Services& services) {
    SettingsIo io(services);
    Settings& s = state.settings;
    for (const SettingDef& d : settings_table(s)) write_setting(io.store, d);
    update_autostart(state);
    save_overview_items(s, io.store);
    io.store.flush();
    if (!state.window.minimized && state.window.client_width > s.graph_length) io.hooks.shrink_to_graph();
    io.hooks.apply_window_style();
    io.hooks.rebuild_display_list();
    io.hooks.settings_saved();
}

void read_desktop_colours(Settings& settings, SettingsHooks& hooks) {
    settings.ButtonShadow = hooks.button_shadow_colour().value_or(rgb(128, 128, 128));
    settings.ButtonHilight = hooks.button_hilight_colour().value_or(rgb(255, 255, 255));
}

void apply_translucency(const Settings& settings, SettingsHooks& hooks) {
    if (settings.Transparency > 0) hooks.set_translucent(translucency_alpha(settings.Transparency));
    else hooks.set_transparent_background(settings.TransBack == 1);
}
