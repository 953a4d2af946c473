#include "app/win32/session_window.h"

#include "platform/win32/window_owner.h"

namespace {

const wchar_t* const kClassName = L"Kelvanto.SessionWindow";

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = window_owner<SessionWindow>(window, message, lparam);
    if (self != nullptr && self->handle(message, wparam))
        return message == WM_QUERYENDSESSION || message == WM_POWERBROADCAST ? TRUE : 0;
    return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

SessionWindow::SessionWindow(Calls calls) : calls_(std::move(calls)) {
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = window_procedure;
    c.hInstance = ::GetModuleHandleW(nullptr);
    c.lpszClassName = kClassName;
    ::RegisterClassExW(&c);  // fails harmlessly when an earlier window registered it
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
}

SessionWindow::~SessionWindow() {
    if (window_ == nullptr) return;
    ::SetWindowLongPtrW(static_cast<HWND>(window_), GWLP_USERDATA, 0);
    ::DestroyWindow(static_cast<HWND>(window_));
}

bool SessionWindow::handle(unsigned message, unsigned long long wparam) {
    switch (message) {
        case WM_CLOSE:
            if (calls_.close_requested) calls_.close_requested();
            return true;  // never the default: that would destroy the window
        case WM_QUERYENDSESSION: return true;
        case WM_ENDSESSION:
            if (wparam != 0 && calls_.session_ending) calls_.session_ending();
            return true;
        case WM_POWERBROADCAST:
            if (wparam == PBT_APMSUSPEND && calls_.suspending) calls_.suspending();
            return true;
        default: return false;
    }
}
