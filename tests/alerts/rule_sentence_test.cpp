#include <gtest/gtest.h>

#include "alerts/rule_sentence.h"

namespace {

std::vector<std::string> texts(const std::vector<SentenceWord>& words, std::size_t from = 0) {
    std::vector<std::string> out;
    for (std::size_t i = from; i < words.size(); ++i) out.push_back(words[i].text);
    return out;
}

AlertRule rule_with(int condition, std::initializer_list<int> actions) {
    AlertRule r;
    r.ConditionKind = static_cast<std::int16_t>(condition);
    for (int k : actions) r.Actions[static_cast<std::size_t>(k)] = kSwitchedOn;
    return r;
}

TEST(RuleSentence, ActionsAreJoinedByCommasAndAFinalAnd) {
    AlertRule three = rule_with(0, {SendMail, PlaySound, AddLogEntry});
    const std::vector<SentenceWord> words = build_sentence(three);
    EXPECT_EQ(texts(words, 6), (std::vector<std::string>{"send", "an", "e-mail", "alert", ",", "play", "sound", "<FILE>",
                                                         "and", "add", "entry", "to", "<FILE>"}));
    // The second "<FILE>" belongs to the log-file action, slot 0.
    EXPECT_EQ(words.back().part, AddLogEntry);
    EXPECT_EQ(words.back().slot, 0);

    AlertRule two = rule_with(0, {Reboot, AddLogEntry});
    EXPECT_EQ(texts(build_sentence(two), 6),
              (std::vector<std::string>{"reboot", "computer", "and", "add", "entry", "to", "<FILE>"}));

    AlertRule one = rule_with(3, {OpenFile});
    EXPECT_EQ(texts(build_sentence(one)), (std::vector<std::string>{"When", "<ADAPTER>", "connection", "speed", "changes",
                                                                    "to", "<BAUD>", "bps", "open", "<FILE>"}));
}

TEST(RuleSentence, UnfilledPlaceholdersGetTheirTokenAndFilledOnesShowTheirText) {
    AlertRule r = rule_with(2, {RunProgram});
    r.value(0, 0) = {"eth0", "1"};
    const std::vector<SentenceWord> words = build_sentence(r);
    EXPECT_EQ(texts(words), (std::vector<std::string>{"<WHEN>", "eth0", "<TRANSFER>", "reaches", "<RATE>", "execute",
                                                      "<FILE>", "using", "command", "line", "<COMMAND>"}));
    // The tokens are written into the rule, so a saved unfinished rule keeps its markers.
    EXPECT_EQ(r.value(0, 3), (ValuePair{"<WHEN>", ""}));
    EXPECT_EQ(r.value(RunProgram + 1, 1), (ValuePair{"<COMMAND>", ""}));
    EXPECT_EQ(words[0].slot, 3);  // the repetition comes first but lives in slot 3

    AlertRule none;
    EXPECT_TRUE(build_sentence(none).empty());
}

TEST(RuleSentence, PlaceholdersOpenTheValueDialogOfTheirKind) {
    const auto kind = [](int condition, int part, int slot) {
        return value_kind_of(condition, SentenceWord{"x", part, slot});
    };
    EXPECT_EQ(kind(0, -1, 1), ValueKind::period);
    EXPECT_EQ(kind(0, -1, 3), ValueKind::amount);
    EXPECT_EQ(kind(1, -1, 1), ValueKind::transferred);
    EXPECT_EQ(kind(1, -1, 2), ValueKind::amount);
    EXPECT_EQ(kind(2, -1, 2), ValueKind::rate);
    EXPECT_EQ(kind(2, -1, 3), ValueKind::repetition);
    EXPECT_EQ(kind(3, -1, 1), ValueKind::speed);
    EXPECT_EQ(kind(0, PlaySound, 0), ValueKind::sound_file);
    EXPECT_EQ(kind(0, RunProgram, 0), ValueKind::application);
    EXPECT_EQ(kind(0, RunProgram, 1), ValueKind::command_line);
    EXPECT_EQ(kind(0, OpenFile, 0), ValueKind::file_to_open);
    EXPECT_EQ(kind(0, AddLogEntry, 0), ValueKind::log_file);
    EXPECT_EQ(kind(0, SendMail, -1), ValueKind::none);
    EXPECT_EQ(kind(0, -1, -1), ValueKind::none);  // "When"
}

TEST(SentenceLayout, WordsWrapWhenTheyDoNotFitTheRoomLeft) {
    // Frame 96 wide (viewport 100): after a word at 4..44 the room left is 96-4-40-7 = 45.
    SentenceLayout l = layout_sentence({40, 44, 10}, 100, 200);
    EXPECT_FALSE(l.scroll_bar);
    EXPECT_EQ(l.places[0].left, 4);
    EXPECT_EQ(l.places[0].top, 2);
    EXPECT_EQ(l.places[1].left, 47);  // 44 < 45: same line, 3 pixels after
    EXPECT_EQ(l.places[1].top, 2);
    EXPECT_EQ(l.places[2].left, 4);  // room 96-47-44-7 = -2: next line
    EXPECT_EQ(l.places[2].top, 18);

    l = layout_sentence({40, 45}, 100, 200);
    EXPECT_EQ(l.places[1].top, 18);  // a width equal to the room left does not fit
}

TEST(SentenceLayout, TextReachingTheBottomNarrowsTheFrameForTheScrollBar) {
    // Ten words of 60 pixels, one per line in a 100 x 50 viewport: lines at 2, 18, ..., 146.
    const std::vector<int> widths(10, 60);
    const SentenceLayout l = layout_sentence(widths, 100, 50);
    ASSERT_TRUE(l.scroll_bar);
    EXPECT_EQ(l.frame_width, 79);
    EXPECT_EQ(l.places.back().top, 146);
    EXPECT_EQ(l.frame_height, 167);
    // 117 hidden pixels need 8 steps of 16 (the last step shows the bottom line whole).
    EXPECT_EQ(l.scroll_max, 8);
    EXPECT_GE(l.scroll_max * kScrollStep, l.frame_height - 50);
    EXPECT_EQ(frame_top_for_scroll(3), -48);

    // Last line's top 18 in a 50-pixel viewport: 18 < 34, no scroll bar.
    const SentenceLayout fits = layout_sentence({60, 60}, 100, 50);
    EXPECT_FALSE(fits.scroll_bar);
    EXPECT_EQ(fits.frame_width, 96);
}

}  // namespace
