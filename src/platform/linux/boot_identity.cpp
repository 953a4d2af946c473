#include "platform/linux/boot_identity.h"

#include <sys/stat.h>

#include "platform/linux/small_file.h"

std::string boot_identity() {
    std::string id;
    if (!read_small_file("/proc/sys/kernel/random/boot_id", id)) return {};
    while (!id.empty() && (id.back() == '\n' || id.back() == ' ')) id.pop_back();
    if (id.empty()) return {};
    struct stat ns {};
    if (::stat("/proc/self/ns/net", &ns) == 0) id += " net:" + std::to_string(ns.st_ino);
    return id;
}
