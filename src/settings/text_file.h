#pragma once

#include <optional>
#include <string>

// The whole file as bytes; nothing when it does not exist or cannot be read.
std::optional<std::string> read_text_file(const std::string& path);
// Replaces the file with `text` through a temporary file beside it and a rename, so a failed
// or interrupted write leaves the old file whole. False on any failure.
bool replace_text_file(const std::string& path, const std::string& text);
