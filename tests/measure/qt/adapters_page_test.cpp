// The Adapters page on the real main window: the monitored adapter shows at once, and the
// open adapter lists follow adapters that come and go.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "display/qt/frm_edit_item.h"
#include "measure/qt/adapters_page.h"
#include "support/options_driver.h"

namespace {

QComboBox* monitored(frmOptions& dlg) { return control<QComboBox>(dlg, "Adapters", "Monitored adapter:"); }
QListWidget* summed(frmOptions& dlg) { return show_page(dlg, "Adapters")->findChild<QListWidget*>(); }

TEST(AdaptersPage, ChoosingTheMonitoredAdapterShowsItAndEnablesApply) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    // The list says what it is for.
    int explaining = 0;
    for (QLabel* l : show_page(dlg, "Adapters")->findChildren<QLabel*>())
        explaining += l->text() != "Multiple selected adapters" && l->text().contains("Multiple adapters");
    EXPECT_EQ(explaining, 1);

    QComboBox* choice = monitored(dlg);
    ASSERT_NE(choice, nullptr);
    ASSERT_NE(choice->currentIndex(), 0);
    choice->setCurrentIndex(0);  // "Multiple adapters"
    EXPECT_TRUE(dlg.apply_button()->isEnabled());
    EXPECT_EQ(run.main().state().display_list.front().Adapter, 0);
    EXPECT_EQ(run.main().state().ip_text, "Multiple");
    dlg.apply();
    EXPECT_EQ(run.stored("Adapter"), "0");
}

// Runs the test body in a network namespace of its own, where only its own interfaces come
// and go, and goes back to the test process's namespace afterwards.
class OwnNetworkNamespace {
public:
    OwnNetworkNamespace() {
        home_ = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        entered_ = home_ >= 0 && unshare(CLONE_NEWNET) == 0;
    }
    ~OwnNetworkNamespace() {
        if (entered_) setns(home_, CLONE_NEWNET);
        if (home_ >= 0) close(home_);
    }
    bool entered() const { return entered_; }

private:
    int home_ = -1;
    bool entered_ = false;
};

TEST(AdaptersPage, OpenAdapterListsFollowAdaptersThatComeAndGo) {
    if (geteuid() != 0) GTEST_SKIP() << "making a network namespace needs root";
    OwnNetworkNamespace ns;
    if (!ns.entered()) GTEST_SKIP() << "no network namespace could be made";
    ASSERT_EQ(std::system("ip link set lo up"), 0);

    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    ASSERT_EQ(summed(dlg)->count(), 1);  // lo
    ASSERT_EQ(monitored(dlg)->count(), 2);
    // The item editor is open on a new custom item.
    control<QCheckBox>(dlg, "Layout", "Enable custom items")->click();
    control<QPushButton>(dlg, "Items", "&New")->click();
    auto* editor = dlg.findChild<frmEditItem*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->adapter_list()->count(), 2);

    const std::string a = "kvo" + std::to_string(getpid() % 100000) + "a";
    const std::string b = "veth" + std::to_string(getpid() % 100000) + "b";  // left out as a container's end
    ASSERT_EQ(std::system(("ip link add " + a + " type veth peer name " + b + " && ip addr add 10.77.0.1/24 dev " + a +
                           " && ip link set " + a + " up && ip link set " + b + " up")
                              .c_str()),
              0);
    ASSERT_TRUE(eventually([&] { return summed(dlg)->count() == 2; }));
    EXPECT_EQ(summed(dlg)->item(1)->text(), QString::fromStdString(a));
    EXPECT_EQ(monitored(dlg)->count(), 3);
    EXPECT_EQ(monitored(dlg)->itemText(2), QString::fromStdString(a));
    EXPECT_EQ(editor->adapter_list()->count(), 3);
    EXPECT_EQ(editor->adapter_list()->itemText(2), QString::fromStdString(a));

    // Gone again, it keeps its number and its place in every list, marked as gone.
    ASSERT_EQ(std::system(("ip link del " + a).c_str()), 0);
    const QString gone = QString::fromStdString(a) + " (not present)";
    EXPECT_TRUE(eventually([&] { return summed(dlg)->item(1)->text() == gone; }));
    ASSERT_EQ(summed(dlg)->count(), 2);
    EXPECT_EQ(monitored(dlg)->count(), 3);
    EXPECT_EQ(monitored(dlg)->itemText(2), gone);
    EXPECT_EQ(editor->adapter_list()->count(), 3);
    EXPECT_EQ(editor->adapter_list()->itemText(2), gone);
    editor->reject();
    dlg.cancel();
}

// A monitored adapter whose interface is not there at start (a tunnel not connected yet)
// keeps its number, its name in the lists and the stored setting, through the real dialog.
TEST(AdaptersPageOnMainWindow, AnAbsentMonitoredAdapterIsListedByNameAndStaysChosen) {
    TempDir dir;
    use_temp_home(dir);
    const std::string absent = "kvgone" + std::to_string(::getpid());
    std::filesystem::create_directories(dir.path() / "data" / "Stats");
    std::ofstream(dir.path() / "data" / "Stats" / "Adapters.txt") << "1 lo\n2 " << absent << "\n";
    std::filesystem::create_directories(dir.path() / "config" / "Kelvanto");
    std::ofstream(dir.path() / "config" / "Kelvanto" / "Kelvanto.conf") << "[General]\nAdapter=2\n";

    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    EXPECT_EQ(main.state().settings.Adapter, 2);
    EXPECT_EQ(main.state().ip_text, "0.0.0.0");

    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    dlg->show_page(QStringLiteral("Adapters"));
    auto* page = dlg->findChild<AdaptersPage*>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->monitored_list()->currentText().toStdString(), absent + " (not present)");
    ASSERT_GE(page->summed_list()->count(), 2);
    EXPECT_EQ(page->summed_list()->item(1)->text().toStdString(), absent + " (not present)");

    // Checking it for the sum and applying keeps the monitored adapter as it was.
    page->summed_list()->item(1)->setCheckState(Qt::Checked);
    dlg->apply();
    EXPECT_EQ(main.state().settings.Adapter, 2);
    EXPECT_EQ(main.state().settings.LogAdapter[2], 1);
    page->adapters_changed();
    EXPECT_EQ(page->monitored_list()->currentText().toStdString(), absent + " (not present)");
    dlg->cancel();
    main.UnloadKVT();
    std::ifstream conf(dir.path() / "config" / "Kelvanto" / "Kelvanto.conf");
    const std::string text((std::istreambuf_iterator<char>(conf)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\nAdapter=2\n"), std::string::npos);
}

}  // namespace
