#include "core/report_run.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/program_state.h"
#include "history/data_cap.h"
#include "history/history_list.h"
#include "history/history_report.h"
#include "history/history_table_amounts.h"
#include "history/log_files.h"
#include "history/log_store.h"
#include "history/retired_logs.h"
#include "measure/adapter_names.h"
#include "measure/ip_statistics.h"
#include "measure/saved_readings.h"
#include "platform/file_access.h"
#include "settings/settings_store.h"

namespace {

// A report that cannot be made: the reason on standard error, and status 1.
int fail(const std::string& why) {
    std::fprintf(stderr, "kelvanto: %s\n", why.c_str());
    return 1;
}

}  // namespace

int run_report(const std::vector<std::string>& args, Services& services, const std::string& data_dir) {
    const std::optional<ReportRequest> request = parse_report_arguments(args);
    if (!request) {
        std::fputs(kReportUsage, stderr);
        return 2;
    }
    SettingsBackend& store = *services.settings_store;
    Clock& clock = services.clock;
    const Locale& locale = *services.locale;
    // On the heap: the state is too large for a thread's stack.
    const auto owned = std::make_unique<ProgramState>();
    ProgramState& state = *owned;
    // The report reads the logs as they are: it creates no folder and writes nothing, and
    // logs it cannot read are an error, not zeros.
    state.data_dir = data_dir;
    std::string logs = stats_dir(state.data_dir);
    logs.pop_back();
    std::error_code listing;
    std::filesystem::directory_iterator(native_path(logs), listing);
    if (listing) return fail("cannot read the traffic logs in " + logs + ": " + listing.message());
    // Only the values the report needs are read; the stored settings stay untouched.
    Settings& s = state.settings;
    s.TransferredUnitHis = static_cast<std::uint8_t>(read_number(store, "TransferredUnitHis", 0, 11, 11));
    s.TransferredDecHis = static_cast<std::uint8_t>(read_number(store, "TransferredDecHis", 0, 9, 2));
    s.FirstDayOfWeek = static_cast<std::uint8_t>(read_number(store, "FirstDayOfWeek", 0, 7, 0));
    for (int i = 1; i <= 6; ++i)
        s.LogAdapter[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(read_number(store, "LogAdapter" + std::to_string(i), 0, 1, 0));

    // The monitor's adapter numbers; the report never writes them and gives no new ones.
    state.table_messages.numbering.frozen = true;
    load_numbering(state.table_messages.numbering, state.data_dir,
                   saved_adapter_names(read_saved_readings(state.data_dir)), false);
    clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
    state.found_adapters = stats.Found_Adaptors();
    s.Adapter = read_number(store, "Adapter", 0, kMaxAdapters, state.found_adapters < 2 ? 1 : 2);
    int adapter = request->adapter.value_or(s.Adapter);
    ReportAdapters adapters;
    if (!request->retired.empty()) {
        // The history of an interface whose number went to another, under the number it had.
        adapter = load_retired_history(state, request->retired, clock.now());
        if (adapter == 0) return fail("no history of " + request->retired + " in Stats/Retired/");
        adapters.interface_names.resize(static_cast<std::size_t>(adapter) + 1);
        adapters.interface_names.back() = request->retired;
    } else {
        if (load_state(state, services) == LoadStateResult::unknown_format) return 1;
        load_history(state, services);
        if (!state.traffic.logs.unreadable.empty()) {
            const std::string& file = *state.traffic.logs.unreadable.begin();
            return fail("cannot read " + file + ": " + read_file(file, 0, 1).reason);
        }
        if (request->adapter && *request->adapter > state.stats.adapter_count())
            return fail("no adapter " + std::to_string(*request->adapter) + " in the logs (adapters 0 to " +
                        std::to_string(state.stats.adapter_count()) + ")");
        adapters = {adapter_interface_names(services, state.table_messages, state.stats.adapter_count())};
        // An adapter whose interface is not there now has no interface to name.
        for (std::size_t a = 1; a < adapters.interface_names.size(); ++a)
            if (!stats.entry(static_cast<int>(a)).present) adapters.interface_names[a].clear();
    }

    const HistoryTableAmounts log(state.traffic.logs.history);
    const int first_day = s.FirstDayOfWeek >= 1 && s.FirstDayOfWeek <= 7 ? s.FirstDayOfWeek : locale.first_day_of_week();
    const int adapter_count = request->retired.empty() ? state.stats.adapter_count() : adapter;
    const HistoryRowSource source{log, state.stats.start_date, clock.now(), adapter, adapter_count, first_day, locale};
    // The user-defined period and its data cap, for the JSON totals report.
    for (const char* name : {"CusPerFrom", "CusPerTo", "CusPerStart", "CusPerName", "CusPerUnit", "CusPerDay",
                             "CusPerDays", "CusMonthStart", "MinuteLogging", "CapAmount", "CapUnit"})
        read_single_setting(store, s, name, state.found_adapters, clock.now());
    std::optional<DataReportCap> cap;
    if (cap_bytes(s) > 0 && request->retired.empty())
        cap = DataReportCap{s.CusPerName, s.CapAmount, cap_unit_text(s.CapUnit),
                            cap_status_from_logs(state, source.adapter, clock.now())};
    const std::string text = history_report(request->tab, request->format, source, adapters, s, cap);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
