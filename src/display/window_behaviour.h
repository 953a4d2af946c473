#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display/display_view.h"
#include "settings/settings.h"
#include "settings/translucency.h"


// Main-window state kept in memory for its whole life.
struct WindowBehaviourState {
    std::uint8_t frame_width = 0;   // outer width minus client width while the title bar shows
    std::uint8_t frame_height = 0;  // outer height minus client height while the title bar shows
    std::int32_t min_track_height = -1;  // outer pixels, -1 when not set
    std::int32_t max_track_height = -1;
    bool layered = false;  // the translucent (layered) style is applied
};

// Zones for sizing a window without a frame; the values are the hit codes of the edges.
enum class HitZone : int {
    none = 0,
    left = 10,
    right = 11,
    top = 12,
    top_left = 13,
    top_right = 14,
    bottom = 15,
    bottom_left = 16,
    bottom_right = 17,
};

enum class PointerShape { standard, size_nwse, size_nesw, size_we, size_ns };

inline constexpr int kSizingMargin = 8;

// The sizing zone under client position (x, y) of a client area width x height; the first
// matching zone wins, corners before edges.
HitZone HitTest(int x, int y, int width, int height);
PointerShape pointer_for(HitZone zone);

// Size limits of the main window in outer pixels; an empty limit keeps the system's value.
struct SizeLimits {
    std::optional<int> min_width;
    std::optional<int> max_width;
    std::optional<int> min_height;
    std::optional<int> max_height;
};
// The window is never wider than the graph history (two pixels per sample for the line
// graph, one for the bar graph) and never narrower than LockedWidth when that is set.
SizeLimits window_size_limits(const Settings& s, const WindowBehaviourState& w, bool title_bar_shown);


// What the window gets at settings load.
struct TranslucencyPlan {
    bool layered = false;
    std::optional<std::uint8_t> alpha;  // whole-window alpha when translucent
    bool colour_key = false;            // the Background colour becomes fully transparent
    bool trans_back_reset = false;      // TransBack was forced to 0 and must be written
};
// Translucency and see-through background exclude each other: a translucent window resets a
// stored TransBack. Systems before major version 5 get neither.
TranslucencyPlan plan_translucency(Settings& s, int os_major_version);

// Keys the main window reacts to.
enum class WindowKey { none, digit, keypad_plus, keypad_minus, soft_graph, lock_width, escape };
struct WindowKeyPress {
    WindowKey key = WindowKey::none;
    int digit = 0;  // 0..9 for WindowKey::digit
};
// What the window must do after a key changed the state.
struct KeyOutcome {
    bool save_settings = false;       // save every setting
    bool refresh_ip = false;          // refresh the monitored adapter's IP text
    bool run_cycle = false;           // run the update cycle at once with redraw
    bool write_locked_width = false;  // write LockedWidth at once
    bool minimise = false;
    std::string note;                 // what changed, or why nothing did, to show on screen
    bool handled() const { return save_settings || refresh_ip || run_cycle || write_locked_width || minimise; }
};
// What the digit keys know of the adapters: for adapters 0..N the name the lists show
// ("2 - eth0") and whether the interface is there now. Without it every found adapter counts
// as there, named by its number.
struct KeyAdapters {
    std::vector<std::string> names;
    std::vector<bool> present;
};
// A digit picks a found adapter whose interface is there (0 the aggregate); S, L and keypad
// + and - switch as their notes say; Escape hides the window.
KeyOutcome apply_window_key(DisplayView state, WindowKeyPress press, int outer_width, const KeyAdapters& adapters = {});

// Keeps the window's left, top and outer width in the settings unless it is minimised;
// returns whether anything was taken (the caller writes the three values at once).
bool SaveWindowPosition(Settings& s, bool minimised, int left, int top, int outer_width);

// First-start placement: a position of 9999999 centres the window on the screen.
int initial_position(std::int32_t saved, int screen_extent, int window_extent);

// A rectangle of the desktop in pixels.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// Where a window of w x h pixels placed at (x, y) starts: where it is when it lies wholly on
// a screen; otherwise (saved on a screen that has gone, or that is smaller now, for example
// scaled) moved the shortest way into the screen that holds most of it, or into the first
// screen when none does.
ScreenArea reachable_place(int x, int y, int w, int h, const std::vector<ScreenArea>& screens);
