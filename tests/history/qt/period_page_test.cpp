// The Period page on the real main window: only the fields of the chosen form can be
// changed, and the current period line follows the form.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>

#include "support/options_driver.h"

namespace {

struct Fields {
    bool from, to, last, unit, month_start, start;
    friend bool operator==(const Fields&, const Fields&) = default;
};

Fields enabled_fields(frmOptions& dlg) {
    return {control<QDateEdit>(dlg, "Period", "From:")->isEnabled(),
            control<QDateEdit>(dlg, "Period", "To:")->isEnabled(),
            control<QLineEdit>(dlg, "Period", "Last:")->isEnabled(),
            control<QComboBox>(dlg, "Period", "Unit:")->isEnabled(),
            control<QComboBox>(dlg, "Period", "Month starts on day:")->isEnabled(),
            control<QDateEdit>(dlg, "Period", "Start:")->isEnabled()};
}

TEST(PeriodPage, OnlyTheFieldsOfTheChosenFormCanBeChanged) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    ASSERT_EQ(run.main().state().settings.CusPerDay, 0);
    EXPECT_EQ(enabled_fields(dlg), (Fields{true, true, false, false, false, false}));

    control<QRadioButton>(dlg, "Period", "The last")->click();
    EXPECT_EQ(enabled_fields(dlg), (Fields{false, false, true, true, false, false}));
    EXPECT_TRUE(dlg.apply_button()->isEnabled());
    control<QRadioButton>(dlg, "Period", "Monthly, starting on day")->click();
    EXPECT_EQ(enabled_fields(dlg), (Fields{false, false, false, false, true, false}));
    control<QRadioButton>(dlg, "Period", "Starting at a date")->click();
    EXPECT_EQ(enabled_fields(dlg), (Fields{false, false, false, false, false, true}));
    dlg.ok();
    EXPECT_EQ(run.stored("CusPerDay"), "3");

    // Reopened, the page shows the stored form with its fields.
    EXPECT_EQ(enabled_fields(run.options()), (Fields{false, false, false, false, false, true}));
}

}  // namespace
