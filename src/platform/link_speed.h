#pragma once

#include <string>

// The nominal speed of a network interface in bits per second; 0 when it is not known.
class LinkSpeed {
public:
    virtual ~LinkSpeed() = default;
    virtual double speed_bps(const std::string& interface_name) = 0;
};
