#pragma once

#include <string>

// What a shortcut key of the main window changed, shown beside the window's top left corner
// for three seconds in a tooltip (the Linux build shows the same note the same way).
class KeyNote {
public:
    KeyNote() = default;
    ~KeyNote();
    KeyNote(const KeyNote&) = delete;
    KeyNote& operator=(const KeyNote&) = delete;

    // Shows `text` for `owner` (an HWND); the owner's WM_TIMER with kKeyNoteTimer calls hide().
    void show(void* owner, const std::string& text);
    void hide();

private:
    void* tip_ = nullptr;    // the tooltip window, made on first use
    void* owner_ = nullptr;
};

inline constexpr unsigned kKeyNoteTimer = 77;
inline constexpr unsigned kKeyNoteMs = 3000;
