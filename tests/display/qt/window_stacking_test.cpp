#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "alerts/alert_actions.h"
#include "alerts/qt/frm_msg_box.h"
#include "core/qt/frm_main.h"
#include "display/qt/window_stacking.h"
#include "support/temp_home.h"

namespace {

bool on_top(const QWidget* w) { return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

// On the real main window with "Always on top": the message window and a confirmation come
// above it as they are shown; a program an alert runs makes it step back from the top until
// the user comes back to it; switching "Always on top" off lets every window go.
TEST(WindowStacking, OwnWindowsComeAboveTheMainWindowWhichStepsBackForWhatAnAlertOpens) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    main.show();
    ASSERT_TRUE(main.Form_Load());
    ASSERT_EQ(main.state().settings.AlwaysOnTop, 1);
    EXPECT_TRUE(on_top(&main));

    // The program's message window, shown for an alert's mail check.
    main.services().msg_box->show_message("Please check the SMTP server.", false);
    auto* box = main.findChild<frmMsgBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(on_top(box));
    box->close();

    // A confirmation (as for a rule that reboots) is kept above while it is open.
    bool confirmation_on_top = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* m = qobject_cast<QMessageBox*>(w); m != nullptr && m->isVisible()) {
                confirmation_on_top = on_top(m);
                m->reject();
            }
        }
    });
    main.services().dialogs.message_box({"This will reboot your computer.", "Warning", MsgButtons::ok_cancel,
                                         MsgIcon::error, true});
    EXPECT_TRUE(confirmation_on_top);

    // The program a rule runs: the main window steps back first, then the program starts.
    ASSERT_NE(dynamic_cast<ShellBeforeOpening*>(main.services().shell), nullptr)
        << "alerts open programs and files through the main window's shell";
    main.services().shell->run("/usr/bin/true", "");
    EXPECT_FALSE(on_top(&main)) << "the program would open under the main window";
    EXPECT_EQ(main.state().settings.AlwaysOnTop, 1) << "the setting itself is kept";
    // The user comes back to the main window: it stays on top again.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&main, &activate);
    EXPECT_TRUE(on_top(&main));

    // "Always on top" switched off: the main window and every open window of the program let go.
    main.services().msg_box->show_message("again", false);
    main.state().settings.AlwaysOnTop = 0;
    main.apply_window_style();
    EXPECT_FALSE(on_top(&main));
    EXPECT_FALSE(on_top(box));
    box->close();
    main.UnloadKVT();
}

}  // namespace
