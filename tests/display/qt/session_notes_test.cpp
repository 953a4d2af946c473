#include <gtest/gtest.h>

#include <QLabel>

#include "core/qt/frm_main.h"
#include "display/qt/systray_page.h"
#include "display/qt/window_page.h"
#include "settings/qt/frm_options.h"
#include "support/temp_home.h"

namespace {

// The options dialog on the real main window tells what the session does not offer: here
// (no notification area, a platform that places windows) the Systray page says that the
// window minimises to the task bar, and the Window page has nothing to add.
TEST(SessionNotes, SystrayPageSaysThereIsNoNotificationAreaAndWindowPageKeepsQuietOffWayland) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);

    dlg->show_page(QStringLiteral("Systray"));
    auto* systray = dlg->findChild<SystrayPage*>();
    ASSERT_NE(systray, nullptr);
    EXPECT_TRUE(systray->no_tray_note()->isVisibleTo(systray));
    EXPECT_EQ(systray->no_tray_note()->text(),
              "This desktop has no notification area: the window minimises to the task bar.");

    dlg->show_page(QStringLiteral("Window"));
    auto* window = dlg->findChild<WindowPage*>();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->wayland_note()->isVisibleTo(window));
    dlg->close();
    main.UnloadKVT();
}

}  // namespace
