#pragma once

#include <string>

// The program's messages: single lines about what went wrong out of the user's sight (a mail
// not delivered, for one). They go to standard error, which the journal keeps for a service.
class ProgramMessages {
public:
    virtual ~ProgramMessages() = default;
    virtual void line(const std::string& text) = 0;
};

// Writes "kelvanto: " + text as one line to standard error.
class StderrMessages : public ProgramMessages {
public:
    void line(const std::string& text) override;
};
