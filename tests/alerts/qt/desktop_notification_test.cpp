#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "alerts/qt/alert_page.h"
#include "alerts/qt/frm_msg_box.h"
#include "alerts/rule_files.h"
#include "core/qt/frm_main.h"
#include "settings/qt/frm_options.h"
#include "support/desktop.h"
#include "support/notification_service.h"
#include "support/process.h"
#include "support/temp_home.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool wait_for_file(const fs::path& p, int ms) {
    for (int waited = 0; waited < ms && !fs::exists(p); waited += 50) std::this_thread::sleep_for(50ms);
    return fs::exists(p);
}

// The Test button of the alert page on a rule that shows a desktop notification: with no
// notification service on the session bus the program's message window shows the rule's
// sentence and the message; once a service runs, it receives them instead.
TEST(DesktopNotification, MessageWindowWithoutAServiceAndTheServiceOnceItRuns) {
    if (!missing_programs({"dbus-run-session"}).empty()) GTEST_SKIP() << "needs dbus-run-session (dbus-daemon)";
    // The session bus is chosen once per process, when the first main window is made.
    if (QDBusConnection(QStringLiteral("qt_default_session_bus")).isConnected())
        GTEST_SKIP() << "an earlier test in this process chose the session bus";
    TempDir dir;
    use_temp_home(dir);
    SessionBus bus(dir.str());
    ASSERT_TRUE(bus.running());
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(bus.address()));

    // "Every time Multiple adapters download reaches 0 kb/s show a desktop notification".
    WorkingRules working;
    LiveRules live;
    AlertRule& r = working.rules[0];
    r.Name = "Any traffic";
    r.Enabled = 0;  // switched off, so only the Test button runs it
    r.ConditionKind = RateReached;
    r.value(0, 0) = {"Multiple adapters", "0"};
    r.value(0, 1) = {"download", "0"};
    r.value(0, 2) = {"0 kb/s", "0|0"};
    r.value(0, 3) = {"Every time", "1"};
    r.Actions[ShowNotification] = kSwitchedOn;
    working.count = 1;
    const std::string data_dir = dir.str() + "/data/";
    fs::create_directories(data_dir + "Stats");
    ASSERT_TRUE(save_all_rules(working, live, data_dir));

    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.show();
    main.open_options();
    frmOptions* dlg = main.options_window();
    dlg->show_page("Alerts");
    AlertPage* page = dlg->findChild<AlertPage*>();
    ASSERT_NE(page, nullptr);
    const std::string title = "Every time Multiple adapters download reaches 0 kb/s";
    const std::string text = "Transfer rate down has reached 0 kb/s.";

    page->button("Test")->click();
    auto* box = main.findChild<frmMsgBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([box] { return box->isVisible(); }, 5000));
    EXPECT_EQ(box->windowTitle(), "Kelvanto");
    EXPECT_EQ(box->text().toStdString(), title + "\n" + text);
    box->accept();

    const fs::path calls = dir.path() / "notified.txt";
    ChildProcess service = start_process(kSystemPython, {write_notification_service(dir.path()).string(), calls.string()},
                                         {{"DBUS_SESSION_BUS_ADDRESS", bus.address()}});
    ASSERT_TRUE(wait_for_file(calls.string() + ".ready", 10000));
    page->button("Test")->click();
    EXPECT_TRUE(QTest::qWaitFor([&calls] { return fs::exists(calls); }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(read_all(calls), "Kelvanto\t" + title + "\t" + text + "\n");
    EXPECT_FALSE(box->isVisible());
    kill_process(service);
    dlg->cancel();
    main.UnloadKVT();
}

}  // namespace
