#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "settings/colour_presets.h"
#include "display/preset_page.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct PresetPageTest : ::testing::Test {
    TempDir dir;
    Settings s;
    std::string data_dir() const { return dir.str() + "/"; }
    std::string file() const { return data_dir() + "Preset.ini"; }
    ColourScheme dark() const {
        ColourScheme c;
        c.Background = rgb(0, 0, 0);
        c.Values = rgb(255, 255, 255);
        return c;
    }
};

// Exactly one empty line before every section but the first, and no other empty line.
void expect_tidy(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), '[');
    for (std::size_t p = text.find("\r\n["); p != std::string::npos; p = text.find("\r\n[", p + 1))
        EXPECT_TRUE(p >= 2 && text.compare(p - 2, 2, "\r\n") == 0) << "section without its empty line at " << p;
    for (std::size_t p = text.find("\r\n\r\n"); p != std::string::npos; p = text.find("\r\n\r\n", p + 1))
        EXPECT_EQ(text[p + 4], '[') << "empty line not before a section at " << p;
}

TEST_F(PresetPageTest, EveryWriteLeavesOneEmptyLineBetweenSections) {
    // A hand-edited file with stray empty lines.
    std::ofstream(native_path(file()), std::ios::binary) << "[A]\r\nBackground=1\r\n\r\n\r\n\r\n[B]\r\nBackground=2\r\n[C]\r\nBackground=3\r\n";
    s.ColorPreset = "A";
    PresetPage page = open_preset_page(s, data_dir());
    EXPECT_EQ(page.names, (std::vector<std::string>{"Default", "A", "B", "C"}));
    EXPECT_EQ(page.selected, 1);

    ASSERT_FALSE(new_preset(page, s, "Night").has_value());
    std::string text = read_file(file());
    expect_tidy(text);
    EXPECT_NE(text.find("\r\n\r\n[Night]\r\nBackground="), std::string::npos);

    select_preset(page, s, 2);
    ASSERT_TRUE(save_preset(page, s));
    expect_tidy(read_file(file()));
    select_preset(page, s, 1);
    delete_preset(page, s);
    ASSERT_TRUE(store_deletions(page));
    expect_tidy(read_file(file()));
    text = read_file(file());
    EXPECT_EQ(text.find("[A]"), std::string::npos);
    EXPECT_EQ(text.rfind("[", 0), 0u);  // the first section now starts the file
}

TEST_F(PresetPageTest, KeysAreWrittenInRoleOrderAsColourNumbers) {
    s.colours = dark();
    PresetPage page = open_preset_page(s, data_dir());
    ASSERT_FALSE(new_preset(page, s, "Dark").has_value());
    EXPECT_EQ(read_file(file()),
              "[Dark]\r\nBackground=0\r\nHeader=5592405\r\nDescription=5592405\r\nValues=16777215\r\n"
              "Seperator=16760510\r\nGraphUp=255\r\nGraphAverageUp=12500735\r\nGraphDown=16711680\r\n"
              "GraphAverageDown=16760510\r\nGridLine=16763080\r\nDownloadUpload=65535\r\nTextLabel=5592405\r\n");
}

TEST_F(PresetPageTest, SelectingShowsAndAppliesThePresetAndSetsTheButtons) {
    write_preset(file(), "Dark", dark());
    PresetPage page = open_preset_page(s, data_dir());
    EXPECT_EQ(page.selected, 0);
    EXPECT_FALSE(page.save_enabled || page.delete_enabled || page.rename_enabled);

    EXPECT_TRUE(select_preset(page, s, 1).redraw_main);
    EXPECT_EQ(s.ColorPreset, "Dark");
    EXPECT_EQ(s.colours, dark());
    EXPECT_EQ(page.swatches[0], 0u);
    EXPECT_TRUE(page.delete_enabled && page.rename_enabled);
    EXPECT_FALSE(page.save_enabled);

    select_preset(page, s, 0);
    EXPECT_EQ(s.colours, ColourScheme{});
    EXPECT_EQ(s.ColorPreset, "Default");
}

TEST_F(PresetPageTest, ChangingDefaultMakesUntitledThenUntitled2) {
    PresetPage page = open_preset_page(s, data_dir());
    begin_pick(page, 3);
    ColorChange(page, s, rgb(10, 20, 30));  // previewed before OK
    pick_accepted(page, s, rgb(10, 20, 30));
    EXPECT_EQ(page.names, (std::vector<std::string>{"Default", "Untitled"}));
    EXPECT_EQ(page.current(), "Untitled");
    EXPECT_EQ(s.ColorPreset, "Untitled");
    EXPECT_EQ(s.colours.Values, rgb(10, 20, 30));
    EXPECT_TRUE(page.save_enabled && page.apply_enabled);
    // The new section holds the colours shown when OK was pressed.
    EXPECT_EQ(read_preset(file(), "Untitled").Values, rgb(10, 20, 30));

    select_preset(page, s, 0);
    begin_pick(page, 0);
    pick_accepted(page, s, rgb(1, 2, 3));
    EXPECT_EQ(page.current(), "Untitled2");
    EXPECT_EQ(untitled_name({"Default", "UNTITLED", "untitled2"}), "Untitled3");

    // Presets leave the tray colours alone: they are plain settings.
    s.SysTrayColorDownload = static_cast<std::int32_t>(rgb(9, 9, 9));
    select_preset(page, s, 1);
    EXPECT_EQ(s.SysTrayColorDownload, static_cast<std::int32_t>(rgb(9, 9, 9)));
}

TEST_F(PresetPageTest, CancelAfterPreviewRestoresTheSwatchAndTheSettings) {
    PresetPage page = open_preset_page(s, data_dir());
    const std::uint32_t before = s.colours.GraphDown;
    begin_pick(page, 7);
    EXPECT_TRUE(ColorChange(page, s, rgb(1, 1, 1)).redraw_main);
    EXPECT_TRUE(ColorChange(page, s, rgb(2, 2, 2)).redraw_main);
    EXPECT_FALSE(ColorChange(page, s, -1).redraw_main);
    EXPECT_EQ(s.colours.GraphDown, rgb(2, 2, 2));
    EXPECT_TRUE(pick_cancelled(page, s).redraw_main);
    EXPECT_EQ(page.swatches[7], before);
    EXPECT_EQ(s.colours.GraphDown, before);
    EXPECT_EQ(page.names.size(), 1u);
    // Cancel without a preview changes nothing and asks for no redraw.
    begin_pick(page, 7);
    EXPECT_FALSE(pick_cancelled(page, s).redraw_main);
}

TEST_F(PresetPageTest, NamesAreCheckedBeforeAnythingIsWritten) {
    PresetPage page = open_preset_page(s, data_dir());
    EXPECT_EQ(new_preset(page, s, ""), "You must enter a name");
    EXPECT_EQ(new_preset(page, s, " Night"), "Illegal preset name");
    EXPECT_EQ(new_preset(page, s, "Night "), "Illegal preset name");
    EXPECT_EQ(new_preset(page, s, "default"), "'default' already exists");
    // A bracket would end the section line and lose the preset.
    EXPECT_EQ(new_preset(page, s, "a]b"), "Illegal preset name");
    EXPECT_EQ(page.names.size(), 1u);
    EXPECT_FALSE(std::ifstream(native_path(file())).good());

    ASSERT_FALSE(new_preset(page, s, "Night").has_value());
    EXPECT_EQ(new_preset(page, s, "NIGHT"), "'NIGHT' already exists");
}

TEST_F(PresetPageTest, RenameMovesTheEntryToTheEndAndRefusesACaseChange) {
    write_preset(file(), "One", dark());
    write_preset(file(), "Two", ColourScheme{});
    s.ColorPreset = "One";
    PresetPage page = open_preset_page(s, data_dir());
    select_preset(page, s, 1);
    EXPECT_EQ(rename_preset(page, s, "one"), "'one' already exists");
    ASSERT_FALSE(rename_preset(page, s, "Three").has_value());
    EXPECT_EQ(page.names, (std::vector<std::string>{"Default", "Two", "Three"}));
    EXPECT_EQ(page.current(), "Three");
    EXPECT_EQ(preset_names(file()), (std::vector<std::string>{"Two", "Three"}));
    EXPECT_EQ(read_preset(file(), "Three"), dark());
}

TEST_F(PresetPageTest, DeletingTheSecondEntrySelectsDefault) {
    write_preset(file(), "One", dark());
    write_preset(file(), "Two", dark());
    s.ColorPreset = "One";
    s.colours = dark();
    PresetPage page = open_preset_page(s, data_dir());
    EXPECT_TRUE(delete_preset(page, s).redraw_main);
    EXPECT_EQ(page.selected, 0);
    EXPECT_EQ(s.ColorPreset, "Default");
    EXPECT_EQ(s.colours, ColourScheme{});
    ASSERT_TRUE(store_deletions(page));
    EXPECT_EQ(preset_names(file()), std::vector<std::string>{"Two"});
    // The built-in preset cannot be deleted.
    EXPECT_FALSE(delete_preset(page, s).redraw_main);
    EXPECT_EQ(page.names.size(), 2u);
}

TEST_F(PresetPageTest, AnUnwritableFileIsReportedAndChangesNothing) {
    // The data folder is a file: nothing can be written below it.
    std::ofstream(native_path(dir.str() + "/blocked")) << "x";
    const std::string blocked = dir.str() + "/blocked/";
    PresetPage page = open_preset_page(s, blocked);
    EXPECT_EQ(new_preset(page, s, "Night"), "Could not write \"Preset.ini\"");
    EXPECT_EQ(page.names.size(), 1u);
    begin_pick(page, 0);
    pick_accepted(page, s, rgb(5, 5, 5));
    EXPECT_EQ(page.names.size(), 1u);
    EXPECT_EQ(s.colours.Background, rgb(5, 5, 5));
}

}  // namespace
