// The main timer's colour jobs on the real main window: after a change of the desktop's
// colours the tray picture's frame takes them, from the minute job and from the log save.

#include <gtest/gtest.h>

#include <QPalette>
#include <QTest>

#include "display/qt/frm_sys_tray.h"
#include "support/options_driver.h"

namespace {

// The desktop's palette for the length of a test.
class DesktopColours {
public:
    DesktopColours() : saved_(QApplication::palette()) {}
    ~DesktopColours() { QApplication::setPalette(saved_); }
    void set(const QColor& dark, const QColor& light) {
        QPalette p = QApplication::palette();
        p.setColor(QPalette::Dark, dark);
        p.setColor(QPalette::Light, light);
        QApplication::setPalette(p);
    }

private:
    QPalette saved_;
};

// The frame of the tray picture: its shadow line on top, its highlight line on the right.
QColor tray_shadow(frmMain& main) { return colour_at(main.findChild<frmSysTray*>()->picture(), 5, 0); }
QColor tray_highlight(frmMain& main) { return colour_at(main.findChild<frmSysTray*>()->picture(), 13, 5); }

TEST(MainTimer, TheColourJobsTakeTheDesktopsNewFrameColours) {
    DesktopColours desktop;
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    const QColor shadow = tray_shadow(main);
    ASSERT_EQ(shadow.rgb(), QApplication::palette().color(QPalette::Dark).rgb());

    // The desktop changes its colours; the minute's colour job finds them.
    desktop.set(QColor(10, 200, 10), QColor(200, 10, 200));
    QTest::qWait(1100);
    EXPECT_EQ(tray_shadow(main), shadow);  // not before the job is due
    main.state().timer.last_colour_tick -= 60000;
    EXPECT_TRUE(eventually([&] { return tray_shadow(main) == QColor(10, 200, 10); }));
    EXPECT_EQ(tray_highlight(main), QColor(200, 10, 200));

    // The log save reads them again as well.
    desktop.set(QColor(1, 2, 3), QColor(250, 251, 252));
    main.state().timer.last_log_tick -= 60000 * main.state().settings.LogWriteInt;
    EXPECT_TRUE(eventually([&] { return tray_shadow(main) == QColor(1, 2, 3); }));
    EXPECT_EQ(tray_highlight(main), QColor(250, 251, 252));
}

}  // namespace
