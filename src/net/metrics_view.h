#pragma once

#include "history/history_view.h"
#include "measure/rates_view.h"

struct AdapterTables;

// What the metrics read: the totals and the cap from the history, the rates, and the
// numbering that names the adapters' interfaces.
struct MetricsView {
    HistoryQuery history;
    RatesQuery rates;
    AdapterTables& table_messages;
};
