#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>

#include "alerts/qt/alert_page.h"
#include "alerts/qt/frm_edit.h"
#include "core/qt/frm_main.h"
#include "core/qt/window_tour.h"
#include "display/qt/frm_edit_item.h"
#include "display/qt/item_panel.h"
#include "display/qt/secondary_windows.h"
#include "history/qt/frm_history.h"
#include "settings/qt/frm_options.h"
#include "support/temp_home.h"

namespace {

// Runs the deletions a closed window asked for, as the event loop would.
void let_closed_windows_go() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

frmHistory* history_of(frmMain& main) { return main.findChild<frmHistory*>(QString(), Qt::FindDirectChildrenOnly); }

// Every secondary window of the main window is destroyed when the user closes it, so the
// memory it held returns; what it stores (the history window's size) is kept for the next
// time it opens.
TEST(ClosedWindows, EveryWindowIsDestroyedWhenClosedAndItsStoredStateKept) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());

    // The options dialog with the item editor and the rule editor opened and closed in it.
    main.open_options();
    QPointer<frmOptions> options = main.options_window();
    ASSERT_NE(options, nullptr);
    options->show_page("Layout");
    QCheckBox* custom = nullptr;
    for (QCheckBox* box : options->findChildren<QCheckBox*>())
        if (box->text() == "Enable custom items") custom = box;
    ASSERT_NE(custom, nullptr);
    custom->click();
    options->show_page("Items");
    auto* panel = options->findChild<ItemPanel*>();
    ASSERT_NE(panel, nullptr);
    ASSERT_GT(panel->list()->count(), 0);
    panel->list()->setCurrentRow(0);
    panel->button_modify()->click();
    QPointer<frmEditItem> item_editor = panel->editor();
    ASSERT_NE(item_editor, nullptr);
    ASSERT_TRUE(item_editor->isVisible());
    item_editor->close();
    let_closed_windows_go();
    EXPECT_TRUE(item_editor.isNull()) << "the item editor outlived its closing";
    EXPECT_EQ(panel->editor(), nullptr);

    options->show_page("Alerts");
    auto* alerts = options->findChild<AlertPage*>();
    ASSERT_NE(alerts, nullptr);
    alerts->button("New")->click();
    QPointer<frmEdit> rule_editor = alerts->editor();
    ASSERT_NE(rule_editor, nullptr);
    rule_editor->close();
    let_closed_windows_go();
    EXPECT_TRUE(rule_editor.isNull()) << "the rule editor outlived its closing";

    options->close();  // the window's close button
    let_closed_windows_go();
    EXPECT_TRUE(options.isNull()) << "the options dialog outlived its closing";
    EXPECT_EQ(main.options_window(), nullptr);
    // Opened again, it is a new dialog that works as the first did.
    main.open_options();
    ASSERT_NE(main.options_window(), nullptr);
    EXPECT_TRUE(main.options_window()->isVisible());
    main.options_window()->cancel();
    let_closed_windows_go();
    EXPECT_EQ(main.options_window(), nullptr);

    // The history window keeps its size across closing.
    main.mnuHistory_Click();
    QPointer<frmHistory> history = history_of(main);
    ASSERT_NE(history, nullptr);
    history->resize(655, 433);
    history->close();
    let_closed_windows_go();
    EXPECT_TRUE(history.isNull()) << "the history window outlived its closing";
    EXPECT_EQ(main.state().settings.frmHistoryWidth, 655);
    main.mnuHistory_Click();
    ASSERT_NE(history_of(main), nullptr);
    EXPECT_EQ(history_of(main)->size(), QSize(655, 433));
    history_of(main)->close();
    let_closed_windows_go();
    EXPECT_EQ(history_of(main), nullptr);

    // The about box: one at a time, gone when closed.
    main.mnuAbout_Click();
    main.mnuAbout_Click();
    const QList<QMessageBox*> boxes = main.findChildren<QMessageBox*>(QStringLiteral("frmAbout"));
    ASSERT_EQ(boxes.size(), 1);
    QPointer<QMessageBox> about = boxes.front();
    EXPECT_TRUE(about->isVisible());
    about->button(QMessageBox::Ok)->click();
    let_closed_windows_go();
    EXPECT_TRUE(about.isNull()) << "the about box outlived its closing";

    main.UnloadKVT();
}

// The tour the idle measurement runs shows each window and leaves none behind.
TEST(ClosedWindows, TheWindowTourOpensEachWindowAndLeavesNoneBehind) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    QSet<QString> seen;
    for (const auto& step : window_tour_steps(main)) {
        step();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && is_secondary_window(w)) seen.insert(w->objectName());
        // The item editor is a sheet of the options dialog rather than a window of its own.
        if (main.options_window() != nullptr) {
            auto* panel = main.options_window()->findChild<ItemPanel*>();
            if (panel != nullptr && panel->editor() != nullptr && panel->editor()->isVisible()) seen.insert("item editor");
        }
        let_closed_windows_go();
    }
    EXPECT_EQ(seen, QSet<QString>({"frmOptions", "item editor", "frmEdit", "frmHistory", "frmAbout"}));
    EXPECT_EQ(main.options_window(), nullptr);
    // Only the message box the main window keeps for alerts stays.
    for (QDialog* d : main.findChildren<QDialog*>())
        EXPECT_EQ(d->objectName(), "frmMsgBox") << d->metaObject()->className() << " left behind";
    EXPECT_EQ(history_of(main), nullptr);
    main.UnloadKVT();
}

}  // namespace
