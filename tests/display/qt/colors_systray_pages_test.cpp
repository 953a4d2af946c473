// The Colors and Systray pages on the real main window: presets and colours reach the
// window, the tray picture, "Preset.ini" and the settings file, and survive a restart.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "settings/colour_presets.h"
#include "display/qt/colors_page.h"
#include "display/qt/frm_sys_tray.h"
#include "support/options_driver.h"

namespace {

QColor background_pixel(frmMain& main) { return colour_at(main.Backbuffer(), 1, 1); }

QColor tray_background(frmMain& main) { return colour_at(main.findChild<frmSysTray*>()->picture(), 4, 4); }

// Picks a colour in the colour dialog that `swatch` opens, with a look at the live preview.
void pick(QAbstractButton* swatch, const QColor& colour) {
    click_closing_blocking_colour_dialogs(swatch);
    QColorDialog* dialog = open_colour_dialog();
    ASSERT_NE(dialog, nullptr);
    dialog->setCurrentColor(colour);
    dialog->accept();
}

void write_night_preset(const std::string& data_dir) {
    std::filesystem::create_directories(data_dir);
    ColourScheme night;
    night.Background = rgb(0, 0, 64);
    ASSERT_TRUE(write_preset(preset_file_path(data_dir), "Night", night));
}

TEST(ColorsPage, OkKeepsTheColoursOfThePresetInPresetIni) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    show_page(dlg, "Colors");
    auto* page = dlg.findChild<ColorsPage*>();
    ASSERT_NE(page, nullptr);

    // The first change of the built-in colours makes "Untitled"; the second changes it.
    pick(page->picColor[0], QColor(10, 20, 30));
    EXPECT_EQ(run.main().state().settings.ColorPreset, "Untitled");
    pick(page->picColor[0], QColor(40, 50, 60));
    EXPECT_EQ(background_pixel(run.main()), QColor(40, 50, 60));
    EXPECT_TRUE(dlg.apply_button()->isEnabled());
    dlg.ok();
    EXPECT_EQ(read_preset(preset_file_path(run.data_dir()), "Untitled").Background, rgb(40, 50, 60));

    ASSERT_TRUE(run.restart());
    EXPECT_EQ(run.main().state().settings.ColorPreset, "Untitled");
    EXPECT_EQ(background_pixel(run.main()), QColor(40, 50, 60));
}

TEST(ColorsPage, ChoosingAPresetShowsItAndEnablesApply) {
    ProgramRun run;
    write_night_preset(run.data_dir());
    ASSERT_TRUE(run.start());
    EXPECT_EQ(background_pixel(run.main()), QColor(225, 225, 255));
    frmOptions& dlg = run.options();
    show_page(dlg, "Colors");
    auto* page = dlg.findChild<ColorsPage*>();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->lstPresets->count(), 2);

    page->lstPresets->setCurrentRow(1);
    EXPECT_EQ(background_pixel(run.main()), QColor(0, 0, 64));
    EXPECT_TRUE(dlg.apply_button()->isEnabled());
    dlg.apply();
    EXPECT_EQ(run.stored("ColorPreset"), "Night");

    ASSERT_TRUE(run.restart());
    EXPECT_EQ(background_pixel(run.main()), QColor(0, 0, 64));
}

// Deleting a preset waits for OK or Apply, as removing an alert rule does: Cancel keeps it.
TEST(ColorsPage, DeleteTakesEffectWithApplyAndCancelKeepsThePreset) {
    ProgramRun run;
    write_night_preset(run.data_dir());
    const std::string file = preset_file_path(run.data_dir());
    ASSERT_TRUE(run.start());
    for (const bool apply : {false, true}) {
        frmOptions& dlg = run.options();
        show_page(dlg, "Colors");
        auto* page = dlg.findChild<ColorsPage*>();
        page->lstPresets->setCurrentRow(1);
        page->cmdDelete->click();
        EXPECT_EQ(preset_names(file), std::vector<std::string>{"Night"}) << "\"Preset.ini\" changed before OK or Apply";
        apply ? dlg.apply() : dlg.cancel();
        EXPECT_EQ(preset_names(file).size(), apply ? 0u : 1u);
    }
}

TEST(SystrayPage, TrayColoursHaveOneEditorWithALivePreview) {
    ProgramRun run;
    write_night_preset(run.data_dir());
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    ASSERT_EQ(tray_background(main), QColor(0, 128, 0));
    frmOptions& dlg = run.options();

    // The Colors page has no second copy of the tray colours.
    EXPECT_FALSE(page_text(dlg, "Colors").contains("Tray", Qt::CaseInsensitive));

    // The tray picture follows the colour dialog and goes back when it is cancelled.
    auto* background = control<QPushButton>(dlg, "Systray", "Background:");
    ASSERT_NE(background, nullptr);
    click_closing_blocking_colour_dialogs(background);
    QColorDialog* colours = open_colour_dialog();
    ASSERT_NE(colours, nullptr);
    EXPECT_EQ(colours->windowTitle(), "Color");
    colours->setCurrentColor(QColor(255, 0, 0));
    EXPECT_EQ(tray_background(main), QColor(255, 0, 0));
    colours->reject();
    EXPECT_EQ(tray_background(main), QColor(0, 128, 0));

    // The swatch shows the colour itself, untinted.
    pick(background, QColor(255, 0, 0));
    const QImage swatch = background->grab().toImage();
    EXPECT_EQ(colour_at(swatch, swatch.width() / 2, swatch.height() / 2), QColor(255, 0, 0));
    pick(background, QColor(0, 0, 255));
    EXPECT_EQ(tray_background(main), QColor(0, 0, 255));
    EXPECT_TRUE(dlg.apply_button()->isEnabled());
    dlg.apply();
    EXPECT_EQ(run.stored("SysTrayColorBackground"), QString::number(rgb(0, 0, 255)));

    // Another preset leaves the tray colours alone.
    show_page(dlg, "Colors");
    dlg.findChild<ColorsPage*>()->lstPresets->setCurrentRow(1);
    EXPECT_EQ(tray_background(main), QColor(0, 0, 255));
    EXPECT_EQ(main.state().settings.SysTrayColorBackground, static_cast<std::int32_t>(rgb(0, 0, 255)));
    dlg.ok();
    EXPECT_EQ(run.stored("SysTrayColorBackground"), QString::number(rgb(0, 0, 255)));

    ASSERT_TRUE(run.restart());
    EXPECT_EQ(tray_background(run.main()), QColor(0, 0, 255));
}

}  // namespace
