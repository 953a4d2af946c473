#pragma once

#include <string>

// This boot and network namespace: the kernel's boot id and the namespace's inode. Interface
// indexes and counters are those of one namespace in one boot, so readings saved under
// another identity are of other interfaces. Empty when the boot id cannot be read.
std::string boot_identity();
