#include "display/item_list.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<std::string> names(const std::vector<FormItem>& items) {
    std::vector<std::string> out;
    for (const FormItem& i : items) out.push_back(i.Name);
    return out;
}

std::vector<FormItem> named(std::initializer_list<const char*> list) {
    std::vector<FormItem> items;
    for (const char* n : list) {
        FormItem i;
        i.Name = n;
        items.push_back(i);
    }
    return items;
}

TEST(DisplayList, StandardItemsFollowTheSwitches) {
    const auto state_held = std::make_unique<ProgramState>();
    ProgramState& state = *state_held;
    state.settings.Adapter = 3;
    state.settings.TransferOverView2 = 5;
    BuildDisplayList(state);
    ASSERT_EQ(state.display_list.size(), 6u);
    const std::uint8_t types[] = {0, 1, 2, 2, 3, 4};
    const std::uint8_t enabled[] = {1, 1, 1, 1, 1, 0};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(state.display_list[i].Type, types[i]);
        EXPECT_EQ(state.display_list[i].Enabled, enabled[i]);
        EXPECT_EQ(state.display_list[i].Adapter, 3);
    }
    EXPECT_EQ(state.display_list[2].Period, 0);
    EXPECT_EQ(state.display_list[3].Period, 5);
}

TEST(DisplayList, FirstSwitchToCustomItemsSeedsSixOnce) {
    const auto state_held = std::make_unique<ProgramState>();
    ProgramState& state = *state_held;
    set_custom_items(state, true);
    EXPECT_EQ(names(state.display_list),
              (std::vector<std::string>{"Download rate", "Upload rate", "Transferred Today", "Transferred Total", "Graph",
                                        "Download/Upload rate"}));
    EXPECT_EQ(state.settings.AdvItems, 6);
    EXPECT_EQ(state.settings.FormItemsCreated, 1);
    EXPECT_EQ(state.settings.ShowAdvItems, 1);
    EXPECT_EQ(state.display_list[5].Enabled, 0);
    EXPECT_EQ(state.display_list[3].Period, 8);

    // Edits survive switching off and on again; no second seeding.
    int sel = 5;
    ASSERT_TRUE(remove_item(state.display_list, sel));
    StoreCustomList(state);
    set_custom_items(state, false);
    EXPECT_EQ(state.display_list.size(), 6u);
    EXPECT_EQ(state.display_list[0].Name, "");
    set_custom_items(state, true);
    EXPECT_EQ(state.display_list.size(), 5u);
    EXPECT_EQ(state.settings.AdvItems, 5);
}

TEST(ItemPanel, CopyAppendsAndSelectsTheCopy) {
    auto items = named({"Download rate", "Graph", "Upload rate"});
    int sel = 2;
    ASSERT_TRUE(copy_item(items, sel));
    EXPECT_EQ(names(items), (std::vector<std::string>{"Download rate", "Graph", "Upload rate", "Copy of Graph"}));
    EXPECT_EQ(sel, 4);
    EXPECT_EQ(item_buttons(4, sel), (ItemButtons{true, true, true, true, false}));
}

TEST(ItemPanel, RemovingMovesTheSelectionBackAndTheLastLeavesNothing) {
    auto items = named({"A", "B", "C"});
    int sel = 3;
    ASSERT_TRUE(remove_item(items, sel));
    EXPECT_EQ(sel, 2);
    sel = 1;
    ASSERT_TRUE(remove_item(items, sel));
    EXPECT_EQ(names(items), (std::vector<std::string>{"B"}));
    EXPECT_EQ(sel, 1);
    ASSERT_TRUE(remove_item(items, sel));
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(sel, 0);
    EXPECT_EQ(item_buttons(0, sel), ItemButtons{});
    EXPECT_FALSE(remove_item(items, sel));
    EXPECT_FALSE(copy_item(items, sel));
}

TEST(ItemPanel, MovesSwapNeighboursAndStopAtTheEnds) {
    auto items = named({"A", "B", "C"});
    int sel = 1;
    EXPECT_FALSE(move_item_up(items, sel));
    EXPECT_EQ(item_buttons(3, sel), (ItemButtons{true, true, true, false, true}));
    ASSERT_TRUE(move_item_down(items, sel));
    ASSERT_TRUE(move_item_down(items, sel));
    EXPECT_FALSE(move_item_down(items, sel));
    EXPECT_EQ(sel, 3);
    EXPECT_EQ(names(items), (std::vector<std::string>{"B", "C", "A"}));
    ASSERT_TRUE(move_item_up(items, sel));
    EXPECT_EQ(names(items), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(sel, 2);
}

TEST(ItemPanel, NewItemsAreNumberedAndAFullListRefuses) {
    auto items = named({"A", "B"});
    int sel = 1;
    ASSERT_TRUE(append_new_item(items, sel, 3));
    EXPECT_EQ(items.back().Name, "Item #3");
    EXPECT_EQ(items.back().Adapter, 2);
    EXPECT_EQ(items.back().Enabled, 255);
    EXPECT_EQ(sel, 3);
    ASSERT_TRUE(append_new_item(items, sel, 1));
    EXPECT_EQ(items.back().Adapter, 1);
    ASSERT_TRUE(append_new_item(items, sel, 0));
    EXPECT_EQ(items.back().Adapter, 0);

    std::vector<FormItem> full(kMaxItems);
    sel = 7;
    EXPECT_FALSE(append_new_item(full, sel, 0));
    EXPECT_FALSE(copy_item(full, sel));
    EXPECT_EQ(full.size(), static_cast<std::size_t>(kMaxItems));
    EXPECT_EQ(sel, 7);
}

TEST(WindowHeight, FollowsTheEnabledItems) {
    Settings s;
    std::vector<FormItem> items(4);
    items[0].Type = kItemDownloadRate;
    items[1].Type = kItemGraph;
    items[2].Type = kItemTextLabel;
    items[3].Type = kItemUploadRate;
    for (auto& i : items) i.Enabled = 1;
    items[3].Enabled = 0;
    const WindowHeightFit fit = fit_window_height(items, s, 30);
    EXPECT_EQ(fit.outer_height, 30 + 52 + 120 + 20 - 2);
    EXPECT_EQ(fit.min_track_height, 30 + 52 + 10 + 20);
    EXPECT_EQ(fit.max_track_height, 10000);
    EXPECT_EQ(items[1].Height, 117);

    // Without a graph (or with ShowGraph off) the height is fixed; no frame without Border.
    s.Border = 0;
    items[1].Enabled = 0;
    const WindowHeightFit fixed = fit_window_height(items, s, 30);
    EXPECT_EQ(fixed.outer_height, 70);
    EXPECT_EQ(fixed.min_track_height, 70);
    EXPECT_EQ(fixed.max_track_height, 70);
    std::vector<FormItem> none;
    EXPECT_EQ(fit_window_height(none, s, 30).outer_height, 0);
}

}  // namespace
