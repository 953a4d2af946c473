#include <gtest/gtest.h>

#include "alerts/rule_editor.h"

namespace {

TEST(RuleEditor, SwitchingTheConditionKeepsWhatWasEnteredPerKind) {
    WorkingRules table;
    EditorSession session;
    ASSERT_EQ(open_new_rule(table, session), TableEdit::done);
    AlertRule& r = session_rule(table, session);
    choose_condition(r, session, AmountReached);
    r.value(0, 0) = {"Multiple adapters", "0"};
    r.value(0, 1) = {"monthly", "2"};
    r.value(0, 2) = {"upload", "1"};
    r.value(0, 3) = {"500 MB", "500|1"};
    const auto entered = r.Values[0];

    choose_condition(r, session, RateReached);
    EXPECT_EQ(r.ConditionKind, RateReached);
    EXPECT_EQ(r.Values[0], (std::array<ValuePair, kValueSlots>{}));  // nothing entered for kind 2 yet
    r.value(0, 2) = {"64 kb/s", "64|0"};

    choose_condition(r, session, AmountReached);
    EXPECT_EQ(r.Values[0], entered);
    choose_condition(r, session, RateReached);
    EXPECT_EQ(r.value(0, 2), (ValuePair{"64 kb/s", "64|0"}));

    choose_condition(r, session, kNoCondition);
    EXPECT_EQ(r.ConditionKind, kNoCondition);
    EXPECT_EQ(r.Values[0], (std::array<ValuePair, kValueSlots>{}));
}

TEST(RuleEditor, RebootAndShutdownExcludeEachOther) {
    AlertRule r;
    set_action(r, Reboot, true);
    set_action(r, SendMail, true);
    set_action(r, Shutdown, true);
    EXPECT_FALSE(r.has_action(Reboot));
    EXPECT_TRUE(r.has_action(Shutdown));
    set_action(r, Reboot, true);
    EXPECT_FALSE(r.has_action(Shutdown));
    EXPECT_EQ(r.Actions[Reboot], kSwitchedOn);
    set_action(r, Reboot, false);
    EXPECT_FALSE(r.has_action(Reboot));
    EXPECT_TRUE(r.has_action(SendMail));
}

TEST(RuleEditor, OkChecksComeInTheirOrder) {
    AlertRule r;
    EditorSession session;
    EXPECT_EQ(check_rule(r, session, ""), "Please select a condition for this alert.");
    r.ConditionKind = SpeedChanged;
    EXPECT_EQ(check_rule(r, session, ""), "Please select an action for this alert.");
    set_action(r, SendMail, true);
    r.value(0, 0) = {"Multiple adapters", "0"};
    EXPECT_FALSE(session.highlight_missing);
    EXPECT_EQ(check_rule(r, session, ""), "Please fill out all the values.");
    EXPECT_TRUE(session.highlight_missing);
    r.value(0, 1) = {"0", "0"};
    EXPECT_EQ(check_rule(r, session, ""), "Please enter a name for this alert.");
    EXPECT_EQ(check_rule(r, session, "Link"), "");
}

TEST(RuleEditor, AcceptEmptiesTheValuesOfUnselectedActions) {
    AlertRule r;
    r.ConditionKind = AmountReached;
    r.value(PlaySound + 1, 0) = {"a.wav", "/s/a.wav"};
    r.value(RunProgram + 1, 1) = {"N/A", ""};
    set_action(r, OpenFile, true);
    r.value(OpenFile + 1, 0) = {"x.txt", "/x.txt"};
    accept_rule(r, "Mine");
    EXPECT_EQ(r.Name, "Mine");
    EXPECT_EQ(r.value(PlaySound + 1, 0), ValuePair{});
    EXPECT_EQ(r.value(RunProgram + 1, 1), ValuePair{});
    EXPECT_EQ(r.value(OpenFile + 1, 0), (ValuePair{"x.txt", "/x.txt"}));
}

TEST(RuleEditor, CancelRemovesANewRuleAndRestoresAModifiedOne) {
    WorkingRules table;
    EditorSession session;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(open_new_rule(table, session), TableEdit::done);
    table.selected = 0;
    ASSERT_EQ(open_new_rule(table, session), TableEdit::done);
    EXPECT_EQ(table.count, 4);
    EXPECT_EQ(session_rule(table, session).Name, "Alert #4");
    cancel_session(table, session);
    EXPECT_EQ(table.count, 3);
    EXPECT_EQ(table.selected, 0);  // back to the rule selected before
    EXPECT_EQ(table.rules[3], AlertRule{});

    table.selected = 1;
    ASSERT_TRUE(open_selected_rule(table, session));
    AlertRule& r = session_rule(table, session);
    const AlertRule before = r;
    choose_condition(r, session, SpeedChanged);
    set_action(r, Reboot, true);
    r.Name = "changed";
    cancel_session(table, session);
    EXPECT_EQ(table.rules[1], before);
    EXPECT_EQ(table.selected, 1);

    while (table.count < kMaxRules) ASSERT_EQ(open_new_rule(table, session), TableEdit::done);
    EXPECT_EQ(open_new_rule(table, session), TableEdit::table_full);
    EXPECT_EQ(table.count, kMaxRules);
}

}  // namespace
