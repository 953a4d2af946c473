#include "platform/win32/dialog_keys.h"

namespace {

// Marks a window whose keys go through IsDialogMessageW.
constexpr const wchar_t* kDialogKeysProperty = L"Kelvanto.DialogKeys";

// Every window with dialog keys has a hook of its own; each looks for the mark on the
// top-level window the message is for, so the first one that uses a key ends it for the rest.
LRESULT CALLBACK dialog_keys_hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION && wparam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lparam);
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && msg->hwnd != nullptr) {
            const HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
            if (root != nullptr && ::GetPropW(root, kDialogKeysProperty) != nullptr && ::IsWindowEnabled(root) &&
                ::IsDialogMessageW(root, msg))
                msg->message = WM_NULL;
        }
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

void DialogKeys::attach(HWND window) {
    release();
    window_ = window;
    ::SetPropW(window, kDialogKeysProperty, reinterpret_cast<HANDLE>(1));
    hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, dialog_keys_hook, nullptr, ::GetCurrentThreadId());
}

void DialogKeys::release() {
    if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
    if (window_ != nullptr) ::RemovePropW(window_, kDialogKeysProperty);
    hook_ = nullptr;
    window_ = nullptr;
}
