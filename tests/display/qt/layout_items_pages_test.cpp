// The Layout and Items pages on the real main window: what they show is what the window
// shows, at once, after Apply and OK, and after a restart.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "support/options_driver.h"

namespace {

QStringList lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

QListWidget* item_list(frmOptions& dlg) { return show_page(dlg, "Items")->findChild<QListWidget*>(); }

// Header texts ("Download", "Upload", period names) drawn in the window.
int header_pixels(frmMain& main) { return pixels_of(main.Backbuffer(), QColor(85, 85, 85)); }

const QStringList kSeeded = {"Download rate", "Upload rate",  "Transferred Today",
                             "Transferred Total", "Graph", "Download/Upload rate"};

TEST(LayoutPage, EnablingCustomItemsTheFirstTimeShowsTheSixStandardItems) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    const int height = main.height();
    ASSERT_GT(header_pixels(main), 0);
    frmOptions& dlg = run.options();

    control<QCheckBox>(dlg, "Layout", "Enable custom items")->click();
    // The window keeps its items and its height; the Items page lists the seeded items.
    EXPECT_EQ(main.height(), height);
    EXPECT_GT(header_pixels(main), 0);
    EXPECT_EQ(lines(item_list(dlg)), kSeeded);
    EXPECT_TRUE(item_list(dlg)->isEnabled());
    // With custom items the standard check boxes are not the ones that count.
    EXPECT_FALSE(control<QCheckBox>(dlg, "Layout", "Graph")->isEnabled());

    dlg.apply();
    EXPECT_EQ(main.height(), height);
    EXPECT_GT(header_pixels(main), 0);
    EXPECT_EQ(run.stored("ShowAdvItems"), "1");
    EXPECT_EQ(run.stored("AdvItems"), "6");
    EXPECT_EQ(run.stored("FormItem(3).Name"), "Transferred Today");

    // The custom list is edited on the Items page: unticking the graph fits the window.
    QListWidget* list = item_list(dlg);
    list->item(4)->setCheckState(Qt::Unchecked);
    const int fitted = main.height();
    EXPECT_LT(fitted, height - 100);
    dlg.ok();

    ASSERT_TRUE(run.restart());
    EXPECT_EQ(run.main().height(), fitted);
    EXPECT_EQ(run.main().state().display_list.size(), 6u);
    EXPECT_GT(header_pixels(run.main()), 0);
}

TEST(ItemsPage, WaitsForCustomItemsAndFollowsTheSwitch) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();

    // Standard items: the Items page has nothing to edit and says where the switch is.
    QListWidget* list = item_list(dlg);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(page_text(dlg, "Items").contains("Enable custom items"));
    for (QPushButton* b : show_page(dlg, "Items")->findChildren<QPushButton*>()) EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();

    QCheckBox* custom = control<QCheckBox>(dlg, "Layout", "Enable custom items");
    custom->click();
    list = item_list(dlg);
    EXPECT_TRUE(list->isEnabled());
    EXPECT_EQ(lines(list), kSeeded);
    EXPECT_TRUE(control<QPushButton>(dlg, "Items", "&New")->isEnabled());

    // Off again: the standard items are back; the custom list is kept for later.
    custom->click();
    EXPECT_FALSE(item_list(dlg)->isEnabled());
    EXPECT_EQ(run.main().state().settings.custom_items.size(), 6u);
    EXPECT_TRUE(run.main().state().display_list.front().Name.empty());
    dlg.cancel();
    EXPECT_EQ(run.main().state().settings.ShowAdvItems, 0);
}

TEST(LayoutPage, CheckBoxesShowAtOnceAndTheHeightFollows) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    const int height = main.height();
    const int graph = main.state().settings.GraphHeight;
    frmOptions& dlg = run.options();

    // Without the graph the window loses the graph's rows, not just its picture.
    control<QCheckBox>(dlg, "Layout", "Graph")->click();
    EXPECT_EQ(main.height(), height - graph - 3);
    dlg.apply();
    EXPECT_EQ(main.height(), height - graph - 3);
    EXPECT_EQ(run.stored("ShowGraph"), "0");

    // Without a rate section the graph keeps its height: the window gets shorter.
    control<QCheckBox>(dlg, "Layout", "Graph")->click();
    control<QCheckBox>(dlg, "Layout", "Download rate")->click();
    EXPECT_EQ(main.height(), height - 52);
    dlg.apply();
    EXPECT_EQ(main.height(), height - 52);
    EXPECT_EQ(run.stored("GraphHeight"), QString::number(graph));

    // Cancel takes back what was not applied, in the window as well.
    control<QCheckBox>(dlg, "Layout", "Upload rate")->click();
    EXPECT_EQ(main.height(), height - 104);
    dlg.cancel();
    EXPECT_EQ(main.height(), height - 52);

    ASSERT_TRUE(run.restart());
    EXPECT_EQ(run.main().height(), height - 52);
    EXPECT_EQ(run.main().state().settings.GraphHeight, graph);
}

}  // namespace
