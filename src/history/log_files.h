#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/log_state.h"
#include "history/stats_record.h"
#include "platform/data_files.h"

using Bytes = std::vector<std::uint8_t>;

// File names under the data folder (which ends in '/').
std::string minute_dir(const std::string& data_dir);
std::string stats_file_path(const std::string& data_dir);
std::string year_file_path(const std::string& data_dir, int year, int adapter);
std::string minute_file_path(const std::string& data_dir, int year, int adapter);
std::string first_minute_file_path(const std::string& data_dir);
// Whether minutely files (".dat") lie in the data folder's "Stats/DbMin".
bool minutely_files_left(const std::string& data_dir);

// "Stats.dat": 116 + 54 x n bytes. The wrap counts are stored saturated at 255.
Bytes encode_stats(const StatsRecord& record);
enum class StatsParse { foreign, unknown_version, ok };
// Reads as much of a record as the bytes hold; fields that are missing or unreadable stay 0.
StatsParse decode_stats(const Bytes& bytes, StatsRecord& record);

// A daily file: 366 entries, 5856 bytes.
Bytes encode_day_table(const std::array<TrafficPair, kDaysPerYearTable>& table);
// Entries beyond the end of the bytes, and values that are no amount (negative, NaN,
// infinite), read as 0.
void decode_entries(const Bytes& bytes, TrafficPair* out, std::size_t count);

Bytes encode_entries(const TrafficPair* entries, std::size_t count);
Bytes encode_date(double date);
// A date file's value, or nothing when it holds no plausible date.
std::optional<double> decode_date(const Bytes& bytes);

// Writes bytes at an offset of an existing or new file of the data folder `folder`, never
// truncating it, and flushes them to the disk. A new file is private (0600); a path whose
// links lead out of the folder is not written. The reason when it fails.
std::optional<std::string> write_file_at(const std::string& path, std::int64_t offset, const Bytes& bytes,
                                         const std::string& folder = {});
std::int64_t file_size(const std::string& path);
void remove_file(const std::string& path);
