#pragma once

#include <string>
#include <vector>

#include "alerts/alert_rule.h"

// One word of a rule's sentence. `part` is -1 for the condition and the action kind 0..7
// otherwise; `slot` is -1 for a plain word and the placeholder slot 0..9 for a variable word.
struct SentenceWord {
    std::string text;
    int part = -1;
    int slot = -1;
    bool placeholder() const { return slot >= 0; }
    friend bool operator==(const SentenceWord&, const SentenceWord&) = default;
};

// The words of a rule: the condition first, then the selected actions in kind order joined by
// "," and, before the last one, "and". A placeholder whose Text is empty gets its token
// ("<ADAPTER>", "<FILE>" ...) written into the Text, which marks it as unfilled.
std::vector<SentenceWord> build_sentence(AlertRule& rule);

// The condition's words joined by blanks ("When Multiple adapters daily download reaches
// 500 MB"), as the title of the rule's desktop notification.
std::string condition_sentence(const AlertRule& rule);

// An unfilled word: empty or still a token.
inline bool word_unfilled(const std::string& text) { return text.empty() || text[0] == '<'; }

// The value dialog a placeholder opens.
enum class ValueKind {
    none,
    adapter,
    period,
    direction,
    transferred,
    amount,
    rate,
    repetition,
    speed,
    sound_file,
    application,
    command_line,
    file_to_open,
    log_file,
};
ValueKind value_kind_of(int condition_kind, const SentenceWord& word);

// Placement of the word labels in the sentence frame, in pixels.
struct SentenceLayout {
    struct Place {
        int left = 0;
        int top = 0;
    };
    std::vector<Place> places;
    int frame_width = 0;
    int frame_height = 0;
    bool scroll_bar = false;
    int scroll_max = 0;  // steps of kScrollStep pixels
};
inline constexpr int kScrollStep = 16;  // 240 twips
// Lays out words of the given pixel widths in a viewport of the given size: left to right
// from (4, 2), a new line 16 pixels lower when a word does not fit; when the text reaches the
// viewport's bottom the frame narrows to leave room for the scroll bar.
SentenceLayout layout_sentence(const std::vector<int>& widths, int viewport_width, int viewport_height);
// The frame's top for a scroll bar value.
inline int frame_top_for_scroll(int value) { return -kScrollStep * value; }
