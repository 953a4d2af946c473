// The Logging and Reset pages on the real main window: the minutely log is switched and
// cleared when the user says so, and the two pages agree about it.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <filesystem>

#include "support/options_driver.h"

namespace {

// The minutely files in the data folder ("Stats/DbMin/*.dat").
int minutely_files(const std::string& data_dir) {
    const std::filesystem::path folder = data_dir + "Stats/DbMin";
    if (!std::filesystem::exists(folder)) return 0;
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.path().extension() == ".dat";
    return n;
}

TEST(ResetPage, ResetMinutelyLogsWithLoggingSwitchedOffStaysOffAfterOk) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    ASSERT_GT(minutely_files(run.data_dir()), 0);
    frmOptions& dlg = run.options();
    auto* minute_logging = control<QCheckBox>(dlg, "Logging", "Minutely logging");
    auto* reset = control<QPushButton>(dlg, "Reset", "R&eset minutely logs");
    ASSERT_TRUE(minute_logging->isChecked());
    ASSERT_TRUE(reset->isEnabled());

    const QStringList asked = answering({QMessageBox::Ok, QMessageBox::Yes}, [&] { reset->click(); });
    EXPECT_EQ(asked, (QStringList{"This will clear the minutely logs.", "Do you also want to disable minutely logging?"}));
    EXPECT_EQ(minutely_files(run.data_dir()), 0);
    EXPECT_FALSE(minute_logging->isChecked());
    EXPECT_FALSE(reset->isEnabled());
    EXPECT_EQ(run.stored("MinuteLogging"), "0");  // at once, not only with OK

    EXPECT_TRUE(answering({}, [&] { dlg.ok(); }).isEmpty());
    EXPECT_EQ(run.stored("MinuteLogging"), "0");
    ASSERT_TRUE(run.restart());
    EXPECT_EQ(run.main().state().settings.MinuteLogging, 0);
    EXPECT_FALSE(control<QCheckBox>(run.options(), "Logging", "Minutely logging")->isChecked());
    EXPECT_EQ(minutely_files(run.data_dir()), 0);
}

TEST(LoggingPage, MinutelyLoggingSwitchesAtOnceAndLeadsTheResetButton) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    auto* minute_logging = control<QCheckBox>(dlg, "Logging", "Minutely logging");
    auto* reset = control<QPushButton>(dlg, "Reset", "R&eset minutely logs");

    // Off, keeping the files: asked at once, stored at once; the files can still be cleared.
    QStringList asked = answering({QMessageBox::No}, [&] { minute_logging->click(); });
    EXPECT_EQ(asked, QStringList{"Do you also want to delete the minutely logs?"});
    EXPECT_EQ(run.stored("MinuteLogging"), "0");
    EXPECT_GT(minutely_files(run.data_dir()), 0);
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_TRUE(dlg.apply_button()->isEnabled());

    // On again, then off deleting the files: nothing is left to clear.
    EXPECT_TRUE(answering({}, [&] { minute_logging->click(); }).isEmpty());
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_EQ(run.main().state().settings.MinuteLogging, 1);
    asked = answering({QMessageBox::Yes}, [&] { minute_logging->click(); });
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(minutely_files(run.data_dir()), 0);
    EXPECT_FALSE(reset->isEnabled());

    // Switching off was stored at once: Cancel keeps it off.
    EXPECT_TRUE(answering({}, [&] { dlg.cancel(); }).isEmpty());
    EXPECT_EQ(run.main().state().settings.MinuteLogging, 0);
    ASSERT_TRUE(run.restart());
    EXPECT_EQ(run.main().state().settings.MinuteLogging, 0);
}

}  // namespace
