#pragma once

// Slot 0 is the aggregate "Multiple adapters"; slots 1..15 are adapters.
inline constexpr int kMaxAdapters = 15;
inline constexpr int kAdapterSlots = kMaxAdapters + 1;
