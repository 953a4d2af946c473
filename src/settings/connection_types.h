#pragma once

#include <array>
#include <cstdint>

// The downstream connection types, index = "ConnectionType". The upstream list is the same
// shifted by one, with "Same as downstream" at index 0, so its "Custom" is index 20. The
// faster links came later: they take the indices after "Custom", so every value stored by an
// earlier version keeps its meaning, and the lists show them before "Custom".
inline constexpr int kConnectionTypes = 26;
inline constexpr int kCustomConnection = 19;
inline constexpr int kCustomConnectionUp = 20;

inline constexpr std::array<const char*, kConnectionTypes> kConnectionLabels{
    "Auto",           "14.4 kbps (Modem)", "28.8 kbps (Modem)", "33.6 kbps (Modem)", "56.0 kbps (Modem)",
    "64 kbps (ISDN)", "128 kbps (ISDN)",   "256 kbps (DSL)",    "384 kbps (DSL)",    "512 kbps (DSL)",
    "768 kbps (DSL)", "1024 kbps (DSL)",   "1.544 mbps (T1)",   "2048 kbps (DSL)",   "4096 kbps (DSL)",
    "10 mbps (LAN)",  "44,736 mbps (T3)",  "100 mbps (LAN)",    "1000 mbps (LAN)",   "Custom",
    "2.5 gbps (LAN)", "5 gbps (LAN)",      "10 gbps (LAN)",     "25 gbps (LAN)",     "40 gbps (LAN)",
    "100 gbps (LAN)"};

// Speed in kbps of each type (1 mbps = 1024 kbps, as the list always counted); "Custom" (-1)
// takes the custom speed instead.
inline constexpr std::array<std::int32_t, kConnectionTypes> kConnectionKbps{
    0,       15,      29,       34,       56,       64,       128,     256,    384,    512,   768, 1024, 1544,
    2048,    4096,    10240,    44736,    102400,   1024000,  -1,      2621440, 5242880, 10485760, 26214400,
    41943040, 104857600};

// The downstream types in the order the list shows them: by speed, "Custom" last.
inline constexpr std::array<int, kConnectionTypes> kConnectionOrder{0,  1,  2,  3,  4,  5,  6,  7,  8,
                                                                    9,  10, 11, 12, 13, 14, 15, 16, 17,
                                                                    18, 20, 21, 22, 23, 24, 25, 19};
