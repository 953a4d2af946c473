#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QSettings>
#include <QStandardPaths>
#include <filesystem>

#include "platform/qt/desktop_palette.h"
#include "settings/qt/qt_settings_backend.h"
#include "settings/settings_store.h"
#include "settings/text_file.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

// Points the user's settings (and XDG_CONFIG_HOME) at a temporary folder for one test.
class QtSettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    QByteArray old_config = qgetenv("XDG_CONFIG_HOME");
    std::string config = dir.str() + "/config";
    std::string file = config + "/Kelvanto/Kelvanto.conf";
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;

    QtSettingsTest() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
        // QSettings keeps the folder it found first; tell it the test's folder explicitly.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config));
    }
    ~QtSettingsTest() override {
        if (old_config.isNull()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", old_config);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }

    // One program start: fresh state, settings loaded (and written back) from the real file.
    ProgramState run() {
        QtSettingsBackend store;
        Services services{tables, clock, dialogs};
        services.settings_store = &store;
        ProgramState state;
        state.found_adapters = 2;
        state.data_dir = dir.str() + "/";
        state.config_dir = config;
        state.program_path = "/usr/bin/kelvanto";
        load_settings(state, services);
        return state;
    }
};

TEST_F(QtSettingsTest, SettingsFileIsUnchangedByLaterRuns) {
    run();
    const std::string first = read_text_file(file).value_or("");
    ASSERT_EQ(first.rfind("[General]\n", 0), 0u) << first;
    run();
    EXPECT_EQ(read_text_file(file), first);

    {
        QtSettingsBackend store;
        store.write("Always on top", "0");
        store.write("Bandwidth Calc.", "4");
        store.write("frmHistoryColWidth(2,1)", "50");
        store.write("AdvItems", "1");
        store.write("FormItem(1).Name", "Week, so far = \"mine\"");
        store.write("FormItem(1).Type", "2");
        store.write("EmailPassword", "p;a#s s");
    }
    const ProgramState state = run();
    EXPECT_EQ(state.settings.AlwaysOnTop, 0);
    EXPECT_EQ(state.settings.BandwidthCalc, 4);
    EXPECT_EQ(state.settings.frmHistoryColWidth[1][0], 50);
    ASSERT_EQ(state.settings.custom_items.size(), 1u);
    EXPECT_EQ(state.settings.custom_items[0].Name, "Week, so far = \"mine\"");
    EXPECT_EQ(state.settings.EmailPassword, "p;a#s s");
    const std::string changed = read_text_file(file).value_or("");
    run();
    run();
    EXPECT_EQ(read_text_file(file), changed);
}

TEST_F(QtSettingsTest, ValuesOfOtherTypesAndBrokenFilesGiveDefaults) {
    std::filesystem::create_directories(config + "/Kelvanto");
    ASSERT_TRUE(replace_text_file(file, "[General]\nTransferUnit=1, 2\nGraphHeight=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                                        "ShowInfo=1\nClientName=@ByteArray(pc)\n"));
    ProgramState state = run();
    EXPECT_EQ(state.settings.TransferUnit, 11);
    EXPECT_EQ(state.settings.GraphHeight, 117);
    EXPECT_EQ(state.settings.ShowInfo, 1);
    EXPECT_EQ(state.settings.ClientName, "");
    EXPECT_EQ(QtSettingsBackend().read("TransferUnit"), "11") << "written back as a string";

    ASSERT_TRUE(replace_text_file(file, std::string("\x01\xff[[=\n\0\0garbage\n[General\nShowInfo", 30)));
    state = run();
    EXPECT_EQ(state.settings.ShowInfo, 2);
    EXPECT_EQ(state.settings.GraphBuffer, 1840);
}

TEST_F(QtSettingsTest, FrameColoursComeFromTheDesktopPalette) {
    const QColor dark = QGuiApplication::palette().color(QPalette::Active, QPalette::Dark);
    ASSERT_TRUE(desktop_dark_colour().has_value());
    EXPECT_EQ(*desktop_dark_colour(), static_cast<std::uint32_t>(dark.red() + 256 * dark.green() + 65536 * dark.blue()));
    EXPECT_TRUE(desktop_light_colour().has_value());
}

}  // namespace
