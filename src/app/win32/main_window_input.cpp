// The main window's messages: painting, the mouse (moving, sizing without a frame, the
// frame's double click, the menu), the keys, the tray icon's clicks, the session's end.
#include "platform/win32/windows_api.h"
#include <windowsx.h>

#include <cstdlib>

#include "app/win32/history_opener.h"
#include "app/win32/main_window.h"
#include "app/win32/program_menu.h"
#include "core/settings_steps.h"
#include "core/update_cycle.h"
#include "display/tray_menu.h"
#include "core/counters.h"
#include "measure/ip_statistics.h"
#include "platform/win32/win32_text.h"
#include "settings/settings_store.h"

namespace {

HWND as_window(void* p) { return static_cast<HWND>(p); }

LPCWSTR cursor_for(PointerShape shape) {
    switch (shape) {
        case PointerShape::size_nwse: return IDC_SIZENWSE;
        case PointerShape::size_nesw: return IDC_SIZENESW;
        case PointerShape::size_we: return IDC_SIZEWE;
        case PointerShape::size_ns: return IDC_SIZENS;
        case PointerShape::standard: break;
    }
    return IDC_ARROW;
}

WindowKeyPress key_press(unsigned key) {
    if (key >= '0' && key <= '9') return {WindowKey::digit, static_cast<int>(key - '0')};
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return {WindowKey::digit, static_cast<int>(key - VK_NUMPAD0)};
    switch (key) {
        case VK_ADD: return {WindowKey::keypad_plus, 0};
        case VK_SUBTRACT: return {WindowKey::keypad_minus, 0};
        case 'S': return {WindowKey::soft_graph, 0};
        case 'L': return {WindowKey::lock_width, 0};
        case VK_ESCAPE: return {WindowKey::escape, 0};
        default: return {};
    }
}

}  // namespace

bool MainWindow::handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result) {
    if (message == taskbar_created_ && taskbar_created_ != 0) {
        tray_->taskbar_created();
        return true;
    }
    switch (message) {
        case WM_PAINT: paint(); return true;
        case WM_ERASEBKGND: *result = 1; return true;  // the picture covers the whole client area
        case WM_SIZE: client_resized(LOWORD(lparam), HIWORD(lparam), wparam == SIZE_MINIMIZED); return true;
        case WM_SHOWWINDOW:
            // Shown from outside (a second start brings it forward): the picture comes back.
            if (wparam != 0 && started_ && !picture_.canvas().valid()) {
                ::PostMessageW(as_window(window_), kRestoreMessage, 0, 0);
            }
            return false;
        case kRestoreMessage: {
            RECT client{};
            ::GetClientRect(as_window(window_), &client);
            if (!::IsIconic(as_window(window_))) client_resized(client.right, client.bottom, false);
            return true;
        }
        case WM_GETMINMAXINFO: fill_size_limits(reinterpret_cast<void*>(lparam)); return true;
        case WM_DISPLAYCHANGE: keep_on_monitors(); return false;
        case WM_DPICHANGED: {
            // The picture keeps its pixels on every monitor: only the place is taken.
            const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
            ::SetWindowPos(as_window(window_), nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        }
        case WM_LBUTTONDOWN: left_press(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)); return true;
        case WM_MOUSEMOVE:
            pointer_moved(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam), (wparam & MK_LBUTTON) != 0);
            return true;
        case WM_LBUTTONUP: release_press(); return true;
        case WM_CAPTURECHANGED: press_pending_ = false; return false;
        case WM_LBUTTONDBLCLK:
            release_press();
            toggle_border();
            return true;
        case WM_SETCURSOR:
            if (LOWORD(lparam) != HTCLIENT || !set_cursor()) return false;
            *result = TRUE;
            return true;
        case WM_RBUTTONUP: menu(true); return true;
        case WM_KEYDOWN: return key_pressed(static_cast<unsigned>(wparam));
        case WM_SYSCOMMAND:
            // Our entry, then on to the default handling as every command.
            if (wparam == kAlwaysOnTopCommand) toggle_always_on_top();
            if (wparam == SC_MINIMIZE) {
                minimise_window();
                return true;
            }
            return false;
        case WM_CLOSE:
            // The close box hides the window to the tray; taskkill and the session's end reach
            // the run's session window, which ends the run in order.
            minimise_window();
            return true;
        case WM_QUERYENDSESSION: *result = TRUE; return true;
        case WM_ENDSESSION:
            // The process may end as soon as this returns: the orderly shutdown runs now.
            if (wparam != 0 && !ended_) parts_.app.stop_event();
            return true;
        case WM_TIMER:
            if (wparam != kKeyNoteTimer) return false;
            key_note_.hide();
            return true;
        case kTrayMessage: tray_message(static_cast<unsigned>(LOWORD(lparam))); return true;
        case kTellUserMessage: {
            std::vector<std::string> notes = std::move(notes_);
            notes_.clear();
            for (const std::string& n : notes)
                ::MessageBoxW(as_window(window_), widen(n).c_str(), L"Kelvanto", MB_ICONINFORMATION | MB_OK);
            return true;
        }
        default: return false;
    }
}

void MainWindow::left_press(int x, int y) {
    if (!style_.AutoDrag) return;
    RECT client{};
    ::GetClientRect(as_window(window_), &client);
    const HitZone zone = state_.settings.Border == 0 ? HitTest(x, y, client.right, client.bottom) : HitZone::none;
    if (zone != HitZone::none) {
        // An edge without a frame: the system sizes the window as if its edge had been pressed.
        ::ReleaseCapture();
        ::SendMessageW(as_window(window_), WM_NCLBUTTONDOWN, static_cast<int>(zone), 0);
        return;
    }
    // The move starts once the pointer has moved: a press that stays put may be the first
    // half of the double click that switches the frame (a window manager moving the window
    // would take the second one).
    press_pending_ = true;
    press_x_ = x;
    press_y_ = y;
    ::SetCapture(as_window(window_));
}

void MainWindow::pointer_moved(int x, int y, bool button_down) {
    if (!press_pending_) return;
    if (!button_down) {
        release_press();
        return;
    }
    const int dx = x - press_x_;
    const int dy = y - press_y_;
    if (std::abs(dx) < ::GetSystemMetrics(SM_CXDRAG) && std::abs(dy) < ::GetSystemMetrics(SM_CYDRAG)) return;
    release_press();
    // The way travelled so far first, so the grabbed point stays under the pointer; then the
    // system moves the window as if its caption had been pressed.
    RECT outer{};
    ::GetWindowRect(as_window(window_), &outer);
    ::SetWindowPos(as_window(window_), nullptr, outer.left + dx, outer.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(as_window(window_), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void MainWindow::release_press() {
    if (!press_pending_) return;
    press_pending_ = false;
    ::ReleaseCapture();
}

bool MainWindow::set_cursor() {
    if (state_.settings.Border != 0) return false;
    POINT at{};
    ::GetCursorPos(&at);
    ::ScreenToClient(as_window(window_), &at);
    RECT client{};
    ::GetClientRect(as_window(window_), &client);
    ::SetCursor(::LoadCursorW(nullptr, cursor_for(pointer_for(HitTest(at.x, at.y, client.right, client.bottom)))));
    return true;
}

void MainWindow::toggle_border() {
    Settings& s = state_.settings;
    s.Border = s.Border != 0 ? 0 : 1;
    write_setting("Border");
    FitWindowHeight();
}

void MainWindow::toggle_always_on_top() {
    state_.settings.AlwaysOnTop = state_.settings.AlwaysOnTop != 0 ? 0 : 1;
    write_setting("Always on top");
    style_.set_TopMost(state_.settings.AlwaysOnTop != 0);
    rebuild_system_menu(window_, state_.settings.AlwaysOnTop != 0);
}

bool MainWindow::key_pressed(unsigned key) {
    const WindowKeyPress press = key_press(key);
    if (press.key == WindowKey::none) return false;
    Services& services = parts_.app.services();
    KeyAdapters adapters;
    if (press.key == WindowKey::digit) {
        clsIPStatistics stats(services.tables, services.dialogs, state_.table_messages);
        adapters.names.push_back("0 - Multiple adapters");
        adapters.present.push_back(true);
        for (int n = 1; n <= stats.Found_Adaptors(); ++n) {
            adapters.names.push_back(std::to_string(n) + " - " + stats.entry(n).description);
            adapters.present.push_back(stats.entry(n).present);
        }
    }
    RECT outer{};
    ::GetWindowRect(as_window(window_), &outer);
    const KeyOutcome out = apply_window_key(state_, press, outer.right - outer.left, adapters);
    if (!out.note.empty()) {
        log_notice(out.note);
        key_note_.show(window_, out.note);
    }
    if (out.write_locked_width) write_setting("LockedWidth");
    if (out.save_settings) store_settings(state_, services);
    if (out.refresh_ip) {
        clsIPStatistics stats(services.tables, services.dialogs, state_.table_messages);
        stats.Found_Adaptors();
        state_.ip_text = ip_text_for(stats, state_.settings.Adapter);
    }
    if (out.run_cycle) update_cycle(state_, services, *this, true);
    if (out.minimise) minimise_window();
    return true;
}

void MainWindow::tray_message(unsigned mouse_message) {
    if (mouse_message == kTrayLeftDown) tray_left_click();
    if (mouse_message == kTrayRightDown) menu(false);
}

void MainWindow::tray_left_click() {
    if (!minimised()) {
        minimise_window();
        return;
    }
    restore_window();
    // Raised above the others without staying on top when that is off.
    if (state_.settings.AlwaysOnTop == 0) {
        style_.set_TopMost(true);
        style_.set_TopMost(false);
    }
}

void MainWindow::menu(bool from_main_window) {
    MenuState shown;
    shown.minimised = minimised();
    shown.from_main_window = from_main_window;
    shown.always_on_top = state_.settings.AlwaysOnTop != 0;
    switch (show_program_menu(window_, shown)) {
        case MenuCommand::restore_or_hide:
            if (menu_said_hide(shown)) minimise_window();
            else tray_left_click();
            break;
        case MenuCommand::settings: open_options(); break;
        case MenuCommand::history:
            if (!history_) history_ = std::make_unique<HistoryOpener>(parts_.app, window_);
            history_->open();
            break;
        case MenuCommand::about: show_about_box(window_, parts_.data_dir); break;
        case MenuCommand::always_on_top: toggle_always_on_top(); break;
        case MenuCommand::exit: parts_.app.unload(); break;
        case MenuCommand::none: break;
    }
}
