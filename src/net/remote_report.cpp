#include "net/remote_report.h"

#include <cmath>

#include "alerts/ansi_text.h"

std::string remote_frame(int type, std::string_view payload) {
    std::string frame = kClientBanner;
    frame += "\r\n";
    frame += static_cast<char>(type);
    frame += "\r\n";
    frame += std::to_string(payload.size());
    frame += "\r\n";
    frame += payload;
    return frame;
}

std::string login_frame(const Settings& s) {
    // The receiving side reads Windows-1252, one byte per character, so the payload's byte
    // count is its character count; characters the code page lacks are sent as "?".
    const std::string payload =
        utf8_to_ansi(s.RemotePassword + "\r\n" + s.ClientName + "\r\n" + std::to_string(s.LocalPort) + "\r\n");
    return remote_frame(kLoginMessage, payload);
}

std::string server_banner(const ProgramVersion& version) { return kServerBannerPrefix + version.text(); }

bool server_banner_ok(std::string_view data, const ProgramVersion& version) {
    const std::string banner = server_banner(version);
    if (data.substr(0, banner.size()) != banner) return false;
    // "KVT Server 1.3" must not accept a server of version 1.30.
    return data.size() == banner.size() || data[banner.size()] < '0' || data[banner.size()] > '9';
}

SocketActions remote_start(RemoteReportState& state, const Settings& s, double now) {
    // A server that answered keeps its connection as long as it likes; one that accepted and
    // stays silent (or a connection that never comes about) is given up.
    if (state.in_progress && (state.answered || std::fabs(now - state.started_at) * 86400.0 < kRemoteAnswerWaitSeconds))
        return {};
    state.in_progress = true;
    state.answered = false;
    state.started_at = now;
    const int port = s.RemotePort >= 1 && s.RemotePort <= 65535 ? s.RemotePort : 1888;
    return SocketActions::connect_to(s.RemoteIP, static_cast<std::uint16_t>(port));
}

SocketActions remote_connected(const Settings& s) { return SocketActions::sending(login_frame(s)); }

SocketActions remote_data(RemoteReportState& state, std::string_view data, const ProgramVersion& version) {
    if (server_banner_ok(data, version)) {
        state.answered = true;
        return {};
    }
    // Another program or another version: end the connection now.
    state.in_progress = false;
    return SocketActions::closing();
}

void remote_closed(RemoteReportState& state) { state.in_progress = false; }
