#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "core/qt/frm_main.h"
#include "settings/autostart.h"
#include "settings/qt/frm_options.h"
#include "settings/qt/options_page.h"
#include "settings/text_file.h"
#include "support/temp_home.h"

namespace {

QCheckBox* check_box(frmOptions& dlg, const QString& caption) {
    for (QCheckBox* box : dlg.page("Window")->findChildren<QCheckBox*>())
        if (box->text() == caption) return box;
    return nullptr;
}

// The Window page's note on a program in a build folder, or "" when it shows none.
QString build_folder_note(frmOptions& dlg) {
    for (QLabel* label : dlg.page("Window")->findChildren<QLabel*>())
        if (label->text().startsWith("Runs from a build folder")) return label->text();
    return {};
}

// A program in a build folder (its marker beside it) starts without a login item and says so
// beside the check box; the user ticks "Start with the desktop session" and the entry then
// starts that very program. An installed program later takes the entry over.
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
    EXPECT_EQ(build_folder_note(*dlg), "Runs from a build folder: when ticked, the desktop session starts this copy (" +
                                           QString::fromStdString((build / "kelvanto").string()) + ").");
    dlg->apply();  // storing other settings leaves the entry alone
    EXPECT_FALSE(std::filesystem::exists(entry_file));

    autostart->click();
    dlg->apply_button()->click();
    EXPECT_EQ(read_text_file(entry_file).value_or(""),
              autostart_entry_text((build / "kelvanto").string() + " /minimized"));
    dlg->ok();
    main.UnloadKVT();

    const std::string installed = (dir.path() / "prefix" / "bin" / "kelvanto").string();
    frmMain later(StartOptions{false, installed});
    ASSERT_TRUE(later.Form_Load());
    EXPECT_EQ(read_text_file(entry_file).value_or(""), autostart_entry_text(installed + " /minimized"));
    later.open_options();
    EXPECT_EQ(build_folder_note(*later.options_window()), "");
    later.options_window()->cancel();
    later.UnloadKVT();
}

}  // namespace
