#pragma once

#include <string>

#include "platform/message_box.h"

// The program's own message window, caption "Error": a text, the warning (or error) icon and
// OK, shown without being modal over its owner, which is disabled meanwhile. One at a time:
// a new message replaces the text of the open one. OK, Enter and Escape close it.
class frmMsgBox : public ProgramMessageBox {
public:
    // `owner`: the main window (an HWND); `topmost` asks whether Always on top is on.
    explicit frmMsgBox(void* owner, bool (*topmost)(const void* context), const void* context);
    ~frmMsgBox() override;
    frmMsgBox(const frmMsgBox&) = delete;
    frmMsgBox& operator=(const frmMsgBox&) = delete;

    void show_message(const std::string& text, bool critical) override;
    // The window the next message is shown over (and disables): the options dialog while it
    // is open, else the main window.
    void set_owner(void* owner) { owner_ = owner; }
    bool open() const { return window_ != nullptr; }
    // Called by the window procedure.
    void closed();

private:
    void* owner_;
    void* shown_over_ = nullptr;  // the owner of the open window
    bool (*topmost_)(const void*);
    const void* context_;
    void* window_ = nullptr;
    void* label_ = nullptr;
    void* icon_ = nullptr;
    void* ok_ = nullptr;
};
