#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "alerts/ansi_text.h"
#include "alerts/rule_files.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

namespace fs = std::filesystem;

namespace {

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(native_path(path), std::ios::binary) << bytes;
}

std::string le16(std::uint16_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string str16(const std::string& s) {
    return le16(static_cast<std::uint16_t>(s.size())) + s;
}

AlertRule rate_rule(const std::string& name) {
    AlertRule r;
    r.Name = name;
    r.Enabled = kSwitchedOn;
    r.ConditionKind = RateReached;
    r.Actions[SendMail] = kSwitchedOn;
    r.Actions[AddLogEntry] = kSwitchedOn;
    r.value(0, 0) = {"Multiple adapters", "0"};
    r.value(0, 1) = {"download", "0"};
    r.value(0, 2) = {"64 kb/s", "64|0"};
    r.value(0, 3) = {"Every time", "1"};
    r.value(AddLogEntry + 1, 0) = {"alerts.txt", "/var/log/alerts.txt"};
    return r;
}

struct RuleFiles : ::testing::Test {
    TempDir tmp;
    std::string dir = tmp.str() + "/";
    void SetUp() override { fs::create_directories(native_path(dir + "Stats")); }
};

}  // namespace

TEST(RuleRecord, LayoutIsPackedWithSlotMajorPairs) {
    AlertRule r = rate_rule("Ab");
    const std::string bytes = encode_rule(r);

    std::string head = str16("Ab") + "\xFF" + le16(2);
    head += std::string{'\xFF', 0, 0, 0, 0, 0, '\xFF', 0, 0, 0};
    ASSERT_EQ(bytes.substr(0, head.size()), head);

    // Pair (part p, slot s) is pair number s * 11 + p.
    std::string pairs;
    for (int s = 0; s < kValueSlots; ++s) {
        for (int p = 0; p < kSentenceParts; ++p) pairs += str16(r.value(p, s).Text) + str16(r.value(p, s).Value);
    }
    EXPECT_EQ(bytes.substr(head.size()), pairs);
    // Slot 0 of parts 0..10 first: the adapter, six empty pairs, the log file, three empty
    // pairs; then slot 1 of part 0, the direction.
    const std::size_t at = head.size();
    EXPECT_EQ(bytes.substr(at, 22), str16("Multiple adapters") + str16("0"));
    EXPECT_EQ(bytes.substr(at + 22, 24), std::string(24, '\0'));
    EXPECT_EQ(bytes.substr(at + 46, 33), str16("alerts.txt") + str16("/var/log/alerts.txt"));
    EXPECT_EQ(bytes.substr(at + 79, 12), std::string(12, '\0'));
    EXPECT_EQ(bytes.substr(at + 91, 13), str16("download") + str16("0"));
    EXPECT_EQ(decode_rule(bytes), r);
}

TEST(RuleRecord, NamesAndValuesAreStoredInTheAnsiCodePage) {
    EXPECT_EQ(utf8_to_ansi("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");   // é and the euro sign
    EXPECT_EQ(utf8_to_ansi("\xE4\xB8\xAD"), "?");                         // no such character
    EXPECT_EQ(ansi_to_utf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(utf8_to_ansi(ansi_to_utf8(one)), one) << b;
    }
    AlertRule r = rate_rule("Caf\xC3\xA9");
    const std::string bytes = encode_rule(r);
    EXPECT_EQ(bytes.substr(0, 6), str16("Caf\xE9"));
    EXPECT_EQ(decode_rule(bytes)->Name, "Caf\xC3\xA9");
}

TEST_F(RuleFiles, ThreeRulesGiveThreeFilesAndACount) {
    WorkingRules w;
    LiveRules live;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(new_rule(w), TableEdit::done);
        w.rules[static_cast<std::size_t>(i)] = rate_rule("Rule " + std::to_string(i + 1));
    }
    ASSERT_TRUE(save_all_rules(w, live, dir));

    EXPECT_EQ(file_contents(dir + "Stats/Rules.dat"), std::string("\x03\0\0\0", 4));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(file_contents(rule_file_path(dir, i)), encode_rule(w.rules[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(rule_file_path(dir, 9), dir + "Stats/Rule10.dat");
    for (int i = 3; i < kMaxRules; ++i) EXPECT_FALSE(fs::exists(native_path(rule_file_path(dir, i))));
    EXPECT_EQ(live.count, 3);
    EXPECT_EQ(live.rules[2].Name, "Rule 3");

    // Removing the first rule and saving leaves two files holding the former rules 2 and 3.
    w.selected = 0;
    remove_rule(w);
    EXPECT_EQ(w.selected, 0);
    ASSERT_TRUE(save_all_rules(w, live, dir));
    EXPECT_FALSE(fs::exists(native_path(rule_file_path(dir, 2))));
    EXPECT_EQ(file_contents(dir + "Stats/Rules.dat"), std::string("\x02\0\0\0", 4));
    LiveRules loaded;
    load_rules_at_startup(loaded, dir);
    ASSERT_EQ(loaded.count, 2);
    EXPECT_EQ(loaded.rules[0].Name, "Rule 2");
    EXPECT_EQ(loaded.rules[1].Name, "Rule 3");

    // Saving with no rules removes every file; the next start has none.
    w.selected = 0;
    remove_rule(w);
    remove_rule(w);
    EXPECT_EQ(w.selected, -1);
    ASSERT_TRUE(save_all_rules(w, live, dir));
    EXPECT_FALSE(fs::exists(native_path(dir + "Stats/Rules.dat")));
    EXPECT_FALSE(fs::exists(native_path(rule_file_path(dir, 0))));
    load_rules_at_startup(loaded, dir);
    EXPECT_EQ(loaded.count, 0);
}

TEST_F(RuleFiles, SavingDropsValuesOfUnselectedActionsAndKeepsAnEmptyName) {
    WorkingRules w;
    LiveRules live;
    new_rule(w);
    AlertRule r = rate_rule("");
    r.value(PlaySound + 1, 0) = {"ding.wav", "/tmp/ding.wav"};  // PlaySound is not selected
    w.rules[0] = r;
    ASSERT_TRUE(save_all_rules(w, live, dir));
    WorkingRules again;
    load_rules_for_editing(again, dir);
    ASSERT_EQ(again.count, 1);
    EXPECT_EQ(again.selected, 0);
    EXPECT_EQ(again.rules[0].Name, "");
    EXPECT_EQ(again.rules[0].value(PlaySound + 1, 0), ValuePair{});
    EXPECT_EQ(again.rules[0].value(AddLogEntry + 1, 0).Value, "/var/log/alerts.txt");
    EXPECT_EQ(again.rules[0].value(0, 2).Value, "64|0");
}

TEST_F(RuleFiles, SaveOneRewritesOnlyThatRule) {
    WorkingRules w;
    LiveRules live;
    new_rule(w);
    new_rule(w);
    w.rules[1] = rate_rule("second");
    save_all_rules(w, live, dir);
    const std::string first = file_contents(rule_file_path(dir, 0));
    live.rules[1].Enabled = 0;
    ASSERT_TRUE(save_one_rule(live, 1, dir));
    LiveRules loaded;
    load_rules_at_startup(loaded, dir);
    EXPECT_EQ(loaded.rules[1].Enabled, 0);
    EXPECT_EQ(file_contents(rule_file_path(dir, 0)), first);
    EXPECT_EQ(file_contents(rule_file_path(dir, 1)).size(), encode_rule(w.rules[1]).size());
}

TEST_F(RuleFiles, DamagedFilesLoadAsSwitchedOffRules) {
    const std::string good = encode_rule(rate_rule("fine"));
    // Every truncation of a record is refused as a whole, never half read.
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(decode_rule(good.substr(0, n)).has_value()) << n;

    // Random garbage: decoding never reads out of bounds (run under the sanitizers).
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string junk(rng() % 600, '\0');
        for (char& c : junk) c = static_cast<char>(rng() & 0xFF);
        if (round % 2 == 0 && junk.size() > 2) junk[1] = 0;  // short name lengths reach further in
        (void)decode_rule(junk);
    }

    spit(dir + "Stats/Rules.dat", std::string("\x03\0\0\0", 4));
    spit(rule_file_path(dir, 0), good.substr(0, good.size() / 2));
    spit(rule_file_path(dir, 1), good);
    // Rule 3's file is missing.
    LiveRules live;
    load_rules_at_startup(live, dir);
    ASSERT_EQ(live.count, 3);
    EXPECT_EQ(live.rules[0], AlertRule{});
    EXPECT_FALSE(live.rules[0].enabled());
    EXPECT_EQ(live.rules[1].Name, "fine");
    EXPECT_EQ(live.rules[2], AlertRule{});

    // Counts outside 0..10 and short count files.
    spit(dir + "Stats/Rules.dat", std::string("\xFF\xFF\xFF\xFF", 4));
    load_rules_at_startup(live, dir);
    EXPECT_EQ(live.count, 0);
    spit(dir + "Stats/Rules.dat", std::string("\x00\x01\0\0", 4));
    load_rules_at_startup(live, dir);
    EXPECT_EQ(live.count, kMaxRules);
    spit(dir + "Stats/Rules.dat", std::string("\x02", 1));
    WorkingRules w;
    load_rules_for_editing(w, dir);
    EXPECT_EQ(w.count, 0);
    EXPECT_EQ(w.selected, -1);
}

TEST(RuleTable, NewCopyAndTheTenRuleLimit) {
    WorkingRules w;
    ASSERT_EQ(new_rule(w), TableEdit::done);
    EXPECT_EQ(w.rules[0].Name, "Alert #1");
    EXPECT_EQ(w.rules[0].Enabled, kSwitchedOn);
    EXPECT_EQ(w.rules[0].ConditionKind, kNoCondition);
    for (int i = 1; i < 4; ++i) new_rule(w);
    w.rules[1].Name = "Alert #5";
    new_rule(w);
    EXPECT_EQ(w.rules[4].Name, "Alert #5");  // the count decides, not the names in use
    EXPECT_EQ(w.selected, 4);

    w.selected = 1;
    ASSERT_EQ(copy_rule(w), TableEdit::done);
    EXPECT_EQ(w.rules[5].Name, "Copy of Alert #5");
    EXPECT_EQ(w.selected, 5);

    cancel_new_rule(w);
    EXPECT_EQ(w.count, 5);
    EXPECT_EQ(w.selected, 4);

    while (w.count < kMaxRules) new_rule(w);
    const WorkingRules full = w;
    EXPECT_EQ(new_rule(w), TableEdit::table_full);
    EXPECT_EQ(copy_rule(w), TableEdit::table_full);
    EXPECT_EQ(w.count, full.count);
    EXPECT_EQ(w.rules, full.rules);

    const bool checks[kMaxRules] = {false, true};
    set_enabled_flags(w, checks, kMaxRules);
    EXPECT_EQ(w.rules[0].Enabled, 0);
    EXPECT_EQ(w.rules[1].Enabled, kSwitchedOn);
}
