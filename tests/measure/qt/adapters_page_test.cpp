#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/qt/frm_main.h"
#include "measure/qt/adapters_page.h"
#include "settings/qt/frm_options.h"
#include "support/temp_home.h"

namespace {

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
    EXPECT_EQ(page->monitored_list()->currentText().toStdString(), absent);
    ASSERT_GE(page->summed_list()->count(), 2);
    EXPECT_EQ(page->summed_list()->item(1)->text().toStdString(), absent);

    // Checking it for the sum and applying keeps the monitored adapter as it was.
    page->summed_list()->item(1)->setCheckState(Qt::Checked);
    dlg->apply();
    EXPECT_EQ(main.state().settings.Adapter, 2);
    EXPECT_EQ(main.state().settings.LogAdapter[2], 1);
    page->refresh_adapters();
    EXPECT_EQ(page->monitored_list()->currentText().toStdString(), absent);
    dlg->cancel();
    main.UnloadKVT();
    std::ifstream conf(dir.path() / "config" / "Kelvanto" / "Kelvanto.conf");
    const std::string text((std::istreambuf_iterator<char>(conf)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\nAdapter=2\n"), std::string::npos);
}

}  // namespace
