#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "support/metrics_program.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kPrometheus = "/usr/bin/prometheus";

// A Prometheus server scrapes the running program once a second; its query API then knows
// the loopback interface's received bytes, at least what the test sent.
TEST(PrometheusScrape, ARealServerScrapesTheProgramAndAnswersAQueryForLoopbackBytes) {
    if (!std::filesystem::exists(kPrometheus)) GTEST_SKIP() << "the prometheus package is not installed";
    MetricsProgram program("ps");
    if (!program.skip_reason().empty()) GTEST_SKIP() << program.skip_reason();
    ASSERT_TRUE(program.start()) << program.output();

    const std::filesystem::path dir = program.dir().path() / "prometheus";
    std::filesystem::create_directories(dir / "data");
    std::ofstream(dir / "prometheus.yml") << "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                                             "scrape_configs:\n  - job_name: kelvanto\n    static_configs:\n"
                                             "      - targets: ['127.0.0.1:"
                                          << program.port() << "']\n";
    const int web_port = free_local_port();
    ASSERT_GT(web_port, 0);
    ChildProcess server = start_process(
        "/usr/sbin/ip",
        {"netns", "exec", program.ns().name(), kPrometheus, "--config.file=" + (dir / "prometheus.yml").string(),
         "--storage.tsdb.path=" + (dir / "data").string(), "--web.listen-address=127.0.0.1:" + std::to_string(web_port)},
        {}, (dir / "output.txt").string());
    ASSERT_GT(server.pid, 0);

    constexpr std::size_t kBytes = 4u << 20;
    ASSERT_EQ(loopback_transfer(kBytes), kBytes);

    const std::string query = "GET /api/v1/query?query=kelvanto_receive_bytes_total%7Binterface%3D%22lo%22%7D "
                              "HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    double value = -1;
    std::string last;
    for (auto until = std::chrono::steady_clock::now() + 90s;
         std::chrono::steady_clock::now() < until && value < static_cast<double>(kBytes);
         std::this_thread::sleep_for(500ms)) {
        last = http_exchange("127.0.0.1", web_port, query, 5000).response;
        const std::size_t body = last.find("\r\n\r\n");
        if (last.rfind("HTTP/1.1 200", 0) != 0 || body == std::string::npos) continue;
        const auto json = nlohmann::json::parse(last.substr(body + 4), nullptr, false);
        if (json.is_discarded() || !json.contains("data")) continue;
        const auto& result = json["data"]["result"];
        if (!result.is_array() || result.empty()) continue;
        EXPECT_EQ(result[0]["metric"]["adapter"], "1");
        EXPECT_EQ(result[0]["metric"]["job"], "kelvanto");
        value = std::stod(result[0]["value"][1].get<std::string>());
    }
    ::kill(server.pid, SIGTERM);
    wait_process(server, 20000);
    kill_process(server);
    ASSERT_GE(value, 0.0) << "no answer with the series; last: " << last << "\nprometheus:\n"
                        << MetricsProgram::slurp(dir / "output.txt");
    // What it holds is the loopback's traffic: the test's bytes and the scrapes', no more.
    EXPECT_GE(value, static_cast<double>(kBytes));
    EXPECT_LT(value, 2.0 * kBytes);
    EXPECT_EQ(program.stop(), 0) << program.output();
}

}  // namespace
