#include <gtest/gtest.h>

#include <filesystem>

#include "platform/date.h"
#include "settings/autostart.h"
#include "settings/date_text.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

TEST(Autostart, CommandQuotesPathsThatNeedIt) {
    EXPECT_EQ(autostart_command("/usr/bin/kelvanto", true), "/usr/bin/kelvanto /minimized");
    EXPECT_EQ(autostart_command("/usr/bin/kelvanto", false), "/usr/bin/kelvanto");
    EXPECT_EQ(autostart_command("/home/a b/kel$v", false), "\"/home/a b/kel\\$v\"");
    EXPECT_EQ(autostart_command("/opt/100%/k", true), "/opt/100%%/k /minimized");
    // In the file a backslash of the quoted command is escaped once more.
    const std::string text = autostart_entry_text(autostart_command("/x\\y", false));
    EXPECT_NE(text.find("\nExec=\"/x\\\\\\\\y\"\n"), std::string::npos) << text;
}

TEST(Autostart, EntryIsCreatedWithItsFolderAndRemoved) {
    TempDir dir;
    const std::string config = (dir.path() / "deep" / "config").string();
    ASSERT_TRUE(write_autostart_entry(config, "/bin/k"));
    EXPECT_TRUE(std::filesystem::exists(native_path(autostart_file_path(config))));
    EXPECT_TRUE(remove_autostart_entry(config));
    EXPECT_FALSE(std::filesystem::exists(native_path(autostart_file_path(config))));
    // A config "folder" that is a file cannot hold the entry: reported, nothing thrown.
    const std::string blocked = (dir.path() / "file").string();
    ASSERT_TRUE(write_autostart_entry(dir.str(), "/bin/k"));
    std::filesystem::copy_file(native_path(autostart_file_path(dir.str())), native_path(blocked));
    EXPECT_FALSE(write_autostart_entry(blocked, "/bin/k"));
}

TEST(DateText, RoundTripsToTheSecondAndRefusesImpossibleDates) {
    const double when = make_date(2024, 2, 29, 23, 59, 59.4);
    EXPECT_EQ(format_date_time(when), "2024-02-29 23:59:59");
    EXPECT_EQ(format_date_time(make_date(2024, 2, 29, 23, 59, 59.6)), "2024-03-01 00:00:00");
    EXPECT_NEAR(*parse_date_time("2024-02-29 23:59:59"), make_date(2024, 2, 29, 23, 59, 59), 1e-9);
    EXPECT_EQ(parse_date_time("2005-01-01"), 38353.0);
    for (const char* bad : {"", "2023-02-29", "2024-13-01", "2024-01-01 24:00:00", "2024-01-01 10:60:00",
                            "2024-1-01 10:00:00", "2024-01-01T10:00:00", "yesterday", "2024-01-01 10:00:0x"})
        EXPECT_FALSE(parse_date_time(bad).has_value()) << bad;
}

}  // namespace
