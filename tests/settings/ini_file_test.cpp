#include <gtest/gtest.h>

#include <filesystem>

#include "settings/colour_presets.h"
#include "settings/ini_file.h"
#include "settings/text_file.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

TEST(IniFile, WritesKeepSectionOrderWithOneEmptyLineBetweenSections) {
    IniFile f = parse_ini("; colours\n\n[B]\nx=1\n\n\n[a]\r\ny = 2 \r\n\r\n");
    EXPECT_EQ(section_names(f), (std::vector<std::string>{"B", "a"}));
    EXPECT_EQ(read_key(f, "A", "Y"), "2") << "names compare without letter case";
    EXPECT_FALSE(read_key(f, "a", "x").has_value());
    EXPECT_FALSE(read_key(f, "none", "x").has_value());

    write_key(f, "b", "X", "5");
    write_key(f, "B", "z", "6");
    write_key(f, "C", "k", "v");
    EXPECT_EQ(format_ini(f), "; colours\r\n\r\n[B]\r\nX=5\r\nz=6\r\n\r\n[a]\r\ny = 2 \r\n\r\n[C]\r\nk=v\r\n");

    EXPECT_TRUE(delete_section(f, "A"));
    EXPECT_FALSE(delete_section(f, "A"));
    EXPECT_EQ(format_ini(f), "; colours\r\n\r\n[B]\r\nX=5\r\nz=6\r\n\r\n[C]\r\nk=v\r\n");
    EXPECT_EQ(format_ini(parse_ini("[Only]\nk=1\n")), "[Only]\r\nk=1\r\n");
}

TEST(IniFile, TidyRewritesOnlyFilesWithSeveralSections) {
    TempDir dir;
    const std::string many = (dir.path() / "many.ini").string();
    const std::string one = (dir.path() / "one.ini").string();
    ASSERT_TRUE(replace_text_file(many, "[A]\r\nk=1\r\n\r\n\r\n\r\n[B]\r\nk=2\r\n[C]\r\n\r\nk=3\r\n\r\n"));
    ASSERT_TRUE(replace_text_file(one, "[A]\r\nk=1\r\n\r\n"));
    tidy_ini_file(many);
    tidy_ini_file(one);
    tidy_ini_file((dir.path() / "missing.ini").string());
    EXPECT_EQ(read_text_file(many), "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n\r\n[C]\r\nk=3\r\n");
    EXPECT_EQ(read_text_file(one), "[A]\r\nk=1\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing.ini"));
    EXPECT_FALSE(std::filesystem::exists(native_path(many + ".tmp")));
}

TEST(ColourPresets, PresetSectionsAreWrittenInRoleOrder) {
    TempDir dir;
    const std::string path = preset_file_path(dir.str() + "/");
    ColourScheme c;
    c.Background = 16777215;
    ASSERT_TRUE(write_preset(path, "Mine", c));
    ASSERT_TRUE(write_preset(path, "Second", ColourScheme{}));
    ASSERT_TRUE(write_preset(path, "mine", ColourScheme{}));  // the same section as "Mine"
    EXPECT_EQ(preset_names(path), (std::vector<std::string>{"Mine", "Second"}));
    const std::string builtin =
        "Background=16769505\r\nHeader=5592405\r\nDescription=5592405\r\nValues=0\r\nSeperator=16760510\r\n"
        "GraphUp=255\r\nGraphAverageUp=12500735\r\nGraphDown=16711680\r\nGraphAverageDown=16760510\r\n"
        "GridLine=16763080\r\nDownloadUpload=65535\r\nTextLabel=5592405\r\n";
    EXPECT_EQ(read_text_file(path), "[Mine]\r\n" + builtin + "\r\n[Second]\r\n" + builtin);
    EXPECT_EQ(read_preset(path, "Second"), ColourScheme{});
}

TEST(ColourPresets, UnreadableColoursReadAsBlack) {
    TempDir dir;
    const std::string path = (dir.path() / "Preset.ini").string();
    ASSERT_TRUE(replace_text_file(path, "[P]\nBackground=abc\nHeader=-1\nValues=16777216\nTextLabel=65280\n"));
    const ColourScheme c = read_preset(path, "P");
    EXPECT_EQ(c.Background, 0u);
    EXPECT_EQ(c.Header, 0u);
    EXPECT_EQ(c.Values, 0u);
    EXPECT_EQ(c.GridLine, 0u);
    EXPECT_EQ(c.TextLabel, 65280u);
    EXPECT_TRUE(preset_names((dir.path() / "none.ini").string()).empty());
}

}  // namespace
