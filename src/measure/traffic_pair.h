#pragma once

// One log entry: bytes received (download) then bytes sent (upload).
struct TrafficPair {
    double received = 0.0;
    double sent = 0.0;
    friend bool operator==(const TrafficPair&, const TrafficPair&) = default;
};
