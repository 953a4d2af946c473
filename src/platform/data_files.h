#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Folders and plain reads of the data folder's files.

// "Stats/" under the data folder (which ends in '/'): the logs and the program's own files.
std::string stats_dir(const std::string& data_dir);
// Creates a folder of the data folder (with its parents) and makes it private (0700).
void make_dir(const std::string& path);

// What a read found: the file is missing, could not be read, or these bytes.
enum class ReadStatus { missing, error, ok };
struct FileRead {
    ReadStatus status = ReadStatus::missing;
    std::vector<std::uint8_t> bytes;
    std::string reason;  // why it could not be read
};

// Reads up to `max_bytes` from `offset` (fewer when the file is shorter).
FileRead read_file(const std::string& path, std::int64_t offset = 0, std::int64_t max_bytes = INT64_MAX);
