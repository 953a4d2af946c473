#include "platform/file_access.h"

#include <io.h>

#include <cwchar>

std::FILE* open_file(const std::string& utf8_path, const char* mode) {
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return ::_wfopen(native_path(utf8_path).c_str(), wide_mode.c_str());
}

bool seek_file(std::FILE* file, std::int64_t offset) { return ::_fseeki64(file, offset, SEEK_SET) == 0; }

// _commit is FlushFileBuffers on the file's handle.
bool sync_file(std::FILE* file) { return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0; }
