#include <gtest/gtest.h>
#include <sched.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/date.h"
#include "core/qt/frm_main.h"
#include "display/qt/frm_edit_item.h"
#include "display/qt/frm_sys_tray.h"
#include "display/qt/item_panel.h"
#include "display/qt/qimage_canvas.h"
#include "support/recording_canvas.h"
#include "history/log_files.h"
#include "platform/linux/system_clock.h"
#include "settings/text_file.h"
#include "settings/qt/frm_options.h"
#include "support/cap_rule.h"
#include "support/net_namespace.h"
#include "support/options_driver.h"
#include "support/temp_home.h"

namespace {

constexpr double MB = 1024.0 * 1024.0;

std::string as_text(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

// Daily logs of adapter 1 with the given bytes per day (half received, half sent), and a
// Stats.dat whose log began `start`.
void write_logs(const std::string& data_dir, double start, const std::map<double, double>& days) {
    make_dir(stats_dir(data_dir));
    StatsRecord stats;
    stats.start_date = start;
    stats.adapters.resize(1);
    ASSERT_TRUE(replace_text_file(stats_file_path(data_dir), as_text(encode_stats(stats))));
    std::map<int, std::array<TrafficPair, kDaysPerYearTable>> years;
    for (const auto& [day, bytes] : days) years[year_of(day)][static_cast<std::size_t>(day_index(day))] = {bytes / 2, bytes / 2};
    for (const auto& [year, table] : years)
        ASSERT_TRUE(replace_text_file(year_file_path(data_dir, year, 1), as_text(encode_day_table(table))));
}

// The main window of a user with a period from three days ago to ten days ahead, shown in the
// first overview section, and 799 MB used in it: 500 MB on its first day and 299 MB the day
// before today. The 900 MB of the day before the period do not count.
//
// The test runs in a network namespace of its own: its only adapter is lo, down, so nothing
// but the prepared logs is counted.
TEST(CapOverview, SectionTextAndColourFollowTheShareOfTheCap) {
    if (::unshare(CLONE_NEWNET) != 0) GTEST_SKIP() << "needs a network namespace of its own (root)";
    TempDir home;
    use_temp_home(home);
    const double today = std::floor(SystemClock().now());
    write_logs(home.str() + "/data/", today - 30, {{today - 4, 900 * MB}, {today - 3, 500 * MB}, {today - 1, 299 * MB}});
    {
        QtSettingsBackend settings;
        for (const auto& [name, value] : std::map<std::string, double>{{"Adapter", 1},
                                                                        {"CheckForUpdate", 0},
                                                                        {"Transfer OverView No. 1", 10},
                                                                        {"CusPerDay", 0},
                                                                        {"CusPerFrom", today - 3},
                                                                        {"CusPerTo", today + 10}})
            settings.write(name, std::to_string(static_cast<long long>(value)));
        settings.flush();
    }
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.show();
    // The options preview recomputes what the first update cycle measured.
    ASSERT_TRUE(QTest::qWaitFor([&main] { return main.state().cycle.cycles_run > 0; }, 5000));
    const int height_without_cap = main.height();
    // The display list is formed afresh with every settings save: look the section up each time.
    const auto section = [&main]() -> const FormItem& { return main.state().display_list[2]; };
    ASSERT_EQ(section().Period, 10);

    // The cap is set on the Period page: the section gets its two rows at once.
    main.open_options();
    frmOptions* dlg = main.options_window();
    auto* amount = control<QLineEdit>(*dlg, "Period", "Data cap:");
    auto* unit = control<QComboBox>(*dlg, "Period", "Cap unit:");
    ASSERT_NE(amount, nullptr);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(amount->text(), "0");
    EXPECT_EQ(unit->currentText(), "GB");

    const ColourScheme& c = main.state().settings.colours;
    struct Case {
        const char* amount;
        const char* unit;
        const char* text;
        std::uint32_t colour;
    };
    // The colour grows stronger: the overlap colour (yellow) from 80 %, the upload one (red)
    // from 100 %.
    for (const Case& k : {Case{"1000", "MB", "799.00 MB of 1000 MB, 79 %", c.Background},
                          Case{"999999999", "TB", "799.00 MB of 999999999 TB, 0 %", c.Background},
                          Case{"1022720", "KB", "799.00 MB of 1022720 KB, 80 %", c.DownloadUpload},
                          Case{"818176", "KB", "799.00 MB of 818176 KB, 100 %", c.GraphUp},
                          Case{"500", "MB", "799.00 MB of 500 MB, 159 %", c.GraphUp}}) {
        SCOPED_TRACE(k.text);
        unit->setCurrentText(k.unit);
        amount->setText(k.amount);
        QTest::qWait(20);
        EXPECT_EQ(main.height(), height_without_cap + 32);
        EXPECT_EQ(section().Height, 81);
        // The rows below the amounts, left and right of the texts.
        const QImage& shown = main.Backbuffer();
        for (const QPoint p : {QPoint(4, section().Top + 49), QPoint(190, section().Top + 50), QPoint(2, section().Top + 80)})
            EXPECT_EQ(shown.pixel(p), to_qcolor(k.colour).rgb()) << p.x() << "," << p.y();

        // The texts, drawn again from the same state into a recording canvas.
        RecordingCanvas rec(main.width(), main.height());
        DisplayCache cache;
        const EnglishLocale locale;
        RefreshScreen(main.state(), rec, cache, DrawInputs{locale, SystemClock().now(), nullptr}, true);
        const CanvasOp* cap = rec.find_text(k.text);
        ASSERT_NE(cap, nullptr);
        EXPECT_EQ(cap->points[0].y, section().Top + 51);
        EXPECT_EQ(cap->colour, c.Values);
        // 399.5 MB a day on the two days with data, ten more days: 4794 MB.
        const CanvasOp* pace = rec.find_text("at this pace 4.7 GB");
        ASSERT_NE(pace, nullptr);
        EXPECT_EQ(pace->points[0].y, section().Top + 67);

        main.update_tray();
        EXPECT_TRUE(main.findChild<frmSysTray*>()->tooltip().endsWith(k.text)) << main.findChild<frmSysTray*>()->tooltip().toStdString();
    }

    // Cancel takes the cap away again, and the section its rows.
    dlg->cancel();
    QTest::qWait(20);
    EXPECT_EQ(main.state().settings.CapAmount, 0);
    EXPECT_EQ(main.height(), height_without_cap);
    EXPECT_EQ(section().Height, 49);
    EXPECT_FALSE(main.findChild<frmSysTray*>()->tooltip().contains(" of "));
    main.UnloadKVT();
}

// Before there is a pace one cap line, no empty band; the window grows, the graph keeps its height.
TEST(CapOverview, WithoutAPaceOneCapLineAndTheGraphKeepsItsHeight) {
    ProgramRun run;
    run.preset("CapAmount", "5");
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    frmOptions& dlg = run.options();
    control<QCheckBox>(dlg, "Layout", "Enable custom items")->click();
    const int height = main.height();
    auto* panel = dlg.findChild<ItemPanel*>();
    show_page(dlg, "Items");
    panel->list()->setCurrentRow(2);
    panel->button_modify()->click();
    for (const int period : {10, 0}) {
        panel->editor()->period_list()->setCurrentIndex(period);
        QTest::qWait(20);
        EXPECT_EQ(main.state().display_list[2].Height, period == 10 ? 49 + 16 : 49);
        EXPECT_EQ(main.height(), period == 10 ? height + 16 : height);
        EXPECT_EQ(main.state().settings.GraphHeight, 117);
    }
}

int count_lines(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) ++n;
    return n;
}

// A rule "When lo User defined download + upload reaches 80 % of the cap add entry to
// alerts.txt" on a 20 MB cap, with real traffic on the loopback interface of the test's own
// network namespace (lo counts every byte twice, received and sent): it fires once past 16 MB
// and not again above; the cap raised to 40 MB on the Period page, it fires once more past
// 32 MB, without a restart.
TEST(CapOverview, ARuleOnAShareOfTheCapFollowsTheCapChangedOnThePeriodPage) {
    if (::unshare(CLONE_NEWNET) != 0) GTEST_SKIP() << "needs a network namespace of its own (root)";
    if (std::system("ip link set lo up") != 0) GTEST_SKIP() << "could not bring up the namespace's loopback (iproute2)";
    TempDir home;
    use_temp_home(home);
    const double today = std::floor(SystemClock().now());
    {
        QtSettingsBackend settings;
        for (const auto& [name, value] : std::map<std::string, double>{
                 {"Adapter", 1}, {"CheckForUpdate", 0}, {"CusPerDay", 0}, {"CusPerFrom", today},
                 {"CusPerTo", today + 30}, {"CapAmount", 20}, {"CapUnit", 1}})
            settings.write(name, std::to_string(static_cast<long long>(value)));
        settings.flush();
    }
    const std::string data_dir = home.str() + "/data/";
    const std::string alerts = home.str() + "/alerts.txt";
    make_dir(stats_dir(data_dir));
    ASSERT_TRUE(save_cap_share_rule(data_dir, alerts, false));

    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.show();
    ASSERT_TRUE(QTest::qWaitFor([&main] { return main.state().cycle.cycles_run > 1; }, 5000));
    // Sends `mb` MB over lo and lets the update cycles and the rules see them.
    const auto send = [](std::size_t mb) {
        const std::size_t bytes = mb << 20;
        EXPECT_EQ(loopback_transfer(bytes), bytes);
        QTest::qWait(2500);
    };
    send(5);  // 10 MB
    EXPECT_EQ(count_lines(alerts), 0);
    send(4);  // 18 MB
    EXPECT_EQ(count_lines(alerts), 1);
    send(2);  // 22 MB
    EXPECT_EQ(count_lines(alerts), 1) << "fires once, not again above the threshold";

    main.open_options();
    frmOptions* dlg = main.options_window();
    auto* amount = control<QLineEdit>(*dlg, "Period", "Data cap:");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->text(), "20");
    amount->setText("40");
    dlg->ok();
    send(3);  // 28 MB: below 32 MB, headers included
    EXPECT_EQ(count_lines(alerts), 1);
    send(4);  // 36 MB
    main.UnloadKVT();
    if (std::floor(SystemClock().now()) != today) GTEST_SKIP() << "the run crossed midnight";

    std::ifstream in(alerts);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_EQ(count_lines(alerts), 2) << text.str();
    // 18 and 36 MB of data, and the TCP/IP headers lo counts with them.
    const std::vector<double> reached = reached_megabytes(text.str());
    ASSERT_EQ(reached.size(), 2u) << text.str();
    EXPECT_TRUE(reached[0] >= 18 && reached[0] < 20) << text.str();
    EXPECT_TRUE(reached[1] >= 36 && reached[1] < 40) << text.str();
}

}  // namespace
