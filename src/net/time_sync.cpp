#include "net/time_sync.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/date.h"

namespace {

constexpr std::int64_t kIntervalSeconds[7] = {900, 1800, 3600, 86400, 604800, 2592000, 31536000};

// The server after `index` in the list, wrapping to the first.
std::uint8_t next_server(int index) {
    return static_cast<std::uint8_t>(index + 1 > kTimeServerCount - 1 ? 0 : index + 1);
}

void show_caption(TimeSyncEnv& env, const char* caption) {
    env.sync.caption = caption;
    if (env.dialog) env.dialog->show_caption(env.sync.caption);
}

void store(TimeSyncEnv& env, const char* name) {
    if (env.writer) env.writer->write_setting(name);
}

SocketActions start_connection(TimeSyncEnv& env, const std::string& host) {
    TimeSyncState& s = env.sync;
    s.busy = true;
    s.receive_buffer.clear();
    s.receive_overflow = false;
    s.started_at = env.clock.now();
    s.connected_at = s.started_at;
    // A server index outside the list names no host: that attempt fails at once.
    if (host.empty()) return time_sync_error(env);
    return SocketActions::connect_to(host, kTimePort);
}

std::string result_text(TimeSyncEnv& env, double now, long long moved_seconds) {
    const CivilDate c = civil_date(now);
    return std::string(kSyncResultPrefix) + month_abbreviation(env.locale.month_name(c.month)) + " " +
           std::to_string(c.day) + ", " + std::to_string(c.year) + ", " + env.locale.short_time(now) + " (" +
           std::to_string(moved_seconds) +
           " sec)";
}

// An automatic attempt failed: the next one waits (see sync_retry_wait_seconds).
void note_auto_failure(TimeSyncEnv& env) {
    TimeSyncState& s = env.sync;
    if (s.auto_failures < 1000) ++s.auto_failures;
    s.auto_failed_at = env.clock.now();
}

// The synchronisation has ended, whatever came of it.
void finish(TimeSyncEnv& env) {
    show_caption(env, kSyncCaption);
    env.sync.busy = false;
    env.sync.manual = false;
    env.sync.confirming = false;
}

// A failure the options dialog shows below the last success while it is open.
void note_failure(TimeSyncEnv& env, std::string text) {
    env.sync.last_failure = std::move(text);
    if (env.dialog) env.dialog->show_result(env.sync.last_failure);
}

void answer_invalid(TimeSyncEnv& env) {
    TimeSyncState& s = env.sync;
    if (s.manual && env.dialog) env.dialog->show_message(kSyncInvalidAnswer);
    // The next automatic check finds the synchronisation still due and starts over, once
    // the wait after a failure has passed.
    if (!s.manual) note_auto_failure(env);
    s.retrying = false;
}

// Seconds from the clock now to `t`.
long long step_to(const TimeSyncEnv& env, const UtcTime& t) {
    const double target = static_cast<double>(day_number(t.year, t.month, t.day)) +
                          (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
    return std::llround((target - env.clock.utc_now()) * 86400.0);
}

std::string utc_text(const UtcTime& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d UTC", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buf;
}

// "7 days ahead of", "3 hours behind".
std::string step_text(long long step) {
    const long long a = step < 0 ? -step : step;
    const auto count = [a](long long unit_seconds, const char* unit) {
        const long long n = (a + unit_seconds / 2) / unit_seconds;
        return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
    };
    const std::string size = a >= 2 * 86400 ? count(86400, "day") : a >= 2 * 3600 ? count(3600, "hour") : count(60, "minute");
    return size + (step < 0 ? " behind" : " ahead of");
}

// Asks the setter for the time; its answer comes to time_sync_clock_set.
void start_setting(TimeSyncEnv& env, const UtcTime& time, long long step) {
    TimeSyncState& s = env.sync;
    s.setting_clock = true;
    s.confirming = false;
    s.pending_step = step;
    ClockSetDone done = env.clock_set_done;
    if (!done) done = [copy = env](const ClockSetResult& r) mutable { time_sync_clock_set(copy, r); };
    env.setter.set_utc(time, s.manual, std::move(done));
}

// A valid answer: set at once within the bound; beyond it a manual run asks the user and an
// automatic one refuses, since one forged answer must not move the clock days away.
void take_answer(TimeSyncEnv& env, const UtcTime& time) {
    TimeSyncState& s = env.sync;
    const long long step = step_to(env, time);
    if (static_cast<double>(step < 0 ? -step : step) <= kSyncLargestAutoStepSeconds) {
        start_setting(env, time, step);
        return;
    }
    const std::string said = "The time server gave " + utc_text(time) + ", " + step_text(step) + " this computer's clock";
    if (s.manual && env.dialog) {
        s.confirming = true;
        s.pending_time = time;
        s.pending_step = step;
        env.dialog->ask_to_set(said + ". Set the clock to it?");
        return;
    }
    note_failure(env, std::string(kSyncNotSet) + " " + said + "; an automatic synchronization moves it by an hour at most.");
    if (env.messages) env.messages->line(s.last_failure);
    if (!s.manual) note_auto_failure(env);
    s.retrying = false;
    finish(env);
}

}  // namespace

std::string month_abbreviation(std::string_view name) {
    std::string out;
    int letters = 0;
    for (char ch : name) {
        const auto u = static_cast<unsigned char>(ch);
        const bool continuation = (u & 0xC0) == 0x80;
        if (!continuation && letters == 3) break;
        if (!continuation) ++letters;
        if (u < 0x80) ch = static_cast<char>(letters == 1 ? std::toupper(u) : std::tolower(u));
        out += ch;
    }
    return out;
}

std::string time_server(int index) {
    if (index < 0 || index >= kTimeServerCount) return {};
    return kTimeServers[static_cast<std::size_t>(index)];
}

std::string chosen_time_server(const Settings& settings) {
    return settings.SyncHost.empty() ? time_server(settings.SyncSrv) : settings.SyncHost;
}

std::int64_t sync_interval_seconds(int choice) {
    if (choice < 0 || choice > 6) return kIntervalSeconds[3];
    return kIntervalSeconds[choice];
}

double sync_retry_wait_seconds(int failures) {
    if (failures <= 0) return 0.0;
    double wait = kSyncRetryFirstSeconds;
    for (int i = 1; i < failures && wait < kSyncRetryLongestSeconds; ++i) wait *= 2;
    return std::min(wait, kSyncRetryLongestSeconds);
}

bool sync_due(const Settings& settings, double now) {
    if (!settings.SyncLast) return true;
    const double elapsed = std::fabs(now - *settings.SyncLast) * 86400.0;
    // Whole seconds, so a stored time that lost its fraction is not a second short.
    return std::llround(elapsed) >= sync_interval_seconds(settings.SyncInt);
}

TimeAnswer read_time_answer(std::string_view answer, double delay_seconds, double build_date) {
    TimeAnswer a;
    if (answer.size() != 4) return a;
    std::int64_t t = 0;
    for (char c : answer) t = t * 256 + static_cast<unsigned char>(c);
    a.kind = TimeAnswer::refused;
    // Zero is what a server without a time of its own sends.
    if (t == 0) return a;
    constexpr std::int64_t kEra = 0x100000000LL;
    const std::int64_t build = (static_cast<std::int64_t>(std::floor(build_date)) - day_number(1900, 1, 1)) * 86400;
    if (build > t) t += (build - t + kEra - 1) / kEra * kEra;
    const CivilDate b = civil_date(std::floor(build_date));
    // Counted from the first of the month, so that 29 February has its anniversary too.
    const std::int64_t latest =
        (day_number(b.year + kSyncPlausibleYears, b.month, 1) + b.day - 1 - day_number(1900, 1, 1) + 1) * 86400 - 1;
    if (t > latest) return a;
    const std::int64_t since_1900 = t + std::llround(delay_seconds);
    const std::int64_t days = since_1900 / 86400;
    const std::int64_t rest = since_1900 % 86400;
    const CivilDate c = civil_date(static_cast<double>(day_number(1900, 1, 1) + days));
    a.kind = TimeAnswer::valid;
    a.time.year = c.year;
    a.time.month = c.month;
    a.time.day = c.day;
    a.time.hour = static_cast<int>(rest / 3600);
    a.time.minute = static_cast<int>(rest / 60 % 60);
    a.time.second = static_cast<int>(rest % 60);
    return a;
}

namespace {

// A server that neither answers nor closes would otherwise stop synchronisation for good.
// The wait for the clock setter or for the user's answer is not the server's.
SocketActions time_limit(TimeSyncEnv& env) {
    TimeSyncState& s = env.sync;
    if (!s.busy || s.setting_clock || s.confirming) return {};
    if (std::fabs(env.clock.now() - s.started_at) * 86400.0 < kSyncTimeoutSeconds) return {};
    SocketActions next = time_sync_error(env, "no answer within " + std::to_string(std::lround(kSyncTimeoutSeconds)) +
                                                  " seconds");
    next.close = true;
    return next;
}

}  // namespace

SocketActions time_sync_cycle(TimeSyncEnv& env) {
    return env.settings.SyncAuto ? time_sync_auto_check(env) : time_limit(env);
}

SocketActions time_sync_auto_check(TimeSyncEnv& env) {
    TimeSyncState& s = env.sync;
    const double now = env.clock.now();
    if (s.busy) return time_limit(env);
    if (s.retrying || !sync_due(env.settings, now)) return {};
    if (s.auto_failures > 0) {
        // A clock set back since the failure does not prolong the wait.
        // Whole seconds, as dates carry rounding in their last bits.
        const long long since = std::llround((now - s.auto_failed_at) * 86400.0);
        if (since >= 0 && static_cast<double>(since) < sync_retry_wait_seconds(s.auto_failures)) return {};
    }
    return start_connection(env, chosen_time_server(env.settings));
}

SocketActions time_sync_button(TimeSyncEnv& env, const std::string& host) {
    TimeSyncState& s = env.sync;
    if (s.caption == kCancelCaption) {
        // A clock change already asked for still comes back and is recorded.
        finish(env);
        return SocketActions::closing();
    }
    s.manual = true;
    // A manual run takes over from an automatic retry pass.
    s.retrying = false;
    show_caption(env, kCancelCaption);
    return start_connection(env, host);
}

void time_sync_connected(TimeSyncEnv& env) { env.sync.connected_at = env.clock.now(); }

SocketActions time_sync_data(TimeSyncEnv& env, std::string_view bytes) {
    TimeSyncState& s = env.sync;
    if (!s.busy) return {};
    if (s.receive_buffer.size() + bytes.size() <= kTimeAnswerLimit) {
        s.receive_buffer.append(bytes);
        return {};
    }
    // Far more than an answer: give up on this server now instead of collecting it.
    s.receive_overflow = true;
    s.receive_buffer.clear();
    SocketActions after = time_sync_closed(env);
    after.close = true;
    return after;
}

SocketActions time_sync_closed(TimeSyncEnv& env) {
    TimeSyncState& s = env.sync;
    if (!s.busy || s.setting_clock || s.confirming) return {};
    // Half the time from connecting to the close; the clock never runs backwards here.
    const double round_trip = (env.clock.now() - s.connected_at) * 86400.0;
    s.delay = static_cast<float>(round_trip > 0 ? round_trip / 2 : 0);
    const TimeAnswer answer =
        s.receive_overflow ? TimeAnswer{} : read_time_answer(s.receive_buffer, s.delay, env.build_date);
    // A time that cannot be right is that server's error: automatic mode asks the next one.
    if (answer.kind == TimeAnswer::refused && !s.manual) return time_sync_error(env, "no plausible time in the answer");
    if (answer.kind != TimeAnswer::valid) {
        answer_invalid(env);
        finish(env);
        return {};
    }
    take_answer(env, answer.time);
    return {};
}

void time_sync_clock_set(TimeSyncEnv& env, const ClockSetResult& set) {
    TimeSyncState& s = env.sync;
    if (!s.setting_clock) return;
    s.setting_clock = false;
    if (!set.ok) {
        // Not synchronised: said so with the system's reason, no success stored, and the
        // automatic attempts back off as after an unreachable server.
        note_failure(env, kSyncClockRefused + set.reason);
        if (s.manual && env.dialog) env.dialog->show_message(s.last_failure);
        if (!s.manual) note_auto_failure(env);
        s.retrying = false;
        finish(env);
        return;
    }
    s.last_failure.clear();
    const double now = env.clock.now();
    env.settings.SyncTxt = result_text(env, now, s.pending_step);
    store(env, "SyncTxt");
    if (env.dialog) env.dialog->show_result(env.settings.SyncTxt);
    env.settings.SyncLast = now;
    store(env, "SyncLast");
    s.retrying = false;
    s.auto_failures = 0;
    finish(env);
}

void time_sync_confirm(TimeSyncEnv& env, bool set) {
    TimeSyncState& s = env.sync;
    if (!s.confirming) return;
    s.confirming = false;
    if (set) {
        start_setting(env, s.pending_time, s.pending_step);
        return;
    }
    note_failure(env, kSyncNotSet);
    finish(env);
}

SocketActions time_sync_error(TimeSyncEnv& env, const std::string& reason) {
    TimeSyncState& s = env.sync;
    show_caption(env, kSyncCaption);
    const std::string said = reason.empty() ? std::string(kSyncError) : kSyncError + std::string("\n") + reason;
    if (s.manual) {
        note_failure(env, said);
        if (env.dialog) env.dialog->show_message(said);
        s.busy = false;
        s.manual = false;
        return {};
    }
    s.busy = false;
    if (!s.retrying && !env.settings.SyncHost.empty()) {
        // The user's own server: no other one is asked in its place.
        note_failure(env, said);
        note_auto_failure(env);
        return {};
    }
    if (!s.retrying) {
        s.pass_start = env.settings.SyncSrv;
        s.retrying = true;
        s.pass_index = next_server(env.settings.SyncSrv);
        s.pass_tries = 0;
    } else {
        s.pass_index = next_server(s.pass_index);
        // Every server tried once (also when the pass began at an index outside the list).
        if (s.pass_index == s.pass_start || s.pass_tries >= kTimeServerCount) s.retrying = false;
    }
    if (!s.retrying) {
        note_failure(env, said);
        note_auto_failure(env);
        return {};
    }
    ++s.pass_tries;
    return start_connection(env, time_server(s.pass_index));
}
