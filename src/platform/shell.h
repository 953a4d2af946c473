#pragma once

#include <string>

// Opening documents and links with their usual application, and starting programs. Results
// are not reported: a missing file or program simply does nothing.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const std::string& path) = 0;
    // Starts `program` detached with the command-line text `arguments` (may be empty).
    virtual void run(const std::string& program, const std::string& arguments) = 0;
};
