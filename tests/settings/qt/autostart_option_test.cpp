#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "core/qt/frm_main.h"
#include "settings/autostart.h"
#include "settings/qt/frm_options.h"
#include "settings/text_file.h"
#include "support/temp_home.h"

namespace {

QCheckBox* check_box(frmOptions& dlg, const QString& caption) {
    for (QCheckBox* box : dlg.findChildren<QCheckBox*>())
        if (box->text() == caption) return box;
    return nullptr;
}

// A program in a build folder (its marker beside it) starts without a login item; the user
// ticks "Start with the desktop session" and the entry then starts that very program.
TEST(AutostartOption, FromABuildFolderTheEntryAppearsWhenTheUserTicksTheBox) {
    TempDir dir;
    use_temp_home(dir);
    const std::filesystem::path build = dir.path() / "clone" / "build";
    std::filesystem::create_directories(build);
    std::ofstream(build / kBuildFolderMarker) << "build folder\n";
    const std::string entry_file = dir.str() + "/config/autostart/kelvanto.desktop";

    frmMain main(StartOptions{false, (build / "kelvanto").string()});
    ASSERT_TRUE(main.Form_Load());
    EXPECT_FALSE(std::filesystem::exists(entry_file));

    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    dlg->show_page("Window");
    QCheckBox* autostart = check_box(*dlg, "Start with the desktop session");
    ASSERT_NE(autostart, nullptr);
    EXPECT_FALSE(autostart->isChecked());
    dlg->apply();  // storing other settings leaves the entry alone
    EXPECT_FALSE(std::filesystem::exists(entry_file));

    autostart->click();
    dlg->apply_button()->click();
    EXPECT_EQ(read_text_file(entry_file).value_or(""),
              autostart_entry_text((build / "kelvanto").string() + " /minimized"));
    dlg->ok();
    main.UnloadKVT();
}

}  // namespace
