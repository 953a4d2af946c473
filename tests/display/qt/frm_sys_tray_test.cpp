#include "display/qt/frm_sys_tray.h"

#include <QAction>
#include <QMenu>
#include <QToolTip>
#include <QWidget>
#include <gtest/gtest.h>

#include "core/program_state.h"
#include "measure/format.h"
#include "platform/locale.h"

namespace {

QRgb packed(std::uint32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A tray over a plain main window, recording what it asks that window to do.
struct TrayFixture : ::testing::Test {
    QWidget main_window;
    ProgramState state;
    EnglishLocale locale;
    std::vector<std::string> calls;
    std::unique_ptr<frmSysTray> tray;

    void SetUp() override {
        state.settings.Adapter = 1;
        TrayCallbacks cb;
        cb.minimise = [this] {
            calls.push_back("minimise");
            main_window.hide();
        };
        cb.save_window_position = [this] { calls.push_back("save position"); };
        cb.exit = [this] { calls.push_back("exit"); };
        cb.toggle_always_on_top = [this] { calls.push_back("always on top"); };
        tray = std::make_unique<frmSysTray>(&main_window, state, locale, cb);
    }
    QRgb at(int x, int y) const { return tray->picture().pixel(x, y) | 0xFF000000u; }
};

TEST_F(TrayFixture, PictureShowsTheBarsOnTheReal16x16Image) {
    state.settings.SysDl = 1;  // own scale, speed 0: 13 bytes/s fill the bar
    state.adapters[1].download_graph[0] = 13;
    tray->UpdateTrayIcon();
    const Settings& s = state.settings;
    ASSERT_EQ(tray->picture().size(), QSize(16, 16));
    EXPECT_EQ(at(4, 1), packed(static_cast<std::uint32_t>(s.SysTrayColorDownload)));
    EXPECT_EQ(at(4, 14), packed(static_cast<std::uint32_t>(s.SysTrayColorDownload)));
    EXPECT_EQ(at(10, 10), packed(static_cast<std::uint32_t>(s.SysTrayColorBackground)));
    EXPECT_EQ(at(0, 8), qRgb(255, 0, 255));
    EXPECT_EQ(at(1, 8), packed(s.ButtonShadow));
    EXPECT_EQ(at(7, 8), packed(s.ButtonHilight));
    EXPECT_EQ(at(13, 8), packed(s.ButtonHilight));
    EXPECT_EQ(at(14, 8), qRgb(255, 0, 255));
    EXPECT_FALSE(tray->icon().isNull());

    // The magenta margin is transparent in the icon.
    const QImage icon = tray->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(icon.pixel(0, 8)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(4, 8)), 255);

    // The next second without traffic: only background and frame.
    state.adapters[1].download_graph[0] = 0;
    tray->UpdateTrayIcon();
    EXPECT_EQ(at(4, 1), packed(static_cast<std::uint32_t>(s.SysTrayColorBackground)));
    EXPECT_EQ(at(4, 14), packed(static_cast<std::uint32_t>(s.SysTrayColorBackground)));
}

TEST_F(TrayFixture, GraphOffShowsTheProgramIconAndLeavesThePictureAlone) {
    state.settings.SysTrayGraph = 0;
    state.adapters[1].download_graph[0] = 1e6;
    tray->UpdateTrayIcon();
    EXPECT_EQ(tray->icon().pixmap(16, 16).toImage(), program_icon().pixmap(16, 16).toImage());
    EXPECT_EQ(at(4, 8), qRgb(255, 0, 255));

    // Switched back on, the icon is the picture again, and it follows the next change.
    state.settings.SysTrayGraph = 1;
    state.settings.SysDl = 1;
    state.adapters[1].download_graph[0] = 13;
    tray->UpdateTrayIcon();
    const QImage first = tray->icon().pixmap(16, 16).toImage();
    EXPECT_NE(first, program_icon().pixmap(16, 16).toImage());
    state.adapters[1].download_graph[0] = 0;
    tray->UpdateTrayIcon();
    EXPECT_NE(tray->icon().pixmap(16, 16).toImage(), first);
}

TEST_F(TrayFixture, TooltipHasTwoLinesAndTheIconGoesAtRemoval) {
    state.adapters[1].download_graph[0] = 1536;
    state.settings.TransferDec = 2;
    tray->UpdateTrayIcon();
    EXPECT_TRUE(tray->tooltip().endsWith(QStringLiteral("Kelvanto\nDL: 1.50KB/s  UL: 0B/s"))) << tray->tooltip().toStdString();
    EXPECT_TRUE(tray->icon_visible());

    // An open tooltip of the tray follows the rates; another window's tooltip is left alone.
    QToolTip::showText(QPoint(10, 10), tray->tooltip());
    ASSERT_TRUE(QToolTip::isVisible());
    state.adapters[1].download_graph[0] = 3072;
    tray->UpdateTrayIcon();
    EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral("DL: 3.00KB/s  UL: 0B/s"))) << QToolTip::text().toStdString();
    QToolTip::showText(QPoint(10, 10), QStringLiteral("another tooltip"));
    state.adapters[1].download_graph[0] = 0;
    tray->UpdateTrayIcon();
    EXPECT_EQ(QToolTip::text(), QStringLiteral("another tooltip"));
    QToolTip::hideText();
    tray->remove();
    EXPECT_FALSE(tray->icon_visible());
}

// The tooltip is made again only when what it shows changed: a setting it depends on
// changes it even while the rates stay the same.
TEST_F(TrayFixture, TooltipFollowsItsSettingsWhileTheRatesStand) {
    state.adapters[1].download_graph[0] = 1536;
    state.adapters[2].download_graph[0] = 2048;
    tray->UpdateTrayIcon();
    EXPECT_TRUE(tray->tooltip().endsWith("DL: 2KB/s  UL: 0B/s")) << tray->tooltip().toStdString();
    tray->UpdateTrayIcon();
    EXPECT_TRUE(tray->tooltip().endsWith("DL: 2KB/s  UL: 0B/s")) << tray->tooltip().toStdString();
    state.settings.TransferDec = 1;
    tray->UpdateTrayIcon();
    EXPECT_TRUE(tray->tooltip().endsWith("DL: 1.5KB/s  UL: 0B/s")) << tray->tooltip().toStdString();
    state.settings.Adapter = 2;
    tray->UpdateTrayIcon();
    EXPECT_TRUE(tray->tooltip().endsWith("DL: 2.0KB/s  UL: 0B/s")) << tray->tooltip().toStdString();
    state.settings.TransferUnit = kUnitBytes;
    tray->UpdateTrayIcon();
    EXPECT_TRUE(tray->tooltip().endsWith("DL: 2048B/s  UL: 0B/s")) << tray->tooltip().toStdString();
    state.settings.SysTrayToolTip = 0;
    tray->UpdateTrayIcon();
    EXPECT_EQ(tray->tooltip(), "Kelvanto");
}

TEST_F(TrayFixture, LeftClickRestoresAHiddenWindowAndHidesAShownOne) {
    main_window.hide();
    tray->SysTray_Click(513);
    EXPECT_TRUE(main_window.isVisible());
    EXPECT_TRUE(calls.empty());
    tray->SysTray_Click(513);
    EXPECT_EQ(calls, std::vector<std::string>{"minimise"});
    EXPECT_FALSE(main_window.isVisible());
    // Other messages are ignored.
    tray->SysTray_Click(512);
    tray->SysTray_Click(514);
    EXPECT_FALSE(main_window.isVisible());
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(TrayFixture, MenuEntriesAndTheRestoreOrHideCaption) {
    QStringList texts;
    for (QAction* a : tray->menu()->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList{"&Restore", "", "&Settings...", "", "&History...", "", "&About...", "",
                                  "Always on top", "", "E&xit"}));

    main_window.hide();
    tray->popup_menu(QPoint(10, 10), false);
    EXPECT_EQ(tray->restore_action()->text(), "&Restore");
    EXPECT_EQ(tray->menu()->defaultAction(), tray->restore_action());
    EXPECT_FALSE(tray->always_on_top_action()->isVisible());
    tray->menu()->hide();

    // From the main window: always "Hide", with the checked "Always on top" entry.
    main_window.show();
    tray->popup_menu(QPoint(10, 10), true);
    EXPECT_EQ(tray->restore_action()->text(), "Hide");
    EXPECT_TRUE(tray->always_on_top_action()->isVisible());
    EXPECT_TRUE(tray->always_on_top_action()->isChecked());
    tray->menu()->hide();

    // "Hide" saves the position before hiding.
    tray->restore_action()->trigger();
    EXPECT_EQ(calls, (std::vector<std::string>{"save position", "minimise"}));
    // "&Restore" behaves as a left click.
    tray->popup_menu(QPoint(10, 10), false);
    tray->menu()->hide();
    tray->restore_action()->trigger();
    EXPECT_TRUE(main_window.isVisible());

    tray->always_on_top_action()->trigger();
    tray->menu()->actions().back()->trigger();
    EXPECT_EQ(calls.back(), "exit");
    EXPECT_EQ(calls[calls.size() - 2], "always on top");
}

}  // namespace
