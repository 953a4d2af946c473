#pragma once

#include <string>

// The TCP connection the mail sender talks through, with one timer for its waits. Events
// (connected, bytes arrived, TLS up or failed, closed, error, timer elapsed) go back into the
// sender.
class MailSocket {
public:
    virtual ~MailSocket() = default;
    virtual void connect_to(const std::string& host, int port) = 0;
    virtual void write(const std::string& bytes) = 0;
    // Starts TLS on the open connection: the server's certificate is checked against the
    // trusted authorities and the host name connected to. Bytes are encrypted from here on.
    virtual void start_tls() = 0;
    // Drops the connection at once; no closed event follows for it.
    virtual void close() = 0;
    // (Re)starts the single-shot timer; a later call replaces the earlier wait.
    virtual void start_timer(int ms) = 0;
    virtual void stop_timer() = 0;
};
