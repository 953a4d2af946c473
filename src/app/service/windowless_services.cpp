#include "app/service/windowless_services.h"

#include <QProcess>
#include <QString>
#include <cstdio>

MsgResult ConsoleDialogs::message_box(const MessageBoxRequest& r) {
    std::fprintf(stderr, "kelvanto: %s\n", r.text.c_str());
    // Nobody can answer a question here: it counts as declined.
    switch (r.buttons) {
        case MsgButtons::ok_cancel: return MsgResult::cancel;
        case MsgButtons::yes_no: return MsgResult::no;
        default: return MsgResult::ok;
    }
}

void ConsoleMessageBox::show_message(const std::string& text, bool critical) {
    messages_.line(std::string(critical ? "Error: " : "") + text);
}

void WindowlessShell::open(const std::string& path) {
    if (path.empty()) return;
    messages_.line("not opened without a desktop: " + path);
}

void WindowlessShell::run(const std::string& program, const std::string& arguments) {
    if (program.empty()) return;
    QProcess::startDetached(QString::fromStdString(program), QProcess::splitCommand(QString::fromStdString(arguments)));
}

void WindowlessSound::play_file(const std::string& path) {
    if (path.empty()) return;
    messages_.line("no sound without a desktop: " + path + " not played");
}

void WindowlessSound::play_system(const std::string& alias) {
    messages_.line("no sound without a desktop: " + alias + " not played");
}
