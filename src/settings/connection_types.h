#pragma once

#include <array>
#include <cstdint>

// The downstream connection types, index = "ConnectionType". The upstream list is the same
// shifted by one, with "Same as downstream" at index 0, so its "Custom" is index 20.
inline constexpr int kConnectionTypes = 20;
inline constexpr int kCustomConnection = 19;
inline constexpr int kCustomConnectionUp = 20;

inline constexpr std::array<const char*, kConnectionTypes> kConnectionLabels{
    "Auto",           "14.4 kbps (Modem)", "28.8 kbps (Modem)", "33.6 kbps (Modem)", "56.0 kbps (Modem)",
    "64 kbps (ISDN)", "128 kbps (ISDN)",   "256 kbps (DSL)",    "384 kbps (DSL)",    "512 kbps (DSL)",
    "768 kbps (DSL)", "1024 kbps (DSL)",   "1.544 mbps (T1)",   "2048 kbps (DSL)",   "4096 kbps (DSL)",
    "10 mbps (LAN)",  "44,736 mbps (T3)",  "100 mbps (LAN)",    "1000 mbps (LAN)",   "Custom"};

// Speed in kbps of each type; "Custom" (-1) takes the custom speed instead.
inline constexpr std::array<std::int32_t, kConnectionTypes> kConnectionKbps{
    0, 15, 29, 34, 56, 64, 128, 256, 384, 512, 768, 1024, 1544, 2048, 4096, 10240, 44736, 102400, 1024000, -1};
