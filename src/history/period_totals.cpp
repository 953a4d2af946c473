#include "history/period_totals.h"

#include "core/date.h"

double period_total(ProgramState& state, int adapter, int kind, int direction, double now) {
    if (adapter < 0 || adapter > state.live_adapter_count()) return 0.0;
    const AdapterState& a = state.adapters[static_cast<std::size_t>(adapter)];
    if (kind == 9) return direction == kReceived ? a.session_download : a.session_upload;
    if (kind == 0) {
        const TrafficPair& p = a.day_table[static_cast<std::size_t>(day_index(now))];
        return direction == kReceived ? p.received : p.sent;
    }
    return 0.0;
}

std::string period_name(const ProgramState& state, int kind) {
    static constexpr const char* kNames[10] = {"Today",      "Yesterday", "This week", "Last week", "This month",
                                               "Last month", "This year", "Last year", "Total",     "This session"};
    if (kind >= 0 && kind < 10) return kNames[kind];
    if (kind == 10) return state.settings.CusPerName;
    return {};
}
