#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

#include "core/program_state.h"
#include "core/qt/main_options_host.h"
#include "platform/services.h"
#include "settings/qt/frm_options.h"
#include "support/fakes.h"

namespace {

// A host that keeps a "stored" copy of the settings, as the settings file would.
struct FakeHost : OptionsHost {
    FakeInterfaceTable table;
    FakeClock clock;
    RecordingDialogs dialogs;
    Services services{table, clock, dialogs};
    ProgramState state;
    Settings stored;
    int previews = 0;
    int stores = 0;
    bool mail_ok = true;

    FakeHost() {
        table.add_interface(1, "lo");
        table.add_address(1, 127, 0, 0, 1);
        table.add_interface(2, "eth0");
        table.add_address(2, 10, 0, 0, 2);
        stored = state.settings;
    }
    OptionsView options_state() override { return options_view(state); }
    Services& options_services() override { return services; }
    void options_preview() override { ++previews; }
    void options_store() override {
        ++stores;
        stored = state.settings;
    }
    void options_discard() override { state.settings = stored; }
    MailField check_mail_settings() override { return mail_ok ? MailField::none : MailField::sender; }
};

QWidget* page(frmOptions& dlg, const QString& caption) {
    dlg.show_page(caption);
    return dlg.findChild<QStackedWidget*>()->currentWidget();
}

TEST(OptionsDialog, PagesComeInTreeOrder) {
    FakeHost host;
    frmOptions dlg(host, {});
    dlg.show_page(QStringLiteral("Reset"));
    EXPECT_EQ(dlg.current_page(), QStringLiteral("Reset"));
    dlg.show_page(QStringLiteral("E-mail"));
    EXPECT_EQ(dlg.current_page(), QStringLiteral("E-mail"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Settings"));
}

TEST(OptionsDialog, NumberBoxesDropEverythingButDigits) {
    FakeHost host;
    frmOptions dlg(host, {});
    dlg.show();
    QWidget* connection = page(dlg, QStringLiteral("Connection"));
    auto* box = connection->findChildren<QLineEdit*>().first();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("12a4"));
    EXPECT_EQ(box->text(), QStringLiteral("124"));
    EXPECT_EQ(host.state.settings.ConnectionCustom, 124);
    box->setText(QStringLiteral("9x9"));
    EXPECT_EQ(box->text(), QStringLiteral("99"));
    EXPECT_EQ(frmOptions::digits_only(QStringLiteral("-1.5e3")), QStringLiteral("153"));

    // An empty disk-write interval box means 1 minute.
    QWidget* logging = page(dlg, QStringLiteral("Logging"));
    for (QLineEdit* e : logging->findChildren<QLineEdit*>()) {
        if (e->text() == QLatin1String("1")) {
            e->clear();
            break;
        }
    }
    EXPECT_EQ(host.state.settings.LogWriteInt, 1);

    // A value the next start would read back as the default is not taken: the interval goes
    // to 999 minutes, a port from 1.
    QLineEdit* interval = nullptr;
    QLineEdit* port = nullptr;
    for (QLineEdit* e : logging->findChildren<QLineEdit*>()) {
        if (e->property("kelvanto_caption").toString() == QLatin1String("Diskwrite interval:")) interval = e;
        if (e->property("kelvanto_caption").toString() == QLatin1String("Port:")) port = e;
    }
    ASSERT_TRUE(interval && port);
    interval->setText(QStringLiteral("5000"));
    EXPECT_EQ(host.state.settings.LogWriteInt, 1);
    interval->setText(QStringLiteral("999"));
    EXPECT_EQ(host.state.settings.LogWriteInt, 999);
    const std::int32_t stored_port = host.state.settings.LocalPort;
    port->setText(QStringLiteral("70000"));
    EXPECT_EQ(host.state.settings.LocalPort, stored_port);
}

TEST(OptionsDialog, ChangesPreviewLiveApplyStaysOpenCancelRestores) {
    FakeHost host;
    frmOptions dlg(host, {});
    dlg.show();
    EXPECT_FALSE(dlg.apply_button()->isEnabled());
    QWidget* graph = page(dlg, QStringLiteral("Graph"));
    QRadioButton* bar = nullptr;
    for (QRadioButton* b : graph->findChildren<QRadioButton*>())
        if (b->text() == QLatin1String("Bar graph")) bar = b;
    ASSERT_NE(bar, nullptr);
    bar->click();
    EXPECT_EQ(host.state.settings.GraphType, 1);
    EXPECT_GT(host.previews, 0);
    EXPECT_TRUE(dlg.apply_button()->isEnabled());

    dlg.apply();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.apply_button()->isEnabled());
    EXPECT_EQ(host.stored.GraphType, 1);

    for (QRadioButton* b : graph->findChildren<QRadioButton*>())
        if (b->text() == QLatin1String("Line graph")) b->click();
    EXPECT_EQ(host.state.settings.GraphType, 0);
    dlg.cancel();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(host.state.settings.GraphType, 1);  // the stored type is back
}

TEST(OptionsDialog, FailedMailCheckKeepsTheDialogOpenAndStoresNothing) {
    FakeHost host;
    host.mail_ok = false;
    frmOptions dlg(host, {});
    dlg.show();
    dlg.ok();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(host.stores, 0);
    host.mail_ok = true;
    dlg.ok();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(host.stores, 1);
}

TEST(OptionsDialog, FillingTheControlsChangesNothing) {
    FakeHost host;
    host.state.settings.ConnectionType = 19;
    host.state.settings.ConnectionCustom = 300;
    host.state.settings.ConnectionSpeed = 300;
    const Settings before = host.state.settings;
    frmOptions dlg(host, {});
    dlg.fill();
    EXPECT_EQ(host.previews, 0);
    EXPECT_FALSE(dlg.apply_button()->isEnabled());
    EXPECT_EQ(host.state.settings.ConnectionSpeed, before.ConnectionSpeed);
    EXPECT_EQ(host.state.settings.GraphType, before.GraphType);
}

TEST(OptionsDialog, CustomDownstreamSpeedIsAtLeastOne) {
    FakeHost host;
    frmOptions dlg(host, {});
    dlg.show();
    QWidget* connection = page(dlg, QStringLiteral("Connection"));
    auto* types = connection->findChildren<QComboBox*>().first();
    types->setCurrentIndex(types->count() - 1);
    EXPECT_EQ(host.state.settings.ConnectionType, 19);
    EXPECT_EQ(host.state.settings.ConnectionSpeed, 1);
    types->setCurrentIndex(15);
    EXPECT_EQ(host.state.settings.ConnectionSpeed, 10240);
    EXPECT_EQ(host.state.settings.ConnectionSpeedUp, 10240);  // same as downstream
    types->setCurrentIndex(types->count() - 2);
    EXPECT_EQ(host.state.settings.ConnectionSpeed, 100 * 1024 * 1024);
    EXPECT_EQ(host.state.settings.ConnectionType, 25);
}

}  // namespace
