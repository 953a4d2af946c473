// The "Service" page of the Win32 options dialog: the service installed and removed.
#include "service/win32/service_page.h"

#include "platform/win32/windows_api.h"

#include <vector>

#include "platform/win32/win32_text.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 24;
constexpr int kGap = 6;

class ServicePageView final : public OptionsPageView {
public:
    ServicePageView(ServiceManager* manager, Dialogs& dialogs, bool running_as_service)
        : manager_(manager), dialogs_(dialogs), running_as_service_(running_as_service) {}

    std::vector<void*> create(const OptionsPageArea& area) override {
        const HWND dialog = static_cast<HWND>(area.dialog);
        // The buttons take the row the page keeps for them, the lines go below the page.
        int y = area.top;
        if (const HWND row = static_cast<HWND>(area.declared("service_buttons"))) {
            RECT place{};
            ::GetWindowRect(row, &place);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
            y = place.top - 1;
        }
        ViewWindows windows(area);
        const auto make = [&windows](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int top, int w,
                                     int h) { return windows.make(0, cls, text, style, id, x, top, w, h); };
        install_ = make(L"BUTTON", L"&Install", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, kServiceInstall, area.left, y,
                        kButtonWidth, kButtonHeight);
        uninstall_ = make(L"BUTTON", L"&Uninstall", WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, kServiceUninstall,
                          area.left + kButtonWidth + kGap, y, kButtonWidth, kButtonHeight);
        label_ = make(L"STATIC", L"", SS_LEFT, kServiceLabel, area.left, area.top + kGap, area.width, 20);
        hand_over_ = make(L"STATIC", L"", SS_LEFT, kServiceHandOver, area.left, area.top + kGap + 24, area.width, 36);
        return windows.made;
    }

    void fill() override {
        if (manager_ == nullptr) {
            ::EnableWindow(install_, FALSE);
            ::EnableWindow(uninstall_, FALSE);
            ::SetWindowTextW(label_, running_as_service_ ? widen(kRunningAsService).c_str() : L"");
            ::SetWindowTextW(hand_over_, L"");
            return;
        }
        const ServicePageState page = refresh_service_page(*manager_, running_as_service_);
        ::EnableWindow(install_, page.install_enabled ? TRUE : FALSE);
        ::EnableWindow(uninstall_, page.uninstall_enabled ? TRUE : FALSE);
        ::SetWindowTextW(label_, widen(page.service_label).c_str());
        ::SetWindowTextW(hand_over_, widen(page.hand_over_note).c_str());
    }

    bool command(int id, unsigned code) override {
        if (id != kServiceInstall && id != kServiceUninstall) return false;
        if (code != BN_CLICKED || manager_ == nullptr) return true;
        if (id == kServiceInstall) install_service(*manager_, dialogs_);
        else uninstall_service(*manager_, dialogs_);
        fill();
        return true;
    }

    bool notify(const void*, std::intptr_t*) override { return false; }

private:
    ServiceManager* manager_;
    Dialogs& dialogs_;
    bool running_as_service_;
    HWND install_ = nullptr;
    HWND uninstall_ = nullptr;
    HWND label_ = nullptr;
    HWND hand_over_ = nullptr;
};

}  // namespace

std::unique_ptr<OptionsPageView> create_service_page(ServiceManager* manager, Dialogs& dialogs, bool running_as_service) {
    return std::make_unique<ServicePageView>(manager, dialogs, running_as_service);
}
