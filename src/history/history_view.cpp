#include "history/history_view.h"

#include "history/stats_record.h"

namespace {

int live_slots(const StatsRecord& stats) { return stats.adapter_count() < kMaxAdapters ? stats.adapter_count() : kMaxAdapters; }

}  // namespace

int HistoryQuery::live_adapter_count() const { return live_slots(stats); }

int HistoryView::live_adapter_count() const { return live_slots(stats); }
