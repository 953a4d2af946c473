#pragma once

#include <cstdint>
#include <optional>

// Calls from the settings load and save out to the windows. Every hook does nothing by
// default; the main window fills in what it supports.
class SettingsHooks {
public:
    virtual ~SettingsHooks() = default;
    // "Transparency" above 0: make the main window translucent with this alpha (0..255).
    virtual void set_translucent(int /*alpha*/) {}
    // "Transparency" 0: switch the see-through background (colour key "Background") on or off.
    virtual void set_transparent_background(bool /*on*/) {}
    // The desktop's dark and light frame colours (packed RGB), nothing when there is no desktop.
    virtual std::optional<std::uint32_t> button_shadow_colour() { return std::nullopt; }
    virtual std::optional<std::uint32_t> button_hilight_colour() { return std::nullopt; }
    // The main window's inner width exceeds the graph length: narrow it so its resize
    // handling brings it within the graph.
    virtual void shrink_to_graph() {}
    // Re-apply the window frame style and the always-on-top state.
    virtual void apply_window_style() {}
    // Rebuild the list of overview lines the main window draws.
    virtual void rebuild_display_list() {}
    // Every setting has just been written: services that follow the stored settings (the
    // metrics endpoint) take them up.
    virtual void settings_saved() {}
};
