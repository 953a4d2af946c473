#pragma once

// The periods a total is kept for, as the item list and the alert rules store them.
enum PeriodKind : int {
    kPeriodToday = 0,
    kPeriodYesterday = 1,
    kPeriodThisWeek = 2,
    kPeriodLastWeek = 3,
    kPeriodThisMonth = 4,
    kPeriodLastMonth = 5,
    kPeriodThisYear = 6,
    kPeriodLastYear = 7,
    kPeriodTotal = 8,
    kPeriodSession = 9,
    kPeriodUser = 10,  // the user-defined period
};
inline constexpr int kPeriodKinds = 11;

// Which bytes a total or a rule counts, as stored.
enum Direction : int { kReceived = 0, kSent = 1, kBothDirections = 2 };
