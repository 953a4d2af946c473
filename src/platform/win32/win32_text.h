#pragma once

#include <string>
#include <string_view>

// The Windows side speaks UTF-16; the program keeps UTF-8 text. Invalid sequences become
// U+FFFD either way.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The system's words for an error code (GetLastError, a Winsock or a security status), in
// UTF-8 without the line end; the code in hex where the system has no text for it.
std::string system_error_text(unsigned long code);

// The value of environment variable `name` in UTF-8; empty when it is not set.
std::string environment_value(const char* name);

// The full path of the running program (UTF-8).
std::string program_path();
