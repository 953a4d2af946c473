#include "history/log_files.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/date.h"
#include "platform/file_access.h"
#include "platform/file_save.h"

namespace fs = std::filesystem;

std::string minute_dir(const std::string& data_dir) { return data_dir + "Stats/DbMin/"; }
std::string stats_file_path(const std::string& data_dir) { return stats_dir(data_dir) + "Stats.dat"; }

std::string year_file_path(const std::string& data_dir, int year, int adapter) {
    return stats_dir(data_dir) + std::to_string(year) + "." + std::to_string(adapter) + ".dat";
}

std::string minute_file_path(const std::string& data_dir, int year, int adapter) {
    return minute_dir(data_dir) + std::to_string(year) + "." + std::to_string(adapter) + ".dat";
}

std::string first_minute_file_path(const std::string& data_dir) { return minute_dir(data_dir) + "DbMin.dat"; }

bool minutely_files_left(const std::string& data_dir) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(native_path(minute_dir(data_dir)), error)) {
        if (entry.path().extension() == ".dat") return true;
    }
    return false;
}

namespace {

// Little-endian writer and reader; the reader reports whether the bytes were there.
struct Writer {
    Bytes out;
    template <typename T>
    void put(T value) {
        std::uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(raw, raw + sizeof(T));
        out.insert(out.end(), raw, raw + sizeof(T));
    }
};

struct Reader {
    const Bytes& in;
    std::size_t pos = 0;
    template <typename T>
    bool get(T& value) {
        if (pos > in.size() || in.size() - pos < sizeof(T)) return false;
        std::uint8_t raw[sizeof(T)];
        std::memcpy(raw, in.data() + pos, sizeof(T));
        if constexpr (std::endian::native == std::endian::big) std::reverse(raw, raw + sizeof(T));
        std::memcpy(&value, raw, sizeof(T));
        pos += sizeof(T);
        return true;
    }
};

// An amount or carried counter: a finite number not below 0, else 0.
double amount(double v) { return std::isfinite(v) && v > 0 ? v : 0.0; }

void put_array_header(Writer& w, int n) {
    w.put<std::int16_t>(1);
    w.put<std::int32_t>(n);
    w.put<std::int32_t>(1);
}

// Reads one array header; false when it is missing or does not describe n elements.
bool get_array_header(Reader& r, int n) {
    std::int16_t dims = 0;
    std::int32_t count = 0;
    std::int32_t lower = 0;
    if (!r.get(dims) || !r.get(count) || !r.get(lower)) return false;
    return dims == 1 && count == n;
}

}  // namespace

Bytes encode_stats(const StatsRecord& rec) {
    const int n = std::min(rec.adapter_count(), 255);
    Writer w;
    w.out.reserve(static_cast<std::size_t>(116 + 54 * n));
    w.put<char>(rec.marker[0]);
    w.put<char>(rec.marker[1]);
    w.put<std::uint8_t>(rec.version);
    w.put<std::int32_t>(rec.reserved);
    w.put<double>(rec.start_date);
    w.put<std::uint8_t>(static_cast<std::uint8_t>(n));
    const auto each = [&](auto&& put_one) {
        put_array_header(w, n);
        for (int i = 0; i < n; ++i) put_one(rec.adapters[static_cast<std::size_t>(i)]);
    };
    each([&](const CounterContinuation& c) { w.put<std::uint8_t>(static_cast<std::uint8_t>(std::min<std::uint32_t>(c.sent_wraps, 255))); });
    each([&](const CounterContinuation& c) { w.put<std::uint8_t>(static_cast<std::uint8_t>(std::min<std::uint32_t>(c.received_wraps, 255))); });
    each([&](const CounterContinuation& c) { w.put<std::int16_t>(c.sent_sign ? -1 : 0); });
    each([&](const CounterContinuation& c) { w.put<std::int16_t>(c.received_sign ? -1 : 0); });
    each([&](const CounterContinuation& c) { w.put<double>(c.sent_offset); });
    each([&](const CounterContinuation& c) { w.put<double>(c.received_offset); });
    each([&](const CounterContinuation& c) { w.put<double>(c.received_carried); });
    each([&](const CounterContinuation& c) { w.put<double>(c.sent_carried); });
    each([&](const CounterContinuation& c) { w.put<double>(c.last_received); });
    each([&](const CounterContinuation& c) { w.put<double>(c.last_sent); });
    return std::move(w.out);
}

StatsParse decode_stats(const Bytes& bytes, StatsRecord& rec) {
    if (bytes.size() < 2 || bytes[0] != 'K' || bytes[1] != 'V') return StatsParse::foreign;
    if (bytes.size() < 3 || bytes[2] != 1) {
        // A marker without a version byte is a torn file of ours, not a newer format.
        if (bytes.size() < 3) return StatsParse::foreign;
        return StatsParse::unknown_version;
    }
    rec = StatsRecord{};
    Reader r{bytes, 3};
    std::int32_t reserved = 0;
    double start = 0.0;
    std::uint8_t n = 0;
    r.get(reserved);
    if (r.get(start) && std::isfinite(start)) rec.start_date = std::floor(start);
    r.get(n);
    rec.adapters.assign(n, CounterContinuation{});

    // Each array is read while its header and elements are there; the rest stays 0.
    bool readable = true;
    const auto each = [&](auto&& get_one) {
        if (!readable || !get_array_header(r, n)) {
            readable = false;
            return;
        }
        for (auto& c : rec.adapters) {
            if (!get_one(c)) {
                readable = false;
                return;
            }
        }
    };
    const auto wraps = [&](std::uint32_t& field) {
        std::uint8_t v = 0;
        if (!r.get(v)) return false;
        field = v;
        return true;
    };
    const auto flag = [&](bool& field) {
        std::int16_t v = 0;
        if (!r.get(v)) return false;
        field = v != 0;
        return true;
    };
    const auto number = [&](double& field) {
        double v = 0.0;
        if (!r.get(v)) return false;
        field = amount(v);
        return true;
    };
    each([&](CounterContinuation& c) { return wraps(c.sent_wraps); });
    each([&](CounterContinuation& c) { return wraps(c.received_wraps); });
    each([&](CounterContinuation& c) { return flag(c.sent_sign); });
    each([&](CounterContinuation& c) { return flag(c.received_sign); });
    each([&](CounterContinuation& c) { return number(c.sent_offset); });
    each([&](CounterContinuation& c) { return number(c.received_offset); });
    each([&](CounterContinuation& c) { return number(c.received_carried); });
    each([&](CounterContinuation& c) { return number(c.sent_carried); });
    each([&](CounterContinuation& c) { return number(c.last_received); });
    each([&](CounterContinuation& c) { return number(c.last_sent); });
    return StatsParse::ok;
}

Bytes encode_entries(const TrafficPair* entries, std::size_t count) {
    Writer w;
    w.out.reserve(count * 16);
    for (std::size_t i = 0; i < count; ++i) {
        w.put<double>(entries[i].received);
        w.put<double>(entries[i].sent);
    }
    return std::move(w.out);
}

Bytes encode_day_table(const std::array<TrafficPair, kDaysPerYearTable>& table) {
    return encode_entries(table.data(), table.size());
}

void decode_entries(const Bytes& bytes, TrafficPair* out, std::size_t count) {
    Reader r{bytes, 0};
    for (std::size_t i = 0; i < count; ++i) {
        double rx = 0.0;
        double tx = 0.0;
        if (!r.get(rx)) rx = 0.0;
        if (!r.get(tx)) tx = 0.0;
        out[i] = TrafficPair{amount(rx), amount(tx)};
    }
}

Bytes encode_date(double date) {
    Writer w;
    w.put<double>(date);
    return std::move(w.out);
}

std::optional<double> decode_date(const Bytes& bytes) {
    Reader r{bytes, 0};
    double d = 0.0;
    if (bytes.size() != 8 || !r.get(d)) return std::nullopt;
    // 1 January 1900 to 31 December 9999.
    if (!std::isfinite(d) || d < 2.0 || d > 2958466.0) return std::nullopt;
    return d;
}


std::optional<std::string> write_file_at(const std::string& path, std::int64_t offset, const Bytes& bytes,
                                         const std::string& folder) {
    std::string outside = outside_folder(path, folder);
    if (!outside.empty()) return outside;
    // Open for update so the file keeps every other day; create it only when it is missing.
    std::FILE* f = open_file(path, "r+b");
    if (!f && errno == ENOENT) {
        f = open_file(path, "w+b");
        std::error_code ec;
        if (f) fs::permissions(native_path(path), fs::perms::owner_read | fs::perms::owner_write, ec);
    }
    if (!f) return std::string(std::strerror(errno));
    // A record that is already stored as it is (no traffic since the last save) is not
    // written again: that spares the wait for the disk on every save of an idle day.
    Bytes stored(bytes.size());
    if (seek_file(f, offset) && std::fread(stored.data(), 1, stored.size(), f) == stored.size() && stored == bytes)
        return std::fclose(f) == 0 ? std::nullopt : std::optional<std::string>(std::strerror(errno));
    bool ok = seek_file(f, offset);
    ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = sync_file(f) && ok;
    const std::string why = ok ? std::string() : std::strerror(errno);
    ok = std::fclose(f) == 0 && ok;
    if (ok) return std::nullopt;
    return why.empty() ? std::string(std::strerror(errno)) : why;
}

std::int64_t file_size(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(native_path(path), ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}


void remove_file(const std::string& path) {
    std::error_code ec;
    fs::remove(native_path(path), ec);
}

