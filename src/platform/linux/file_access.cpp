#include "platform/file_access.h"

#include <unistd.h>

std::FILE* open_file(const std::string& utf8_path, const char* mode) { return std::fopen(utf8_path.c_str(), mode); }

bool seek_file(std::FILE* file, std::int64_t offset) {
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool sync_file(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }
