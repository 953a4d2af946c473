#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "measure/traffic_pair.h"
#include "measure/adapter_state.h"
#include "history/period_kind.h"

inline constexpr int kMinuteEntries = 1441;        // entries 0..1440; 1440 is never incremented
inline constexpr int kMinutesPerDay = 1440;
inline constexpr std::int64_t kMinuteStride = 23040;  // bytes between two days in a minutely file
inline constexpr std::int64_t kMinuteRecordBytes = 23056;
inline constexpr std::int64_t kYearFileBytes = 5856;

// One adapter's minutes of one day, indexed by minute of the day.
using MinuteRecord = std::array<TrafficPair, kMinuteEntries>;

// The daily log of every adapter and year, as far back as logging goes: [adapter][year][day].
struct HistoryTable {
    int adapters = 0;  // slots 0..adapters-1 (slot 0 is the aggregate)
    int first_year = 0;
    int years = 0;
    std::vector<TrafficPair> entries;

    bool covers(int adapter, int year) const {
        return adapter >= 0 && adapter < adapters && year >= first_year && year < first_year + years;
    }
    TrafficPair& at(int adapter, int year, int day) {
        return entries[index(adapter, year, day)];
    }
    const TrafficPair& at(int adapter, int year, int day) const {
        return entries[index(adapter, year, day)];
    }

private:
    std::size_t index(int adapter, int year, int day) const {
        return (static_cast<std::size_t>(adapter) * static_cast<std::size_t>(years) +
                static_cast<std::size_t>(year - first_year)) * kDaysPerYearTable + static_cast<std::size_t>(day);
    }
};

// Cached stored parts of the period totals. Past days do not change during a day, so each
// slot is summed once a day; today's live entry is added on every call.
struct PeriodSlot {
    double date = -1.0;  // whole day the sums were computed on; -1 when invalid
    double received = 0.0;
    double sent = 0.0;
};

struct PeriodCache {
    bool rebuild = true;
    std::array<PeriodSlot, kPeriodKinds * kAdapterSlots> period_slots{};
    // The start day of the cached minutely record per adapter (-1: none) and the record.
    std::array<double, kAdapterSlots> minute_day{};
    std::vector<MinuteRecord> minute_records = std::vector<MinuteRecord>(kAdapterSlots);
    int week_first_day = -1;  // the first day of the week the week slots were computed with
    bool today_in_user_period = false;
};

// Writes that could not be done (a full disk, a read-only folder), kept until a save can do
// them; reads of the same files see these contents first, so nothing is lost meanwhile.
struct UnsavedWrites {
    std::map<std::string, std::vector<std::uint8_t>> whole_files;
    std::map<std::pair<std::string, std::int64_t>, std::vector<std::uint8_t>> at_offset;
    bool empty() const { return whole_files.empty() && at_offset.empty(); }
};

// The daily and minutely logs in memory, beside the day tables of the adapter states.
struct LogState {
    bool loaded = false;          // false until load_logs ran: nothing is saved before
    bool writes_blocked = false;  // an unknown "Stats.dat" format: never write anything
    int load_year = 0;
    int load_day_index = 0;
    HistoryTable history;
    // Today's minutes per slot (slot 0 is the aggregate, never written).
    std::vector<MinuteRecord> minutes = std::vector<MinuteRecord>(kAdapterSlots);
    double first_minute = 0.0;
    bool first_minute_due = false;
    // The system's first day of the week (1 = Sunday .. 7 = Saturday), used when
    // FirstDayOfWeek is 0. The application sets it from the locale.
    int system_first_day_of_week = 1;
    // What each adapter's interface carried between the previous run and the first read of
    // this one (in the same boot): booked to today's entry when the logs are loaded next.
    std::array<TrafficPair, kAdapterSlots> between_runs{};
    UnsavedWrites unsaved;
    // Files that exist but could not be read this run: never replaced by what memory holds.
    std::set<std::string> unreadable;
    // The data folder: the logs are written inside it, never through a link that leads out
    // of it. Empty: no folder to keep to.
    std::string folder;
    // Why the latest write that now waits for a later save failed ("<file>: <reason>"), and
    // whether the user has been told since the writes last all succeeded.
    std::string save_failure;
    bool save_failure_told = false;
};
