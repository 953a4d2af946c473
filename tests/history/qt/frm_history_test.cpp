#include "history/qt/frm_history.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <iterator>

#include "platform/date.h"
#include "core/qt/frm_main.h"
#include "history/history_export.h"
#include "history/qt/c_file_dialog.h"
#include "history/history_fakes.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "support/temp_home.h"

namespace {

void press(QWidget* target, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct HistoryWindowTest : ::testing::Test {
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;
    EnglishLocale locale;
    Services services{tables, clock, dialogs, &locale};
    ProgramState state;
    std::shared_ptr<MapAmounts> log = std::make_shared<MapAmounts>();
    std::vector<SettingValues> written;
    TempDir dir;

    HistoryWindowTest() {
        clock.value = make_date(2026, 6, 15, 12, 0, 0);
        state.stats.start_date = make_date(2026, 6, 10);
        state.stats.adapters.resize(3);
        state.settings.Adapter = 2;
        state.settings.TransferredUnitHis = 6;  // whole bytes
        state.settings.AlwaysOnTop = 0;
        for (int d = 10; d <= 15; ++d) {
            log->set(1, make_date(2026, 6, d), 100 * d, d);
            log->set(2, make_date(2026, 6, d), 10 * d, 2 * d);
            log->set(0, make_date(2026, 6, d), 110 * d, 3 * d);
        }
    }

    frmHistory* open() {
        HistoryWindowContext ctx{state.settings, state.stats, state.history_window_open, services, log,
                                 [](int count) {
                                     std::vector<std::string> a(static_cast<std::size_t>(count) + 1);
                                     for (int i = 1; i <= count; ++i) a[static_cast<std::size_t>(i)] = "eth" + std::to_string(i);
                                     a[3] = "";
                                     return a;
                                 },
                                 [this](const SettingValues& v) { written.push_back(v); }};
        auto* w = new frmHistory(std::move(ctx));
        w->open();
        return w;
    }

    static std::vector<std::string> column(const frmHistory& w, int c) {
        std::vector<std::string> out;
        for (int i = 0; i < w.ListView()->topLevelItemCount(); ++i) {
            out.push_back(w.ListView()->topLevelItem(i)->text(c).toStdString());
        }
        return out;
    }
    bool has_icon(const QTreeWidgetItem* item, const QIcon& icon) const {
        return item->icon(0).cacheKey() == icon.cacheKey();
    }
    std::int64_t last_written(const std::string& name) const {
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            for (const auto& [n, v] : *it) {
                if (n == name) return v;
            }
        }
        return -1;
    }
};

TEST_F(HistoryWindowTest, OpensOnTotalsWithTabsLabelsAndTheChosenAdapter) {
    frmHistory* w = open();
    EXPECT_EQ(w->windowTitle(), "Transfer History");
    EXPECT_TRUE(state.history_window_open);
    ASSERT_EQ(w->TabStrip()->count(), 5);
    EXPECT_EQ(w->TabStrip()->tabText(2), "Weekly");
    EXPECT_EQ(w->TabStrip()->tabToolTip(1), "Daily history");
    EXPECT_EQ(w->ListView()->headerItem()->text(0), "Adapter");
    EXPECT_EQ(w->ListView()->headerItem()->text(3), "Total");

    EXPECT_EQ(column(*w, 0), (std::vector<std::string>{"1 - eth1", "2 - eth2", "3 - (unknown)", "0 - Multiple"}));
    EXPECT_EQ(column(*w, 1)[1], "750 B");  // 10 * (10 + ... + 15)
    EXPECT_EQ(w->history_adapter(), 2);
    EXPECT_TRUE(has_icon(w->ListView()->topLevelItem(1), w->image(frmHistory::kImageChosenAdapter)));
    EXPECT_TRUE(has_icon(w->ListView()->topLevelItem(0), w->image(frmHistory::kImageAdapter)));
    EXPECT_EQ(w->ListView()->headerItem()->icon(0).cacheKey(), w->image(frmHistory::kImageAscending).cacheKey());

    // The history tabs show the chosen adapter, newest first by default.
    w->TabStrip()->setCurrentIndex(kTabDaily);
    EXPECT_EQ(w->ListView()->headerItem()->text(0), "Date");
    EXPECT_EQ(column(*w, 0).front(), "15/06/2026");
    EXPECT_EQ(column(*w, 1).front(), "150 B");
    EXPECT_EQ(column(*w, 0).size(), 6u);
    EXPECT_TRUE(has_icon(w->ListView()->topLevelItem(0), w->image(frmHistory::kImageHistory)));
    w->close();
    EXPECT_FALSE(state.history_window_open);
}

TEST_F(HistoryWindowTest, HeaderClicksReverseOrRestartAscendingAndAreStored) {
    frmHistory* w = open();
    w->TabStrip()->setCurrentIndex(kTabDaily);
    ASSERT_EQ(column(*w, 0).front(), "15/06/2026");  // column 0 descending

    w->sort_by_column(0);  // the same header: ascending
    EXPECT_EQ(column(*w, 0).front(), "10/06/2026");
    EXPECT_EQ(state.settings.lvwSortOrder[1], 0);
    EXPECT_EQ(last_written("lvwSortOrder1"), 0);

    w->ListView()->header()->sectionClicked(2);  // another header starts ascending
    EXPECT_EQ(column(*w, 2).front(), "20 B");
    EXPECT_EQ(column(*w, 2).back(), "30 B");
    EXPECT_EQ(last_written("lvwSortKey1"), 2);
    EXPECT_EQ(w->ListView()->headerItem()->icon(2).cacheKey(), w->image(frmHistory::kImageAscending).cacheKey());
    EXPECT_TRUE(w->ListView()->headerItem()->icon(0).isNull());

    w->sort_by_column(2);
    EXPECT_EQ(column(*w, 2).front(), "30 B");
    EXPECT_EQ(w->ListView()->headerItem()->icon(2).cacheKey(), w->image(frmHistory::kImageDescending).cacheKey());

    // Back to the date column: chronological again, whatever the amounts' order was.
    w->sort_by_column(0);
    EXPECT_EQ(column(*w, 0), (std::vector<std::string>{"10/06/2026", "11/06/2026", "12/06/2026", "13/06/2026",
                                                       "14/06/2026", "15/06/2026"}));
    // The stored sort state survives reopening.
    w->close();
    frmHistory* again = open();
    again->TabStrip()->setCurrentIndex(kTabDaily);
    EXPECT_EQ(column(*again, 0).front(), "10/06/2026");
    again->close();
}

TEST_F(HistoryWindowTest, ClickingTotalsRowsChoosesAdaptersBelowTen) {
    state.stats.adapters.resize(12);
    log->set(11, make_date(2026, 6, 12), 5, 5);
    frmHistory* w = open();
    ASSERT_EQ(column(*w, 0).size(), 13u);
    EXPECT_EQ(column(*w, 0).back(), "0 - Multiple");

    w->choose_row(0);  // adapter 1
    EXPECT_EQ(w->history_adapter(), 1);
    EXPECT_TRUE(has_icon(w->ListView()->topLevelItem(0), w->image(frmHistory::kImageChosenAdapter)));
    EXPECT_TRUE(has_icon(w->ListView()->topLevelItem(1), w->image(frmHistory::kImageAdapter)));

    w->choose_row(10);  // "11 - ...": neither adapter 11 nor adapter 1 by its first digit
    EXPECT_EQ(w->history_adapter(), 1);
    EXPECT_TRUE(has_icon(w->ListView()->topLevelItem(0), w->image(frmHistory::kImageChosenAdapter)));

    EXPECT_EQ(w->adapter_line()->text(), "History of adapter 1 - eth1: click another adapter to choose it");
    w->choose_row(12);  // the aggregate
    EXPECT_EQ(w->history_adapter(), 0);
    w->TabStrip()->setCurrentIndex(kTabYearly);
    EXPECT_EQ(w->adapter_line()->text(), "Adapter 0 - Multiple");
    EXPECT_EQ(column(*w, 1), (std::vector<std::string>{"8250 B"}));  // 110 * (10 + ... + 15)
    w->close();
}

TEST_F(HistoryWindowTest, F5RefreshesInPlaceWithTodaysAmountsAndKeepsTheSelection) {
    frmHistory* w = open();
    w->TabStrip()->setCurrentIndex(kTabDaily);
    QTreeWidgetItem* first = w->ListView()->topLevelItem(0);
    w->ListView()->setCurrentItem(w->ListView()->topLevelItem(2));  // 13/06/2026

    log->set(2, make_date(2026, 6, 15), 999, 1);
    press(w->ListView(), Qt::Key_F5);
    EXPECT_EQ(w->ListView()->topLevelItem(0), first);  // the same items, rewritten
    EXPECT_EQ(column(*w, 1).front(), "999 B");

    // A new day: its row is added and the selected day stays selected.
    clock.value = make_date(2026, 6, 16, 0, 0, 5);
    log->set(2, make_date(2026, 6, 16), 7, 0);
    w->refresh();
    EXPECT_EQ(column(*w, 0).size(), 7u);
    EXPECT_EQ(column(*w, 0).front(), "16/06/2026");
    EXPECT_EQ(w->ListView()->currentItem()->text(0), "13/06/2026");
    w->close();
}

TEST_F(HistoryWindowTest, ExportWritesTheListAsShownAndReportsFailures) {
    frmHistory* w = open();
    w->TabStrip()->setCurrentIndex(kTabYearly);
    const std::string path = dir.str() + "/yearly.txt";
    ASSERT_TRUE(w->export_to(path, kExportText));
    EXPECT_EQ(read_all(path), "Kelvanto Yearly report\r\nAdapter 2 - eth2, 10/06/2026 to 15/06/2026\r\n\r\n"
                              "Year                         Download                    Upload                     Total\r\n" +
                                  std::string(89, '-') + "\r\n" +
                                  "2026                            750 B                     150 B                     900 B\r\n");
    EXPECT_EQ(state.settings.LastExportFormat, 1);

    ASSERT_TRUE(w->export_to(path, kExportHtml));
    EXPECT_NE(read_all(path).find("<td align=Left>2026</td>\r\n<td align=Right>750 B</td>"), std::string::npos);
    EXPECT_EQ(last_written("LastExportFormat"), 2);

    EXPECT_FALSE(w->export_to(dir.str() + "/no/such/folder/x.txt", kExportText));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("no/such/folder/x.txt"), std::string::npos);
    EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::error);
    EXPECT_EQ(state.settings.LastExportFormat, 2);
    w->close();
}

TEST_F(HistoryWindowTest, PopupExportAsksForAFileWithTheLastFormat) {
    state.settings.LastExportFormat = 2;
    frmHistory* w = open();
    const QPoint on_monthly = w->TabStrip()->tabRect(kTabMonthly).center();
    emit w->TabStrip()->customContextMenuRequested(on_monthly);
    EXPECT_EQ(w->shown_tab(), kTabMonthly);
    EXPECT_TRUE(w->mnuPopUp()->isVisible());
    w->mnuPopUp()->hide();

    const std::string base = dir.str() + "/monthly";
    bool saw_html_filter = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        saw_html_filter = dialog->selectedNameFilter() == "Html (*.htm)";
        dialog->selectFile(QString::fromStdString(base));
        static_cast<QDialog*>(dialog)->accept();
    });
    w->mnuExport_Click();
    EXPECT_TRUE(saw_html_filter);
    const std::string html = read_all(base + ".htm");
    EXPECT_NE(html.find("<Title>Kelvanto Monthly report: Adapter 2 - eth2, 10/06/2026 to 15/06/2026</Title>"),
              std::string::npos);
    EXPECT_NE(html.find("<td align=Left>2026 June</td>"), std::string::npos);

    // Cancelling writes nothing and keeps the format.
    state.settings.LastExportFormat = 1;
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    w->mnuExport_Click();
    EXPECT_EQ(state.settings.LastExportFormat, 1);
    w->close();
}

TEST_F(HistoryWindowTest, PlaceStateAndColumnWidthsAreStoredOnCloseAndTabChange) {
    state.settings.frmHistoryLeft = 40;
    state.settings.frmHistoryTop = 30;
    state.settings.frmHistoryWidth = 420;
    state.settings.frmHistoryHeight = 300;
    state.settings.frmHistoryColWidth[0] = {120, 90, 80, 70};
    frmHistory* w = open();
    EXPECT_EQ(w->width(), 420);
    EXPECT_EQ(w->ListView()->columnWidth(0), 120);

    w->ListView()->setColumnWidth(3, 55);
    w->TabStrip()->setCurrentIndex(kTabDaily);
    EXPECT_EQ(last_written("frmHistoryColWidth(1,4)"), 55);
    EXPECT_EQ(state.settings.frmHistoryColWidth[0][3], 55);

    w->ListView()->setColumnWidth(1, 99);
    w->ListView()->setColumnWidth(3, 33);
    w->resize(500, 350);
    w->close();
    EXPECT_EQ(last_written("frmHistoryWidth"), 500);
    EXPECT_EQ(last_written("frmHistoryHeight"), 350);
    EXPECT_EQ(last_written("frmHistoryState"), 0);
    EXPECT_EQ(last_written("frmHistoryColWidth(2,2)"), 99);
    EXPECT_EQ(last_written("frmHistoryColWidth(2,4)"), -1);  // the fourth only on a tab change
    EXPECT_EQ(state.settings.frmHistoryWidth, 500);
}

TEST_F(HistoryWindowTest, ColumnsWithoutAStoredWidthFitTheirWidestValueAndStoredWidthsAreKept) {
    log->set(2, make_date(2026, 6, 12), 123456789012.0, 5);  // one day far wider than the others
    state.settings.frmHistoryColWidth[kTabDaily][2] = 40;   // a width the user gave "Upload"
    frmHistory* w = open();
    w->TabStrip()->setCurrentIndex(kTabDaily);
    QTreeWidget* list = w->ListView();
    const QFontMetrics fm(list->font());
    // A fitted column shows each of its texts whole, the header's too, and is not much wider.
    const auto widest = [&](int c) {
        int most = fm.horizontalAdvance(list->headerItem()->text(c));
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            most = std::max(most, fm.horizontalAdvance(list->topLevelItem(i)->text(c)));
        return most;
    };
    for (int c : {0, 1, 3}) {
        const int icon = c == 0 ? list->iconSize().width() : 0;
        EXPECT_GE(list->columnWidth(c), widest(c) + icon) << "column " << c;
        EXPECT_LE(list->columnWidth(c), widest(c) + icon + 60) << "column " << c;
    }
    EXPECT_GE(list->columnWidth(1), fm.horizontalAdvance("123456789012 B"));
    EXPECT_EQ(list->columnWidth(2), 40);

    // A larger amount after F5 widens the fitted column again.
    const int before = list->columnWidth(3);
    log->set(2, make_date(2026, 6, 15), 98765432109876.0, 0);
    press(list, Qt::Key_F5);
    EXPECT_GT(list->columnWidth(3), before);

    // The user sizes a fitted column: that width is stored; the others stay without one.
    list->header()->resizeSection(0, 150);
    w->TabStrip()->setCurrentIndex(kTabWeekly);
    EXPECT_EQ(last_written("frmHistoryColWidth(2,1)"), 150);
    EXPECT_EQ(last_written("frmHistoryColWidth(2,2)"), kColumnWidthUnset);
    EXPECT_EQ(last_written("frmHistoryColWidth(2,3)"), 40);
    w->close();

    frmHistory* again = open();
    again->TabStrip()->setCurrentIndex(kTabDaily);
    EXPECT_EQ(again->ListView()->columnWidth(0), 150);
    EXPECT_EQ(again->ListView()->columnWidth(2), 40);
    EXPECT_GE(again->ListView()->columnWidth(1), fm.horizontalAdvance("123456789012 B"));
    again->close();
}

TEST_F(HistoryWindowTest, EscapeClosesTheWindow) {
    QPointer<frmHistory> w = open();
    press(w->ListView(), Qt::Key_Escape);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_FALSE(state.history_window_open);
}

}  // namespace

namespace {

// A user who wants the history as a file: the history window of the real main window, a
// right-click wherever the pointer is on the list, or Ctrl+S, leads to the save dialog.
TEST(HistoryWindowOnMainWindow, ExportFromTheListsMenuAndCtrlSReachesTheSaveDialog) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.mnuHistory_Click();
    auto* w = main.findChild<frmHistory*>();
    ASSERT_NE(w, nullptr);
    w->TabStrip()->setCurrentIndex(kTabDaily);
    QTreeWidget* list = w->ListView();
    ASSERT_EQ(list->topLevelItemCount(), 1);  // today, the log's first day

    int dialogs = 0;
    // Accepts the next save dialog with `name` in the test folder.
    const auto save_next_as = [&](const std::string& name) {
        QTimer::singleShot(0, [&dialogs, path = dir.str() + "/" + name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            ++dialogs;
            dialog->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept();
        });
    };
    const auto exported = [&](const std::string& name) { return read_all(dir.str() + "/" + name); };
    const std::string report_start = "Kelvanto Daily report\r\nAdapter ";

    struct Place {
        QWidget* widget;
        QPoint pos;
        std::string name;
    };
    const QRect row = list->visualItemRect(list->topLevelItem(0));
    const std::vector<Place> places{
        {list->viewport(), row.center(), "row"},
        {list->viewport(), QPoint(row.center().x(), list->viewport()->height() - 3), "empty-area"},
        {list->header()->viewport(), QPoint(list->header()->sectionViewportPosition(2) + 5, 5), "header"},
    };
    for (const Place& place : places) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, place.pos, place.widget->mapToGlobal(place.pos));
        QApplication::sendEvent(place.widget, &event);
        ASSERT_TRUE(w->mnuPopUp()->isVisible()) << place.name;
        QAction* action = w->mnuPopUp()->actions().value(0);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), "&Export");
        save_next_as(place.name + ".txt");
        QTest::mouseClick(w->mnuPopUp(), Qt::LeftButton, {}, w->mnuPopUp()->actionGeometry(action).center());
        EXPECT_EQ(exported(place.name + ".txt").rfind(report_start, 0), 0u) << place.name;
    }
    EXPECT_EQ(dialogs, 3);

    // Ctrl+S in the list, the menu closed.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    save_next_as("ctrl-s.txt");
    QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 4);
    EXPECT_EQ(exported("ctrl-s.txt").rfind(report_start, 0), 0u);

    // The box that says an export failed stands over the history window, not the main window.
    main.move(0, 0);
    w->move(400, 260);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QRect box;
    QTimer::singleShot(0, [&box] {
        box = QApplication::activeModalWidget()->frameGeometry();
        QApplication::activeModalWidget()->close();
    });
    EXPECT_FALSE(w->export_to(dir.str() + "/no/such/folder/x.txt", kExportText));
    EXPECT_TRUE(w->frameGeometry().contains(box.center())) << box.x() << "," << box.y();
    main.UnloadKVT();
}

TEST(HistorySettingsWriter, WritesEachValueAsTextIntoTheStore) {
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;
    MemorySettings store;
    Services services{tables, clock, dialogs};
    services.settings_store = &store;
    write_history_settings(services, {{"lvwSortKey2", 3}, {"frmHistoryColWidth(2,1)", 120}, {"frmHistoryLeft", -5}});
    EXPECT_EQ(store.values["lvwSortKey2"], "3");
    EXPECT_EQ(store.values["frmHistoryColWidth(2,1)"], "120");
    EXPECT_EQ(store.values["frmHistoryLeft"], "-5");
}

TEST(FileDialogFilter, BarsAndColonsSeparateDescriptionsAndPatterns) {
    cFileDialog dialog;
    dialog.setFilter(QString::fromLatin1(kExportFilter));
    EXPECT_EQ(dialog.name_filters(), (QStringList{"Plain text (*.txt)", "Html (*.htm)"}));
    dialog.setFilter("Sounds:*.wav|All files|*.*");
    EXPECT_EQ(dialog.name_filters(), (QStringList{"Sounds (*.wav)", "All files (*.*)"}));
    EXPECT_EQ(dialog.patterns(), (QStringList{"*.wav", "*.*"}));
}

}  // namespace
