#include "history/log_io.h"

#include <algorithm>
#include <filesystem>

#include "platform/file_access.h"
#include "platform/file_save.h"

namespace {

std::string_view as_text(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

FileRead read_log_file(const LogState& logs, const std::string& path, std::int64_t offset, std::int64_t max_bytes) {
    const auto whole = logs.unsaved.whole_files.find(path);
    if (whole != logs.unsaved.whole_files.end()) {
        FileRead r;
        r.status = ReadStatus::ok;
        const auto size = static_cast<std::int64_t>(whole->second.size());
        if (offset < size) {
            const auto from = whole->second.begin() + offset;
            r.bytes.assign(from, from + std::min(max_bytes, size - offset));
        }
        return r;
    }
    FileRead r = read_file(path, offset, max_bytes);
    // Records waiting to be written at an offset lie over what the disk holds.
    for (auto it = logs.unsaved.at_offset.lower_bound({path, INT64_MIN});
         it != logs.unsaved.at_offset.end() && it->first.first == path; ++it) {
        const std::int64_t at = it->first.second;
        const std::int64_t end = at + static_cast<std::int64_t>(it->second.size());
        const std::int64_t want_end = max_bytes == INT64_MAX ? INT64_MAX : offset + max_bytes;
        if (end <= offset || at >= want_end) continue;
        if (r.status == ReadStatus::missing) r.status = ReadStatus::ok;
        const std::int64_t need = std::min(end, want_end) - offset;
        if (static_cast<std::int64_t>(r.bytes.size()) < need) r.bytes.resize(static_cast<std::size_t>(need), 0);
        for (std::int64_t k = std::max(at, offset); k < std::min(end, want_end); ++k)
            r.bytes[static_cast<std::size_t>(k - offset)] = it->second[static_cast<std::size_t>(k - at)];
    }
    return r;
}

bool save_whole_file(LogState& logs, const std::string& path, Bytes bytes) {
    const FileSave saved = save_data_file(path, as_text(bytes), logs.folder);
    if (saved.ok) {
        logs.unsaved.whole_files.erase(path);
        return true;
    }
    logs.save_failure = path + ": " + saved.reason;
    logs.unsaved.whole_files[path] = std::move(bytes);
    return false;
}

bool save_at_offset(LogState& logs, const std::string& path, std::int64_t offset, Bytes bytes) {
    const std::optional<std::string> failed = write_file_at(path, offset, bytes, logs.folder);
    if (!failed) {
        logs.unsaved.at_offset.erase({path, offset});
        return true;
    }
    logs.save_failure = path + ": " + *failed;
    logs.unsaved.at_offset[{path, offset}] = std::move(bytes);
    return false;
}

void retry_unsaved(LogState& logs) {
    if (logs.unsaved.empty()) return;
    for (const auto& [path, bytes] : logs.unsaved.whole_files) make_dir(utf8_of(native_path(path).parent_path()));
    for (const auto& [where, bytes] : logs.unsaved.at_offset) make_dir(utf8_of(native_path(where.first).parent_path()));
    for (auto it = logs.unsaved.whole_files.begin(); it != logs.unsaved.whole_files.end();) {
        Bytes bytes = it->second;
        const std::string path = (it++)->first;
        save_whole_file(logs, path, std::move(bytes));
    }
    for (auto it = logs.unsaved.at_offset.begin(); it != logs.unsaved.at_offset.end();) {
        Bytes bytes = it->second;
        const auto [path, offset] = (it++)->first;
        save_at_offset(logs, path, offset, std::move(bytes));
    }
}

void delete_log_file(LogState& logs, const std::string& path) {
    logs.unsaved.whole_files.erase(path);
    for (auto it = logs.unsaved.at_offset.lower_bound({path, INT64_MIN});
         it != logs.unsaved.at_offset.end() && it->first.first == path;) {
        it = logs.unsaved.at_offset.erase(it);
    }
    remove_file(path);
}
