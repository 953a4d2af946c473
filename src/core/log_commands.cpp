#include "core/log_commands.h"

#include "platform/date.h"
#include "history/log_files.h"
#include "history/log_io.h"
#include "history/log_store.h"
#include "history/minute_log.h"
#include "measure/rates.h"

namespace {

// Deletes every minutely file from the log start year to the current year, and the
// first-minute date file, and forgets today's minutes in memory.
void delete_minutely_logs(ProgramState& state, double now) {
    for (int i = 1; i <= state.live_adapter_count(); ++i) {
        for (int y = year_of(state.stats.start_date); y <= year_of(now); ++y)
            delete_log_file(state.traffic.logs, minute_file_path(state.data_dir, y, i));
    }
    delete_log_file(state.traffic.logs, first_minute_file_path(state.data_dir));
    for (MinuteRecord& rec : state.traffic.logs.minutes) rec.fill(TrafficPair{});
}

// Writes what memory holds and reads it all back. The counter state stays as it is in
// memory: reading it back would fold this run's wraps and offsets mid-run.
void save_and_reload(ProgramState& state, double now) {
    state.traffic.invalidate_totals();
    save_logs(state);
    load_logs_at(state, now);
    load_history_at(state, now);
}

MsgResult ask(Services& services, const char* text, const char* title, MsgButtons buttons, MsgIcon icon) {
    return services.dialogs.message_box({text, title, buttons, icon, true});
}

}  // namespace

void invalidate_period_totals(ProgramState& state) { state.traffic.invalidate_totals(); }

bool reset_daily_logs(ProgramState& state, Services& services, CycleHooks& hooks) {
    if (ask(services, "This will clear ALL logged traffic. Including minutely logs.", "Warning",
            MsgButtons::ok_cancel, MsgIcon::error) != MsgResult::ok)
        return false;
    const double now = services.clock.now();
    const int n = state.live_adapter_count();
    for (int i = 0; i <= n; ++i) {
        AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
        clear_live_statistics(a);
        state.traffic.day_table(i).fill(TrafficPair{});
        if (i == 0) continue;
        for (int y = year_of(state.stats.start_date); y <= year_of(now); ++y)
            delete_log_file(state.traffic.logs, year_file_path(state.data_dir, y, i));
    }
    delete_log_file(state.traffic.logs, stats_file_path(state.data_dir));
    delete_minutely_logs(state, now);
    state.traffic.logs.first_minute_due = state.settings.MinuteLogging == 1;
    if (state.traffic.logs.first_minute_due) state.traffic.logs.first_minute = current_minute(now);
    reset_session(state);
    save_and_reload(state, now);
    hooks.refresh_screen();
    return true;
}

MinuteLogChange reset_minutely_logs(ProgramState& state, Services& services, CycleHooks& hooks) {
    MinuteLogChange change;
    if (ask(services, "This will clear the minutely logs.", "Warning", MsgButtons::ok_cancel, MsgIcon::error) !=
        MsgResult::ok)
        return change;
    change.done = true;
    const double now = services.clock.now();
    if (ask(services, "Do you also want to disable minutely logging?", "Minutely logging", MsgButtons::yes_no,
            MsgIcon::question) == MsgResult::yes) {
        state.traffic.logs.first_minute_due = false;
        state.settings.MinuteLogging = 0;
        change.logging_switched_off = true;
    } else {
        state.traffic.logs.first_minute = current_minute(now);
        state.traffic.logs.first_minute_due = true;
    }
    delete_minutely_logs(state, now);
    save_and_reload(state, now);
    hooks.refresh_screen();
    return change;
}

MinuteLogChange set_minute_logging(ProgramState& state, Services& services, CycleHooks& hooks, bool on) {
    MinuteLogChange change;
    change.done = true;
    const double now = services.clock.now();
    if (on) {
        // Minutes stored earlier today stay: the records continue from the file.
        if (state.settings.MinuteLogging != 1 && state.traffic.logs.loaded) {
            const double day = static_cast<double>(day_number(state.traffic.logs.load_year, 1, 1) + state.traffic.logs.load_day_index);
            for (int i = 0; i <= state.live_adapter_count(); ++i)
                state.traffic.logs.minutes[static_cast<std::size_t>(i)] = read_minute_day(state, i, day);
        }
        state.settings.MinuteLogging = 1;
        state.traffic.logs.first_minute = current_minute(now);
        state.traffic.logs.first_minute_due = true;
        return change;
    }
    state.settings.MinuteLogging = 0;
    change.logging_switched_off = true;
    if (ask(services, "Do you also want to delete the minutely logs?", "Minutely logging", MsgButtons::yes_no,
            MsgIcon::question) == MsgResult::yes) {
        delete_minutely_logs(state, now);
        state.traffic.logs.first_minute_due = false;
        save_and_reload(state, now);
        hooks.refresh_screen();
    }
    return change;
}
