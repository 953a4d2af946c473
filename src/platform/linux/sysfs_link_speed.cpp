#include "platform/linux/sysfs_link_speed.h"

#include <cstdlib>

#include "platform/linux/small_file.h"

double SysfsLinkSpeed::speed_bps(const std::string& interface_name) {
    // An interface name never holds a '/': refuse anything that could leave the folder.
    if (interface_name.empty() || interface_name.find('/') != std::string::npos || interface_name == "." ||
        interface_name == "..") {
        return 0.0;
    }
    std::string text;
    if (!read_small_file(root_ + interface_name + "/speed", text)) return 0.0;
    char* end = nullptr;
    const long long mbits = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || mbits <= 0) return 0.0;
    return static_cast<double>(mbits) * 1000000.0;
}
