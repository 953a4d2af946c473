#include "platform/program_messages.h"

#include <cstdio>

void StderrMessages::line(const std::string& text) {
    std::fprintf(stderr, "kelvanto: %s\n", text.c_str());
    std::fflush(stderr);
}
