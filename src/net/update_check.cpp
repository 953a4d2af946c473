#include "net/update_check.h"

#include <cmath>

namespace {

constexpr std::size_t kVersionMax = 32;
constexpr std::size_t kDateLength = 12;
constexpr std::size_t kDateSkip = 7;  // ", " and five more characters

bool printable(std::string_view s, char lowest) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < static_cast<unsigned char>(lowest) || u > 0x7e) return false;
    }
    return true;
}

UpdateOutcome finish(UpdateCheckState& state, std::string_view running, Settings& settings, SettingWriter* writer) {
    UpdateOutcome out;
    out.actions = SocketActions::closing();
    state.running = false;
    if (const std::optional<UpdateInfo> reply = parse_update_reply(state.received)) {
        state.answered = true;
        out.show = update_to_show(*reply, running, settings, writer);
    }
    state.received.clear();
    state.received.shrink_to_fit();
    return out;
}

}  // namespace

std::string update_request(std::string_view running_version, std::string_view host) {
    std::string r = "GET /cgi-bin/update.cgi?";
    r += running_version;
    r += " HTTP/1.1\r\nHost: ";
    r += host;
    r += "\r\n\r\n";
    return r;
}

std::string download_url(std::string_view host, std::string_view running_version) {
    return "http://" + std::string(host) + "/cgi-bin/download.cgi?" + std::string(running_version);
}

std::optional<UpdateInfo> parse_update_reply(std::string_view text) {
    const std::size_t p = text.find("ver=");
    if (p == std::string_view::npos) return std::nullopt;
    const std::size_t q = text.find(", ", p);
    if (q == std::string_view::npos) return std::nullopt;
    UpdateInfo info;
    const std::string_view version = text.substr(p + 4, q - (p + 4));
    if (version.empty() || version.size() > kVersionMax || !printable(version, '!')) return std::nullopt;
    std::string_view date = text.substr(std::min(q + kDateSkip, text.size()), kDateLength);
    date = date.substr(0, date.find_first_of("\r\n"));  // a short date ends with its line
    if (!printable(date, ' ')) return std::nullopt;
    info.version = version;
    info.date = date;
    return info;
}

bool update_reply_complete(std::string_view text) {
    const std::size_t p = text.find("ver=");
    if (p == std::string_view::npos) return false;
    const std::size_t q = text.find(", ", p);
    if (q == std::string_view::npos) return false;
    return text.size() >= q + kDateSkip + kDateLength || text.find_first_of("\r\n", q) != std::string_view::npos;
}

std::optional<UpdateInfo> update_to_show(const UpdateInfo& reply, std::string_view running_version,
                                         Settings& settings, SettingWriter* writer) {
    if (reply.version == running_version) return std::nullopt;
    if (reply.version == settings.FoundUpdate) return std::nullopt;
    settings.FoundUpdate = reply.version;
    if (writer) writer->write_setting("FoundUpdate");
    return reply;
}

SocketActions update_start(UpdateCheckState& state, double now) {
    state.running = true;
    state.started_at = now;
    state.received.clear();
    return SocketActions::connect_to(kUpdateServer, kUpdatePort);
}

SocketActions update_tick(UpdateCheckState& state, double now, bool enabled) {
    const double since = std::fabs(now - state.started_at) * 86400.0;
    if (state.running && since >= kUpdateTimeLimitSeconds) {
        // Silent, or dripping bytes without ever naming a version: end silently.
        update_error(state);
        return SocketActions::closing();
    }
    if (state.running || state.answered || !enabled || state.started_at == 0.0 || since < kUpdateRetrySeconds) return {};
    return update_start(state, now);
}

SocketActions update_connected(std::string_view running_version) {
    return SocketActions::sending(update_request(running_version, kUpdateServer));
}

UpdateOutcome update_data(UpdateCheckState& state, std::string_view bytes, std::string_view running,
                          Settings& settings, SettingWriter* writer) {
    if (!state.running) return {};
    if (state.received.size() + bytes.size() > kUpdateReplyLimit) {
        // Not a reply to this query: end silently.
        state.running = false;
        state.received.clear();
        state.received.shrink_to_fit();
        return {SocketActions::closing(), std::nullopt};
    }
    state.received.append(bytes);
    if (!update_reply_complete(state.received)) return {};
    return finish(state, running, settings, writer);
}

UpdateOutcome update_closed(UpdateCheckState& state, std::string_view running, Settings& settings,
                            SettingWriter* writer) {
    if (!state.running) return {};
    return finish(state, running, settings, writer);
}

void update_error(UpdateCheckState& state) {
    state.running = false;
    state.received.clear();
    state.received.shrink_to_fit();
}
