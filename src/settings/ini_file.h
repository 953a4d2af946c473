#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small profile file of "[Section]" headers and "key=value" lines. Section and key names
// compare without regard to ASCII letter case, as the Windows profile functions do. Lines
// other than headers are kept as they are (comments survive a rewrite); empty lines are
// dropped, and a written file has exactly one empty line before every section but the first
// line, with CR LF line ends.
struct IniSection {
    std::string name;
    std::vector<std::string> lines;  // the section's lines after its header, no empty ones
};

struct IniFile {
    std::vector<std::string> preamble;  // lines before the first section
    std::vector<IniSection> sections;   // in file order
};

IniFile parse_ini(std::string_view text);
// The tidy text of the file: CR LF line ends, one empty line between sections, no other.
std::string format_ini(const IniFile& file);

std::vector<std::string> section_names(const IniFile& file);
// The value of `key` in `section` with blanks around it removed, or nothing when absent.
std::optional<std::string> read_key(const IniFile& file, std::string_view section, std::string_view key);
// Sets `key` in `section`, adding the key at the section's end and the section at the file's
// end when missing.
void write_key(IniFile& file, std::string_view section, std::string_view key, std::string_view value);
// Removes the section with all its keys; false when there was none.
bool delete_section(IniFile& file, std::string_view section);

// Reads a file whole; nothing when it does not exist or cannot be read.
std::optional<IniFile> load_ini_file(const std::string& path);
// Writes the tidy text through a temporary file and a rename; false on any failure, in which
// case the old file is left as it was.
bool save_ini_file(const std::string& path, const IniFile& file);
// Rewrites an existing file in its tidy form when it holds more than one block (a line break
// followed by '[') and the text changes. Failures leave the file as it was.
void tidy_ini_file(const std::string& path);
