#include "history/history_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "history/history_list.h"
#include "history/history_report.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

const std::array<std::string, 4> kDailyHeaders{"Date", "Download", "Upload", "Total"};

std::string read_all(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ExportText, EmptyListGivesTheFourHeaderLines) {
    const std::string expected =
        "Kelvanto Daily report\r\n"
        "\r\n"
        "Date                         Download                    Upload                     Total\r\n" +
        std::string(89, '-') + "\r\n";
    EXPECT_EQ(export_text("Daily", kDailyHeaders, {}), expected);
}

TEST(ExportText, RowsArePaddedToTheirWidthsAndLongFieldsPushTheRestRight) {
    const HistoryItems items{
        {{"15/06/2026", "1.50 KB", "100 B", "1.60 KB"}},
        {{"1 - 192.168.100.200xyz", "12345678901234567", "2 B", "3 B"}},
    };
    const std::string out = export_text("Totals", history_headers(kTabTotals), items);
    const std::string row1 = "15/06/2026           " "         1.50 KB" "                     100 B"
                             "                   1.60 KB\r\n";
    const std::string row2 = "1 - 192.168.100.200xyz" "12345678901234567" "                       2 B"
                             "                       3 B\r\n";
    EXPECT_EQ(row1.size(), 91u);
    EXPECT_NE(out.find("\r\n" + row1 + row2), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - row2.size()), row2);
    EXPECT_EQ(out.rfind("Kelvanto Totals report\r\n\r\nAdapter ", 0), 0u);
}

TEST(ExportText, NonAsciiLettersCountAsOneCharacter) {
    const HistoryItems items{{{"2026 März", "1 B", "1 B", "2 B"}}};
    const std::string out = export_text("Monthly", history_headers(kTabMonthly), items);
    EXPECT_NE(out.find("2026 März            " "             1 B"), std::string::npos) << out;
}

TEST(ExportHtml, ACompleteDocumentNamingAdapterAndPeriodAroundTheTable) {
    const HistoryItems items{{{"2026", "1.00 KB", "2.00 KB", "3.00 KB"}}};
    const ExportHeading heading{"Adapter 2 - eth0", "01/06/2026 to 15/06/2026"};
    const std::string expected =
        "<!DOCTYPE html>\r\n<HTML>\r\n<Head>\r\n<Meta charset=\"UTF-8\">\r\n"
        "<Title>Kelvanto Yearly report: Adapter 2 - eth0, 01/06/2026 to 15/06/2026</Title>\r\n</Head>\r\n<Body>\r\n"
        "<H1>Kelvanto Yearly report</H1>\r\n<P>Adapter 2 - eth0, 01/06/2026 to 15/06/2026</P>\r\n"
        "<Center>\r\n<Table Border=\"1\" Cellpadding=\"4\" Cellspacing=\"1\" >\r\n"
        "<tr>\r\n<td align=Left>Year</td>\r\n<td align=Right>Download</td>\r\n<td align=Right>Upload</td>\r\n"
        "<td align=Right>Total</td>\r\n</tr>\r\n"
        "<tr>\r\n<td align=Left>2026</td>\r\n<td align=Right>1.00 KB</td>\r\n<td align=Right>2.00 KB</td>\r\n"
        "<td align=Right>3.00 KB</td>\r\n</tr>\r\n"
        "</Table>\r\n</Center>\r\n</Body>\r\n</HTML>\r\n";
    EXPECT_EQ(export_report(kExportHtml, "Yearly", history_headers(kTabYearly), items, heading), expected);

    const std::string empty = export_html("Daily", kDailyHeaders, {});
    EXPECT_NE(empty.find("<td align=Right>Total</td>\r\n</tr>\r\n</Table>\r\n</Center>\r\n</Body>\r\n</HTML>\r\n"),
              std::string::npos);
}

TEST(ExportHtml, MarkupInTextsIsEscaped) {
    const HistoryItems items{{{"<b>x</b> & <script>", "1 B", "1 B", "2 B"}}};
    const std::string out = export_html("Daily", kDailyHeaders, items);
    EXPECT_NE(out.find("<td align=Left>&lt;b&gt;x&lt;/b&gt; &amp; &lt;script&gt;</td>"), std::string::npos);
    EXPECT_EQ(out.find("<script>"), std::string::npos);
}

TEST(ExportFile, WritesReplacesAndReportsAFileThatCannotBeWritten) {
    TempDir dir;
    const std::string path = dir.str() + "/report.txt";
    ASSERT_TRUE(write_export_file(path, "a much longer first content"));
    ASSERT_TRUE(write_export_file(path, "x\r\n"));
    EXPECT_EQ(read_all(path), "x\r\n");
    EXPECT_FALSE(write_export_file(dir.str() + "/missing/folder/report.txt", "x"));
    EXPECT_FALSE(write_export_file(dir.str(), "x"));  // a folder
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(write_export_file("/dev/full", std::string(1 << 16, 'x')));  // a full disk
    }
}

TEST(HistoryList, SortClicksAndListOrder) {
    HistorySort s{0, 1};
    s = sort_after_click(s, 0);
    EXPECT_EQ(s.order, 0);  // same header: reversed
    s = sort_after_click(s, 0);
    EXPECT_EQ(s.order, 1);
    s = sort_after_click(s, 2);
    EXPECT_EQ(s.column, 2);  // another header: ascending
    EXPECT_EQ(s.order, 0);

    Settings settings;
    settings.TransferredUnitHis = 6;  // bytes
    EnglishLocale locale;
    HistoryRows rows{{"0", kAggregateSortKey, 30, 3, 33}, {"1", 1, 10, 1, 11}, {"", 3, 0, 0, 0}, {"2", 2, 20, 2, 22}};
    sort_for_list(rows, kTabTotals, HistorySort{0, 0});
    HistoryItems items = list_items(rows, HistorySort{0, 0}, settings, locale);
    ASSERT_EQ(items.size(), 3u);  // the row without a label is not shown
    EXPECT_EQ(items[0].cells, (std::array<std::string, 4>{"1", "10 B", "1 B", "11 B"}));
    EXPECT_EQ(items[2].cells[0], "0");  // the aggregate after the adapters

    sort_for_list(rows, kTabTotals, HistorySort{3, 1});
    items = list_items(rows, HistorySort{3, 1}, settings, locale);
    EXPECT_EQ(items[0].cells[3], "33 B");
    EXPECT_EQ(items[2].cells[3], "11 B");
}

TEST(HistoryList, SortStateAndWindowValuesUseTheStoredNames) {
    Settings settings;
    EXPECT_EQ(stored_sort(settings, kTabDaily).order, 1);
    store_sort(settings, kTabMonthly, HistorySort{2, 0});
    const SettingValues sort = sort_setting_values(settings);
    ASSERT_EQ(sort.size(), 10u);
    EXPECT_EQ(sort[6], (std::pair<std::string, std::int64_t>{"lvwSortKey3", 2}));
    EXPECT_EQ(sort[7], (std::pair<std::string, std::int64_t>{"lvwSortOrder3", 0}));

    settings.frmHistoryColWidth[1] = {110, 90, 80, 70};
    const SettingValues window = window_setting_values(settings, kTabDaily, 3);
    ASSERT_EQ(window.size(), 8u);
    EXPECT_EQ(window[0].first, "frmHistoryLeft");
    EXPECT_EQ(window[4].first, "frmHistoryState");
    EXPECT_EQ(window[5], (std::pair<std::string, std::int64_t>{"frmHistoryColWidth(2,1)", 110}));
    EXPECT_EQ(window[7], (std::pair<std::string, std::int64_t>{"frmHistoryColWidth(2,3)", 80}));
}

}  // namespace

namespace {

TEST(ReportArguments, AcceptsTheTabsAndOptionsInAnyOrder) {
    const auto r = parse_report_arguments({"--html", "--report", "weekly", "--adapter", "3"});
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->tab, kTabWeekly);
    EXPECT_EQ(r->format, kExportHtml);
    EXPECT_EQ(r->adapter, 3);
    const auto plain = parse_report_arguments({"--report", "totals"});
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->format, kExportText);
    EXPECT_FALSE(plain->adapter.has_value());
    EXPECT_TRUE(wants_report({"--adapter", "1", "--report"}));
    EXPECT_TRUE(wants_report({"--html"}));
    EXPECT_FALSE(wants_report({"/minimized"}));
}

TEST(ReportArguments, RejectsWhatIsNotAReportCommand) {
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--report"}, {"--report", "hourly"}, {"--report", "daily", "--report", "weekly"},
             {"--report", "daily", "--adapter"}, {"--report", "daily", "--adapter", "-1"},
             {"--report", "daily", "--adapter", "x"}, {"--report", "daily", "--adapter", "100"},
             {"--report", "daily", "/minimized"}, {"--html"}, {"--report", "Daily"}}) {
        EXPECT_FALSE(parse_report_arguments(bad).has_value()) << bad.size() << " " << bad.back();
    }
}

}  // namespace
