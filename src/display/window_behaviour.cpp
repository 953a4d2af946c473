#include "display/window_behaviour.h"

#include "measure/adapter_state.h"
#include "settings/settings.h"

#include <algorithm>

#include "display/display_view.h"

HitZone HitTest(int x, int y, int width, int height) {
    const int m = kSizingMargin;
    const bool left = x <= m;
    const bool right = x >= width - m;
    const bool top = y <= m;
    const bool bottom = y >= height - m;
    const bool mid_x = x >= m && x <= width - m;
    const bool mid_y = y >= m && y <= height - m;
    if (left && top) return HitZone::top_left;
    if (mid_x && top) return HitZone::top;
    if (right && top) return HitZone::top_right;
    if (left && mid_y) return HitZone::left;
    if (right && mid_y) return HitZone::right;
    if (left && bottom) return HitZone::bottom_left;
    if (right && bottom) return HitZone::bottom_right;
    if (mid_x && bottom) return HitZone::bottom;
    return HitZone::none;
}

PointerShape pointer_for(HitZone zone) {
    switch (zone) {
        case HitZone::top_left:
        case HitZone::bottom_right:
            return PointerShape::size_nwse;
        case HitZone::top_right:
        case HitZone::bottom_left:
            return PointerShape::size_nesw;
        case HitZone::left:
        case HitZone::right:
            return PointerShape::size_we;
        case HitZone::top:
        case HitZone::bottom:
            return PointerShape::size_ns;
        case HitZone::none:
            break;
    }
    return PointerShape::standard;
}

SizeLimits window_size_limits(const Settings& s, const WindowBehaviourState& w, bool title_bar_shown) {
    SizeLimits limits;
    if (w.min_track_height != -1) limits.min_height = w.min_track_height;
    if (w.max_track_height != -1) limits.max_height = w.max_track_height;
    const int frame = title_bar_shown ? w.frame_width : 0;
    const int per_sample = s.GraphType == 0 ? 2 : 1;
    limits.max_width = frame + per_sample * s.GraphBuffer - 1;
    // A locked width wider than the history would contradict the maximum; the maximum wins.
    if (s.LockedWidth != 0) limits.min_width = std::min<int>(s.LockedWidth, *limits.max_width);
    return limits;
}

TranslucencyPlan plan_translucency(Settings& s, int os_major_version) {
    TranslucencyPlan plan;
    if (os_major_version < 5) return plan;
    if (s.Transparency != 0) {
        plan.layered = true;
        plan.alpha = translucency_alpha(s.Transparency);
        if (s.TransBack != 0) {
            s.TransBack = 0;
            plan.trans_back_reset = true;
        }
    } else if (s.TransBack == 1) {
        plan.layered = true;
        plan.colour_key = true;
    }
    return plan;
}

namespace {

std::string adapter_named(const KeyAdapters& adapters, int n) {
    const auto i = static_cast<std::size_t>(n);
    if (i < adapters.names.size() && !adapters.names[i].empty()) return "adapter " + adapters.names[i];
    return n == 0 ? "all adapters" : "adapter " + std::to_string(n);
}

bool adapter_there(const KeyAdapters& adapters, int n) {
    const auto i = static_cast<std::size_t>(n);
    return n == 0 || i >= adapters.present.size() || adapters.present[i];
}

std::string seconds_text(int n) { return n == 1 ? "the last second" : "the last " + std::to_string(n) + " seconds"; }

}  // namespace

KeyOutcome apply_window_key(DisplayView state, WindowKeyPress press, int outer_width, const KeyAdapters& adapters) {
    Settings& s = state.settings;
    KeyOutcome out;
    switch (press.key) {
        case WindowKey::digit: {
            const int d = press.digit;
            // Digits pick a found adapter whose interface is there; 0 is the aggregate.
            if (d < 0 || d > 9) break;
            if (d > 0 && d > state.found_adapters) {
                out.note = "There is no adapter " + std::to_string(d);
                break;
            }
            if (!adapter_there(adapters, d)) {
                out.note = "The interface of " + adapter_named(adapters, d) + " is not present: still showing " +
                           adapter_named(adapters, s.Adapter);
                break;
            }
            out.note = "Showing " + adapter_named(adapters, d);
            // Custom items name their own adapters: the key changes the tray icon only.
            if (s.ShowAdvItems != 0) out.note += " in the tray icon; the custom items keep their adapters";
            if (s.Adapter == d) break;
            s.Adapter = d;
            out.save_settings = out.refresh_ip = out.run_cycle = true;
            break;
        }
        case WindowKey::keypad_plus:
        case WindowKey::keypad_minus: {
            const bool plus = press.key == WindowKey::keypad_plus;
            if (plus ? s.BandwidthCalc < kMaxAveraging : s.BandwidthCalc > 1) {
                s.BandwidthCalc = static_cast<std::uint8_t>(s.BandwidthCalc + (plus ? 1 : -1));
                out.save_settings = out.run_cycle = true;
            }
            out.note = "Rates are the average of " + seconds_text(s.BandwidthCalc);
            if (!out.handled()) out.note += plus ? " (at most 10)" : " (at least 1)";
            break;
        }
        case WindowKey::soft_graph:
            s.SoftGraph = s.SoftGraph != 0 ? 0 : 1;
            out.save_settings = out.run_cycle = true;
            out.note = s.SoftGraph != 0 ? "Soft graph lines on" : "Soft graph lines off";
            break;
        case WindowKey::lock_width:
            s.LockedWidth = s.LockedWidth != 0 ? 0 : outer_width;
            out.write_locked_width = true;
            out.note = s.LockedWidth != 0 ? "Width locked: the window is at least " + std::to_string(s.LockedWidth) +
                                                " pixels wide"
                                          : "Width free";
            break;
        case WindowKey::escape:
            out.minimise = true;
            break;
        case WindowKey::none:
            break;
    }
    return out;
}

bool SaveWindowPosition(Settings& s, bool minimised, int left, int top, int outer_width) {
    if (minimised) return false;
    s.WindowX = left;
    s.WindowY = top;
    s.WindowWidth = outer_width;
    return true;
}

int initial_position(std::int32_t saved, int screen_extent, int window_extent) {
    if (saved == kWindowPositionUnset) return (screen_extent - window_extent) / 2;
    return saved;
}

ScreenArea reachable_place(int x, int y, int w, int h, const std::vector<ScreenArea>& screens) {
    const ScreenArea kept{x, y, w, h};
    if (screens.empty()) return kept;
    const auto overlap = [](int a0, int a1, int b0, int b1) { return std::max(0, std::min(a1, b1) - std::max(a0, b0)); };
    // The screen holding most of the window; the first one when it lies on none.
    const ScreenArea* best = &screens.front();
    long long most = 0;
    for (const ScreenArea& s : screens) {
        const long long area = static_cast<long long>(overlap(x, x + w, s.x, s.x + s.width)) *
                               overlap(y, y + h, s.y, s.y + s.height);
        if (area > most) {
            most = area;
            best = &s;
        }
    }
    // Moved the shortest way into that screen; a window larger than it starts at its corner.
    const auto into = [](int pos, int extent, int start, int length) {
        return std::max(start, std::min(pos, start + length - extent));
    };
    return ScreenArea{into(x, w, best->x, best->width), into(y, h, best->y, best->height), w, h};
}
