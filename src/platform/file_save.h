#pragma once

#include <string>
#include <string_view>

// Replaces the file at `path` with `bytes`, whole, so that a crash or a power cut leaves
// either the old or the new contents and never a torn or empty file: the bytes go to a
// temporary file beside it, which is flushed to the disk, renamed over the file, and the
// folder is flushed after the rename. A symlink is followed and its target replaced (the
// link stays); an existing file keeps its permission bits (and its owner, where the process
// may set it). Something that is no file (a device, a pipe) is written to, never replaced;
// a folder is refused. On Linux a file that already holds exactly `bytes` (with the
// permissions the save would give it) is left as it is. False on any failure; the old file
// is then left as it was.
bool save_file_whole(const std::string& path, std::string_view bytes);

// What a save of a data file came to: done, or why not (the system's words).
struct FileSave {
    bool ok = false;
    std::string reason;
};

// Saves a file of the program's data folder `folder` as save_file_whole does, but privately:
// the file is left readable and writable by its owner only (0600), and a link that leads out
// of the folder is not followed (the save fails and the target stays as it was).
FileSave save_data_file(const std::string& path, std::string_view bytes, const std::string& folder);

// Why `path` is no file of `folder`: once its links are followed it lies outside the folder.
// Empty when it lies inside (or `folder` is empty: no folder to keep to).
std::string outside_folder(const std::string& path, const std::string& folder);
