#pragma once

#include "platform/win32/windows_api.h"

// The dialog keys for a top-level window that is not a dialog box. The program's message
// loop knows no dialogs, so while the window has them a hook on the thread's message queue
// hands the key messages of the window and its controls to IsDialogMessageW: Tab and
// Shift+Tab move between the controls, Enter arrives as WM_COMMAND IDOK (or the window's
// DM_GETDEFID answer), Escape as WM_COMMAND IDCANCEL. A key used becomes WM_NULL.
class DialogKeys {
public:
    DialogKeys() = default;
    ~DialogKeys() { release(); }
    DialogKeys(const DialogKeys&) = delete;
    DialogKeys& operator=(const DialogKeys&) = delete;

    // From now on until release() (at the latest in the window's WM_DESTROY).
    void attach(HWND window);
    void release();

private:
    HWND window_ = nullptr;
    HHOOK hook_ = nullptr;
};
