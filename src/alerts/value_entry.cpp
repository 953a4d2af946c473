#include "alerts/value_entry.h"

#include <filesystem>
#include <system_error>

#include "alerts/rule_values.h"
#include "platform/file_access.h"

namespace {

const char* const kLargestNumber = "2147483647";

using Strings = std::vector<std::string>;

// The last entry makes the amount a share of the data cap, so the rule follows the cap.
const Strings kAmountUnits = {"KB", "MB", "GB", "% of the cap"};
const Strings kRateUnits = {"kb/s", "mb/s", "gb/s", "KB/s", "MB/s", "GB/s"};

bool is_list_kind(ValueKind kind) {
    switch (kind) {
        case ValueKind::adapter:
        case ValueKind::period:
        case ValueKind::direction:
        case ValueKind::transferred: return true;
        default: return false;
    }
}

bool is_file_kind(ValueKind kind) {
    return kind == ValueKind::sound_file || kind == ValueKind::application || kind == ValueKind::file_to_open ||
           kind == ValueKind::log_file;
}

bool filled(const ValuePair& pair) { return !word_unfilled(pair.Text); }

std::string strip_zeros(const std::string& digits) {
    std::size_t i = 0;
    while (i + 1 < digits.size() && digits[i] == '0') ++i;
    return digits.substr(i);
}

// A name part of a path: none of \ / : * ? < > | " or tab.
bool clean_part(const std::string& part) {
    for (char c : part) {
        switch (c) {
            case '\\':
            case '/':
            case ':':
            case '*':
            case '?':
            case '<':
            case '>':
            case '|':
            case '"':
            case '\t': return false;
            default: break;
        }
    }
    return true;
}

Strings split(const std::string& path, char sep) {
    Strings parts;
    std::string cur;
    for (char c : path) {
        if (c == sep) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

// Folder parts shorter than 255 characters, a file name of 1 to 255 characters.
bool part_lengths_ok(const Strings& parts) {
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i].size() >= 255) return false;
    }
    return !parts.back().empty() && parts.back().size() < 256;
}

bool valid_drive_path(const std::string& path) {
    const std::size_t colon = path.find(':');
    if (colon != std::string::npos) {
        if (colon != 1 || path.size() < 4 || path[2] != '\\') return false;
        const char d = path[0];
        if (!((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z'))) return false;
    }
    const Strings parts = split(path, '\\');
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& p = i == 0 && colon != std::string::npos ? parts[i].substr(2) : parts[i];
        if (!clean_part(p)) return false;
    }
    return part_lengths_ok(parts);
}

#ifndef _WIN32
bool valid_posix_path(const std::string& path) {
    if (path.size() < 2 || path[0] != '/') return false;
    Strings parts = split(path.substr(1), '/');
    for (const std::string& p : parts) {
        if (!clean_part(p)) return false;
    }
    return part_lengths_ok(parts);
}
#endif

}  // namespace

namespace {

ValueDialogSpec list_spec(const char* caption, const char* prompt, Strings list) {
    ValueDialogSpec s;
    s.caption = caption;
    s.prompt = prompt;
    s.list = std::move(list);
    return s;
}

ValueDialogSpec number_spec(const char* caption, const char* prompt, Strings units, int max_length) {
    ValueDialogSpec s = list_spec(caption, prompt, std::move(units));
    s.field = true;
    s.number = true;
    s.max_length = max_length;
    return s;
}

ValueDialogSpec text_spec(const char* caption, const char* prompt, const char* filter) {
    ValueDialogSpec s = list_spec(caption, prompt, {});
    s.field = true;
    s.filter = filter;
    return s;
}

}  // namespace

ValueDialogSpec value_dialog_spec(ValueKind kind, const std::vector<std::string>& adapter_names,
                                  const std::string& user_period_name) {
    switch (kind) {
        case ValueKind::adapter: {
            Strings list{"Multiple adapters"};
            list.insert(list.end(), adapter_names.begin(), adapter_names.end());
            return list_spec("Select adapter", "Select the adapter you would like to use", std::move(list));
        }
        case ValueKind::period:
            return list_spec("Select period", "Select the period you would like to use",
                             {"daily", "weekly", "monthly", "yearly", "total", "sessions", user_period_name});
        case ValueKind::direction:
            return list_spec("Select direction", "Select download, upload or both",
                             {"download", "upload", "download + upload"});
        case ValueKind::transferred:
            return list_spec("Select direction", "Select downloaded, uploaded or both",
                             {"downloaded", "uploaded", "downloaded + uploaded"});
        case ValueKind::amount: return number_spec("Enter amount", "Enter the amount you would like to use", kAmountUnits, 10);
        case ValueKind::rate:
            return number_spec("Enter rate", "Enter the transfer rate you would like to use", kRateUnits, 10);
        case ValueKind::repetition:
            return list_spec("Select condition", "When do you want the alert to go off?", {"Every time", "The first time"});
        case ValueKind::speed: {
            ValueDialogSpec s =
                number_spec("Enter connection speed", "Enter the connection speed in bits per second", {}, 15);
            s.unit_label = "bps";
            return s;
        }
        case ValueKind::sound_file:
            return text_spec("Select file", "Select the sound file you would like to play", "Sounds (*.wav)|*.wav");
        case ValueKind::application:
            return text_spec("Select application", "Select the application you would like to run",
                             "Applications (*.exe)|*.exe");
        case ValueKind::command_line: return text_spec("Enter command line", "Enter command line arguments", "");
        case ValueKind::file_to_open:
            return text_spec("Select file", "Select the file you want to open", "All files (*.*)|*.*");
        case ValueKind::log_file:
            return text_spec("Select file", "Select the log file you want to use", "Log file (*.txt)|*.txt");
        case ValueKind::none: break;
    }
    return {};
}

ValueInput initial_input(ValueKind kind, const ValuePair& current, int list_count, int proposed) {
    ValueInput in;
    const bool have = filled(current);
    if (is_list_kind(kind)) {
        const std::optional<long long> pos = have ? parse_integer(current.Value, 0, list_count - 1) : std::nullopt;
        if (pos) {
            in.list_index = static_cast<int>(*pos);
        } else {
            if (proposed >= 0 && proposed < list_count) in.list_index = proposed;
            else in.list_index = kind == ValueKind::adapter && list_count >= 3 ? 2 : 0;
        }
        return in;
    }
    switch (kind) {
        case ValueKind::amount:
        case ValueKind::rate: {
            const int max_unit = kind == ValueKind::amount ? kAmountShareOfCap : 5;
            const std::optional<NumberWithUnit> n = have ? split_number_unit(current.Value, max_unit) : std::nullopt;
            in.field = n ? n->number : "0";
            in.list_index = n ? n->unit : (kind == ValueKind::amount ? 1 : 3);
            return in;
        }
        case ValueKind::repetition: in.list_index = have && current.Value == "0" ? 1 : 0; return in;
        case ValueKind::command_line: in.field = current.Value; return in;
        default: in.field = have ? current.Value : std::string(); return in;
    }
}

std::string accept_value(ValueKind kind, const ValueDialogSpec& form, const ValueInput& input, ValuePair& out) {
    const bool listed = input.list_index >= 0 && input.list_index < static_cast<int>(form.list.size());
    const std::string list_text = listed ? form.list[static_cast<std::size_t>(input.list_index)] : std::string();
    if (is_list_kind(kind) || kind == ValueKind::repetition) {
        if (!listed) return {};
        out.Text = list_text;
        if (kind == ValueKind::repetition) {
            out.Value = input.list_index == 0 ? "1" : "0";
        } else {
            out.Value = std::to_string(input.list_index);
        }
        return {};
    }
    if (kind == ValueKind::amount || kind == ValueKind::rate) {
        const int unit = listed ? input.list_index : 0;
        const std::string number = normalise_number(digits_only(input.field));
        out.Text = number + " " + form.list[static_cast<std::size_t>(unit)];
        out.Value = number + "|" + std::to_string(unit);
        return {};
    }
    if (kind == ValueKind::speed) {
        const std::string digits = strip_zeros(digits_only(input.field));
        out.Text = digits.empty() ? "0" : digits;
        out.Value = out.Text;
        return {};
    }
    if (kind == ValueKind::command_line) {
        out.Text = input.field.empty() ? "N/A" : input.field;
        out.Value = input.field;
        return {};
    }
    if (is_file_kind(kind)) {
        const bool ok = kind == ValueKind::log_file ? valid_log_file_name(input.field) : existing_file(input.field);
        if (!ok) return kind == ValueKind::sound_file ? "Please select a valid sound file." : "Please select a valid file.";
        out.Text = file_name_of(input.field);
        out.Value = input.field;
    }
    return {};
}

std::string digits_only(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c >= '0' && c <= '9') out += c;
    }
    return out;
}

std::string normalise_number(const std::string& digits) {
    const std::string n = strip_zeros(digits);
    if (n.empty()) return "0";
    if (n.size() > 10 || (n.size() == 10 && n > kLargestNumber)) return kLargestNumber;
    return n;
}

std::string file_name_of(const std::string& path) {
    const std::size_t sep = path.find_last_of(kPathSeparators);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool valid_log_file_name(const std::string& path) {
    if (path.empty() || path == ".") return false;
#ifndef _WIN32
    if (path[0] == '/') return valid_posix_path(path);
#endif
    return valid_drive_path(path);
}

bool existing_file(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(native_path(path), ec);
    return !ec && std::filesystem::exists(st) && !std::filesystem::is_directory(st);
}
