#pragma once

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "support/net_namespace.h"
#include "support/process.h"
#include "support/temp_dir.h"

// The whole program with its metrics endpoint on, in a folder of its own: inside a network
// namespace made for it (the calling thread enters it too, so the test's sockets and traffic
// are there), or on the machine's loopback with a given port.
class MetricsProgram {
public:
    // In a fresh namespace named after `tag`; `skip_reason` tells why that was not possible.
    explicit MetricsProgram(const std::string& tag) : ns_(std::make_unique<NetNamespace>(tag)) {
        if (!ns_->ok()) {
            skip_ = ns_->error();
            return;
        }
        in_ns_ = std::make_unique<InNetns>(*ns_);
        if (!in_ns_->entered()) skip_ = "could not enter the test's network namespace";
        write_settings();
    }
    // On the machine's own loopback, with `port` as MetricsPort.
    explicit MetricsProgram(int port) : port_(port) { write_settings(); }
    ~MetricsProgram() { kill_process(child_); }

    const std::string& skip_reason() const { return skip_; }
    const NetNamespace& ns() const { return *ns_; }
    const TempDir& dir() const { return dir_; }
    int port() const { return port_; }

    bool start_without_waiting() {
        const std::string bin = KELVANTO_BIN;
        const std::map<std::string, std::string> env{{"KELVANTO_HOME", (dir_.path() / "data").string()},
                                                     {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
                                                     {"XDG_DATA_HOME", (dir_.path() / "share").string()},
                                                     {"QT_QPA_PLATFORM", "offscreen"}};
        const std::string log = (dir_.path() / "output.txt").string();
        child_ = ns_ ? start_process("/usr/sbin/ip", {"netns", "exec", ns_->name(), bin}, env, log)
                     : start_process(bin, {}, env, log);
        return child_.pid > 0;
    }
    // Starts the program and waits until the endpoint answers.
    bool start() {
        if (!start_without_waiting()) return false;
        for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
             std::chrono::steady_clock::now() < until && running();
             std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
            if (scrape(2000).response.rfind("HTTP/1.1 200 OK\r\n", 0) == 0) return true;
        }
        return false;
    }
    bool running() const { return process_running(child_); }
    // SIGTERM, the orderly end; returns the exit status (-1 when it did not end in time).
    int stop() {
        if (child_.pid <= 0) return -1;
        ::kill(child_.pid, SIGTERM);
        const int status = wait_process(child_, 20000);
        kill_process(child_);
        return status;
    }

    HttpExchange scrape(int timeout_ms = 5000) const {
        return http_exchange("127.0.0.1", port_, http_get("/metrics"), timeout_ms);
    }
    // The loopback interface's received-bytes counter as the endpoint reports it now.
    std::optional<double> lo_received() const {
        const std::string r = scrape().response;
        const std::string series = "\nkelvanto_receive_bytes_total{adapter=\"1\",interface=\"lo\"} ";
        const std::size_t at = r.find(series);
        if (r.rfind("HTTP/1.1 200 OK\r\n", 0) != 0 || at == std::string::npos) return std::nullopt;
        return std::stod(r.substr(at + series.size()));
    }
    std::string output() const { return slurp(dir_.path() / "output.txt"); }
    static std::string slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    void write_settings() {
        std::filesystem::create_directories(dir_.path() / "config" / "Kelvanto");
        std::ofstream(dir_.path() / "config" / "Kelvanto" / "Kelvanto.conf")
            << "[General]\nMetricsPort=" << port_ << "\nMetricsAddress=127.0.0.1\nCheckForUpdate=0\n";
    }

    std::unique_ptr<NetNamespace> ns_;
    std::unique_ptr<InNetns> in_ns_;
    std::string skip_;
    TempDir dir_;
    int port_ = 9477;  // any port is free in a namespace of one's own
    ChildProcess child_;
};
