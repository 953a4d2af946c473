#pragma once

#include "history/history_view.h"
#include "platform/services.h"

enum class LoadStateResult { ok, unknown_format };

// Creates the "Stats" folder under the data folder, private to the user; failures are ignored.
void prepare_directories(HistoryView state);
// Reads "Stats.dat": a fresh record when missing or foreign, folded offsets when known. An
// unknown version is reported to the user; from then on nothing is written.
LoadStateResult load_state(HistoryView state, Services& services);
// Reads this year's daily files and today's minutely records, then saves.
void load_logs(HistoryView state, Services& services);
void load_logs_at(HistoryView state, double now);
// Adapters found beyond the logged count while running: the count grows as it would at the
// next start, the new adapters' logs of today are read (from files an earlier run may have
// left) and the history is rebuilt, so their traffic is logged from the next cycle on.
void grow_logged_adapters(HistoryView state, double now);
// Writes "Stats.dat", the year files and the minutely log. Writes that fail are kept and
// tried again at the next save; nothing is written before the logs were loaded. With the
// services, the first failure after a run of successes is told to the user (a line on
// standard error and the program's message window), and so is the first success after it.
void save_logs(HistoryView state, Services& services);
void save_logs(HistoryView state);
// Builds the multi-year history table from the year files.
void load_history(HistoryView state, Services& services);
void load_history_at(HistoryView state, double now);
