#pragma once

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

// Answers the message boxes that the code under test opens on this thread while it lives,
// each by its title: a timer of a hidden window, which the box's own modal loop runs, finds
// the box, keeps its text and clicks the button given for its title (IDOK, IDYES, IDNO).
class MessageBoxAnswer {
public:
    using Answers = std::vector<std::pair<std::wstring, int>>;
    MessageBoxAnswer(const wchar_t* title, int button) : MessageBoxAnswer(Answers{{title, button}}) {}
    explicit MessageBoxAnswer(Answers answers) : answers_(std::move(answers)) {
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

    std::vector<std::wstring> texts;  // the messages of the boxes answered, in turn

private:
    static BOOL CALLBACK each(HWND window, LPARAM self) {
        auto* answer = reinterpret_cast<MessageBoxAnswer*>(self);
        wchar_t name[16] = {};
        wchar_t title[128] = {};
        ::GetClassNameW(window, name, 16);
        ::GetWindowTextW(window, title, 128);
        if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
        for (const auto& [wanted, button] : answer->answers_) {
            if (wanted != title) continue;
            wchar_t message[1024] = {};
            ::GetDlgItemTextW(window, 0xFFFF, message, 1024);
            answer->texts.push_back(message);
            ::SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(button), 0);
            return FALSE;
        }
        return TRUE;
    }
    static LRESULT CALLBACK tick(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
        if (message != WM_TIMER) return ::DefSubclassProc(window, message, wparam, lparam);
        auto* self = reinterpret_cast<MessageBoxAnswer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        ::EnumThreadWindows(::GetCurrentThreadId(), each, reinterpret_cast<LPARAM>(self));
        return 0;
    }

    Answers answers_;
    HWND window_ = nullptr;
};
