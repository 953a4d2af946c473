#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/link_speed.h"
#include "platform/mail_socket.h"
#include "platform/message_box.h"
#include "platform/notifier.h"
#include "platform/power.h"
#include "platform/program_messages.h"
#include "platform/shell.h"
#include "platform/sound.h"

// Records every call in one list, so tests can check the order of the actions.
struct ActionLog {
    std::vector<std::string> calls;
};

class FakePower : public Power {
public:
    explicit FakePower(ActionLog& log) : log_(log) {}
    void reboot() override { log_.calls.push_back("reboot"); }
    void shutdown() override { log_.calls.push_back("shutdown"); }

private:
    ActionLog& log_;
};

class FakeShell : public Shell {
public:
    explicit FakeShell(ActionLog& log) : log_(log) {}
    void open(const std::string& path) override { log_.calls.push_back("open " + path); }
    void run(const std::string& program, const std::string& args) override {
        log_.calls.push_back("run " + program + " [" + args + "]");
    }

private:
    ActionLog& log_;
};

class FakeSound : public Sound {
public:
    explicit FakeSound(ActionLog& log) : log_(log) {}
    void play_file(const std::string& path) override { log_.calls.push_back("sound " + path); }
    void play_system(const std::string& alias) override { log_.calls.push_back("system sound " + alias); }

private:
    ActionLog& log_;
};

class FakeMsgBox : public ProgramMessageBox {
public:
    std::vector<std::string> shown;
    void show_message(const std::string& text, bool /*critical*/) override { shown.push_back(text); }
};

class FakeNotifier : public Notifier {
public:
    std::vector<std::pair<std::string, std::string>> shown;  // title, text
    void notify(const std::string& title, const std::string& text) override { shown.emplace_back(title, text); }
};

class FakeLinkSpeed : public LinkSpeed {
public:
    std::map<std::string, double> speeds;
    int reads = 0;
    double speed_bps(const std::string& name) override {
        ++reads;
        const auto it = speeds.find(name);
        return it == speeds.end() ? 0.0 : it->second;
    }
};

// The text without its Date: and Message-ID: lines, which differ from mail to mail.
inline std::string without_stamps(std::string text) {
    for (const char* name : {"\r\nDate: ", "\r\nMessage-ID: "}) {
        for (std::size_t at; (at = text.find(name)) != std::string::npos;) text.erase(at + 2, text.find("\r\n", at + 2) - at);
    }
    return text;
}

// A socket that records what the sender asks of it.
class FakeMailSocket : public MailSocket {
public:
    std::vector<std::string> connects;
    std::string written;
    int closes = 0;
    int timer_ms = -1;  // -1: stopped
    void connect_to(const std::string& host, int port) override { connects.push_back(host + ":" + std::to_string(port)); }
    void write(const std::string& bytes) override { written += bytes; }
    // Marks the point in the byte stream where TLS starts.
    void start_tls() override { written += "<TLS>"; }
    void close() override { ++closes; }
    void start_timer(int ms) override { timer_ms = ms; }
    void stop_timer() override { timer_ms = -1; }
};

class RecordingMessages : public ProgramMessages {
public:
    std::vector<std::string> lines;
    void line(const std::string& text) override { lines.push_back(text); }
};
