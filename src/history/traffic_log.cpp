#include "history/traffic_log.h"

#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include "platform/date.h"
#include "history/log_store.h"

void add_traffic(HistoryView state, int slot, double received, double sent, double now) {
    state.traffic.add(slot, received, sent, now, state.settings.MinuteLogging == 1);
}

void roll_over_logs(HistoryView state, Services& /*services*/, double now) {
    LogState& logs = state.traffic.logs;
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
