#include "app/win32/key_note.h"

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include "platform/win32/win32_text.h"

namespace {

HWND as_window(void* p) { return static_cast<HWND>(p); }

TTTOOLINFOW tool_for(HWND owner) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_IDISHWND;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    return tool;
}

}  // namespace

KeyNote::~KeyNote() {
    if (tip_ != nullptr) ::DestroyWindow(as_window(tip_));
}

void KeyNote::show(void* owner, const std::string& text) {
    const HWND window = as_window(owner);
    if (tip_ == nullptr || owner_ != owner) {
        if (tip_ != nullptr) ::DestroyWindow(as_window(tip_));
        tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        if (tip_ == nullptr) return;
        owner_ = owner;
        TTTOOLINFOW tool = tool_for(window);
        tool.lpszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(as_window(tip_), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageW(as_window(tip_), TTM_SETMAXTIPWIDTH, 0, 400);
    }
    const std::wstring wide = widen(text);
    TTTOOLINFOW tool = tool_for(window);
    tool.lpszText = const_cast<wchar_t*>(wide.c_str());
    ::SendMessageW(as_window(tip_), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT at{8, 8};
    ::ClientToScreen(window, &at);
    ::SendMessageW(as_window(tip_), TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(as_window(tip_), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    ::SetTimer(window, kKeyNoteTimer, kKeyNoteMs, nullptr);
}

void KeyNote::hide() {
    if (owner_ != nullptr) ::KillTimer(as_window(owner_), kKeyNoteTimer);
    if (tip_ == nullptr) return;
    TTTOOLINFOW tool = tool_for(as_window(owner_));
    ::SendMessageW(as_window(tip_), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}
