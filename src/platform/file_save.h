#pragma once

#include <string>
#include <string_view>

// Replaces the file at `path` with `bytes`, whole, so that a crash or a power cut leaves
// either the old or the new contents and never a torn or empty file: the bytes go to a
// temporary file beside it, which is flushed to the disk, renamed over the file, and the
// folder is flushed after the rename. A symlink is followed and its target replaced (the
// link stays); an existing file keeps its permission bits (and its owner, where the process
// may set it). Something that is no file (a device, a pipe) is written to, never replaced;
// a folder is refused. False on any failure; the old file is then left as it was.
bool save_file_whole(const std::string& path, std::string_view bytes);
