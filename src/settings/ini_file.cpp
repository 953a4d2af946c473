#include "settings/ini_file.h"

#include <algorithm>
#include <cctype>

#include "settings/text_file.h"

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The section name of a header line, or nothing when the line is not a header.
std::optional<std::string> header_name(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::size_t close = t.rfind(']');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    return std::string(trim(t.substr(1, close - 1)));
}

// The key of a "key=value" line, or nothing for any other line.
std::optional<std::string_view> line_key(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trim(line.substr(0, eq));
}

IniSection* find_section(IniFile& file, std::string_view name) {
    for (IniSection& s : file.sections)
        if (same_name(s.name, name)) return &s;
    return nullptr;
}

const IniSection* find_section(const IniFile& file, std::string_view name) {
    for (const IniSection& s : file.sections)
        if (same_name(s.name, name)) return &s;
    return nullptr;
}

}  // namespace

IniFile parse_ini(std::string_view text) {
    IniFile file;
    std::vector<std::string>* target = &file.preamble;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trim(line).empty()) continue;
        if (auto name = header_name(line)) {
            file.sections.push_back(IniSection{*name, {}});
            target = &file.sections.back().lines;
        } else {
            target->emplace_back(line);
        }
    }
    return file;
}

std::string format_ini(const IniFile& file) {
    std::string out;
    for (const std::string& line : file.preamble) out += line + "\r\n";
    for (const IniSection& s : file.sections) {
        if (!out.empty()) out += "\r\n";
        out += "[" + s.name + "]\r\n";
        for (const std::string& line : s.lines) out += line + "\r\n";
    }
    return out;
}

std::vector<std::string> section_names(const IniFile& file) {
    std::vector<std::string> names;
    names.reserve(file.sections.size());
    for (const IniSection& s : file.sections) names.push_back(s.name);
    return names;
}

std::optional<std::string> read_key(const IniFile& file, std::string_view section, std::string_view key) {
    const IniSection* s = find_section(file, section);
    if (s == nullptr) return std::nullopt;
    for (const std::string& line : s->lines) {
        const auto k = line_key(line);
        if (k && same_name(*k, key)) return std::string(trim(std::string_view(line).substr(line.find('=') + 1)));
    }
    return std::nullopt;
}

void write_key(IniFile& file, std::string_view section, std::string_view key, std::string_view value) {
    IniSection* s = find_section(file, section);
    if (s == nullptr) {
        file.sections.push_back(IniSection{std::string(section), {}});
        s = &file.sections.back();
    }
    std::string line = std::string(key) + "=" + std::string(value);
    for (std::string& existing : s->lines) {
        const auto k = line_key(existing);
        if (k && same_name(*k, key)) {
            existing = std::move(line);
            return;
        }
    }
    s->lines.push_back(std::move(line));
}

bool delete_section(IniFile& file, std::string_view section) {
    const auto it = std::find_if(file.sections.begin(), file.sections.end(),
                                 [&](const IniSection& s) { return same_name(s.name, section); });
    if (it == file.sections.end()) return false;
    file.sections.erase(it);
    return true;
}

std::optional<IniFile> load_ini_file(const std::string& path) {
    const auto text = read_text_file(path);
    if (!text) return std::nullopt;
    return parse_ini(*text);
}

bool save_ini_file(const std::string& path, const IniFile& file) { return replace_text_file(path, format_ini(file)); }

void tidy_ini_file(const std::string& path) {
    const auto text = read_text_file(path);
    if (!text || text->find("\n[") == std::string::npos) return;
    const std::string tidy = format_ini(parse_ini(*text));
    if (tidy != *text) replace_text_file(path, tidy);
}
