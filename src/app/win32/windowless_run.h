#pragma once

#include <atomic>
#include <string>

#include "platform/dialogs.h"

class MessageWindow;

// Asks a logging run to end in order, from any thread (the service manager's stop, a
// console's Ctrl+C). A request made before the run's loop is up is carried out as soon as
// it is.
class StopSwitch {
public:
    void request();
    // The run's message window, where the request is posted; nullptr when the loop ends.
    void attach(const MessageWindow* window);
    bool requested() const { return requested_.load(); }

private:
    std::atomic<bool> requested_{false};
    std::atomic<const MessageWindow*> window_{nullptr};
};

enum class RunRole { desktop, service };

// What a desktop run with a window starts with.
struct WindowStart {
    bool minimized = false;  // "/minimized": hidden in the tray from the start
};

// The logging run, without a window unless asked for one: the application on the Win32 platform layer, its timer
// on a message-only window, until a stop, the end of the session or a close request. Only
// one copy logs into a data folder: a desktop start while the service logs there takes the
// logging over (the service saves its logs and ends first) and starts the service again at
// its own end; a service start while another copy logs ends at once, and so does a second
// desktop start. With `window` the desktop run shows the main window and the tray icon.
// Returns the exit status.
int run_logging(RunRole role, StopSwitch& stop, const WindowStart* window = nullptr);

// Messages for the user on standard error, questions answered "no", as a run without a window
// has nobody to click. With `window` set (a run with a main window) they are that window's
// message boxes.
class ConsoleDialogs : public Dialogs {
public:
    Dialogs* window = nullptr;
    MsgResult message_box(const MessageBoxRequest& request) override;
};
