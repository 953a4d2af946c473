#include "platform/file_save.h"

#include <windows.h>

#include "platform/file_access.h"

namespace {

bool write_all(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

// The bytes go to "<name>.tmp" beside the file, are flushed to the disk, and the temporary
// file is moved over the file in one step that itself is written through to the disk.
bool save_file_whole(const std::string& path, std::string_view bytes) {
    const std::wstring target = native_path(path).wstring();
    const std::wstring temp = target + L".tmp";
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;

    // A temporary file left by an interrupted save (perhaps read-only) is started afresh.
    ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(temp.c_str());
    const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = write_all(file, bytes);
    ok = ok && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    ok = ok && ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ::DeleteFileW(temp.c_str());
    return ok;
}
