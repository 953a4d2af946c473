#include "display/qt/colors_page.h"

#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "settings/colour_presets.h"
#include "display/qt/qimage_canvas.h"
#include "support/temp_dir.h"

namespace {

struct ColorsPageTest : ::testing::Test {
    TempDir dir;
    Settings s;
    std::unique_ptr<ColorsPage> page;
    int redraws = 0;

    void open() {
        page = std::make_unique<ColorsPage>(s, dir.str() + "/");
        QObject::connect(page.get(), &ColorsPage::redraw_main, [this] { ++redraws; });
        page->show();
    }
    QString swatch_colour(int n) const {
        return to_qcolor(static_cast<std::uint32_t>(page->picColor[static_cast<std::size_t>(n)]->property("colour").toULongLong())).name();
    }
};

TEST_F(ColorsPageTest, CancelAfterPreviewRestoresTheSwatchAndTheWindow) {
    open();
    const QString before = swatch_colour(0);
    page->picColor[0]->click();
    QColorDialog* dlg = page->colour_dialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "Color");
    dlg->setCurrentColor(QColor(10, 20, 30));
    EXPECT_EQ(swatch_colour(0), "#0a141e");
    EXPECT_EQ(s.colours.Background, rgb(10, 20, 30));
    EXPECT_EQ(redraws, 1);
    dlg->setCurrentColor(QColor(40, 50, 60));
    EXPECT_EQ(redraws, 2);
    dlg->reject();
    EXPECT_EQ(page->colour_dialog(), nullptr);
    EXPECT_EQ(swatch_colour(0), before);
    EXPECT_EQ(s.colours.Background, rgb(225, 225, 255));
    EXPECT_EQ(redraws, 3);
    EXPECT_EQ(page->lstPresets->count(), 1);
}

TEST_F(ColorsPageTest, OkOnDefaultCreatesUntitledAndEnablesSave) {
    open();
    EXPECT_FALSE(page->cmdSave->isEnabled());
    EXPECT_FALSE(page->cmdDelete->isEnabled());
    page->picColor[3]->click();
    page->colour_dialog()->setCurrentColor(QColor(1, 2, 3));
    page->colour_dialog()->accept();
    ASSERT_EQ(page->lstPresets->count(), 2);
    EXPECT_EQ(page->lstPresets->currentItem()->text(), "Untitled");
    EXPECT_TRUE(page->cmdSave->isEnabled());
    EXPECT_TRUE(page->cmdDelete->isEnabled());
    EXPECT_EQ(s.colours.Values, rgb(1, 2, 3));
}

TEST_F(ColorsPageTest, NewPresetWindowRefusesBadNamesAndAddsGoodOnes) {
    open();
    page->cmdNew->click();
    frmPresetName* w = page->name_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), "frmNew");
    EXPECT_EQ(w->windowTitle(), "New preset");
    EXPECT_FALSE(page->isEnabled());

    w->txtName->setText(QStringLiteral("default"));
    w->cmdOK->click();
    EXPECT_EQ(w->lblMessage->text(), "'default' already exists");
    w->txtName->setText(QStringLiteral(" x"));
    w->cmdOK->click();
    EXPECT_EQ(w->lblMessage->text(), "Illegal preset name");
    EXPECT_EQ(page->name_window(), w);

    w->txtName->setText(QStringLiteral("Night"));
    w->cmdOK->click();
    EXPECT_EQ(page->name_window(), nullptr);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_EQ(page->lstPresets->currentItem()->text(), "Night");
    EXPECT_EQ(preset_names(dir.str() + "/Preset.ini"), std::vector<std::string>{"Night"});

    // Rename starts from the current name, fully selected.
    page->cmdRename->click();
    w = page->name_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), "frmRename");
    EXPECT_EQ(w->txtName->selectedText(), "Night");
    w->reject();
    EXPECT_TRUE(page->isEnabled());
}

TEST_F(ColorsPageTest, DeletingTheSecondEntrySelectsDefault) {
    ColourScheme dark;
    dark.Background = 0;
    write_preset(dir.str() + "/Preset.ini", "Dark", dark);
    s.ColorPreset = "Dark";
    s.colours = dark;
    open();
    EXPECT_EQ(page->lstPresets->currentRow(), 1);
    page->cmdDelete->click();
    EXPECT_EQ(page->lstPresets->count(), 1);
    EXPECT_EQ(page->lstPresets->currentRow(), 0);
    EXPECT_EQ(s.ColorPreset, "Default");
    EXPECT_EQ(swatch_colour(0), "#e1e1ff");
    EXPECT_EQ(redraws, 1);
}

}  // namespace
