// The options dialog itself on the real main window: where it opens, what comes forward
// when it is opened again, its window staying put on Apply, and "&Apply" following every
// control that changes a setting.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "settings/colour_presets.h"
#include "display/qt/colors_page.h"
#include "support/options_driver.h"

namespace {

TEST(OptionsDialog, OpensAgainOnThePageShownLast) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions* dlg = &run.options();
    EXPECT_EQ(dlg->current_page(), "Connection");
    dlg->show_page("Graph");
    dlg->ok();
    dlg = &run.options();
    EXPECT_EQ(dlg->current_page(), "Graph");
    dlg->show_page("Reset");
    dlg->cancel();
    EXPECT_EQ(run.options().current_page(), "Reset");
    run.options().show_page("Systray");
    run.options().cancel();
    ASSERT_TRUE(run.restart());
    EXPECT_EQ(run.options().current_page(), "Systray");
}

TEST(OptionsDialog, OpeningItAgainBringsItsOpenPresetNameWindowForward) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    control<QPushButton>(dlg, "Colors", "&New")->click();
    auto* page = dlg.findChild<ColorsPage*>();
    ASSERT_NE(page->name_window(), nullptr);
    QWidget* name_window = page->name_window();
    EXPECT_TRUE(eventually([&] { return QApplication::activeWindow() == name_window; }));

    run.main().activateWindow();
    ASSERT_TRUE(eventually([&] { return QApplication::activeWindow() == &run.main(); }));
    run.main().open_options();  // "&Settings..." while the dialog is open
    EXPECT_TRUE(eventually([&] { return QApplication::activeWindow() == name_window; }));
    EXPECT_EQ(run.main().options_window(), &dlg);
    name_window->close();
}

TEST(OptionsDialog, OpensOnTopSoApplyKeepsItsWindow) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    ASSERT_EQ(run.main().state().settings.AlwaysOnTop, 1);
    frmOptions& dlg = run.options();
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const WId native = dlg.winId();
    QWindow* window = dlg.windowHandle();

    control<QRadioButton>(dlg, "Graph", "Bar graph")->click();
    dlg.apply();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.windowHandle(), window);
    EXPECT_EQ(dlg.winId(), native);
    EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// Changes one control the way a user would; false when it offers nothing to change.
bool change(QWidget* w) {
    if (!w->isEnabled() || !w->isVisibleTo(w->window())) return false;
    if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        if (radio->isChecked()) return false;
        radio->click();
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
        box->click();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->count() < 2) return false;
        combo->setCurrentIndex(combo->currentIndex() == 0 ? 1 : 0);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        if (edit->isReadOnly() || qobject_cast<QComboBox*>(edit->parentWidget())) return false;
        QTest::keyClicks(edit, "1");
    } else if (auto* slider = qobject_cast<QSlider*>(w)) {
        slider->setValue(slider->value() == slider->minimum() ? slider->minimum() + 1 : slider->minimum());
    } else if (auto* date = qobject_cast<QDateEdit*>(w)) {
        date->setDate(date->date().addDays(-1));
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        QListWidgetItem* item = list->count() > 0 ? list->item(0) : nullptr;
        if (item == nullptr) return false;
        if (item->data(Qt::CheckStateRole).isValid()) {  // a list of check boxes
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        } else if (list->count() > 1) {
            list->setCurrentRow(list->currentRow() == 1 ? 0 : 1);
        } else {
            return false;
        }
    } else {
        return false;
    }
    return true;
}

TEST(OptionsDialog, EveryControlThatChangesASettingEnablesApply) {
    // The remote report must not leave the machine while its switch is tried.
    qputenv("KELVANTO_REMOTE_HOST", "127.0.0.1");
    qputenv("KELVANTO_REMOTE_PORT", "9");
    ProgramRun run;
    // A second colour preset, so that the preset list offers a choice.
    std::filesystem::create_directories(run.data_dir());
    ASSERT_TRUE(write_preset(preset_file_path(run.data_dir()), "Night", ColourScheme{}));
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    QStringList pages;
    for (QTreeWidgetItemIterator it(dlg.findChild<QTreeWidget*>()); *it; ++it) pages << (*it)->text(0);
    ASSERT_EQ(pages.size(), 18);

    int tried = 0;
    for (const QString& page : pages) {
        QWidget* shown = show_page(dlg, page);
        for (QWidget* w : shown->findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QCheckBox*>(w) && !qobject_cast<QRadioButton*>(w))
                continue;  // push buttons open windows or run commands
            show_page(dlg, page);
            ASSERT_FALSE(dlg.apply_button()->isEnabled()) << page.toStdString();
            bool changed = false;
            answering({QMessageBox::No, QMessageBox::No}, [&] { changed = change(w); });
            if (!changed) continue;
            ++tried;
            QString what = page + ": " + w->metaObject()->className() + " " + w->objectName();
            if (auto* b = qobject_cast<QAbstractButton*>(w)) what += " " + b->text();
            EXPECT_TRUE(dlg.apply_button()->isEnabled()) << what.toStdString();
            answering({QMessageBox::No, QMessageBox::No}, [&] { dlg.apply(); });
            ASSERT_FALSE(dlg.apply_button()->isEnabled()) << what.toStdString();
        }
    }
    EXPECT_GT(tried, 60);
    qunsetenv("KELVANTO_REMOTE_HOST");
    qunsetenv("KELVANTO_REMOTE_PORT");
}

}  // namespace
