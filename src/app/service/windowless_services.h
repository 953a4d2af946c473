#pragma once

#include "platform/dialogs.h"
#include "platform/message_box.h"
#include "platform/program_messages.h"
#include "platform/shell.h"
#include "platform/sound.h"

// The platform services of a run without a window. What needs a screen (a message window, a
// document opened with its application, a sound) is refused with a line on standard error
// saying why; the journal keeps it for the service.

// Message boxes become lines on standard error; a question counts as declined.
class ConsoleDialogs : public Dialogs {
public:
    MsgResult message_box(const MessageBoxRequest& request) override;
};

// The program's own message box as a line on standard error.
class ConsoleMessageBox : public ProgramMessageBox {
public:
    explicit ConsoleMessageBox(ProgramMessages& messages) : messages_(messages) {}
    void show_message(const std::string& text, bool critical) override;

private:
    ProgramMessages& messages_;
};

// Programs start as in a desktop run; documents and links are not opened, as nobody would
// see them.
class WindowlessShell : public Shell {
public:
    explicit WindowlessShell(ProgramMessages& messages) : messages_(messages) {}
    void open(const std::string& path) override;
    void run(const std::string& program, const std::string& arguments) override;

private:
    ProgramMessages& messages_;
};

// No sound without a desktop session to play it in.
class WindowlessSound : public Sound {
public:
    explicit WindowlessSound(ProgramMessages& messages) : messages_(messages) {}
    void play_file(const std::string& path) override;
    void play_system(const std::string& alias) override;

private:
    ProgramMessages& messages_;
};
