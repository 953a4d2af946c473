#include "alerts/rule_sentence.h"

#include <array>

namespace {

struct WordSpec {
    const char* text;
    int slot;  // -1: plain word
};

using Words = std::vector<WordSpec>;

const Words& condition_words(int kind) {
    static const std::array<Words, 4> kWords = {
        Words{{"When", -1}, {"<ADAPTER>", 0}, {"<PERIOD>", 1}, {"<TRANSFER>", 2}, {"reaches", -1}, {"<AMOUNT>", 3}},
        Words{{"Each", -1}, {"time", -1}, {"<ADAPTER>", 0}, {"has", -1}, {"<TRANSFERRED>", 1}, {"<AMOUNT>", 2}},
        Words{{"<WHEN>", 3}, {"<ADAPTER>", 0}, {"<TRANSFER>", 1}, {"reaches", -1}, {"<RATE>", 2}},
        Words{{"When", -1},
              {"<ADAPTER>", 0},
              {"connection", -1},
              {"speed", -1},
              {"changes", -1},
              {"to", -1},
              {"<BAUD>", 1},
              {"bps", -1}},
    };
    return kWords[static_cast<std::size_t>(kind)];
}

const Words& action_words(int kind) {
    static const std::array<Words, kUsedActionKinds> kWords = {
        Words{{"send", -1}, {"an", -1}, {"e-mail", -1}, {"alert", -1}},
        Words{{"play", -1}, {"sound", -1}, {"<FILE>", 0}},
        Words{{"execute", -1}, {"<FILE>", 0}, {"using", -1}, {"command", -1}, {"line", -1}, {"<COMMAND>", 1}},
        Words{{"open", -1}, {"<FILE>", 0}},
        Words{{"reboot", -1}, {"computer", -1}},
        Words{{"shutdown", -1}, {"computer", -1}},
        Words{{"add", -1}, {"entry", -1}, {"to", -1}, {"<FILE>", 0}},
        Words{{"show", -1}, {"a", -1}, {"desktop", -1}, {"notification", -1}},
    };
    return kWords[static_cast<std::size_t>(kind)];
}

void append_words(AlertRule& rule, const Words& words, int part, std::vector<SentenceWord>& out) {
    for (const WordSpec& w : words) {
        if (w.slot < 0) {
            out.push_back(SentenceWord{w.text, part, -1});
            continue;
        }
        ValuePair& pair = rule.value(part + 1, w.slot);
        if (pair.Text.empty()) pair.Text = w.text;
        out.push_back(SentenceWord{pair.Text, part, w.slot});
    }
}

}  // namespace

std::vector<SentenceWord> build_sentence(AlertRule& rule) {
    std::vector<SentenceWord> out;
    if (rule.ConditionKind >= 0 && rule.ConditionKind <= 3) append_words(rule, condition_words(rule.ConditionKind), -1, out);
    int selected_left = 0;
    for (int k = 0; k < kUsedActionKinds; ++k) selected_left += rule.has_action(k) ? 1 : 0;
    bool first = true;
    for (int k = 0; k < kUsedActionKinds; ++k) {
        if (!rule.has_action(k)) continue;
        --selected_left;
        if (!first) out.push_back(SentenceWord{selected_left == 0 ? "and" : ",", k, -1});
        first = false;
        append_words(rule, action_words(k), k, out);
    }
    return out;
}

std::string condition_sentence(const AlertRule& rule) {
    AlertRule copy = rule;
    std::string text;
    for (const SentenceWord& w : build_sentence(copy)) {
        if (w.part >= 0) break;
        text += (text.empty() ? "" : " ") + w.text;
    }
    return text;
}

ValueKind value_kind_of(int condition_kind, const SentenceWord& word) {
    if (!word.placeholder()) return ValueKind::none;
    if (word.part < 0) {
        using V = ValueKind;
        static const std::array<std::array<V, 4>, 4> kCondition = {{
            {V::adapter, V::period, V::direction, V::amount},
            {V::adapter, V::transferred, V::amount, V::none},
            {V::adapter, V::direction, V::rate, V::repetition},
            {V::adapter, V::speed, V::none, V::none},
        }};
        if (condition_kind < 0 || condition_kind > 3 || word.slot > 3) return ValueKind::none;
        return kCondition[static_cast<std::size_t>(condition_kind)][static_cast<std::size_t>(word.slot)];
    }
    switch (word.part) {
        case PlaySound: return word.slot == 0 ? ValueKind::sound_file : ValueKind::none;
        case RunProgram:
            return word.slot == 0 ? ValueKind::application : word.slot == 1 ? ValueKind::command_line : ValueKind::none;
        case OpenFile: return word.slot == 0 ? ValueKind::file_to_open : ValueKind::none;
        case AddLogEntry: return word.slot == 0 ? ValueKind::log_file : ValueKind::none;
        default: return ValueKind::none;
    }
}

namespace {

// Places the words in a frame of the given width; returns the last line's top.
int place_words(const std::vector<int>& widths, int frame_width, std::vector<SentenceLayout::Place>& places) {
    places.assign(widths.size(), {});
    int last_top = 2;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i == 0) {
            places[i] = {4, 2};
            continue;
        }
        const SentenceLayout::Place prev = places[i - 1];
        const int room = frame_width - prev.left - widths[i - 1] - 7;
        if (widths[i] < room) {
            places[i] = {prev.left + widths[i - 1] + 3, prev.top};
        } else {
            places[i] = {4, prev.top + 16};
        }
        last_top = places[i].top;
    }
    return last_top;
}

}  // namespace

SentenceLayout layout_sentence(const std::vector<int>& widths, int viewport_width, int viewport_height) {
    SentenceLayout out;
    out.frame_width = viewport_width - 4;
    out.frame_height = viewport_height - 4;
    const int last_top = place_words(widths, out.frame_width, out.places);
    if (widths.empty() || last_top < viewport_height - 16) return out;
    out.frame_width = viewport_width - 21;
    const int top = place_words(widths, out.frame_width, out.places);
    out.frame_height = top + 21;
    out.scroll_bar = true;
    // Rounded up, so that the last step shows the frame's bottom and so the last line whole.
    const int hidden = out.frame_height - viewport_height;
    out.scroll_max = hidden > 0 ? (hidden + kScrollStep - 1) / kScrollStep : 0;
    return out;
}
