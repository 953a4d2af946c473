#include "settings/text_file.h"

#include "platform/file_access.h"
#include "platform/file_save.h"

#include <fstream>
#include <sstream>

std::optional<std::string> read_text_file(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

bool replace_text_file(const std::string& path, const std::string& text) { return save_file_whole(path, text); }
