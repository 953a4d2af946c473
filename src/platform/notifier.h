#pragma once

#include <string>

// Desktop notifications: a title and a text shown by the desktop's notification service, or
// by the program's own message window where no such service answers.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const std::string& title, const std::string& text) = 0;
};
