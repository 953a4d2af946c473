// The main window's keys on the real main window: a digit picks only an adapter whose
// interface is there, and every key says on screen what it changed.

#include <gtest/gtest.h>

#include <QTest>
#include <QToolTip>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "support/options_driver.h"

namespace {

TEST(MainWindowKeys, DigitsPickOnlyAdaptersThatAreThereAndEveryKeySaysWhatItChanged) {
    ProgramRun run;
    const std::string gone = "kvgone" + std::to_string(::getpid());
    std::filesystem::create_directories(run.data_dir() + "Stats");
    std::ofstream(run.data_dir() + "Stats/Adapters.txt") << "1 lo\n2 " << gone << "\n";
    run.preset("Adapter", "1");
    ASSERT_TRUE(run.start());
    frmMain& main = run.main();
    const Settings& s = main.state().settings;

    QTest::keyClick(&main, Qt::Key_2);
    EXPECT_EQ(s.Adapter, 1);
    EXPECT_EQ(QToolTip::text().toStdString(),
              "The interface of adapter 2 - " + gone + " is not present: still showing adapter 1 - lo");
    QTest::keyClick(&main, Qt::Key_9);
    EXPECT_EQ(QToolTip::text(), "There is no adapter 9");
    QTest::keyClick(&main, Qt::Key_0);
    EXPECT_EQ(s.Adapter, 0);
    EXPECT_EQ(QToolTip::text(), "Showing adapter 0 - Multiple adapters");
    EXPECT_EQ(run.stored("Adapter"), "0");

    QTest::keyClick(&main, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(QToolTip::text(), "Rates are the average of the last 2 seconds");
    QTest::keyClick(&main, Qt::Key_S);
    EXPECT_EQ(QToolTip::text(), "Soft graph lines off");
    QTest::keyClick(&main, Qt::Key_L);  // locked at 199 pixels by default
    EXPECT_EQ(QToolTip::text(), "Width free");
    QTest::keyClick(&main, Qt::Key_L);
    EXPECT_TRUE(QToolTip::text().startsWith("Width locked: the window is at least "));
}

}  // namespace
