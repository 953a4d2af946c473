#include "platform/data_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/file_access.h"

namespace fs = std::filesystem;

std::string stats_dir(const std::string& data_dir) { return data_dir + "Stats/"; }

void make_dir(const std::string& path) {
    std::error_code ec;
    fs::create_directories(native_path(path), ec);
    // Every local user could otherwise read the traffic history.
    if (!ec) fs::permissions(native_path(path), fs::perms::owner_all, ec);
}

FileRead read_file(const std::string& path, std::int64_t offset, std::int64_t max_bytes) {
    FileRead result;
    std::FILE* f = open_file(path, "rb");
    if (!f) {
        // Only a file that is there but cannot be read is an error; anything else is missing.
        const int err = errno;
        result.reason = std::strerror(err);
        std::error_code ec;
        result.status = err == EACCES || fs::exists(native_path(path), ec) ? ReadStatus::error : ReadStatus::missing;
        return result;
    }
    std::error_code ec;
    const auto size = static_cast<std::int64_t>(fs::file_size(native_path(path), ec));
    if (ec || fs::is_directory(native_path(path), ec)) {
        std::fclose(f);
        result.status = ReadStatus::error;
        result.reason = std::strerror(EISDIR);
        return result;
    }
    result.status = ReadStatus::ok;
    if (offset < size) {
        const std::int64_t want = std::min(max_bytes, size - offset);
        result.bytes.resize(static_cast<std::size_t>(want));
        if (!seek_file(f, offset)) {
            result.status = ReadStatus::error;
            result.bytes.clear();
        } else {
            result.bytes.resize(std::fread(result.bytes.data(), 1, result.bytes.size(), f));
            if (std::ferror(f)) result.status = ReadStatus::error;
        }
        if (result.status == ReadStatus::error) result.reason = std::strerror(errno);
    }
    std::fclose(f);
    return result;
}
