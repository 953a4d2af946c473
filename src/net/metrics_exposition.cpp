#include "net/metrics_exposition.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// Length of the valid UTF-8 sequence starting at `i`, 0 when the bytes there are not one.
std::size_t utf8_sequence(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;   // no overlong forms
        if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

// HELP texts escape backslash and line feed.
std::string help_text(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

}  // namespace

std::string exposition_label_value(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t n = utf8_sequence(value, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        const char c = value[i];
        if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c == '\n') out += "\\n";
        else out.append(value.substr(i, n));
        i += n;
    }
    return out;
}

std::string exposition_number(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
    if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0)
        return std::to_string(static_cast<std::int64_t>(value));
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string exposition_text(const std::vector<MetricFamily>& families) {
    std::string out;
    for (const MetricFamily& f : families) {
        out += "# HELP " + f.name + ' ' + help_text(f.help) + '\n';
        out += "# TYPE " + f.name + ' ' + f.type + '\n';
        for (const MetricSample& s : f.samples) {
            out += f.name;
            if (!s.labels.empty()) {
                out += '{';
                for (std::size_t i = 0; i < s.labels.size(); ++i) {
                    if (i != 0) out += ',';
                    out += s.labels[i].first + "=\"" + exposition_label_value(s.labels[i].second) + '"';
                }
                out += '}';
            }
            out += ' ' + exposition_number(s.value) + '\n';
        }
    }
    return out;
}
