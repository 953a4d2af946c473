// The main window on a real X desktop, as the X server shows it: the see-through background
// switched on and off again, dragging by the content, and a stored place that lies off the
// screens.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "display/qt/window_page.h"
#include "platform/qt/compositing.h"
#include "support/options_driver.h"
#include "support/x11_run.h"

namespace {

const QColor kBackground(225, 225, 255);  // the built-in Background colour
const QColor kBlack(0, 0, 0);

QLabel* see_through_note(frmOptions& dlg) {
    show_page(dlg, "Window");
    return dlg.findChild<WindowPage*>()->see_through_note();
}

// Without a compositing manager a see-through background is black: the window page says so,
// and unticking the box brings the whole picture back at once, at the same place.
TEST(OnX11Desktop, SeeThroughBackgroundOnAndOffAgainShowsThePicture) {
    if (!on_x11()) GTEST_SKIP() << "runs on an X desktop";
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    frmOptions& dlg = run.options();
    main.move(20, 20);
    dlg.move(600, 100);
    ASSERT_TRUE(eventually([&] { return pixels_of(shown_on_screen(main), kBackground) > 1000; }));
    const QPoint place = main.frameGeometry().topLeft();
    const int area = main.width() * main.height();

    auto* see_through = control<QCheckBox>(dlg, "Window", "Transparent background");
    see_through->click();
    dlg.apply();
    // Black where the background was, and the texts still show on it.
    EXPECT_TRUE(eventually([&] {
        const int black = pixels_of(shown_on_screen(main), kBlack);
        return black > area / 2 && area - black > 200;
    }));
    EXPECT_TRUE(see_through_note(dlg)->isVisible());
    EXPECT_TRUE(see_through_note(dlg)->text().contains("No compositing manager"));

    see_through->click();
    EXPECT_FALSE(see_through_note(dlg)->isVisible());
    dlg.apply();
    EXPECT_TRUE(eventually([&] { return pixels_of(shown_on_screen(main), kBackground) > area / 2; }))
        << "the picture stays black after the see-through background is switched off";
    QTest::qWait(300);
    EXPECT_EQ(main.frameGeometry().topLeft(), place);
}
TEST(X11Desktop, SeeThroughBackgroundOnAndOffAgainShowsThePicture) {
    run_on_x11("OnX11Desktop.SeeThroughBackgroundOnAndOffAgainShowsThePicture", false);
}

// With a compositing manager the see-through background needs no word of warning.
TEST(OnX11Desktop, SeeThroughBackgroundWithACompositingManagerNeedsNoNote) {
    if (!on_x11()) GTEST_SKIP() << "runs on an X desktop";
    ASSERT_TRUE(eventually([] { return desktop_composites(); }, 10000));
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    control<QCheckBox>(dlg, "Window", "Transparent background")->click();
    EXPECT_FALSE(see_through_note(dlg)->isVisible());
}
TEST(X11Desktop, SeeThroughBackgroundWithACompositingManagerNeedsNoNote) {
    run_on_x11("OnX11Desktop.SeeThroughBackgroundWithACompositingManagerNeedsNoNote", true);
}

// Drags the window by a point of its content with the real pointer, in the steps a hand makes.
void drag_by(const std::string& display, QPoint from, QPoint by) {
    std::vector<std::string> args{"mousemove", std::to_string(from.x()), std::to_string(from.y()), "mousedown", "1"};
    for (const int percent : {3, 10, 30, 60, 100}) {
        args.insert(args.end(), {"sleep", "0.05", "mousemove", std::to_string(from.x() + by.x() * percent / 100),
                                 std::to_string(from.y() + by.y() * percent / 100)});
    }
    args.insert(args.end(), {"sleep", "0.2", "mouseup", "1"});
    ChildProcess xdotool = start_process(find_program("xdotool"), args, {{"DISPLAY", display}});
    ASSERT_TRUE(eventually([&] { return !process_running(xdotool) || wait_process(xdotool, 0) != -1; }, 10000));
}

// The grabbed point stays under the pointer: a drag of 300 pixels moves the window 300.
TEST(OnX11Desktop, DraggingTheContentMovesTheWindowWithThePointer) {
    if (!on_x11()) GTEST_SKIP() << "runs on an X desktop";
    if (find_program("xdotool").empty()) GTEST_SKIP() << "not installed: xdotool";
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    main.move(100, 100);
    QTest::qWait(500);
    const QPoint start = main.geometry().topLeft();
    drag_by(qEnvironmentVariable("DISPLAY").toStdString(), main.mapToGlobal(QPoint(60, 40)), QPoint(300, 120));
    EXPECT_TRUE(eventually([&] { return main.geometry().topLeft() == start + QPoint(300, 120); }))
        << "moved by " << main.geometry().x() - start.x() << "," << main.geometry().y() - start.y();
}
TEST(X11Desktop, DraggingTheContentMovesTheWindowWithThePointer) {
    run_on_x11("OnX11Desktop.DraggingTheContentMovesTheWindowWithThePointer", false);
}

// A stored place that lies partly or wholly off the screens, as after a monitor was unplugged
// or with the screen scaled (QT_SCALE_FACTOR=2 halves it): the window opens wholly inside it.
TEST(OnX11Desktop, AStoredPlaceOffTheScreenOpensTheWindowInsideIt) {
    if (!on_x11()) GTEST_SKIP() << "runs on an X desktop";
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const QPoint stored : {QPoint(1100, 700), QPoint(3000, 200), QPoint(-150, 350), QPoint(520, 300)}) {
        SCOPED_TRACE(QStringLiteral("stored at %1,%2").arg(stored.x()).arg(stored.y()).toStdString());
        ProgramRun run;
        run.preset("WindowX", QString::number(stored.x()));
        run.preset("WindowY", QString::number(stored.y()));
        ASSERT_TRUE(run.start());
        frmMain& main = run.main();
        EXPECT_TRUE(eventually([&] { return screen.contains(main.frameGeometry()); }))
            << "opened at " << main.frameGeometry().x() << "," << main.frameGeometry().y() << " on a screen of "
            << screen.width() << " x " << screen.height();
    }
}
TEST(X11Desktop, AStoredPlaceOffTheScreenOpensTheWindowInsideIt) {
    run_on_x11("OnX11Desktop.AStoredPlaceOffTheScreenOpensTheWindowInsideIt", false);
}
TEST(X11Desktop, AStoredPlaceOffTheScaledScreenOpensTheWindowInsideIt) {
    run_on_x11("OnX11Desktop.AStoredPlaceOffTheScreenOpensTheWindowInsideIt", false, {{"QT_SCALE_FACTOR", "2"}});
}

}  // namespace
