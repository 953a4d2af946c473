#pragma once

#include <string>
#include <string_view>

// The running program's version as major and minor number.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    // major + "." + minor, the minor in plain decimal ("1.30", "1.0").
    std::string text() const { return std::to_string(major) + "." + std::to_string(minor); }
};

// Reads "major.minor[.patch]"; missing or malformed parts count as 0.
ProgramVersion parse_program_version(std::string_view text);
// The version this program was built as.
ProgramVersion program_version();
// The day this program was built (days since 1899-12-30), as the build recorded it.
double program_build_date();
