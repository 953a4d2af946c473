#pragma once

#include <string>

enum class MsgButtons { ok, ok_cancel, yes_no };
enum class MsgIcon { none, error, warning, information, question };
enum class MsgResult { ok, cancel, yes, no };

struct MessageBoxRequest {
    std::string text;
    std::string title;
    MsgButtons buttons = MsgButtons::ok;
    MsgIcon icon = MsgIcon::none;
    bool system_modal = false;
};

// Message boxes the core asks the user with; the application shows real ones, tests record.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult message_box(const MessageBoxRequest& request) = 0;
};
