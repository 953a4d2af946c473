#include "app/win32/main_window.h"

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "app/win32/history_opener.h"
#include "app/win32/program_menu.h"
#include "core/update_cycle.h"
#include "display/item_list.h"
#include "core/counters.h"
#include "measure/ip_statistics.h"
#include "platform/win32/win32_text.h"
#include "settings/settings_store.h"
#include "platform/win32/window_owner.h"

namespace {

const wchar_t* const kClassName = L"Kelvanto.frmMain";

LRESULT CALLBACK main_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = window_owner<MainWindow>(window, message, lparam);
    std::intptr_t result = 0;
    if (self != nullptr && self->handle(message, wparam, lparam, &result)) return result;
    return ::DefWindowProcW(window, message, wparam, lparam);
}

HWND as_window(void* p) { return static_cast<HWND>(p); }

}  // namespace

// --- style words -----------------------------------------------------------------------------

std::uint32_t Win32StyleHost::read_style(bool extended) const {
    return static_cast<std::uint32_t>(::GetWindowLongPtrW(as_window(window), extended ? GWL_EXSTYLE : GWL_STYLE));
}

void Win32StyleHost::write_style(bool extended, std::uint32_t value) {
    ::SetWindowLongPtrW(as_window(window), extended ? GWL_EXSTYLE : GWL_STYLE, static_cast<LONG_PTR>(value));
}

void Win32StyleHost::frame_changed() {
    ::SetWindowPos(as_window(window), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32StyleHost::set_topmost(bool on) {
    ::SetWindowPos(as_window(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// --- the window ------------------------------------------------------------------------------

MainWindow::MainWindow(Parts parts) : parts_(std::move(parts)), state_(parts_.app.state()) {
    // The common controls this window and the dialogs it opens use (tooltips, trees, lists,
    // tabs, date pickers, sliders).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = main_window_procedure;
    c.hInstance = ::GetModuleHandleW(nullptr);
    c.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.hIcon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    c.lpszClassName = kClassName;
    ::RegisterClassExW(&c);
    // Made hidden and frameless; the start-up gives it frame, size and place, then shows it.
    window_ = ::CreateWindowExW(0, kClassName, L"Kelvanto", WS_POPUP | WS_MINIMIZEBOX, 0, 0, 199, 100, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), this);
    host_.window = window_;
    style_.set_client(&host_);
    taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    tray_ = std::make_unique<NotifyIcon>(window_, kTrayMessage);
    msg_box_ = std::make_unique<frmMsgBox>(
        window_, [](const void* state) { return static_cast<const ProgramState*>(state)->settings.AlwaysOnTop != 0; },
        &state_);
}

MainWindow::~MainWindow() {
    history_.reset();
    options_.reset();
    msg_box_.reset();
    tray_.reset();
    if (window_ == nullptr) return;
    ::SetWindowLongPtrW(as_window(window_), GWLP_USERDATA, 0);
    ::DestroyWindow(as_window(window_));
}

void MainWindow::window_start() {
    style_.AutoDrag = true;
    style_.set_Border(state_.settings.Border != 0);
    style_.set_TopMost(state_.settings.AlwaysOnTop != 0);
    rebuild_system_menu(window_, state_.settings.AlwaysOnTop != 0);
    FitWindowHeight();
    place_at_start();
    started_ = true;
    if (!parts_.minimized) {
        ::ShowWindow(as_window(window_), SW_SHOWNOACTIVATE);
        // Given again once shown: the window's surface is made anew then.
        if (state_.window_behaviour.layered) apply_layered();
        RECT client{};
        ::GetClientRect(as_window(window_), &client);
        client_resized(client.right, client.bottom, false);
    }
}

bool MainWindow::minimised() const {
    return !::IsWindowVisible(as_window(window_)) || ::IsIconic(as_window(window_));
}

void MainWindow::cycle_starting() {
    RECT client{};
    ::GetClientRect(as_window(window_), &client);
    state_.window.visible = !minimised();
    state_.window.minimized = minimised();
    state_.window.client_width = client.right;
    state_.window.client_height = client.bottom;
}

void MainWindow::cycle_done() {
    if (state_.settings.Border != 0) {
        state_.window_behaviour.frame_width = static_cast<std::uint8_t>(frame_width());
        state_.window_behaviour.frame_height = static_cast<std::uint8_t>(frame_height());
    }
}

void MainWindow::run_ended() {
    SaveWindowPosition();
    tray_->remove();
    ::ShowWindow(as_window(window_), SW_HIDE);
    ended_ = true;
}

void MainWindow::log_notice(const std::string& text) { std::fprintf(stderr, "kelvanto: %s\n", text.c_str()); }

void MainWindow::tell_user(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        log_notice(text.substr(at, end - at));
        at = end + 1;
    }
    // Shown from the loop, not in the middle of the update cycle that found it.
    notes_.push_back(text);
    ::PostMessageW(as_window(window_), kTellUserMessage, 0, 0);
}

void MainWindow::update_tray() {
    if (state_.settings.SysTrayGraph != 0) {
        if (tray_picture_.update_picture(state_)) tray_->set_picture(tray_picture_.picture());
    } else {
        tray_picture_.forget();
        tray_->set_program_icon();
    }
    const TextWidth width = [this](const std::string& t) { return picture_.text_width(t); };
    if (auto tip = tray_picture_.update_tooltip(state_, parts_.locale, parts_.app.services().clock.now(), width))
        tray_->set_tooltip(*tip);
    tray_->show();
}

void MainWindow::RefreshScreen(bool redraw) {
    cycle_starting();
    Services& services = parts_.app.services();
    if (redraw && state_.settings.GraphType == 1 && state_.window.client_width > state_.settings.GraphBuffer) {
        // A bar graph has one column per sample: no wider than the samples kept.
        RECT outer{};
        ::GetWindowRect(as_window(window_), &outer);
        ::SetWindowPos(as_window(window_), nullptr, 0, 0, state_.settings.GraphBuffer + frame_width(),
                       outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        cycle_starting();
    }
    if (redraw && fixed_rows_height(state_, services.clock.now()) != fitted_rows_) FitWindowHeight();
    // The centre column may show each adapter's address; the tables are read only when asked.
    std::unique_ptr<clsIPStatistics> stats;
    auto adapter_ip = [&](int adapter) -> std::string {
        if (!stats) stats = std::make_unique<clsIPStatistics>(services.tables, services.dialogs, state_.table_messages);
        if (adapter < 1 || adapter > stats->Found_Adaptors() || !stats->Choose_Adaptor(adapter)) return {};
        return stats->Local_IP();
    };
    const std::int32_t graph_height = state_.settings.GraphHeight;
    if (picture_.refresh(state_, parts_.locale, services.clock.now(), redraw, adapter_ip)) {
        // Only what the redraw changed is handed to the screen; a quiet second paints nothing.
        if (!redraw) {
            ::InvalidateRect(as_window(window_), nullptr, FALSE);
        } else {
            for (const PixelRect& r : picture_.changed()) {
                const RECT part{r.x0, r.y0, r.x1 + 1, r.y1 + 1};
                ::InvalidateRect(as_window(window_), &part, FALSE);
            }
        }
    }
    if (state_.settings.GraphHeight != graph_height) write_setting("GraphHeight");
    if (colour_key_ && keyed_colour_ != state_.settings.colours.Background) apply_layered();
}

void MainWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(as_window(window_), &ps);
    const GdiCanvas& buffer = picture_.canvas();
    if (buffer.valid()) {
        const RECT& r = ps.rcPaint;
        ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<HDC>(buffer.dc()), r.left, r.top,
                 SRCCOPY);
    }
    ::EndPaint(as_window(window_), &ps);
}

void MainWindow::client_resized(int width, int height, bool minimised_now) {
    if (!started_) return;
    if (minimised_now) {
        picture_.resize(0, 0);
        // Hidden to the tray, from which it comes back.
        ::ShowWindow(as_window(window_), SW_HIDE);
        return;
    }
    picture_.resize(width, height);
    cycle_starting();
    // The shown averages and peaks depend on how many samples the width shows.
    if (state_.cycle.cycles_run != 0) update_cycle(state_, parts_.app.services(), *this, true);
    else RefreshScreen(true);
    ::InvalidateRect(as_window(window_), nullptr, FALSE);
}

void MainWindow::restore_window() {
    ::ShowWindow(as_window(window_), ::IsIconic(as_window(window_)) ? SW_RESTORE : SW_SHOW);
    RECT client{};
    ::GetClientRect(as_window(window_), &client);
    client_resized(client.right, client.bottom, false);
    ::SetForegroundWindow(as_window(window_));
}

void MainWindow::minimise_window() {
    SaveWindowPosition();
    ::ShowWindow(as_window(window_), SW_HIDE);
    picture_.resize(0, 0);
    cycle_starting();
}

void MainWindow::set_translucent(int alpha) {
    alpha_ = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
    colour_key_ = false;
    apply_layered();
}

void MainWindow::set_transparent_background(bool on) {
    alpha_ = 255;
    colour_key_ = on;
    apply_layered();
}

void MainWindow::apply_layered() {
    const bool layered = alpha_ != 255 || colour_key_;
    if (layered != state_.window_behaviour.layered) {
        style_.set_Layered(layered);
        state_.window_behaviour.layered = layered;
    }
    if (!layered) return;
    keyed_colour_ = state_.settings.colours.Background;
    // A COLORREF packs red, green and blue as the core's colours do.
    ::SetLayeredWindowAttributes(as_window(window_), keyed_colour_, alpha_,
                                 colour_key_ ? LWA_COLORKEY : LWA_ALPHA);
}

std::optional<std::uint32_t> MainWindow::button_shadow_colour() { return ::GetSysColor(COLOR_BTNSHADOW); }
std::optional<std::uint32_t> MainWindow::button_hilight_colour() { return ::GetSysColor(COLOR_BTNHIGHLIGHT); }

void MainWindow::shrink_to_graph() {
    RECT client{};
    ::GetClientRect(as_window(window_), &client);
    if (client.right <= state_.settings.graph_length) return;
    RECT outer{};
    ::GetWindowRect(as_window(window_), &outer);
    ::SetWindowPos(as_window(window_), nullptr, 0, 0, state_.settings.graph_length + frame_width(),
                   outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::rebuild_display_list() { BuildDisplayList(state_); }

void MainWindow::apply_window_style() {
    if (!::IsIconic(as_window(window_))) style_.set_Border(state_.settings.Border != 0);
    style_.set_TopMost(state_.settings.AlwaysOnTop != 0);
    rebuild_system_menu(window_, state_.settings.AlwaysOnTop != 0);
}

void MainWindow::write_setting(const char* name) { write_single_setting(parts_.store, state_.settings, name); }
