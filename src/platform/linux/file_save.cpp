#include "platform/file_save.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The file a path finally names: symlinks are followed (also to a target that does not
// exist yet), so the save replaces the target and the link stays a link.
std::string link_target(const std::string& path) {
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) break;
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    // A plain path to the target's folder, without "..", links or relative parts.
    std::error_code ec;
    const fs::path folder = fs::weakly_canonical(fs::absolute(p.parent_path(), ec), ec);
    return ec ? p.string() : (folder / p.filename()).string();
}

bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int fsync_retrying(int fd) {
    int r = 0;
    do r = ::fsync(fd);
    while (r != 0 && errno == EINTR);
    return r;
}

// Flushes a folder's entries (the rename) to the disk.
void sync_folder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync_retrying(fd);
    ::close(fd);
}

// Something else than a file (a device, a pipe) is written to, never replaced.
bool write_in_place(const std::string& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = write_all(fd, bytes);
    return ::close(fd) == 0 && ok;
}

FileSave failed() { return {false, std::strerror(errno)}; }

// Whether the file `fd` holds exactly `bytes` (`size` is its length). A log saved every minute
// mostly comes out as it already is while nothing moved; such a file is left alone, since a
// rewrite costs several waits for the disk and changes nothing that is stored.
bool holds_already(int fd, off_t size, std::string_view bytes) {
    if (size != static_cast<off_t>(bytes.size())) return false;
    char chunk[4096];
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t want = std::min(sizeof chunk, bytes.size() - at);
        const ssize_t n = ::pread(fd, chunk, want, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || std::memcmp(chunk, bytes.data() + at, static_cast<std::size_t>(n)) != 0) return false;
        at += static_cast<std::size_t>(n);
    }
    // Nothing past the end either (the file may have grown since the size was taken).
    return ::pread(fd, chunk, 1, static_cast<off_t>(at)) == 0;
}

bool unchanged(const std::string& target, const struct stat& old, mode_t mode, std::string_view bytes) {
    if ((old.st_mode & 07777) != mode) return false;
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool same = holds_already(fd, old.st_size, bytes);
    ::close(fd);
    return same;
}

// The save of both kinds; `data_folder` empty: a file anywhere, keeping its mode.
FileSave save_whole(const std::string& path, std::string_view bytes, const std::string& data_folder) {
    const bool data = !data_folder.empty();
    if (data) {
        std::string outside = outside_folder(path, data_folder);
        if (!outside.empty()) return {false, std::move(outside)};
    }
    const std::string target = link_target(path);
    const std::string temp = target + ".tmp";
    const std::string folder = fs::path(target).parent_path().string();

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return {false, std::strerror(EISDIR)};
    if (exists && !S_ISREG(old.st_mode)) return write_in_place(target, bytes) ? FileSave{true, {}} : failed();
    const bool had_file = exists;
    const mode_t mode = data ? 0600 : had_file ? (old.st_mode & 07777) : 0666;
    if (had_file && unchanged(target, old, mode, bytes)) return {true, {}};
    // A temporary file left by an interrupted save (perhaps read-only) is started afresh.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return failed();
    bool ok = true;
    if (had_file) {
        // The owner first (a change of owner clears set-id bits), then the permissions,
        // which the mask of this process must not narrow.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int owner_kept = ::fchown(fd, old.st_uid, old.st_gid);
        }
    }
    ok = (!had_file && !data) || ::fchmod(fd, mode) == 0;
    ok = ok && write_all(fd, bytes);
    ok = ok && fsync_retrying(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::renameat(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str()) == 0;
    if (!ok) {
        FileSave why = failed();
        ::unlink(temp.c_str());
        return why;
    }
    sync_folder(folder);
    return {true, {}};
}

}  // namespace

bool save_file_whole(const std::string& path, std::string_view bytes) { return save_whole(path, bytes, {}).ok; }

FileSave save_data_file(const std::string& path, std::string_view bytes, const std::string& folder) {
    return save_whole(path, bytes, folder.empty() ? std::string("/") : folder);
}

std::string outside_folder(const std::string& path, const std::string& folder) {
    if (folder.empty()) return {};
    std::error_code ec;
    std::string root = fs::weakly_canonical(fs::absolute(folder, ec), ec).string();
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    const std::string target = link_target(path);
    if (root == "/" || target.rfind(root + "/", 0) == 0) return {};
    return "it leads to " + target + ", outside the data folder " + root;
}
