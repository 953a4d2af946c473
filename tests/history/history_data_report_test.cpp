#include <gtest/gtest.h>

#include "history/history_data_report.h"
#include "history/history_report.h"
#include "history/history_table_amounts.h"
#include "history/log_fixture.h"
#include "platform/locale.h"

namespace {

// Logs written as files: eleven adapters, logging began on Saturday 26 December 2026 and
// today is Tuesday 5 January 2027. Adapter 11 received 1000 x (k + 1) bytes and sent k + 1
// on the k-th day of the log; adapter 1 received 1 TiB and sent 7 bytes on New Year's Eve;
// the others logged nothing. Adapter 1 alone forms the aggregate.
struct PreparedLogs {
    LogFixture f{11, make_date(2027, 1, 5, 12, 0, 0)};
    EnglishLocale locale;
    double start = static_cast<double>(day_number(2026, 12, 26));
    ReportAdapters adapters;

    PreparedLogs() {
        make_dir(stats_dir(f.state.data_dir));
        StatsRecord record;
        record.start_date = start;
        record.adapters.resize(11);
        spit(stats_file_path(f.state.data_dir), encode_stats(record));
        for (int year : {2026, 2027}) {
            std::array<TrafficPair, kDaysPerYearTable> eleven{};
            std::array<TrafficPair, kDaysPerYearTable> one{};
            for (int k = 0; k <= 10; ++k) {
                const double d = start + k;
                if (year_of(d) == year) eleven[static_cast<std::size_t>(day_index(d))] = {1000.0 * (k + 1), k + 1.0};
            }
            if (year == 2026) one[364] = {1099511627776.0, 7.0};
            spit(year_file_path(f.state.data_dir, year, 11), encode_day_table(eleven));
            spit(year_file_path(f.state.data_dir, year, 1), encode_day_table(one));
        }
        f.state.settings.LogAdapter[1] = 1;
        EXPECT_EQ(load_state(f.state, f.services), LoadStateResult::ok);
        load_history(f.state, f.services);
        adapters.interface_names.assign(12, "");
        adapters.interface_names[1] = "lo";
        adapters.interface_names[2] = "eth0";
        adapters.interface_names[11] = "we\"ird,0";  // Linux allows quotes and commas in names
    }

    std::string report(HistoryTab tab, int format, int adapter, int first_day = 2) {
        const HistoryTableAmounts log(f.state.traffic.logs.history);
        const HistoryRowSource source{log, f.state.stats.start_date, f.clock.now(), adapter, 11, first_day, locale};
        return history_report(tab, format, source, adapters, f.state.settings);
    }
};

TEST(DataReport, EveryTabAsJsonAndCsvByteForByte) {
    PreparedLogs logs;
    const std::string subject = R"("adapter":11,"interface":"we\"ird,0","rows":[)";

    EXPECT_EQ(logs.report(kTabDaily, kReportJson, 11),
              R"({"report":"daily",)" + subject +
                  R"({"period":"2026-12-26","download":1000,"upload":1,"total":1001},)"
                  R"({"period":"2026-12-27","download":2000,"upload":2,"total":2002},)"
                  R"({"period":"2026-12-28","download":3000,"upload":3,"total":3003},)"
                  R"({"period":"2026-12-29","download":4000,"upload":4,"total":4004},)"
                  R"({"period":"2026-12-30","download":5000,"upload":5,"total":5005},)"
                  R"({"period":"2026-12-31","download":6000,"upload":6,"total":6006},)"
                  R"({"period":"2027-01-01","download":7000,"upload":7,"total":7007},)"
                  R"({"period":"2027-01-02","download":8000,"upload":8,"total":8008},)"
                  R"({"period":"2027-01-03","download":9000,"upload":9,"total":9009},)"
                  R"({"period":"2027-01-04","download":10000,"upload":10,"total":10010},)"
                  R"({"period":"2027-01-05","download":11000,"upload":11,"total":11011}]})"
                  "\n");
    EXPECT_EQ(logs.report(kTabDaily, kReportCsv, 11),
              "period,download,upload,total\n2026-12-26,1000,1,1001\n2026-12-27,2000,2,2002\n2026-12-28,3000,3,3003\n"
              "2026-12-29,4000,4,4004\n2026-12-30,5000,5,5005\n2026-12-31,6000,6,6006\n2027-01-01,7000,7,7007\n"
              "2027-01-02,8000,8,8008\n2027-01-03,9000,9,9009\n2027-01-04,10000,10,10010\n2027-01-05,11000,11,11011\n");

    // Weeks starting on Monday: the week of New Year is week 53 of 2026, begun on 28 December.
    EXPECT_EQ(logs.report(kTabWeekly, kReportJson, 11, 2),
              R"({"report":"weekly",)" + subject +
                  R"({"period":"2026-12-21","label":"2026 52","download":3000,"upload":3,"total":3003},)"
                  R"({"period":"2026-12-28","label":"2026 53","download":42000,"upload":42,"total":42042},)"
                  R"({"period":"2027-01-04","label":"2027 01","download":21000,"upload":21,"total":21021}]})"
                  "\n");
    EXPECT_EQ(logs.report(kTabWeekly, kReportCsv, 11, 2),
              "period,label,download,upload,total\n2026-12-21,2026 52,3000,3,3003\n2026-12-28,2026 53,42000,42,42042\n"
              "2027-01-04,2027 01,21000,21,21021\n");
    // Weeks starting on Sunday: 27 December to 2 January is week 52, 3 January begins week 1.
    EXPECT_EQ(logs.report(kTabWeekly, kReportJson, 11, 1),
              R"({"report":"weekly",)" + subject +
                  R"({"period":"2026-12-20","label":"2026 51","download":1000,"upload":1,"total":1001},)"
                  R"({"period":"2026-12-27","label":"2026 52","download":35000,"upload":35,"total":35035},)"
                  R"({"period":"2027-01-03","label":"2027 01","download":30000,"upload":30,"total":30030}]})"
                  "\n");
    EXPECT_EQ(logs.report(kTabWeekly, kReportCsv, 11, 1),
              "period,label,download,upload,total\n2026-12-20,2026 51,1000,1,1001\n2026-12-27,2026 52,35000,35,35035\n"
              "2027-01-03,2027 01,30000,30,30030\n");

    EXPECT_EQ(logs.report(kTabMonthly, kReportJson, 11),
              R"({"report":"monthly",)" + subject +
                  R"({"period":"2026-12","download":21000,"upload":21,"total":21021},)"
                  R"({"period":"2027-01","download":45000,"upload":45,"total":45045}]})"
                  "\n");
    EXPECT_EQ(logs.report(kTabMonthly, kReportCsv, 11),
              "period,download,upload,total\n2026-12,21000,21,21021\n2027-01,45000,45,45045\n");
    EXPECT_EQ(logs.report(kTabYearly, kReportJson, 11),
              R"({"report":"yearly",)" + subject +
                  R"({"period":"2026","download":21000,"upload":21,"total":21021},)"
                  R"({"period":"2027","download":45000,"upload":45,"total":45045}]})"
                  "\n");
    EXPECT_EQ(logs.report(kTabYearly, kReportCsv, 11),
              "period,download,upload,total\n2026,21000,21,21021\n2027,45000,45,45045\n");

    // Totals in adapter order, the aggregate first; adapters without a known name get null
    // in JSON and an empty field in CSV.
    std::string totals_rows = R"({"adapter":0,"interface":null,"download":1099511627776,"upload":7,"total":1099511627783},)"
                              R"({"adapter":1,"interface":"lo","download":1099511627776,"upload":7,"total":1099511627783},)"
                              R"({"adapter":2,"interface":"eth0","download":0,"upload":0,"total":0},)";
    std::string totals_csv = "adapter,interface,download,upload,total\n0,,1099511627776,7,1099511627783\n"
                             "1,lo,1099511627776,7,1099511627783\n2,eth0,0,0,0\n";
    for (int a = 3; a <= 10; ++a) {
        totals_rows += R"({"adapter":)" + std::to_string(a) + R"(,"interface":null,"download":0,"upload":0,"total":0},)";
        totals_csv += std::to_string(a) + ",,0,0,0\n";
    }
    totals_rows += R"({"adapter":11,"interface":"we\"ird,0","download":66000,"upload":66,"total":66066}]})";
    totals_csv += "11,\"we\"\"ird,0\",66000,66,66066\n";
    EXPECT_EQ(logs.report(kTabTotals, kReportJson, 0),
              R"({"report":"totals","adapter":0,"interface":null,"cap":null,"rows":[)" + totals_rows + "\n");
    EXPECT_EQ(logs.report(kTabTotals, kReportCsv, 0), totals_csv);
}

TEST(DataReport, NamesThatAreNotUtf8StillGiveValidJson) {
    PreparedLogs logs;
    logs.adapters.interface_names[11] = "bad\xff\xfe";
    const std::string json = logs.report(kTabYearly, kReportJson, 11);
    EXPECT_EQ(json.rfind(R"({"report":"yearly","adapter":11,"interface":"bad)"
                         "\xEF\xBF\xBD\xEF\xBF\xBD\",",
                         0),
              0u)
        << json;
}

}  // namespace
