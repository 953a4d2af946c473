#pragma once

#include <string>
#include <utility>

#include "platform/link_speed.h"

// Reads /sys/class/net/<interface>/speed (Mbit/s); unknown or negative speeds give 0.
class SysfsLinkSpeed : public LinkSpeed {
public:
    explicit SysfsLinkSpeed(std::string root = "/sys/class/net/") : root_(std::move(root)) {}
    double speed_bps(const std::string& interface_name) override;

private:
    std::string root_;
};
