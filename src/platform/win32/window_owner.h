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
