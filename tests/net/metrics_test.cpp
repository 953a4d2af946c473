#include <gtest/gtest.h>

#include "core/update_cycle.h"
#include "history/log_fixture.h"
#include "core/counters.h"
#include "net/metrics_http.h"
#include "net/program_metrics.h"

namespace {

// The running program's exposition over a day change: loopback and eth0, eth0 with 5000
// bytes received on an earlier day of its log.
TEST(ProgramMetrics, CountersGrowAcrossMidnightAndRatesAreTheShownAverages) {
    LogFixture f(2, make_date(2026, 6, 15, 23, 59, 57));
    f.tables.add_interface(1, "lo");
    f.tables.add_interface(2, "eth0");
    f.tables.add_address(1, 127, 0, 0, 1);
    f.tables.add_address(2, 192, 168, 0, 2);
    make_dir(stats_dir(f.state.data_dir));
    StatsRecord record;
    record.start_date = make_date(2026, 6, 1);
    record.adapters.resize(2);
    spit(stats_file_path(f.state.data_dir), encode_stats(record));
    std::array<TrafficPair, kDaysPerYearTable> earlier{};
    earlier[static_cast<std::size_t>(day_index(make_date(2026, 6, 10)))] = {5000.0, 300.0};
    spit(year_file_path(f.state.data_dir, 2026, 2), encode_day_table(earlier));
    f.state.settings.BandwidthCalc = 2;
    ASSERT_EQ(f.start(), LoadStateResult::ok);
    read_counters(f.state, f.services, f.hooks);
    take_start_counters(f.state);

    std::uint64_t rx = 0;
    std::uint64_t tx = 0;
    auto cycle = [&](std::uint64_t down, std::uint64_t up) {
        rx += down;
        tx += up;
        f.tables.set_counters(2, rx, tx);
        f.clock.advance_seconds(1.0);
        update_cycle(f.state, f.services, f.hooks, false);
    };
    cycle(1000, 10);  // 23:59:58
    EXPECT_EQ(program_metrics_text(f.state, f.services),
              "# HELP kelvanto_receive_bytes_total Bytes received by the adapter since its traffic log began.\n"
              "# TYPE kelvanto_receive_bytes_total counter\n"
              "kelvanto_receive_bytes_total{adapter=\"1\",interface=\"lo\"} 0\n"
              "kelvanto_receive_bytes_total{adapter=\"2\",interface=\"eth0\"} 6000\n"
              "# HELP kelvanto_transmit_bytes_total Bytes sent by the adapter since its traffic log began.\n"
              "# TYPE kelvanto_transmit_bytes_total counter\n"
              "kelvanto_transmit_bytes_total{adapter=\"1\",interface=\"lo\"} 0\n"
              "kelvanto_transmit_bytes_total{adapter=\"2\",interface=\"eth0\"} 310\n"
              "# HELP kelvanto_receive_bytes_per_second Current download rate of the adapter.\n"
              "# TYPE kelvanto_receive_bytes_per_second gauge\n"
              "kelvanto_receive_bytes_per_second{adapter=\"1\",interface=\"lo\"} 0\n"
              "kelvanto_receive_bytes_per_second{adapter=\"2\",interface=\"eth0\"} 1000\n"
              "# HELP kelvanto_transmit_bytes_per_second Current upload rate of the adapter.\n"
              "# TYPE kelvanto_transmit_bytes_per_second gauge\n"
              "kelvanto_transmit_bytes_per_second{adapter=\"1\",interface=\"lo\"} 0\n"
              "kelvanto_transmit_bytes_per_second{adapter=\"2\",interface=\"eth0\"} 10\n"
              "# HELP kelvanto_build_info The running program's version.\n"
              "# TYPE kelvanto_build_info gauge\n"
              "kelvanto_build_info{version=\"" KELVANTO_VERSION "\"} 1\n");

    // Over midnight the day's bytes move into the stored part; the counter never falls back.
    double last = 0.0;
    for (int s = 0; s < 4; ++s) {
        cycle(500, 1);
        const std::vector<AdapterFigures> figures = adapter_figures(f.state, {"", "lo", "eth0"}, f.clock.now());
        ASSERT_EQ(figures.size(), 2u);
        EXPECT_EQ(figures[1].received_total, 6000.0 + 500.0 * (s + 1)) << "cycle " << s;
        EXPECT_GE(figures[1].received_total, last);
        last = figures[1].received_total;
        // Bandwidth Calc. 2: the mean of the last two one-second rates.
        EXPECT_EQ(figures[1].receive_rate, s == 0 ? 750.0 : 500.0);
    }
    EXPECT_EQ(day_index(f.clock.now()), day_index(make_date(2026, 6, 16)));
}

TEST(MetricsHttp, RequestsAreClassifiedOnceTheirHeadersEnd) {
    EXPECT_EQ(classify_metrics_request("GET /metrics HTTP/1.1\r\nHost: x\r\n"), MetricsRequest::incomplete);
    EXPECT_EQ(classify_metrics_request("GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n"), MetricsRequest::metrics);
    EXPECT_EQ(classify_metrics_request("GET /metrics?x=1 HTTP/1.0\n\n"), MetricsRequest::metrics);
    EXPECT_EQ(classify_metrics_request("HEAD /metrics HTTP/1.1\r\n\r\n"), MetricsRequest::metrics_head);
    EXPECT_EQ(classify_metrics_request("GET /metrics/ HTTP/1.1\r\n\r\n"), MetricsRequest::not_found);
    EXPECT_EQ(classify_metrics_request("GET / HTTP/1.1\r\n\r\n"), MetricsRequest::not_found);
    EXPECT_EQ(classify_metrics_request("DELETE /metrics HTTP/1.1\r\n\r\n"), MetricsRequest::method_not_allowed);
    EXPECT_EQ(classify_metrics_request("GET /metrics\r\n\r\n"), MetricsRequest::bad_request);
    EXPECT_EQ(classify_metrics_request("G(T /metrics HTTP/1.1\r\n\r\n"), MetricsRequest::bad_request);
    EXPECT_EQ(classify_metrics_request("\x16\x03\x01\x02\r\n\r\n"), MetricsRequest::bad_request);  // TLS hello
    const std::string long_header = "GET /metrics HTTP/1.1\r\nX: " + std::string(kMetricsRequestLimit, 'x');
    EXPECT_EQ(classify_metrics_request(long_header), MetricsRequest::too_large);
    EXPECT_EQ(classify_metrics_request(long_header + "\r\n\r\n"), MetricsRequest::too_large);

    const std::string head = metrics_response(MetricsRequest::metrics_head, "a 1\n");
    EXPECT_EQ(head, "HTTP/1.1 200 OK\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"
                    "Content-Length: 4\r\nConnection: close\r\n\r\n");
}

TEST(MetricsExposition, LabelValuesAndNumbersAreWrittenSafely) {
    // Interface names may hold quotes and backslashes, and bytes that are no UTF-8.
    EXPECT_EQ(exposition_label_value("a\"b\\c\nd\xff" "e\xc3\xa9"), "a\\\"b\\\\c\\nd\xEF\xBF\xBD" "e\xc3\xa9");
    EXPECT_EQ(exposition_label_value("\xe0\x80\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong
    EXPECT_EQ(exposition_number(1099511627776.0), "1099511627776");
    EXPECT_EQ(exposition_number(0.5), "0.5");
    EXPECT_EQ(exposition_number(1e300), "1e+300");
}

}  // namespace
