#include "history/traffic_log.h"

#include "platform/date.h"
#include "history/log_store.h"

void add_traffic(ProgramState& state, int slot, double received, double sent, double now) {
    const int day = day_index(now);
    TrafficPair& entry = state.adapters[static_cast<std::size_t>(slot)].day_table[static_cast<std::size_t>(day)];
    entry.received += received;
    entry.sent += sent;
    HistoryTable& h = state.logs.history;
    const int year = year_of(now);
    if (h.covers(slot, year)) h.at(slot, year, day) = entry;
    if (state.settings.MinuteLogging == 1) {
        TrafficPair& minute = state.logs.minutes[static_cast<std::size_t>(slot)][static_cast<std::size_t>(minute_index(now))];
        minute.received += received;
        minute.sent += sent;
    }
}

void roll_over_logs(ProgramState& state, Services& /*services*/, double now) {
    LogState& logs = state.logs;
    if (!logs.loaded) return;
    if (year_of(now) != logs.load_year) {
        save_logs(state);
        load_logs_at(state, now);
        load_history_at(state, now);
    } else if (day_index(now) != logs.load_day_index) {
        save_logs(state);
        load_logs_at(state, now);
    }
}
