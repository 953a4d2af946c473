#pragma once

#include "platform/win32/windows_api.h"

// The object a window belongs to, for its window procedure: handed over as the creation
// parameter (CreateWindowExW's last argument) and kept in the window's user data from
// WM_NCCREATE on. Null before that and after the owner cleared the user data.
template <class Owner>
Owner* window_owner(HWND window, UINT message, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Registers one of the program's window classes: the arrow cursor, and the dialog face as
// background when `dialog_face`. A second registration of the same class fails harmlessly.
inline void register_window_class(const wchar_t* name, WNDPROC procedure, bool dialog_face = true) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = procedure;
    c.hInstance = ::GetModuleHandleW(nullptr);
    c.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    if (dialog_face) c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    ::RegisterClassExW(&c);
}

// The window procedure of a window whose object lives exactly as long as it does: the
// object's handle(window, message, wparam, lparam) gets every message from WM_NCCREATE on,
// and the object is deleted at WM_NCDESTROY.
template <class Owner>
LRESULT CALLBACK self_owned_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = window_owner<Owner>(window, message, lparam);
    if (self == nullptr) return ::DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete self;
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
    return self->handle(window, message, wparam, lparam);
}
