#pragma once

#include <string>
#include <string_view>

#include "net/program_version.h"
#include "net/socket_actions.h"
#include "settings/settings.h"

inline constexpr const char* kClientBanner = "KVT Client 1.29";
inline constexpr const char* kServerBannerPrefix = "KVT Server ";
inline constexpr int kLoginMessage = 2;

// A report connection over which the server has not said a word this long after it was
// started (connecting or connected) counts as failed: the next report starts afresh.
inline constexpr double kRemoteAnswerWaitSeconds = 30.0;

// The report connection: set from the start of a report until its connection closes.
struct RemoteReportState {
    bool in_progress = false;
    bool answered = false;     // the server sent a frame with its banner
    double started_at = 0.0;   // date the report was started
};

// One frame: banner, the type character, the payload's length in decimal, each on its own
// CR LF line, then the payload (whose lines carry their own CR LF).
std::string remote_frame(int type, std::string_view payload);
// The login frame: password, client name and own port, one per line, in Windows-1252.
std::string login_frame(const Settings& settings);
// The banner the server's frames must start with: "KVT Server " + major.minor.
std::string server_banner(const ProgramVersion& version);
// Whether received data starts with the server banner of this version.
bool server_banner_ok(std::string_view data, const ProgramVersion& version);

// Starts a report when none is in progress, or when the one in progress has not heard
// from the server within kRemoteAnswerWaitSeconds (that one is closed): connect to RemoteIP
// on RemotePort. `now` is the date.
SocketActions remote_start(RemoteReportState& state, const Settings& settings, double now);
// Events of the report connection.
SocketActions remote_connected(const Settings& settings);
SocketActions remote_data(RemoteReportState& state, std::string_view data, const ProgramVersion& version);
void remote_closed(RemoteReportState& state);
