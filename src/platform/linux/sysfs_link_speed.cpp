#include "platform/linux/sysfs_link_speed.h"

#include <fstream>

double SysfsLinkSpeed::speed_bps(const std::string& interface_name) {
    // An interface name never holds a '/': refuse anything that could leave the folder.
    if (interface_name.empty() || interface_name.find('/') != std::string::npos || interface_name == "." ||
        interface_name == "..") {
        return 0.0;
    }
    std::ifstream in(root_ + interface_name + "/speed");
    long long mbits = 0;
    if (!(in >> mbits) || mbits <= 0) return 0.0;
    return static_cast<double>(mbits) * 1000000.0;
}
