#include "platform/locale.h"

#include <gtest/gtest.h>

#include "platform/date.h"

TEST(EnglishLocale, DatesTimesAndMonths) {
    EnglishLocale en;
    EXPECT_EQ(en.short_date(make_date(2026, 3, 7, 23, 59, 59)), "07/03/2026");
    EXPECT_EQ(en.long_time(make_date(2026, 3, 7, 9, 5, 3)), "09:05:03");
    EXPECT_EQ(en.long_time(make_date(2026, 3, 7, 23, 59, 59.9)), "23:59:59");
    EXPECT_EQ(en.month_name(1), "January");
    EXPECT_EQ(en.month_name(12), "December");
    EXPECT_EQ(en.month_name(0), "");
    EXPECT_EQ(en.month_name(13), "");
    EXPECT_EQ(en.decimal_separator(), ".");
    EXPECT_EQ(en.first_day_of_week(), 2);
}
