#include "core/history_window_context.h"

#include <memory>

#include "core/program_state.h"
#include "history/history_list.h"
#include "history/history_table_amounts.h"
#include "measure/ip_statistics.h"

HistoryWindowContext history_window_context(ProgramState& state, Services& services) {
    return HistoryWindowContext{
        state.settings, state.stats, state.history_window_open, services,
        std::make_shared<HistoryTableAmounts>(state.traffic.logs.history),
        [&state, &services](int count) {
            clsIPStatistics statistics(services.tables, services.dialogs, state.table_messages);
            return adapter_names_for_history(statistics, count);
        },
        [&services](const SettingValues& values) { write_history_settings(services, values); }};
}
