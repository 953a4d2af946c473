#include "platform/win32/data_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/file_access.h"
#include "platform/win32/win32_text.h"

namespace {

std::string with_backslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

std::string local_app_data() {
    wchar_t* path = nullptr;
    std::string folder;
    if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path) == S_OK) folder = narrow(path);
    ::CoTaskMemFree(path);
    return folder.empty() ? environment_value("LOCALAPPDATA") : folder;
}

}  // namespace

bool folder_writable(const std::string& folder) {
    const std::wstring probe = native_path(with_backslash(folder) + "kelvanto-write-check.tmp").wstring();
    const HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

std::string windows_data_folder() {
    const std::string home = environment_value("KELVANTO_HOME");
    if (!home.empty()) return with_backslash(home);
    const std::string program = program_path();
    const std::size_t cut = program.find_last_of(kPathSeparators);
    const std::string program_folder = cut == std::string::npos ? std::string() : program.substr(0, cut + 1);
    if (!program_folder.empty() && folder_writable(program_folder)) return program_folder;
    const std::string local = local_app_data();
    if (local.empty()) return program_folder;
    const std::string folder = with_backslash(local) + "Kelvanto\\";
    ::CreateDirectoryW(native_path(folder).c_str(), nullptr);
    return folder;
}
