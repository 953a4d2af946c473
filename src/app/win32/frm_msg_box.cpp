#include "app/win32/frm_msg_box.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/win32_text.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/window_owner.h"

namespace {

const wchar_t* const kClassName = L"Kelvanto.frmMsgBox";
constexpr int kOk = 1;

LRESULT CALLBACK msg_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = window_owner<frmMsgBox>(window, message, lparam);
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == kOk || LOWORD(wparam) == IDCANCEL) ::DestroyWindow(window);
            return 0;
        case WM_CLOSE: ::DestroyWindow(window); return 0;
        case WM_DESTROY:
            if (self != nullptr) self->closed();
            return 0;
        default: return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

frmMsgBox::frmMsgBox(void* owner, bool (*topmost)(const void*), const void* context)
    : owner_(owner), topmost_(topmost), context_(context) {
    register_window_class(kClassName, msg_box_procedure);
}

frmMsgBox::~frmMsgBox() {
    if (window_ != nullptr) ::DestroyWindow(static_cast<HWND>(window_));
}

void frmMsgBox::closed() {
    window_ = label_ = icon_ = ok_ = nullptr;
    const HWND owner = static_cast<HWND>(shown_over_);
    ::EnableWindow(owner, TRUE);
    if (::IsWindowVisible(owner) && !::IsIconic(owner)) ::SetFocus(owner);
}

void frmMsgBox::show_message(const std::string& text, bool critical) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::PlaySoundW(critical ? L"SystemHand" : L"SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
    const HICON icon = ::LoadIconW(nullptr, critical ? IDI_HAND : IDI_EXCLAMATION);
    if (window_ == nullptr) {
        const HWND owner = static_cast<HWND>(owner_);
        const HWND box = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, L"Error",
                                           WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 360, 150,
                                           owner, nullptr, instance, this);
        if (box == nullptr) return;
        window_ = box;
        shown_over_ = owner;
        icon_ = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, 11, 11, 32, 32, box,
                                  nullptr, instance, nullptr);
        label_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 56, 14, 280, 60, box, nullptr, instance,
                                   nullptr);
        ok_ = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 140, 82, 75, 24,
                          box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOk)), instance, nullptr);
        const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        ::SendMessageW(static_cast<HWND>(label_), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Laid out for 96 dots per inch, as the font follows the screen's density.
        scale_children(box);
        const int width = scaled(box, 360), height = scaled(box, 150);
        ::EnableWindow(owner, FALSE);
        // Centred on the screen the owner is on.
        RECT work{};
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &info)) work = info.rcWork;
        ::SetWindowPos(box, nullptr, work.left + (work.right - work.left - width) / 2,
                       work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER);
    }
    ::SendMessageW(static_cast<HWND>(icon_), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    ::SetWindowTextW(static_cast<HWND>(label_), widen(text).c_str());
    const bool on_top = topmost_ != nullptr && topmost_(context_);
    ::SetWindowPos(static_cast<HWND>(window_), on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
    ::ShowWindow(static_cast<HWND>(window_), SW_SHOW);
    ::SetForegroundWindow(static_cast<HWND>(window_));
    ::SetFocus(static_cast<HWND>(ok_));  // Enter or the space bar closes it
}
