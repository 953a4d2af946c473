#pragma once

#include "history/history_view.h"
#include "history/log_state.h"

// Today's minutely records of every adapter (when minute logging is on) and the first-minute
// date: read from the file, or found by searching the minutely files.
void load_minutes(HistoryView state, double now);
// Today's record of one adapter that has just become logged (when minute logging is on),
// added to the aggregate's when the adapter is selected.
void load_adapter_minutes(HistoryView state, int adapter);
// The first-minute date when due, and today's records at the load day's offset.
void save_minutes(HistoryView state);
// An adapter's record of any day from its minutely file (zeros where nothing is stored);
// for the aggregate, the sum of the selected adapters' records.
MinuteRecord read_minute_day(HistoryQuery state, int adapter, double day);
// The moment at the start of the current minute.
double current_minute(double now);
// The earliest minute with received traffic in any minutely file, or 0 when there is none.
double search_first_minute(HistoryQuery state, double now);
