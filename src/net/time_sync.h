#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/program_version.h"
#include "net/socket_actions.h"
#include "platform/clock.h"
#include "platform/clock_setter.h"
#include "platform/locale.h"
#include "platform/program_messages.h"
#include "settings/settings.h"

// Built-in Time Protocol servers (TCP port 37), offered by index 0..13.
inline constexpr int kTimeServerCount = 14;
inline constexpr std::array<const char*, kTimeServerCount> kTimeServers{
    "time-a-g.nist.gov",   "time-b-g.nist.gov",   "time-c-g.nist.gov",   "time-d-g.nist.gov",
    "time-e-g.nist.gov",   "time-a-wwv.nist.gov", "time-b-wwv.nist.gov", "time-c-wwv.nist.gov",
    "time-d-wwv.nist.gov", "time-e-wwv.nist.gov", "time-a-b.nist.gov",   "time-b-b.nist.gov",
    "time-c-b.nist.gov",   "time.nist.gov"};
inline constexpr std::uint16_t kTimePort = 37;

inline constexpr const char* kSyncCaption = "&Sync";
inline constexpr const char* kCancelCaption = "Ca&ncel";
inline constexpr const char* kSyncInvalidAnswer = "NTP Server returned an invalid response.";
inline constexpr const char* kSyncError = "An error occured while syncronizing.";
inline constexpr const char* kSyncResultPrefix = "Last synchronization: ";
// Followed by the system's reason.
inline constexpr const char* kSyncClockRefused = "The clock could not be set: ";
// A time answer is believed from the build day on, up to this many years after it.
inline constexpr int kSyncPlausibleYears = 30;

// A Time Protocol answer is 4 bytes; anything beyond this is not kept.
inline constexpr std::size_t kTimeAnswerLimit = 64;
// A connection that has neither answered nor closed after this long counts as failed.
inline constexpr double kSyncTimeoutSeconds = 60.0;
// An automatic synchronisation sets the clock by at most this much; a manual one asks first.
inline constexpr double kSyncLargestAutoStepSeconds = 3600.0;
inline constexpr const char* kSyncNotSet = "The clock was not set.";
// After an automatic synchronisation failed (every server of the pass, or an invalid answer)
// the next automatic attempt waits this long, doubled with every further failure up to the
// longest wait, instead of asking the servers again every second.
inline constexpr double kSyncRetryFirstSeconds = 60.0;
inline constexpr double kSyncRetryLongestSeconds = 3600.0;

// The first three letters of a month name (UTF-8), only the first in capitals ("Jan").
std::string month_abbreviation(std::string_view month_name);
// Host name of server `index`, or "" when the index names no list entry.
std::string time_server(int index);
// The server of automatic synchronisation: the one typed on the Time Sync page (SyncHost),
// else the list entry SyncSrv.
std::string chosen_time_server(const Settings& settings);
// Seconds of interval choice `choice` (0..6); an unknown choice counts as one day.
std::int64_t sync_interval_seconds(int choice);
// Whether the interval has passed since the last success (or the clock moved back that far).
bool sync_due(const Settings& settings, double now);
// Seconds the next automatic attempt waits after `failures` failed ones in a row (0: none).
double sync_retry_wait_seconds(int failures);

// Runtime state of the time socket's dialogue; all clear at start.
struct TimeSyncState {
    bool busy = false;
    bool manual = false;
    bool retrying = false;
    std::uint8_t pass_start = 0;
    std::uint8_t pass_index = 0;
    std::uint8_t pass_tries = 0;   // connections started in this retry pass
    int auto_failures = 0;         // automatic attempts failed in a row
    double auto_failed_at = 0;     // date of the last of them
    std::string receive_buffer;
    bool receive_overflow = false;
    double started_at = 0;         // date the connection was started
    double connected_at = 0;       // date the connection was made
    float delay = 0;               // estimated one-way delay, seconds
    std::string caption = kSyncCaption;  // caption of the options dialog's sync button
    // Why the last synchronisation failed or did not set the clock ("" after a success);
    // never stored.
    std::string last_failure;
    bool setting_clock = false;  // the clock setter has been asked and has not answered yet
    bool confirming = false;     // the user is asked whether to set a time far from the clock
    UtcTime pending_time;        // that time
    long long pending_step = 0;  // seconds the clock moves by the change asked for
};

// The options dialog's side of a synchronisation, present only while the dialog is open.
class TimeSyncView {
public:
    virtual ~TimeSyncView() = default;
    virtual void show_caption(const std::string& caption) = 0;
    virtual void show_result(const std::string& text) = 0;
    // A message in the program's message window over the dialog.
    virtual void show_message(const std::string& text) = 0;
    // Asks whether to set the clock (yes or no); the answer goes to time_sync_confirm.
    virtual void ask_to_set(const std::string& question) = 0;
};

struct TimeSyncEnv {
    TimeSyncState& sync;
    Settings& settings;
    const Clock& clock;
    ClockSetter& setter;
    const Locale& locale;  // month names and the short time format
    SettingWriter* writer = nullptr;
    TimeSyncView* dialog = nullptr;  // null while the options dialog is closed
    double build_date = program_build_date();  // answers before this day are refused
    // Where the clock setter's answer goes: time_sync_clock_set with the environment of that
    // moment. Unset: with a copy of this one.
    ClockSetDone clock_set_done = {};
    ProgramMessages* messages = nullptr;  // what automatic synchronisation refused
};

// What a Time Protocol answer (4 bytes, big-endian seconds since 1900) tells.
struct TimeAnswer {
    enum Kind {
        invalid,  // not 4 bytes
        refused,  // zero, or a time before the build day or more than 30 years after it
        valid,
    };
    Kind kind = invalid;
    UtcTime time;  // for a valid answer: its time plus the delay rounded to whole seconds
};
// The 32-bit count wraps every 136 years; it is read in the era that begins at the build day.
TimeAnswer read_time_answer(std::string_view answer, double delay_seconds, double build_date);

// After each update cycle while automatic synchronisation is on.
SocketActions time_sync_auto_check(TimeSyncEnv& env);
// After every update cycle: the automatic check while it is on, else the time limit of a
// synchronisation under way.
SocketActions time_sync_cycle(TimeSyncEnv& env);
// The options dialog's sync button, with the host text of its server box.
SocketActions time_sync_button(TimeSyncEnv& env, const std::string& host);

// Events of the time socket.
void time_sync_connected(TimeSyncEnv& env);
SocketActions time_sync_data(TimeSyncEnv& env, std::string_view bytes);
SocketActions time_sync_closed(TimeSyncEnv& env);
// `reason`: what failed, in the system's words.
SocketActions time_sync_error(TimeSyncEnv& env, const std::string& reason = {});
// The clock setter's answer.
void time_sync_clock_set(TimeSyncEnv& env, const ClockSetResult& result);
// The user's answer to ask_to_set (no, too, when the dialog closed first).
void time_sync_confirm(TimeSyncEnv& env, bool set);
