#pragma once

#include <optional>
#include <string>

// The whole file as bytes; nothing when it does not exist or cannot be read.
std::optional<std::string> read_text_file(const std::string& path);
// Replaces the file with `text` whole and durably (see save_file_whole): a failed or
// interrupted write leaves the old file whole. False on any failure.
bool replace_text_file(const std::string& path, const std::string& text);
