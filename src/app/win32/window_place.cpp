// The main window's frame, size limits and place: fitted to the items, kept over restarts
// and always on a monitor that is there.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <vector>

#include "app/win32/main_window.h"
#include "core/program_state.h"

namespace {

HWND as_window(void* p) { return static_cast<HWND>(p); }

BOOL CALLBACK add_monitor(HMONITOR, HDC, LPRECT area, LPARAM list) {
    reinterpret_cast<std::vector<ScreenArea>*>(list)->push_back(
        {area->left, area->top, area->right - area->left, area->bottom - area->top});
    return TRUE;
}

// The monitors present, the primary one first.
std::vector<ScreenArea> monitors() {
    std::vector<ScreenArea> all;
    ::EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&all));
    std::stable_partition(all.begin(), all.end(), [](const ScreenArea& a) { return a.x == 0 && a.y == 0; });
    if (all.empty()) all.push_back({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    return all;
}

RECT outer_rect(void* window) {
    RECT r{};
    ::GetWindowRect(as_window(window), &r);
    return r;
}

}  // namespace

int MainWindow::frame_width() const {
    RECT r{0, 0, 100, 100};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(host_.read_style(false)), FALSE, static_cast<DWORD>(host_.read_style(true)));
    return (r.right - r.left) - 100;
}

int MainWindow::frame_height() const {
    RECT r{0, 0, 100, 100};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(host_.read_style(false)), FALSE, static_cast<DWORD>(host_.read_style(true)));
    return (r.bottom - r.top) - 100;
}

void MainWindow::FitWindowHeight() {
    fitted_rows_ = fixed_rows_height(state_, parts_.app.services().clock.now());
    if (::IsIconic(as_window(window_))) return;
    // The frame only when it changes: a frame redraw ends a move or sizing in progress.
    const bool border = state_.settings.Border != 0;
    if (style_.Titlebar() != border || style_.Sizable() != border) style_.set_Border(border);
    const int allowance = state_.settings.Border != 0 ? frame_height() : 0;
    const HeightFit fit = fit_height(state_, allowance, parts_.app.services().clock.now());
    state_.window_behaviour.min_track_height = fit.min_track_height;
    state_.window_behaviour.max_track_height = std::max(fit.max_track_height, fit.min_track_height);
    const RECT outer = outer_rect(window_);
    if (outer.bottom - outer.top == fit.outer_height) return;
    ::SetWindowPos(as_window(window_), nullptr, 0, 0, outer.right - outer.left, fit.outer_height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::fill_size_limits(void* minmax) const {
    auto* info = static_cast<MINMAXINFO*>(minmax);
    const WindowBehaviourState& w = state_.window_behaviour;
    if (w.min_track_height >= 0) info->ptMinTrackSize.y = w.min_track_height;
    if (w.max_track_height >= 0) info->ptMaxTrackSize.y = w.max_track_height;
    WindowBehaviourState measured = w;
    measured.frame_width = static_cast<std::uint8_t>(std::clamp(frame_width(), 0, 255));
    const SizeLimits limits = window_size_limits(state_.settings, measured, state_.settings.Border != 0);
    if (limits.max_width) info->ptMaxTrackSize.x = *limits.max_width;
    if (limits.min_width) info->ptMinTrackSize.x = *limits.min_width;
    if (limits.min_height) info->ptMinTrackSize.y = *limits.min_height;
    if (limits.max_height) info->ptMaxTrackSize.y = *limits.max_height;
}

void MainWindow::place_at_start() {
    const Settings& s = state_.settings;
    const RECT outer = outer_rect(window_);
    const int w = std::max(1, static_cast<int>(s.WindowWidth));
    const int h = outer.bottom - outer.top;
    const std::vector<ScreenArea> screens = monitors();
    const int x = initial_position(s.WindowX, screens.front().width, w) + (s.WindowX == kWindowPositionUnset ? screens.front().x : 0);
    const int y = initial_position(s.WindowY, screens.front().height, h) + (s.WindowY == kWindowPositionUnset ? screens.front().y : 0);
    const ScreenArea place = reachable_place(x, y, w, h, screens);
    ::SetWindowPos(as_window(window_), nullptr, place.x, place.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::keep_on_monitors() {
    // A monitor went or changed: a window no longer wholly on one comes back.
    const RECT outer = outer_rect(window_);
    const int w = outer.right - outer.left;
    const int h = outer.bottom - outer.top;
    const ScreenArea place = reachable_place(outer.left, outer.top, w, h, monitors());
    if (place.x != outer.left || place.y != outer.top)
        ::SetWindowPos(as_window(window_), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SaveWindowPosition() {
    const RECT outer = outer_rect(window_);
    if (!::SaveWindowPosition(state_.settings, minimised(), outer.left, outer.top, outer.right - outer.left)) return;
    write_setting("WindowX");
    write_setting("WindowY");
    write_setting("WindowWidth");
}
