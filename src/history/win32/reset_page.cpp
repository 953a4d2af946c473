// The "Reset" page of the Win32 options dialog: clears the daily logs, the minutely logs or
// the session, and shows since when the program logs and how long this session runs.
#include "history/win32/reset_page.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "measure/format.h"
#include "platform/date.h"
#include "platform/win32/win32_text.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kButtonWidth = 170;
constexpr int kButtonHeight = 26;
constexpr int kRow = 32;
constexpr UINT_PTR kRefreshTimer = 1;

class ResetPage final : public OptionsPageView {
public:
    ResetPage(ResetPageHost host, OptionsPageEvents events) : host_(std::move(host)), events_(std::move(events)) {}
    ~ResetPage() override {
        if (time_ == nullptr) return;
        ::KillTimer(time_, kRefreshTimer);
        ::RemoveWindowSubclass(time_, time_proc, 0);
    }

    std::vector<void*> create(const OptionsPageArea& area) override;
    void fill() override;
    bool command(int id, unsigned code) override;
    bool notify(const void*, std::intptr_t*) override { return false; }

private:
    static LRESULT CALLBACK time_proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self);
    void refresh_lines();
    void enable_minutely_reset();

    ResetPageHost host_;
    OptionsPageEvents events_;
    HWND minutely_ = nullptr;
    HWND started_ = nullptr;
    HWND time_ = nullptr;
};

std::vector<void*> ResetPage::create(const OptionsPageArea& area) {
    ViewWindows windows(area);
    int y = area.top;
    // One below the other, a row apart.
    const auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int cx, int cy) {
        HWND w = windows.make(0, cls, text, style, id, area.left, y, cx, cy);
        y += kRow;
        return w;
    };
    const DWORD button = WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
    make(L"BUTTON", L"&Reset daily logs", button, kResetDaily, kButtonWidth, kButtonHeight);
    minutely_ = make(L"BUTTON", L"R&eset minutely logs", button, kResetMinutely, kButtonWidth, kButtonHeight);
    make(L"BUTTON", L"Re&set session", button, kResetSession, kButtonWidth, kButtonHeight);
    y += 4;
    started_ = make(L"STATIC", L"", SS_LEFT, kResetLoggingStarted, area.width, 20);
    y -= 8;
    time_ = make(L"STATIC", L"", SS_LEFT, kResetLoggingTime, area.width, 20);
    ::SetWindowSubclass(time_, time_proc, 0, reinterpret_cast<DWORD_PTR>(this));
    return windows.made;
}

// The dialog fills its views when it opens, after Apply and when it shows the page: shown,
// the lines are refreshed every second from now on until the page is hidden.
void ResetPage::fill() {
    refresh_lines();
    enable_minutely_reset();
    if (::IsWindowVisible(time_)) ::SetTimer(time_, kRefreshTimer, 1000, nullptr);
}

LRESULT CALLBACK ResetPage::time_proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR self) {
    if (message == WM_TIMER && wparam == kRefreshTimer) {
        if (::IsWindowVisible(w)) reinterpret_cast<ResetPage*>(self)->refresh_lines();
        else ::KillTimer(w, kRefreshTimer);
        return 0;
    }
    return ::DefSubclassProc(w, message, wparam, lparam);
}

void ResetPage::refresh_lines() {
    const CivilDate start = civil_date(std::trunc(host_.start_date()));
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", start.year, start.month, start.day);
    ::SetWindowTextW(started_, widen(std::string("Logging started: ") + date).c_str());
    ::SetWindowTextW(time_, widen("Logging time: " + format_duration(host_.session_seconds())).c_str());
}

void ResetPage::enable_minutely_reset() {
    const bool on = host_.minutely_resettable();
    ::EnableWindow(minutely_, on ? TRUE : FALSE);
}

bool ResetPage::command(int id, unsigned code) {
    if (id < kResetDaily || id > kResetLoggingTime) return false;
    if (code != BN_CLICKED) return true;
    if (id == kResetDaily) {
        host_.reset_daily();
    } else if (id == kResetMinutely) {
        // Answered with switching minute logging off: the Logging page shows it.
        if (host_.reset_minutely() && events_.changed) events_.changed();
    } else if (id == kResetSession) {
        host_.reset_session();
    }
    refresh_lines();
    enable_minutely_reset();
    return true;
}

}  // namespace

std::unique_ptr<OptionsPageView> create_reset_page(ResetPageHost host, OptionsPageEvents events) {
    return std::make_unique<ResetPage>(std::move(host), std::move(events));
}
