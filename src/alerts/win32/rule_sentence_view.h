#pragma once

#include "platform/win32/windows_api.h"

#include <vector>

#include "alerts/rule_sentence.h"

// The sentence of a rule as a child control: its words placed by the core's layout, plain
// words black, placeholders underlined in blue (red when the missing values are marked and
// the word is still unfilled), a hand over them and a scroll bar when the words do not fit.
// The window text is the sentence as read, the words joined by blanks.
//
// Clicking a placeholder (or Space on the one with the focus; Left and Right move it) sends
// the parent WM_NOTIFY with a SentenceClick, code NM_CLICK.
struct SentenceClick {
    NMHDR hdr;
    int word;  // index into the words shown
};

// Where word `wparam` is shown, in client coordinates: the RECT at `lparam` (TRUE when shown).
inline constexpr UINT kSentenceWordRect = WM_USER + 40;

HWND create_sentence_view(HWND parent, int id, int x, int y, int width, int height);
// Shows the words (copied) and lays them out; the font is the control's WM_SETFONT font.
void show_sentence(HWND view, const std::vector<SentenceWord>& words, bool highlight_missing);
