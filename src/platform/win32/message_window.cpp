#include "platform/win32/message_window.h"

#include "platform/win32/window_owner.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
const wchar_t* const kClassName = L"Kelvanto.MessageWindow";

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = window_owner<MessageWindow>(window, message, lparam);
    if (self != nullptr && (message == WM_TIMER || message >= WM_APP)) {
        self->dispatch(message, wparam, lparam);
        return 0;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

void register_class() {
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = window_procedure;
    c.hInstance = ::GetModuleHandleW(nullptr);
    c.lpszClassName = kClassName;
    ::RegisterClassExW(&c);  // fails harmlessly when an earlier window registered it
}

}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    register_class();
    window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), this);
}

MessageWindow::~MessageWindow() {
    if (window_ == nullptr) return;
    ::KillTimer(static_cast<HWND>(window_), kTimerId);
    ::SetWindowLongPtrW(static_cast<HWND>(window_), GWLP_USERDATA, 0);
    ::DestroyWindow(static_cast<HWND>(window_));
}

void MessageWindow::start_timer(int ms, std::function<void()> timer_elapsed) {
    timer_elapsed_ = std::move(timer_elapsed);
    ::SetTimer(static_cast<HWND>(window_), kTimerId, static_cast<UINT>(ms < 1 ? 1 : ms), nullptr);
}

void MessageWindow::stop_timer() {
    ::KillTimer(static_cast<HWND>(window_), kTimerId);
    timer_elapsed_ = nullptr;
}

bool MessageWindow::post(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) const {
    return ::PostMessageW(static_cast<HWND>(window_), message, wparam, lparam) != FALSE;
}

void MessageWindow::dispatch(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    if (message == WM_TIMER) {
        if (wparam != kTimerId) return;
        // Single-shot: the timer is gone before its handler runs, which may start another.
        ::KillTimer(static_cast<HWND>(window_), kTimerId);
        std::function<void()> elapsed = std::move(timer_elapsed_);
        timer_elapsed_ = nullptr;
        if (elapsed) elapsed();
        return;
    }
    if (handler_) handler_(message, wparam, lparam);
}

bool pump_messages(const std::function<bool()>& done, int timeout_ms, int look_ms) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
    while (!done()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) return false;
        const ULONGLONG wait = look_ms > 0 && end - now > static_cast<ULONGLONG>(look_ms) ? look_ms : end - now;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // A window that asks for the dialog keys (Tab, arrows, Enter, Escape) gets them.
            const HWND root = msg.hwnd != nullptr ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            if (root != nullptr && ::GetPropW(root, kDialogKeysProperty) != nullptr && ::IsDialogMessageW(root, &msg)) {
                if (done()) return true;
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            if (done()) return true;
        }
    }
    return true;
}
