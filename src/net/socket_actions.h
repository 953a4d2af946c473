#pragma once

#include <cstdint>
#include <string>

// What a socket dialogue asks of its socket after an event. The adapter applies them in
// this order: close the current connection, open a new one, send bytes.
struct SocketActions {
    bool close = false;
    bool connect = false;
    std::string host;          // where to connect to
    std::uint16_t port = 0;
    std::string send;          // bytes to send on the open connection

    static SocketActions connect_to(std::string h, std::uint16_t p) {
        SocketActions a;
        a.close = true;
        a.connect = true;
        a.host = std::move(h);
        a.port = p;
        return a;
    }
    static SocketActions closing() {
        SocketActions a;
        a.close = true;
        return a;
    }
    static SocketActions sending(std::string bytes) {
        SocketActions a;
        a.send = std::move(bytes);
        return a;
    }
};

// Writes one stored setting at once from its in-memory field, by its stored value name
// ("SyncTxt", "SyncLast", "FoundUpdate").
class SettingWriter {
public:
    virtual ~SettingWriter() = default;
    virtual void write_setting(const std::string& name) = 0;
};
