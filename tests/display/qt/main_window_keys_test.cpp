// The main window's keys: a digit picks only an adapter whose interface is there, and every
// key says over the window what it changed.

#include <gtest/gtest.h>

#include <QTest>
#include <QToolTip>
#include <filesystem>
#include <fstream>

#include "support/options_driver.h"

namespace {

TEST(MainWindowKeys, DigitsPickOnlyAdaptersThatAreThereAndEveryKeySaysWhatItChanged) {
    ProgramRun run;
    std::filesystem::create_directories(run.data_dir() + "Stats");
    std::ofstream(run.data_dir() + "Stats/Adapters.txt") << "1 lo\n2 kvgone\n";
    run.preset("Adapter", "1");
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    const auto press = [&main](int key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(&main, key, mods);
        return QToolTip::text();
    };
    EXPECT_EQ(press(Qt::Key_2), "The interface of adapter 2 - kvgone is not present: still showing adapter 1 - lo");
    EXPECT_EQ(main.state().settings.Adapter, 1);
    EXPECT_EQ(press(Qt::Key_9), "There is no adapter 9");
    EXPECT_EQ(press(Qt::Key_0), "Showing adapter 0 - Multiple adapters");
    EXPECT_EQ(run.stored("Adapter"), "0");
    EXPECT_EQ(press(Qt::Key_Plus, Qt::KeypadModifier), "Rates are the average of the last 2 seconds");
    EXPECT_EQ(press(Qt::Key_L), "Width free");  // locked at 199 pixels by default
}

}  // namespace
