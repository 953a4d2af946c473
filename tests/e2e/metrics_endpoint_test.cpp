#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "support/metrics_program.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A connection that sends nothing; `drop_seen` waits for the server to end it.
struct SilentClient {
    int fd = -1;
    explicit SilentClient(int port) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~SilentClient() {
        if (fd >= 0) ::close(fd);
    }
    bool drop_seen(int timeout_ms) const {
        timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        char c;
        const ssize_t n = ::recv(fd, &c, 1, 0);
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }
};

TEST(MetricsEndpoint, CountsLoopbackTrafficInTheExpositionFormatOnItsAddressOnly) {
    MetricsProgram program("me");
    if (!program.skip_reason().empty()) GTEST_SKIP() << program.skip_reason();
    // A second interface with an address of its own, as a machine's network card.
    ASSERT_TRUE(program.ns().ip("link add kvcard0 type veth peer name kvcard1"));
    ASSERT_TRUE(program.ns().ip("addr add 10.213.7.1/24 dev kvcard0"));
    ASSERT_TRUE(program.ns().ip("link set kvcard0 up"));
    ASSERT_TRUE(program.ns().ip("link set kvcard1 up"));
    // A data cap of 128 MB on the user-defined period, which holds today.
    std::ofstream(program.dir().path() / "config" / "Kelvanto" / "Kelvanto.conf", std::ios::app)
        << "CapAmount=128\nCapUnit=1\n";
    ASSERT_TRUE(program.start()) << program.output();

    // The first reading, after a cycle has taken the counters in.
    std::this_thread::sleep_for(1500ms);
    const auto before = program.lo_received();
    ASSERT_TRUE(before.has_value()) << program.scrape().response;

    constexpr std::size_t kBytes = 32u << 20;
    ASSERT_EQ(loopback_transfer(kBytes), kBytes);
    std::optional<double> after;
    for (auto until = Clock::now() + 15s; Clock::now() < until; std::this_thread::sleep_for(300ms)) {
        after = program.lo_received();
        if (after && *after >= *before + kBytes) break;
    }
    ASSERT_TRUE(after.has_value());
    EXPECT_GE(*after - *before, static_cast<double>(kBytes));
    EXPECT_LE(*after - *before, 1.03 * kBytes);

    const HttpExchange x = program.scrape();
    ASSERT_EQ(x.response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << x.response;
    EXPECT_NE(x.response.find("\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"), std::string::npos);
    const std::string body = x.response.substr(x.response.find("\r\n\r\n") + 4);
    EXPECT_NE(body.find("\n# TYPE kelvanto_transmit_bytes_total counter\n"), std::string::npos) << body;
    EXPECT_NE(body.find("\nkelvanto_receive_bytes_per_second{adapter=\"1\",interface=\"lo\"} "), std::string::npos);
    EXPECT_NE(body.find("\nkelvanto_transmit_bytes_total{adapter=\"2\",interface=\"kvcard0\"} "), std::string::npos);
    EXPECT_NE(body.find("\nkelvanto_build_info{version=\"" KELVANTO_VERSION "\"} 1\n"), std::string::npos);
    // The cap, and the share of it each adapter used: lo counts the 32 MB twice, received
    // and sent, half of the cap.
    EXPECT_NE(body.find("\n# TYPE kelvanto_cap_bytes gauge\nkelvanto_cap_bytes 134217728\n"), std::string::npos) << body;
    const std::string used = "\nkelvanto_cap_used_ratio{adapter=\"1\",interface=\"lo\"} ";
    ASSERT_NE(body.find(used), std::string::npos) << body;
    const double ratio = std::stod(body.substr(body.find(used) + used.size()));
    EXPECT_GE(ratio, 0.5);
    EXPECT_LE(ratio, 0.52);
    EXPECT_NE(body.find("\nkelvanto_cap_used_ratio{adapter=\"2\",interface=\"kvcard0\"} "), std::string::npos);

    const std::filesystem::path exposition = program.dir().path() / "metrics.txt";
    std::ofstream(exposition) << body;
    if (std::system("command -v promtool >/dev/null") != 0) {
        ADD_FAILURE() << "promtool (package prometheus) is missing";
    } else {
        const std::string check = "promtool check metrics < '" + exposition.string() + "' > '" +
                                  (program.dir().path() / "promtool.txt").string() + "' 2>&1";
        EXPECT_EQ(std::system(check.c_str()), 0) << MetricsProgram::slurp(program.dir().path() / "promtool.txt");
    }

    // Only MetricsAddress answers: not the namespace's other address, nor another loopback one.
    EXPECT_FALSE(http_exchange("10.213.7.1", program.port(), http_get("/metrics"), 2000).connected);
    EXPECT_FALSE(http_exchange("127.0.0.2", program.port(), http_get("/metrics"), 2000).connected);
    EXPECT_EQ(program.stop(), 0) << program.output();
}

TEST(MetricsEndpoint, WrongRequestsAndSilentClientsNeitherStopTheCycleNorHoldTheEndpoint) {
    MetricsProgram program("ml");
    if (!program.skip_reason().empty()) GTEST_SKIP() << program.skip_reason();
    ASSERT_TRUE(program.start()) << program.output();
    const int port = program.port();
    EXPECT_EQ(program.scrape().response.find("kelvanto_cap"), std::string::npos) << "no cap is set";

    const HttpExchange missing = http_exchange("127.0.0.1", port, http_get("/"));
    EXPECT_EQ(missing.response.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u) << missing.response;
    const HttpExchange post = http_exchange("127.0.0.1", port, "POST /metrics HTTP/1.1\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(post.response.rfind("HTTP/1.1 405 Method Not Allowed\r\n", 0), 0u) << post.response;
    EXPECT_NE(post.response.find("\r\nAllow: GET, HEAD\r\n"), std::string::npos);
    // Headers without end beyond 8 KiB: answered 431 or dropped, never waited for.
    const HttpExchange huge = http_exchange("127.0.0.1", port, "GET /metrics HTTP/1.1\r\nX: " + std::string(20000, 'x'));
    EXPECT_TRUE(huge.closed_by_server);
    if (!huge.response.empty()) {
        EXPECT_EQ(huge.response.rfind("HTTP/1.1 431 ", 0), 0u) << huge.response;
    }

    // Seven clients that send nothing hold seven of the eight places while traffic flows: the
    // eighth still answers, and the counter moves on with every cycle.
    std::vector<std::unique_ptr<SilentClient>> silent;
    for (int i = 0; i < 7; ++i) silent.push_back(std::make_unique<SilentClient>(port));
    std::atomic<bool> flowing{true};
    std::thread traffic([&] {
        while (flowing) {
            loopback_transfer(256u << 10);
            std::this_thread::sleep_for(50ms);
        }
    });
    std::set<double> readings;
    for (auto until = Clock::now() + 4s; Clock::now() < until; std::this_thread::sleep_for(250ms)) {
        if (const auto v = program.lo_received()) readings.insert(*v);
    }
    flowing = false;
    traffic.join();
    EXPECT_GE(readings.size(), 4u) << "the counter should have changed with at least three cycles";
    for (const auto& s : silent) EXPECT_TRUE(s->drop_seen(8000)) << "a silent client was kept past its 5 seconds";
    silent.clear();

    // With all eight places held, a ninth request waits until a silent client is dropped.
    for (int i = 0; i < 8; ++i) silent.push_back(std::make_unique<SilentClient>(port));
    const auto asked = Clock::now();
    const HttpExchange waited = program.scrape(15000);
    const auto waited_for = Clock::now() - asked;
    EXPECT_EQ(waited.response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << waited.response;
    EXPECT_GE(waited_for, 3s);
    EXPECT_LT(waited_for, 15s);
    silent.clear();

    // 500 idle clients that go away (as a killed process's do) while most of them wait to be
    // taken: every place comes back, and the next scrape is answered.
    sockaddr_in addr{AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    std::vector<int> flood(500);
    for (int& fd : flood) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    std::this_thread::sleep_for(2s);
    for (const int fd : flood) ::close(fd);
    EXPECT_EQ(program.scrape(10000).response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << "the flood kept the endpoint";

    EXPECT_TRUE(program.running());
    EXPECT_EQ(program.stop(), 0) << program.output();
}

TEST(MetricsEndpoint, APortInUseIsReportedOnceAndTheMonitorRunsOn) {
    // The port is taken on the machine's own loopback, by this test.
    const int taken = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(taken, 1), 0);
    ASSERT_EQ(::getsockname(taken, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const int port = ntohs(addr.sin_port);

    MetricsProgram program(port);
    ASSERT_TRUE(program.start_without_waiting());
    const std::filesystem::path stats = program.dir().path() / "data" / "Stats" / "Stats.dat";
    for (auto until = Clock::now() + 20s; Clock::now() < until && !std::filesystem::exists(stats);)
        std::this_thread::sleep_for(100ms);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(program.running());
    EXPECT_TRUE(std::filesystem::exists(stats)) << "the monitor did not start logging";
    EXPECT_EQ(program.stop(), 0);
    ::close(taken);

    const std::string message = "kelvanto: The metrics endpoint cannot listen on 127.0.0.1 port " +
                                std::to_string(port) + " (";
    const std::string out = program.output();
    const std::size_t first = out.find(message);
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_EQ(out.find(message, first + 1), std::string::npos) << "reported more than once:\n" << out;
    EXPECT_NE(out.find("). The monitor runs on without it.\n", first), std::string::npos) << out;
}

}  // namespace
