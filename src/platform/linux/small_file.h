#pragma once

#include <string>

// Reads a small file (a /proc or /sys entry) whole with plain system calls: these are read
// every second, and a stream costs several times the reading itself. False when the file
// cannot be opened or read.
bool read_small_file(const std::string& path, std::string& out);
