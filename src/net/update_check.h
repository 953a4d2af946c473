#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/socket_actions.h"
#include "settings/settings.h"

// Where the program asks for a newer version and where users download it.
inline constexpr const char* kUpdateServer = "www.kelvanto.net";
inline constexpr const char* kWebAddress = "www.kelvanto.net";
inline constexpr std::uint16_t kUpdatePort = 80;
// A reply longer than this is not an answer to the update query; reading stops there.
inline constexpr std::size_t kUpdateReplyLimit = 16384;

struct UpdateInfo {
    std::string version;
    std::string date;
};

// A check that has not ended this long after it started is given up; one that got no
// version (no answer, an error, a reply without "ver=") is tried again this long after.
inline constexpr double kUpdateTimeLimitSeconds = 30.0;
inline constexpr double kUpdateRetrySeconds = 3600.0;

// The update check's runtime state: one check per start, tried again while it gets no
// version.
struct UpdateCheckState {
    bool running = false;
    std::string received;
    bool window_open = false;  // the "Software update" window is shown
    bool answered = false;     // a reply named a version
    double started_at = 0.0;   // date the last check started; 0 before the first
};

// "GET /cgi-bin/update.cgi?<version> HTTP/1.1", the Host line and an empty line.
std::string update_request(std::string_view running_version, std::string_view host);
// The page the update window's link opens.
std::string download_url(std::string_view host, std::string_view running_version);

// Version and date from a reply: the text between "ver=" and the next ", ", and the 12
// characters that start five characters after that ", ". Nothing when either mark is
// missing or the version is empty, overlong or not plain text.
std::optional<UpdateInfo> parse_update_reply(std::string_view text);
// Whether the reply holds both marks and the whole date, so reading can stop.
bool update_reply_complete(std::string_view text);

// The version the user is to be told of: not the running one and not the one already
// told (then stored in FoundUpdate and written at once).
std::optional<UpdateInfo> update_to_show(const UpdateInfo& reply, std::string_view running_version,
                                         Settings& settings, SettingWriter* writer);

// The update socket's dialogue. `now` is the date.
SocketActions update_start(UpdateCheckState& state, double now = 0.0);
// Once a cycle while CheckForUpdate is set (`enabled`): ends a check past its time limit
// and starts the next try when one is due.
SocketActions update_tick(UpdateCheckState& state, double now, bool enabled);
SocketActions update_connected(std::string_view running_version);
struct UpdateOutcome {
    SocketActions actions;
    std::optional<UpdateInfo> show;
};
UpdateOutcome update_data(UpdateCheckState& state, std::string_view bytes, std::string_view running_version,
                          Settings& settings, SettingWriter* writer);
UpdateOutcome update_closed(UpdateCheckState& state, std::string_view running_version, Settings& settings,
                            SettingWriter* writer);
void update_error(UpdateCheckState& state);
