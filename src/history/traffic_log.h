#pragma once

#include "history/history_view.h"
#include "platform/services.h"

// Adds one cycle's bytes of slot i to today's day-table entry, mirrors the entry into the
// history table and, with minute logging on, adds the bytes to the current minute.
void add_traffic(HistoryView state, int slot, double received, double sent, double now);

// Day and year roll-over, run by the update cycle before it adds the new bytes: the old
// day is saved where it belongs and the new day's tables are loaded.
void roll_over_logs(HistoryView state, Services& services, double now);
