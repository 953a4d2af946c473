#include <gtest/gtest.h>

#include <fstream>

#include "alerts/value_entry.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace {

// Accepts `input` for `kind` into a fresh pair; answers the pair or the refusal text.
struct Outcome {
    ValuePair pair;
    std::string refusal;
};
Outcome enter(ValueKind kind, ValueInput input, ValuePair pair = {}) {
    const ValueDialogSpec form = value_dialog_spec(kind, {"lo", "eth0"}, "Billing");
    Outcome o{pair, {}};
    o.refusal = accept_value(kind, form, input, o.pair);
    return o;
}

TEST(ValueEntry, AmountsAndRatesAreClampedAndLoseLeadingZeros) {
    EXPECT_EQ(enter(ValueKind::amount, {2, "007"}).pair, (ValuePair{"7 GB", "7|2"}));
    EXPECT_EQ(enter(ValueKind::amount, {0, "9999999999"}).pair, (ValuePair{"2147483647 KB", "2147483647|0"}));
    EXPECT_EQ(enter(ValueKind::amount, {1, "2147483647"}).pair.Value, "2147483647|1");
    EXPECT_EQ(enter(ValueKind::amount, {1, "2147483648"}).pair.Value, "2147483647|1");
    EXPECT_EQ(enter(ValueKind::amount, {1, ""}).pair, (ValuePair{"0 MB", "0|1"}));
    EXPECT_EQ(enter(ValueKind::amount, {1, "000"}).pair.Value, "0|1");
    EXPECT_EQ(enter(ValueKind::rate, {4, "64"}).pair, (ValuePair{"64 MB/s", "64|4"}));
    EXPECT_EQ(enter(ValueKind::rate, {0, "0064"}).pair, (ValuePair{"64 kb/s", "64|0"}));
    // Speeds keep up to 15 digits, without leading zeros.
    EXPECT_EQ(enter(ValueKind::speed, {-1, "000100000000000"}).pair, (ValuePair{"100000000000", "100000000000"}));
    EXPECT_EQ(enter(ValueKind::speed, {-1, ""}).pair, (ValuePair{"0", "0"}));
    EXPECT_EQ(digits_only("12a3 "), "123");
}

TEST(ValueEntry, ListsStoreTheirTextAndPositionAndPresetsFollowTheKind) {
    EXPECT_EQ(enter(ValueKind::adapter, {2, ""}).pair, (ValuePair{"eth0", "2"}));
    EXPECT_EQ(enter(ValueKind::period, {6, ""}).pair, (ValuePair{"Billing", "6"}));
    EXPECT_EQ(enter(ValueKind::transferred, {2, ""}).pair, (ValuePair{"downloaded + uploaded", "2"}));
    EXPECT_EQ(enter(ValueKind::repetition, {0, ""}).pair, (ValuePair{"Every time", "1"}));
    EXPECT_EQ(enter(ValueKind::repetition, {1, ""}).pair, (ValuePair{"The first time", "0"}));
    EXPECT_EQ(enter(ValueKind::command_line, {-1, ""}).pair, (ValuePair{"N/A", ""}));
    EXPECT_EQ(enter(ValueKind::command_line, {-1, "-q x"}).pair, (ValuePair{"-q x", "-q x"}));

    const ValuePair unfilled{"<ADAPTER>", ""};
    EXPECT_EQ(initial_input(ValueKind::adapter, unfilled, 3).list_index, 2);  // the third entry
    EXPECT_EQ(initial_input(ValueKind::adapter, unfilled, 2).list_index, 0);
    EXPECT_EQ(initial_input(ValueKind::adapter, {"lo", "1"}, 3).list_index, 1);
    // A stored position the list no longer has falls back to the preset.
    EXPECT_EQ(initial_input(ValueKind::adapter, {"wlan0", "7"}, 3).list_index, 2);
    EXPECT_EQ(initial_input(ValueKind::amount, {"<AMOUNT>", ""}, 3), (ValueInput{1, "0"}));
    EXPECT_EQ(initial_input(ValueKind::rate, {"<RATE>", ""}, 6), (ValueInput{3, "0"}));
    EXPECT_EQ(initial_input(ValueKind::amount, {"1024 GB", "1024|2"}, 3), (ValueInput{2, "1024"}));
    EXPECT_EQ(initial_input(ValueKind::repetition, {"The first time", "0"}, 2).list_index, 1);
    EXPECT_EQ(initial_input(ValueKind::repetition, {"<WHEN>", ""}, 2).list_index, 0);
    EXPECT_EQ(initial_input(ValueKind::speed, {"<BAUD>", ""}, 0).field, "");
    EXPECT_EQ(initial_input(ValueKind::command_line, {"N/A", ""}, 0).field, "");
}

TEST(ValueEntry, LogFileNamesFollowTheNameRules) {
    EXPECT_TRUE(valid_log_file_name("C:\\Logs\\alerts.txt"));
    EXPECT_TRUE(valid_log_file_name("d:\\a.txt"));
    EXPECT_TRUE(valid_log_file_name("alerts.txt"));
    EXPECT_FALSE(valid_log_file_name("1:\\Logs\\alerts.txt"));  // a digit before ":"
    EXPECT_FALSE(valid_log_file_name("C:Logs\\alerts.txt"));    // no "\" after ":"
    EXPECT_FALSE(valid_log_file_name("C:\\Lo?gs\\alerts.txt"));
    EXPECT_FALSE(valid_log_file_name("C:\\Logs\\alerts?.txt"));
    EXPECT_FALSE(valid_log_file_name("C:\\Logs\\a:b.txt"));
    EXPECT_FALSE(valid_log_file_name("C:\\Logs\\a\"b.txt"));
    EXPECT_FALSE(valid_log_file_name("C:\\Logs\\a\tb.txt"));
    EXPECT_FALSE(valid_log_file_name("C:\\"));
    EXPECT_FALSE(valid_log_file_name(""));
    EXPECT_FALSE(valid_log_file_name("."));
    // Folder names below 255 characters, file names below 256.
    EXPECT_TRUE(valid_log_file_name("C:\\" + std::string(254, 'f') + "\\" + std::string(255, 'n')));
    EXPECT_FALSE(valid_log_file_name("C:\\" + std::string(255, 'f') + "\\a.txt"));
    EXPECT_FALSE(valid_log_file_name("C:\\Logs\\" + std::string(256, 'n')));
    // A folder is not a file name.
    EXPECT_FALSE(valid_log_file_name("C:\\Logs\\"));
#ifndef _WIN32
    EXPECT_TRUE(valid_log_file_name("/var/log/kelvanto alerts.txt"));
    EXPECT_FALSE(valid_log_file_name("/var/log/"));
    EXPECT_FALSE(valid_log_file_name("/var/log/a?.txt"));
    EXPECT_FALSE(valid_log_file_name("/"));
    EXPECT_EQ(enter(ValueKind::log_file, {-1, "/var/log/alerts.txt"}).pair, (ValuePair{"alerts.txt", "/var/log/alerts.txt"}));
#endif
    const Outcome refused = enter(ValueKind::log_file, {-1, "C:\\?"}, ValuePair{"<FILE>", ""});
    EXPECT_EQ(refused.refusal, "Please select a valid file.");
    EXPECT_EQ(refused.pair, (ValuePair{"<FILE>", ""}));
    // A name without a folder still shows: it is its own file name.
    EXPECT_EQ(enter(ValueKind::log_file, {-1, "alerts.txt"}).pair, (ValuePair{"alerts.txt", "alerts.txt"}));
}

TEST(ValueEntry, FilesMustExistAndShowTheirName) {
    TempDir dir;
    const std::string hidden = dir.str() + "/.chime.wav";
    std::ofstream(native_path(hidden)) << "RIFF";
    EXPECT_EQ(enter(ValueKind::sound_file, {-1, hidden}).pair, (ValuePair{".chime.wav", hidden}));
    EXPECT_EQ(enter(ValueKind::file_to_open, {-1, hidden}).refusal, "");

    const std::string missing = dir.str() + "/gone.wav";
    const Outcome sound = enter(ValueKind::sound_file, {-1, missing}, ValuePair{"<FILE>", ""});
    EXPECT_EQ(sound.refusal, "Please select a valid sound file.");
    EXPECT_EQ(sound.pair, (ValuePair{"<FILE>", ""}));
    EXPECT_EQ(enter(ValueKind::application, {-1, missing}).refusal, "Please select a valid file.");
    EXPECT_EQ(enter(ValueKind::file_to_open, {-1, dir.str()}).refusal, "Please select a valid file.");
    EXPECT_EQ(enter(ValueKind::application, {-1, ""}).refusal, "Please select a valid file.");
}

TEST(ValueEntry, DialogSpecsCarryTheirTexts) {
    const ValueDialogSpec adapter = value_dialog_spec(ValueKind::adapter, {"eth0"}, "x");
    EXPECT_EQ(adapter.caption, "Select adapter");
    EXPECT_EQ(adapter.list, (std::vector<std::string>{"Multiple adapters", "eth0"}));
    const ValueDialogSpec speed = value_dialog_spec(ValueKind::speed, {}, "x");
    EXPECT_TRUE(speed.number);
    EXPECT_EQ(speed.max_length, 15);
    EXPECT_EQ(speed.unit_label, "bps");
    EXPECT_EQ(value_dialog_spec(ValueKind::amount, {}, "x").max_length, 10);
    EXPECT_EQ(value_dialog_spec(ValueKind::log_file, {}, "x").filter, "Log file (*.txt)|*.txt");
    EXPECT_EQ(value_dialog_spec(ValueKind::repetition, {}, "x").prompt, "When do you want the alert to go off?");
}

}  // namespace
