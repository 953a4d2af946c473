#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

// File and folder names inside the program are UTF-8 text. These turn them into the
// system's paths and back. On Windows a path is UTF-16, and a narrow name handed to the
// C library or to std::filesystem would be read in the ANSI code page, so a data folder
// under "C:\Users\Jörg" could not be opened: every path goes through native_path.

// The characters that end a folder name in a path.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

inline std::filesystem::path native_path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8_of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// std::fopen for a UTF-8 name; nullptr on failure, with errno set.
std::FILE* open_file(const std::string& utf8_path, const char* mode);
// Moves to `offset` bytes from the start, also past 2 GiB (long has 32 bits on Windows).
bool seek_file(std::FILE* file, std::int64_t offset);
// Flushes the stream and puts its bytes on the disk; false when either failed.
bool sync_file(std::FILE* file);
