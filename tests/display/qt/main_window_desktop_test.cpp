// The main window as the desktop shows it: the see-through background on and off again on a
// real X server, and a stored place off the screens.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QScreen>
#include <fstream>
#include <sstream>

#include "display/qt/window_page.h"
#include "support/options_driver.h"
#include "support/desktop.h"

namespace {

bool on_x11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// Runs test `name` again on a throw-away X desktop (Xvfb and openbox), where it does not skip.
void run_on_x11(const std::string& name) {
    const std::string missing = missing_programs({"Xvfb", "openbox", "xprop"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    XDesktop desktop(true);
    ASSERT_TRUE(desktop.running());
    TempDir dir;
    ChildProcess run = start_process("/proc/self/exe", {"--gtest_filter=" + name},
                                     {{"DISPLAY", desktop.display()}, {"KELVANTO_TEST_PLATFORM", "xcb"}}, dir.str() + "/out");
    const int status = wait_process(run, 120000);
    if (status == -1) kill_process(run);
    std::ostringstream out;
    out << std::ifstream(dir.str() + "/out").rdbuf();
    EXPECT_TRUE(status == 0 && out.str().find("[  PASSED  ] 1 test") != std::string::npos) << out.str();
}

QImage shown_on_screen(const QWidget& w) {
    const QPoint at = w.mapToGlobal(QPoint(0, 0));
    return w.screen()->grabWindow(0, at.x(), at.y(), w.width(), w.height()).toImage();
}

// Without a compositing manager the see-through background is black and the page says why.
TEST(OnX11Desktop, SeeThroughBackgroundOnAndOffAgainShowsThePicture) {
    if (!on_x11()) GTEST_SKIP() << "runs on an X desktop";
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    frmOptions& dlg = run.options();
    main.move(20, 20);
    const int area = main.width() * main.height();
    // The grab is to see the main window alone. On a busy machine the window manager may
    // place a window late, over the other: the dialog is moved off the main window first.
    const auto shown = [&](const QColor& c) {
        if (dlg.frameGeometry().intersects(main.frameGeometry())) dlg.move(main.frameGeometry().right() + 40, 100);
        return pixels_of(shown_on_screen(main), c);
    };
    ASSERT_TRUE(eventually([&] { return shown(QColor(225, 225, 255)) > area / 2; }));
    const QPoint place = main.frameGeometry().topLeft();
    auto* see_through = control<QCheckBox>(dlg, "Window", "Transparent background");
    see_through->click();
    dlg.apply();
    EXPECT_TRUE(eventually([&] { return shown(Qt::black) > area / 2 && shown(Qt::black) < area - 200; }))
        << "black where the background was, the texts on it";
    EXPECT_TRUE(dlg.findChild<WindowPage*>()->see_through_note()->text().contains("No compositing manager"));
    see_through->click();
    dlg.apply();
    EXPECT_TRUE(eventually([&] { return shown(QColor(225, 225, 255)) > area / 2; })) << "the picture stays black";
    EXPECT_EQ(main.frameGeometry().topLeft(), place);
}
TEST(X11Desktop, SeeThroughBackgroundOnAndOffAgainShowsThePicture) {
    run_on_x11("OnX11Desktop.SeeThroughBackgroundOnAndOffAgainShowsThePicture");
}

// A place stored partly or wholly off the screens (monitor unplugged, screen scaled) is clamped.
TEST(MainWindowPlace, AStoredPlaceOffTheScreenOpensTheWindowInsideIt) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint stored : {QPoint(screen.right() - 20, 100), QPoint(3000, 200), QPoint(-150, 50)}) {
        ProgramRun run;
        run.preset("WindowX", QString::number(stored.x()));
        run.preset("WindowY", QString::number(stored.y()));
        ASSERT_TRUE(run.start());
        EXPECT_TRUE(screen.contains(run.main().frameGeometry())) << stored.x();
    }
}

}  // namespace
