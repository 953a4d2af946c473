#include "platform/file_save.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>

#include "platform/file_access.h"
#include "platform/win32/win32_text.h"

namespace fs = std::filesystem;

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

FileSave failed() { return {false, system_error_text(::GetLastError())}; }

// The bytes go to "<name>.tmp" beside the file, are flushed to the disk, and the temporary
// file is moved over the file in one step that itself is written through to the disk. A data
// folder under the user's profile is the user's alone by its permissions.
FileSave save_whole(const std::string& path, std::string_view bytes) {
    const std::wstring target = native_path(path).wstring();
    const std::wstring temp = target + L".tmp";
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {false, system_error_text(ERROR_DIRECTORY)};
    // A temporary file left by an interrupted save (perhaps read-only) is started afresh.
    ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(temp.c_str());
    const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failed();
    bool ok = write_all(file, bytes);
    ok = ok && ::FlushFileBuffers(file);
    FileSave result = ok ? FileSave{true, {}} : failed();
    if (!::CloseHandle(file) && result.ok) result = failed();
    if (result.ok && !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = failed();
    if (!result.ok) ::DeleteFileW(temp.c_str());
    return result;
}

// A path as the system resolves it (links and junctions followed), lower case, '\' separated.
std::wstring resolved(const std::string& path) {
    std::error_code ec;
    std::wstring p = fs::weakly_canonical(fs::absolute(native_path(path), ec), ec).make_preferred().wstring();
    std::transform(p.begin(), p.end(), p.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    while (p.size() > 3 && p.back() == L'\\') p.pop_back();
    return p;
}

}  // namespace

bool save_file_whole(const std::string& path, std::string_view bytes) { return save_whole(path, bytes).ok; }

FileSave save_data_file(const std::string& path, std::string_view bytes, const std::string& folder) {
    std::string outside = outside_folder(path, folder);
    if (!outside.empty()) return {false, std::move(outside)};
    return save_whole(path, bytes);
}

std::string outside_folder(const std::string& path, const std::string& folder) {
    if (folder.empty()) return {};
    const std::wstring root = resolved(folder);
    const std::wstring target = resolved(path);
    if (target.rfind(root + L"\\", 0) == 0) return {};
    return "it leads to " + narrow(target) + ", outside the data folder " + narrow(root);
}
