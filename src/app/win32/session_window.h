#pragma once

#include <functional>

// A hidden top-level window for what the system tells only such windows: a close request
// (taskkill without /F), the end of the session, and a machine going to sleep. It has no
// caption, so a second start looking for the window "Kelvanto" does not find it.
class SessionWindow {
public:
    struct Calls {
        std::function<void()> close_requested;  // the run is to end in order
        std::function<void()> session_ending;   // save now: the process may end after this returns
        std::function<void()> suspending;       // the machine goes to sleep
    };
    explicit SessionWindow(Calls calls);
    ~SessionWindow();
    SessionWindow(const SessionWindow&) = delete;
    SessionWindow& operator=(const SessionWindow&) = delete;

    // Called by the window procedure; returns whether the message was handled.
    bool handle(unsigned message, unsigned long long wparam);

private:
    void* window_ = nullptr;
    Calls calls_;
};
