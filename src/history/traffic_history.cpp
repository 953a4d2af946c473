#include "history/traffic_history.h"

#include "platform/date.h"

const TrafficPair& TrafficHistory::day_entry(int slot, double now) const {
    return day_table(slot)[static_cast<std::size_t>(day_index(now))];
}

void TrafficHistory::add(int slot, double received, double sent, double now, bool log_minutes) {
    const int day = day_index(now);
    TrafficPair& entry = day_table(slot)[static_cast<std::size_t>(day)];
    entry.received += received;
    entry.sent += sent;
    HistoryTable& h = logs.history;
    const int year = year_of(now);
    if (h.covers(slot, year)) h.at(slot, year, day) = entry;
    if (log_minutes) {
        TrafficPair& minute = logs.minutes[static_cast<std::size_t>(slot)][static_cast<std::size_t>(minute_index(now))];
        minute.received += received;
        minute.sent += sent;
    }
}

void TrafficHistory::take_day_from_history(int slot, double now) {
    day_table(slot)[static_cast<std::size_t>(day_index(now))] = logs.history.at(slot, year_of(now), day_index(now));
}
