#pragma once

#include <cstdint>
#include <functional>

// A message-only window: the one-thread event loop's way of receiving socket notices
// (WSAAsyncSelect), timers (SetTimer) and messages posted from other threads. Its messages
// go to `handler` on the thread that made it, from that thread's message loop.
class MessageWindow {
public:
    using Handler = std::function<void(unsigned message, std::uintptr_t wparam, std::intptr_t lparam)>;
    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    void* handle() const { return window_; }
    // A single-shot wait: `timer_elapsed` is called once after `ms`; a later call replaces it.
    void start_timer(int ms, std::function<void()> timer_elapsed);
    void stop_timer();
    // Posts `message` to the window; safe from any thread.
    bool post(unsigned message, std::uintptr_t wparam = 0, std::intptr_t lparam = 0) const;

    // Called by the window procedure.
    void dispatch(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

private:
    void* window_ = nullptr;
    Handler handler_;
    std::function<void()> timer_elapsed_;
};

// Message numbers of the program's own (WM_APP and up).
inline constexpr unsigned kSocketMessage = 0x8000 + 1;
inline constexpr unsigned kStopMessage = 0x8000 + 2;

// Runs the calling thread's message loop until `done()` holds (checked after every
// message, and every `look_ms` when that is set: for what other threads change without a
// message) or `timeout_ms` have passed; true when done. A top-level window with the window
// property kDialogKeysProperty gets its keys through IsDialogMessageW, as a dialog does: Tab
// and Shift+Tab move between its controls, Enter arrives as WM_COMMAND IDOK (or the window's
// DM_GETDEFID answer), Escape as WM_COMMAND IDCANCEL.
inline constexpr const wchar_t* kDialogKeysProperty = L"KelvantoDialogKeys";
bool pump_messages(const std::function<bool()>& done, int timeout_ms, int look_ms = 0);
