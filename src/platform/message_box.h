#pragma once

#include <string>

// The program's own, non-modal message box (caption "Error"): errors and hints of the alert
// screens and the settings. Showing a new text while it is open replaces the text.
class ProgramMessageBox {
public:
    virtual ~ProgramMessageBox() = default;
    virtual void show_message(const std::string& text, bool critical) = 0;
};
