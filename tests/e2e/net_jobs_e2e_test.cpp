// The whole program against a test's own update and time peers on 127.0.0.1.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "settings/text_file.h"
#include "support/loopback_listener.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

// Reads until the blank line that ends an HTTP request, or the timeout.
std::string read_request(int fd, int ms) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[512];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

void send_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// The program with its own folders, asking the peers on `update_port` for updates and on
// `time_port` for the time.
ChildProcess start_program(const TempDir& dir, int update_port, int time_port = 9) {
    return start_process(KELVANTO_BIN, {},
                         {{"KELVANTO_HOME", (dir.path() / "data").string()},
                          {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
                          {"XDG_DATA_HOME", (dir.path() / "share").string()},
                          {"XDG_RUNTIME_DIR", dir.str()},
                          {"QT_QPA_PLATFORM", "offscreen"},
                          {"KELVANTO_UPDATE_PORT", std::to_string(update_port)},
                          {"KELVANTO_TIME_PORT", std::to_string(time_port)}},
                         (dir.path() / "output.txt").string());
}

// SIGTERM and the exit status of the orderly shutdown.
int terminate(ChildProcess& p) {
    ::kill(p.pid, SIGTERM);
    const int status = wait_process(p, 10000);
    kill_process(p);
    return status;
}

TEST(UpdateCheckProgram, AsksTheUpdateServerOnceAtStart) {
    TempDir dir;
    Listener http;
    ChildProcess program = start_program(dir, http.port);
    const int conn = http.accept_within(20000);
    ASSERT_GE(conn, 0) << "no update query arrived";
    const std::string request = read_request(conn, 10000);
    EXPECT_EQ(request.rfind("GET /cgi-bin/update.cgi?", 0), 0u) << request;
    EXPECT_NE(request.find(" HTTP/1.1\r\nHost: www.kelvanto.net\r\n\r\n"), std::string::npos) << request;
    send_all(conn, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\nver=9.99, date=Mar 14, 2027\r\n");
    ::close(conn);

    // The program shows its window and runs on; no second query follows.
    EXPECT_LT(http.accept_within(1500), 0);
    EXPECT_TRUE(process_running(program));
    EXPECT_EQ(terminate(program), 0);
}

TEST(UpdateCheckProgram, SurvivesAFloodOfBinaryAndAReset) {
    TempDir dir;
    Listener http;
    ChildProcess program = start_program(dir, http.port);
    const int conn = http.accept_within(20000);
    ASSERT_GE(conn, 0);
    read_request(conn, 10000);
    std::string junk(1 << 20, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 131 % 251);
    send_all(conn, junk);
    linger hard{1, 0};
    ::setsockopt(conn, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    ::close(conn);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(process_running(program));
    EXPECT_EQ(terminate(program), 0);
}

// An answer a week ahead of the clock is refused, said on standard error, and no success:
// nothing is stored and the next attempt waits.
TEST(TimeSyncProgram, AutomaticSyncRefusesATimeAWeekAway) {
    TempDir dir;
    const std::string conf_path = (dir.path() / "config" / "Kelvanto" / "Kelvanto.conf").string();
    std::filesystem::create_directories(dir.path() / "config" / "Kelvanto");
    ASSERT_TRUE(replace_text_file(conf_path, "[General]\nSyncAuto=1\nCheckForUpdate=0\n"));
    Listener http;
    Listener time_server;
    ChildProcess program = start_program(dir, http.port, time_server.port);

    const int conn = time_server.accept_within(20000);
    ASSERT_GE(conn, 0) << "no time query arrived";
    // Seconds since 1900, big-endian.
    const auto t = static_cast<std::uint32_t>(::time(nullptr) + 7 * 86400 + 2208988800LL);
    const std::string answer{static_cast<char>(t >> 24), static_cast<char>(t >> 16), static_cast<char>(t >> 8), static_cast<char>(t)};
    send_all(conn, answer);
    ::close(conn);
    EXPECT_LT(time_server.accept_within(2000), 0) << "a failed attempt is not repeated at once";
    EXPECT_LT(http.accept_within(0), 0) << "no update check when it is off";
    EXPECT_EQ(terminate(program), 0);
    const std::string conf = read_text_file(conf_path).value_or("");
    EXPECT_EQ(conf.find(" sec)"), std::string::npos) << conf;
    EXPECT_EQ(conf.find("\nSyncLast="), std::string::npos) << conf;
    const std::string out = read_text_file((dir.path() / "output.txt").string()).value_or("");
    EXPECT_NE(out.find(", 7 days ahead of this computer's clock; an automatic synchronization moves it by an hour"),
              std::string::npos) << out;
}

}  // namespace
