#include "net/program_version.h"

#include "platform/date.h"

#ifndef KELVANTO_VERSION
#define KELVANTO_VERSION "0.0"
#endif
// The build day as YYYYMMDD, set by the build for this file only.
#ifndef KELVANTO_BUILD_DAY
#define KELVANTO_BUILD_DAY 20260101
#endif

namespace {

int read_number(std::string_view& rest) {
    int value = 0;
    std::size_t i = 0;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && value < 100000) {
        value = value * 10 + (rest[i] - '0');
        ++i;
    }
    rest.remove_prefix(i);
    return value;
}

}  // namespace

ProgramVersion parse_program_version(std::string_view text) {
    ProgramVersion v;
    v.major = read_number(text);
    if (!text.empty() && text.front() == '.') {
        text.remove_prefix(1);
        v.minor = read_number(text);
    }
    return v;
}

ProgramVersion program_version() { return parse_program_version(KELVANTO_VERSION); }

double program_build_date() {
    constexpr long day = KELVANTO_BUILD_DAY;
    return static_cast<double>(day_number(static_cast<int>(day / 10000), static_cast<int>(day / 100 % 100),
                                          static_cast<int>(day % 100)));
}
