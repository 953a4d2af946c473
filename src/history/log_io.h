#pragma once

#include <string>

#include "history/log_files.h"
#include "history/log_state.h"

// Reads and writes of log files that go through the writes still waiting for a save that
// can do them: a read sees the waiting contents, a failed write waits for the next save.

FileRead read_log_file(const LogState& logs, const std::string& path, std::int64_t offset = 0,
                       std::int64_t max_bytes = INT64_MAX);
// True when written; otherwise the bytes wait and `logs.save_failure` says why.
bool save_whole_file(LogState& logs, const std::string& path, Bytes bytes);
bool save_at_offset(LogState& logs, const std::string& path, std::int64_t offset, Bytes bytes);
// Tries the waiting writes again; those that succeed are dropped.
void retry_unsaved(LogState& logs);
// Deletes a file and anything waiting to be written to it.
void delete_log_file(LogState& logs, const std::string& path);
