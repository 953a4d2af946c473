#pragma once

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include <string>

// Answers the message boxes titled `title` that the code under test opens on this thread
// while it lives: a timer of a hidden window, which the box's own modal loop runs, finds the
// box, keeps its text and clicks `button` (IDOK, IDYES, IDNO).
class MessageBoxAnswer {
public:
    MessageBoxAnswer(const wchar_t* title, int button) : title_(title), button_(button) {
        window_ = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetWindowSubclass(window_, tick, 0, 0);
        ::SetTimer(window_, 1, 50, nullptr);
    }
    ~MessageBoxAnswer() {
        ::KillTimer(window_, 1);
        ::RemoveWindowSubclass(window_, tick, 0);
        ::DestroyWindow(window_);
    }
    MessageBoxAnswer(const MessageBoxAnswer&) = delete;
    MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;

    int answered = 0;   // how many boxes were answered
    std::wstring text;  // the last one's message

private:
    static BOOL CALLBACK each(HWND window, LPARAM self) {
        auto* answer = reinterpret_cast<MessageBoxAnswer*>(self);
        wchar_t name[16] = {};
        wchar_t title[128] = {};
        ::GetClassNameW(window, name, 16);
        ::GetWindowTextW(window, title, 128);
        if (std::wstring(name) != L"#32770" || answer->title_ != title || !::IsWindowVisible(window)) return TRUE;
        wchar_t message[1024] = {};
        ::GetDlgItemTextW(window, 0xFFFF, message, 1024);
        answer->text = message;
        ++answer->answered;
        ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(answer->button_), 0);
        return FALSE;
    }
    static LRESULT CALLBACK tick(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
        if (message != WM_TIMER) return ::DefSubclassProc(window, message, wparam, lparam);
        auto* self = reinterpret_cast<MessageBoxAnswer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        ::EnumThreadWindows(::GetCurrentThreadId(), each, reinterpret_cast<LPARAM>(self));
        return 0;
    }

    std::wstring title_;
    int button_;
    HWND window_ = nullptr;
};
