#include "display/qt/item_panel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "display/item_list.h"
#include "display/qt/frm_edit_item.h"
#include "support/fakes.h"

namespace {

struct PanelFixture : ::testing::Test {
    ProgramState state;
    RecordingDialogs dialogs;
    int redraws = 0;
    int fits = 0;
    int applies = 0;
    std::unique_ptr<ItemPanel> panel;

    PanelFixture() {
        set_custom_items(state, true);  // the six seeded items
        panel = std::make_unique<ItemPanel>(
            state, dialogs, ItemPanelHooks{[this] { ++redraws; }, [this] { ++fits; }, [this] { ++applies; }, nullptr, nullptr});
        panel->set_adapter_names({"eth0", "wlan0"});
    }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < panel->list()->count(); ++i) out << panel->list()->item(i)->text();
        return out;
    }
    void select(int item) { panel->list()->setCurrentRow(item - 1); }
};

TEST_F(PanelFixture, ShowsTheItemsWithTheirCheckMarks) {
    EXPECT_EQ(lines(), (QStringList{"Download rate", "Upload rate", "Transferred Today", "Transferred Total", "Graph",
                                    "Download/Upload rate"}));
    EXPECT_EQ(panel->list()->item(5)->checkState(), Qt::Unchecked);
    EXPECT_EQ(panel->selected(), 1);
    EXPECT_FALSE(panel->button_up()->isEnabled());
    EXPECT_TRUE(panel->button_down()->isEnabled());
}

TEST_F(PanelFixture, CopyAppendsTheCopyAndSelectsIt) {
    select(5);
    panel->button_copy()->click();
    ASSERT_EQ(panel->list()->count(), 7);
    EXPECT_EQ(lines().back(), "Copy of Graph");
    EXPECT_EQ(panel->selected(), 7);
    EXPECT_EQ(panel->list()->currentRow(), 6);
    EXPECT_FALSE(panel->button_down()->isEnabled());
    EXPECT_EQ(state.settings.AdvItems, 7);
    EXPECT_EQ(state.settings.custom_items.back().Name, "Copy of Graph");
    EXPECT_EQ(state.settings.custom_items.back().Type, kItemGraph);
    EXPECT_GT(redraws, 0);
    EXPECT_GT(fits, 0);
    EXPECT_GT(applies, 0);
}

TEST_F(PanelFixture, TickingEnablesAndMovingSwapsLines) {
    panel->list()->item(5)->setCheckState(Qt::Checked);
    EXPECT_NE(state.display_list[5].Enabled, 0);
    EXPECT_NE(state.settings.custom_items[5].Enabled, 0);
    select(2);
    panel->button_up()->click();
    EXPECT_EQ(lines().first(), "Upload rate");
    EXPECT_EQ(panel->selected(), 1);
    panel->button_down()->click();
    panel->button_down()->click();
    EXPECT_EQ(lines().mid(0, 3), (QStringList{"Download rate", "Transferred Today", "Upload rate"}));
    EXPECT_EQ(state.settings.custom_items[2].Name, "Upload rate");
}

TEST_F(PanelFixture, RemovingTheOnlyItemDisablesTheButtons) {
    while (panel->list()->count() > 1) panel->button_remove()->click();
    EXPECT_EQ(lines(), QStringList{"Download/Upload rate"});
    panel->button_remove()->click();
    EXPECT_EQ(panel->list()->count(), 0);
    EXPECT_EQ(state.settings.AdvItems, 0);
    for (QPushButton* b : {panel->button_remove(), panel->button_copy(), panel->button_modify(), panel->button_up(),
                           panel->button_down()})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(panel->button_new()->isEnabled());
}

TEST_F(PanelFixture, NewItemIsNumberedAndCancelRestoresListAndSelection) {
    select(3);
    panel->button_new()->click();
    frmEditItem* editor = panel->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), "Edit Item");
    EXPECT_EQ(editor->name_field()->text(), "Item #7");
    EXPECT_EQ(editor->adapter_list()->currentIndex(), 2);
    EXPECT_EQ(state.display_list.size(), 7u);
    // Changes apply at once: a text label disables the adapter list.
    editor->type_list()->setCurrentIndex(kItemTextLabel);
    EXPECT_EQ(state.display_list.back().Type, kItemTextLabel);
    EXPECT_FALSE(editor->adapter_list()->isEnabled());
    EXPECT_FALSE(editor->period_list()->isEnabled());
    editor->button_cancel()->click();
    EXPECT_EQ(state.display_list.size(), 6u);
    EXPECT_EQ(lines().size(), 6);
    EXPECT_EQ(panel->selected(), 3);
    EXPECT_EQ(panel->list()->currentRow(), 2);
}

TEST_F(PanelFixture, NewItemKeptWithOk) {
    panel->button_new()->click();
    frmEditItem* editor = panel->editor();
    editor->name_field()->setText("Week");
    editor->type_list()->setCurrentIndex(kItemTransferred);
    EXPECT_TRUE(editor->period_list()->isEnabled());
    editor->period_list()->setCurrentIndex(2);
    editor->button_ok()->click();
    EXPECT_EQ(lines().back(), "Week");
    EXPECT_EQ(panel->selected(), 7);
    ASSERT_EQ(state.settings.custom_items.size(), 7u);
    EXPECT_EQ(state.settings.custom_items.back().Period, 2);
}

TEST_F(PanelFixture, ModifyThenCancelPutsTheItemBack) {
    select(1);
    panel->button_modify()->click();
    frmEditItem* editor = panel->editor();
    EXPECT_EQ(editor->name_field()->text(), "Download rate");
    editor->name_field()->setText("Changed");
    EXPECT_EQ(state.display_list[0].Name, "Changed");
    editor->button_cancel()->click();
    EXPECT_EQ(state.display_list[0].Name, "Download rate");
    EXPECT_EQ(lines().first(), "Download rate");
}

TEST_F(PanelFixture, EditorOffersTheCustomPeriodAndWideAdapterList) {
    state.settings.CusPerName = "";
    frmEditItem editor(state, {"a very long adapter description"});
    EXPECT_EQ(editor.period_list()->count(), 11);
    EXPECT_EQ(editor.period_list()->itemText(10), "User defined");
    EXPECT_EQ(editor.adapter_list()->itemText(0), "Multiple adapters");
    const QFontMetrics m(editor.adapter_list()->font());
    EXPECT_EQ(editor.GetComboWidth(), m.horizontalAdvance("  a very long adapter description"));
}

TEST_F(PanelFixture, AFullListRefusesNewAndCopyWithAMessage) {
    state.display_list.resize(kMaxItems);
    panel->UpdateItemList();
    panel->button_copy()->click();
    panel->button_new()->click();
    EXPECT_EQ(state.display_list.size(), static_cast<std::size_t>(kMaxItems));
    EXPECT_EQ(panel->editor(), nullptr);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, kListFullMessage);
}

}  // namespace
