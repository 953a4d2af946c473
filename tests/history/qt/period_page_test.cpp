// The Period page on the real main window: only the fields of the chosen form can be
// changed, the current period line follows the form without moving the fields, and the data
// cap keeps the number typed.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QLabel>
#include <QRadioButton>
#include <map>

#include "alerts/qt/frm_msg_box.h"

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

// Forms move no field, Apply keeps the focus; 9.5 GB stays 9.5 GB, while a box for whole
// numbers says so and keeps 2.5 as typed (not 25), and Apply refuses it.
TEST(PeriodPage, FieldsStayInPlaceAndTheDataCapKeepsAFraction) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    QWidget* page = show_page(dlg, "Period");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    const auto places = [page] {
        std::map<QWidget*, QPoint> at;
        for (QWidget* w : page->findChildren<QWidget*>()) at[w] = w->mapTo(page, QPoint(0, 0));
        return at;
    };
    const std::map<QWidget*, QPoint> before = places();
    for (const char* form : {"Monthly, starting on day", "Starting at a date", "The last"}) {
        control<QRadioButton>(dlg, "Period", form)->click();
        QApplication::processEvents();
        EXPECT_EQ(places(), before) << form;
    }
    auto* cap = control<QLineEdit>(dlg, "Period", "Data cap:");
    QTest::mouseClick(cap, Qt::LeftButton);
    cap->clear();
    QTest::keyClicks(cap, "9.5");
    QTest::mouseClick(dlg.apply_button(), Qt::LeftButton);
    EXPECT_EQ(run.stored("CapAmount"), "9.5");
    EXPECT_EQ(QApplication::focusWidget(), cap);
    EXPECT_FALSE(control<QLineEdit>(dlg, "Period", "Name:")->hasSelectedText());

    auto* last = control<QLineEdit>(dlg, "Period", "Last:");
    last->clear();
    QTest::keyClicks(last, "2.5");
    EXPECT_EQ(last->text(), "2.5");
    EXPECT_EQ(last->findChild<QLabel*>()->text(), "whole numbers only");
    EXPECT_EQ(run.main().state().settings.CusPerDays, 2);  // as typed before the point, not 25
    dlg.apply();
    EXPECT_EQ(run.main().findChild<frmMsgBox*>()->text(),
              "\"Last\" takes whole numbers only. Please enter it without a fraction.");
    run.main().findChild<frmMsgBox*>()->accept();
    dlg.cancel();
    EXPECT_EQ(run.main().state().settings.CusPerDays, 1);
}

}  // namespace
