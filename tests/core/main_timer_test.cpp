#include <gtest/gtest.h>

#include <climits>

#include "core/main_timer.h"

namespace {

TEST(MainTimer, FirstEventOnlySetsTheStampsAndTheCycleFollowsASecondLater) {
    TimerStamps st;
    EXPECT_FALSE(dispatch_timer(st, 5000, 1).any());
    EXPECT_EQ(ms_until_next_job(st, 5000, 1), 1000);
    EXPECT_FALSE(dispatch_timer(st, 5999, 1).update_cycle);
    EXPECT_TRUE(dispatch_timer(st, 6000, 1).update_cycle);
    EXPECT_EQ(ms_until_next_job(st, 6000, 1), 1000);
}

TEST(MainTimer, JobsFallDueOnTheirPeriods) {
    TimerStamps st;
    dispatch_timer(st, 1000, 1);
    int cycles = 0, saves = 0, colours = 0, reports = 0;
    for (std::int32_t now = 1000; now <= 1000 + 120000; now += 10) {
        const DueJobs j = dispatch_timer(st, now, 1);
        cycles += j.update_cycle;
        saves += j.log_save;
        colours += j.colour_refresh;
        reports += j.remote_report;
    }
    EXPECT_EQ(cycles, 120);
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(colours, 2);
    EXPECT_EQ(reports, 2);

    TimerStamps slow;
    dispatch_timer(slow, 1, 999);
    EXPECT_FALSE(dispatch_timer(slow, 1 + 998 * 60000, 999).log_save);
    EXPECT_TRUE(dispatch_timer(slow, 1 + 999 * 60000, 999).log_save);
}

TEST(MainTimer, PassingTwoToTheThirtyOneRestartsThePeriodsOnce) {
    TimerStamps st;
    dispatch_timer(st, INT32_MAX - 1500, 1);
    EXPECT_TRUE(dispatch_timer(st, INT32_MAX - 500, 1).update_cycle);
    EXPECT_LE(ms_until_next_job(st, INT32_MAX - 500, 1), 501);
    // The counter passes 2^31: stamps reset, nothing runs, the cycle follows a period later.
    const std::int32_t after = INT32_MIN + 100;
    EXPECT_FALSE(dispatch_timer(st, after, 1).any());
    EXPECT_FALSE(dispatch_timer(st, after + 999, 1).any());
    EXPECT_TRUE(dispatch_timer(st, after + 1000, 1).update_cycle);
}

TEST(MainTimer, WrapFromMinusOneToZeroKeepsTheDifferencesRight) {
    TimerStamps st;
    dispatch_timer(st, -1500, 1);
    EXPECT_FALSE(dispatch_timer(st, -600, 1).any());
    // -1500 + 1000 = -500; the counter goes on through -1 to 0 without a reset.
    EXPECT_TRUE(dispatch_timer(st, -500, 1).update_cycle);
    EXPECT_FALSE(dispatch_timer(st, 400, 1).update_cycle);
    EXPECT_TRUE(dispatch_timer(st, 500, 1).update_cycle);
    EXPECT_EQ(st.last_log_tick, -1500);  // no reset happened at the wrap to 0
}

TEST(MainTimer, ArmedWaitNeverOversleepsADueJob) {
    TimerStamps st;
    dispatch_timer(st, 100, 1);
    for (std::int32_t now = 100; now < 200000; now += 337) {
        const std::int32_t wait = ms_until_next_job(st, now, 1);
        ASSERT_GE(wait, 0);
        if (wait == 0) {
            ASSERT_TRUE(dispatch_timer(st, now, 1).any()) << now;
        } else {
            ASSERT_FALSE(dispatch_timer(st, now, 1).any()) << now;
        }
    }
}

}  // namespace
