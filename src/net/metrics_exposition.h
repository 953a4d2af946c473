#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The Prometheus text exposition format, version 0.0.4: metric families, each with its
// HELP and TYPE lines and one line per sample.

inline constexpr const char* kExpositionContentType = "text/plain; version=0.0.4; charset=utf-8";

struct MetricSample {
    std::vector<std::pair<std::string, std::string>> labels;  // name, value
    double value = 0.0;
};

struct MetricFamily {
    std::string name;
    std::string help;
    std::string type;  // "counter", "gauge", ...
    std::vector<MetricSample> samples;
};

// The families one after the other; every line ends with a line feed.
std::string exposition_text(const std::vector<MetricFamily>& families);

// A label value as the format writes it between quotes: backslash, quote and line feed
// escaped, bytes that are not valid UTF-8 replaced by U+FFFD.
std::string exposition_label_value(std::string_view value);
// A sample value: whole numbers in plain decimal, others in the shortest text that reads
// back to the same number; "+Inf", "-Inf", "NaN".
std::string exposition_number(double value);
