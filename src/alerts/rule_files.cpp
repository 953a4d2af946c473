#include "alerts/rule_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "alerts/ansi_text.h"
#include "history/log_files.h"
#include "platform/file_access.h"
#include "platform/file_save.h"

namespace fs = std::filesystem;

namespace {

void put_u16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void put_string(std::string& out, const std::string& utf8) {
    std::string bytes = utf8_to_ansi(utf8);
    // A 16-bit length cannot say more; longer texts are cut rather than corrupting the record.
    if (bytes.size() > std::numeric_limits<std::uint16_t>::max()) bytes.resize(std::numeric_limits<std::uint16_t>::max());
    put_u16(out, static_cast<std::uint16_t>(bytes.size()));
    out += bytes;
}

// Reads a record field by field; any read past the end marks the whole record as damaged.
struct Reader {
    const std::string& bytes;
    std::size_t pos = 0;
    bool ok = true;

    std::uint8_t u8() {
        if (!ok || pos + 1 > bytes.size()) {
            ok = false;
            return 0;
        }
        return static_cast<std::uint8_t>(bytes[pos++]);
    }
    std::uint16_t u16() {
        const std::uint16_t lo = u8();
        const std::uint16_t hi = u8();
        return static_cast<std::uint16_t>(lo | (hi << 8));
    }
    std::string text() {
        const std::size_t n = u16();
        if (!ok || pos + n > bytes.size()) {
            ok = false;
            return {};
        }
        std::string s = ansi_to_utf8(bytes.substr(pos, n));
        pos += n;
        return s;
    }
};

std::optional<std::string> read_file(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int read_count(const std::string& data_dir) {
    const std::optional<std::string> bytes = read_file(rule_count_path(data_dir));
    if (!bytes || bytes->size() < 4) return 0;
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<std::uint8_t>((*bytes)[static_cast<std::size_t>(k)]);
    return std::clamp(static_cast<int>(static_cast<std::int32_t>(v)), 0, kMaxRules);
}

AlertRule read_rule(const std::string& data_dir, int index) {
    const std::optional<std::string> bytes = read_file(rule_file_path(data_dir, index));
    if (!bytes) return AlertRule{};
    return decode_rule(*bytes).value_or(AlertRule{});
}

}  // namespace

std::string rule_count_path(const std::string& data_dir) {
    return data_dir + "Stats/Rules.dat";
}

std::string rule_file_path(const std::string& data_dir, int index) {
    return data_dir + "Stats/Rule" + std::to_string(index + 1) + ".dat";
}

std::string encode_rule(const AlertRule& rule) {
    std::string out;
    put_string(out, rule.Name);
    out += static_cast<char>(rule.Enabled);
    put_u16(out, static_cast<std::uint16_t>(rule.ConditionKind));
    for (std::uint8_t a : rule.Actions) out += static_cast<char>(a);
    for (int s = 0; s < kValueSlots; ++s) {
        for (int p = 0; p < kSentenceParts; ++p) {
            put_string(out, rule.value(p, s).Text);
            put_string(out, rule.value(p, s).Value);
        }
    }
    return out;
}

std::optional<AlertRule> decode_rule(const std::string& bytes) {
    Reader in{bytes};
    AlertRule r;
    r.Name = in.text();
    r.Enabled = in.u8();
    r.ConditionKind = static_cast<std::int16_t>(in.u16());
    for (std::uint8_t& a : r.Actions) a = in.u8();
    for (int s = 0; s < kValueSlots && in.ok; ++s) {
        for (int p = 0; p < kSentenceParts && in.ok; ++p) {
            r.value(p, s).Text = in.text();
            r.value(p, s).Value = in.text();
        }
    }
    if (!in.ok) return std::nullopt;
    return r;
}

void load_rules_at_startup(LiveRules& live, const std::string& data_dir) {
    live = LiveRules{};
    live.count = read_count(data_dir);
    for (int i = 0; i < live.count; ++i) live.rules[static_cast<std::size_t>(i)] = read_rule(data_dir, i);
}

void load_rules_for_editing(WorkingRules& working, const std::string& data_dir) {
    working = WorkingRules{};
    working.count = read_count(data_dir);
    for (int i = 0; i < working.count; ++i) working.rules[static_cast<std::size_t>(i)] = read_rule(data_dir, i);
    working.selected = working.count > 0 ? 0 : -1;
}

bool save_all_rules(WorkingRules& working, LiveRules& live, const std::string& data_dir) {
    std::error_code ec;
    make_dir(data_dir + "Stats");
    for (int i = 0; i < working.count; ++i) normalise_rule(working.rules[static_cast<std::size_t>(i)]);
    for (int i = 0; i < kMaxRules; ++i) fs::remove(native_path(rule_file_path(data_dir, i)), ec);

    bool ok = true;
    if (working.count > 0) {
        std::string count;
        const auto n = static_cast<std::uint32_t>(working.count);
        for (int k = 0; k < 4; ++k) count += static_cast<char>((n >> (8 * k)) & 0xFF);
        ok = save_data_file(rule_count_path(data_dir), count, data_dir).ok && ok;
    } else {
        fs::remove(native_path(rule_count_path(data_dir)), ec);
    }
    live = LiveRules{};
    for (int i = 0; i < working.count; ++i) {
        const AlertRule& r = working.rules[static_cast<std::size_t>(i)];
        ok = save_data_file(rule_file_path(data_dir, i), encode_rule(r), data_dir).ok && ok;
        live.rules[static_cast<std::size_t>(i)] = r;
    }
    live.count = working.count;
    return ok;
}

bool save_one_rule(const LiveRules& live, int index, const std::string& data_dir) {
    if (index < 0 || index >= live.count) return false;
    return save_data_file(rule_file_path(data_dir, index), encode_rule(live.rules[static_cast<std::size_t>(index)]), data_dir)
        .ok;
}
