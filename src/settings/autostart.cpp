#include "settings/autostart.h"

#include <filesystem>
#include <system_error>

#include "settings/text_file.h"
#include "platform/file_access.h"

namespace {

// Characters that make a desktop-entry Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// One Exec argument: '%' doubled; quoted, with '"', '`', '$' and '\' escaped, when it holds a
// reserved character.
std::string exec_argument(const std::string& arg) {
    std::string plain;
    for (const char c : arg) {
        plain += c;
        if (c == '%') plain += '%';
    }
    if (plain.find_first_of(kReserved) == std::string::npos) return plain;
    std::string quoted = "\"";
    for (const char c : plain) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A desktop-file string value: backslash and line breaks escaped.
std::string entry_value(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

}  // namespace

std::string autostart_file_path(const std::string& config_dir) { return config_dir + "/autostart/kelvanto.desktop"; }

std::string autostart_command(const std::string& program_path, bool minimized) {
    return exec_argument(program_path) + (minimized ? " /minimized" : "");
}

std::string autostart_entry_text(const std::string& command) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kelvanto\n"
           "Comment=Network traffic monitor\n"
           "Exec=" + entry_value(command) + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string run_key_command(const std::string& program_path, bool minimized) {
    return "\"" + program_path + "\"" + (minimized ? " /minimized" : "");
}

bool write_autostart_entry(const std::string& config_dir, const std::string& command) {
    const std::string path = autostart_file_path(config_dir);
    std::error_code ec;
    std::filesystem::create_directories(native_path(path).parent_path(), ec);
    if (ec) return false;
    const std::string text = autostart_entry_text(command);
    if (read_text_file(path) == text) return true;
    return replace_text_file(path, text);
}

bool remove_autostart_entry(const std::string& config_dir) {
    std::error_code ec;
    std::filesystem::remove(native_path(autostart_file_path(config_dir)), ec);
    return !ec;
}

bool runs_from_build_folder(const std::string& program_path) {
    if (program_path.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(native_path(program_path).parent_path() / kBuildFolderMarker, ec);
}
