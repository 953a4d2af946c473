// The "Time Sync" page of the Win32 options dialog: the typed server, "Synchronize now" and
// what the synchronisation reports while the dialog is open.
#include "net/win32/time_sync_page.h"

#include "platform/win32/windows_api.h"

#include <utility>

#include "net/time_sync.h"
#include "platform/win32/win32_text.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 24;
constexpr UINT_PTR kAskTimer = 1;
constexpr const wchar_t* kViewProperty = L"KelvantoTimeSyncPage";

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

class TimeSyncPageView final : public OptionsPageView, public TimeSyncView {
public:
    // A change of the server box reaches the dialog as its own: nothing else to tell it.
    TimeSyncPageView(Settings& settings, std::string caption, TimeSyncPageHost host)
        : settings_(settings), caption_(std::move(caption)), host_(std::move(host)) {
        if (host_.attach) host_.attach(this);
    }
    ~TimeSyncPageView() override {
        if (button_ != nullptr) {
            ::KillTimer(button_, kAskTimer);
            ::RemovePropW(button_, kViewProperty);
        }
        // A question still open is answered no by the program.
        if (host_.attach) host_.attach(nullptr);
    }

    std::vector<void*> create(const OptionsPageArea& area) override;
    void fill() override;
    bool command(int id, unsigned code) override;
    bool notify(const void*, std::intptr_t*) override { return false; }
    bool declared_command(const std::string& setting, unsigned code) override;

    // TimeSyncView
    void show_caption(const std::string& caption) override {
        caption_ = caption;
        if (button_ != nullptr) ::SetWindowTextW(button_, widen(caption).c_str());
    }
    void show_result(const std::string&) override { show_lines(); }
    void show_message(const std::string& text) override {
        show_lines();
        if (host_.message) host_.message(text);
    }
    // Asked once the synchronisation's call has returned, so that its connection is left as
    // it expects while the box waits for the answer.
    void ask_to_set(const std::string& question) override {
        question_ = question;
        if (button_ != nullptr) ::SetTimer(button_, kAskTimer, 0, ask_now);
    }

private:
    static void CALLBACK ask_now(HWND button, UINT, UINT_PTR, DWORD);
    void show_lines() {
        if (lines_ != nullptr && host_.lines) ::SetWindowTextW(lines_, widen(host_.lines()).c_str());
    }

    Settings& settings_;
    std::string caption_;
    TimeSyncPageHost host_;
    HWND dialog_ = nullptr;
    HWND servers_ = nullptr;  // the declared server box
    HWND button_ = nullptr;
    HWND lines_ = nullptr;    // the declared lines of the last synchronisation
    std::string question_;
};

std::vector<void*> TimeSyncPageView::create(const OptionsPageArea& area) {
    dialog_ = static_cast<HWND>(area.dialog);
    servers_ = static_cast<HWND>(area.declared("SyncSrv"));
    lines_ = static_cast<HWND>(area.declared("sync_lines"));
    const HWND row = static_cast<HWND>(area.declared("sync_now"));
    if (row == nullptr) return {};
    ::SetWindowTextW(row, L"Synchronize now");
    RECT place{};
    ::GetWindowRect(row, &place);
    ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&place), 2);
    button_ = ::CreateWindowExW(0, L"BUTTON", widen(caption_).c_str(), WS_CHILD | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON,
                                area.left + kOptionsLabelWidth, place.top - 1, kButtonWidth, kButtonHeight, dialog_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTimeSyncNow)), ::GetModuleHandleW(nullptr),
                                nullptr);
    ::SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(area.font), FALSE);
    ::SetPropW(button_, kViewProperty, this);
    // The button comes after the server box in the Tab order.
    if (servers_ != nullptr) ::SetWindowPos(button_, servers_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return {button_};
}

void TimeSyncPageView::fill() {
    // The dialog has chosen the listed server; a typed one shows instead.
    if (servers_ != nullptr && !settings_.SyncHost.empty())
        ::SetWindowTextW(servers_, widen(settings_.SyncHost).c_str());
    show_caption(caption_);
    show_lines();
}

bool TimeSyncPageView::declared_command(const std::string& setting, unsigned code) {
    if (setting != "SyncSrv" || servers_ == nullptr) return false;
    if (code == CBN_SELCHANGE) {
        const LRESULT chosen = ::SendMessageW(servers_, CB_GETCURSEL, 0, 0);
        if (chosen == CB_ERR) return false;
        settings_.SyncSrv = static_cast<std::uint8_t>(chosen);
        settings_.SyncHost.clear();
        return true;
    }
    if (code != CBN_EDITCHANGE) return false;
    // A name of the list is stored as its place; any other name as it is typed.
    const std::string typed = trimmed(narrow(window_text(servers_)));
    const LRESULT listed = ::SendMessageW(servers_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(widen(typed).c_str()));
    if (listed != CB_ERR) settings_.SyncSrv = static_cast<std::uint8_t>(listed);
    settings_.SyncHost = listed != CB_ERR ? std::string() : typed;
    return true;
}

bool TimeSyncPageView::command(int id, unsigned code) {
    if (id != kTimeSyncNow) return false;
    if (code == BN_CLICKED && host_.sync)
        host_.sync(servers_ != nullptr ? trimmed(narrow(window_text(servers_))) : std::string());
    return true;
}

void CALLBACK TimeSyncPageView::ask_now(HWND button, UINT, UINT_PTR, DWORD) {
    ::KillTimer(button, kAskTimer);
    auto* view = static_cast<TimeSyncPageView*>(::GetPropW(button, kViewProperty));
    if (view == nullptr || view->question_.empty()) return;
    const std::string question = std::exchange(view->question_, {});
    const int answer = ::MessageBoxW(view->dialog_, widen(question).c_str(), L"Time Sync",
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    // The dialog may have closed meanwhile: the program then took the answer as no.
    if (::GetPropW(button, kViewProperty) == view && view->host_.confirmed) view->host_.confirmed(answer == IDYES);
}

}  // namespace

std::unique_ptr<OptionsPageView> create_time_sync_page(Settings& settings, std::string caption, TimeSyncPageHost host,
                                                       OptionsPageEvents) {
    return std::make_unique<TimeSyncPageView>(settings, std::move(caption), std::move(host));
}
