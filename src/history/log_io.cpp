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

void save_whole_file(LogState& logs, const std::string& path, Bytes bytes) {
    if (save_file_whole(path, as_text(bytes))) {
        logs.unsaved.whole_files.erase(path);
    } else {
        logs.unsaved.whole_files[path] = std::move(bytes);
    }
}

void save_at_offset(LogState& logs, const std::string& path, std::int64_t offset, Bytes bytes) {
    if (write_file_at(path, offset, bytes)) {
        logs.unsaved.at_offset.erase({path, offset});
    } else {
        logs.unsaved.at_offset[{path, offset}] = std::move(bytes);
    }
}

void retry_unsaved(LogState& logs) {
    if (logs.unsaved.empty()) return;
    for (const auto& [path, bytes] : logs.unsaved.whole_files) make_dir(utf8_of(native_path(path).parent_path()));
    for (const auto& [where, bytes] : logs.unsaved.at_offset) make_dir(utf8_of(native_path(where.first).parent_path()));
    for (auto it = logs.unsaved.whole_files.begin(); it != logs.unsaved.whole_files.end();) {
        it = save_file_whole(it->first, as_text(it->second)) ? logs.unsaved.whole_files.erase(it) : std::next(it);
    }
    for (auto it = logs.unsaved.at_offset.begin(); it != logs.unsaved.at_offset.end();) {
        it = write_file_at(it->first.first, it->first.second, it->second) ? logs.unsaved.at_offset.erase(it)
                                                                           : std::next(it);
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
