#pragma once

#include "platform/shell.h"

// Opens files and links with QDesktopServices and starts programs detached with QProcess.
class QtShell : public Shell {
public:
    void open(const std::string& path) override;
    void run(const std::string& program, const std::string& arguments) override;
};
