// The Time Sync page on the real main window: a typed server is asked, and what comes of it
// is told in the program's own message window over the dialog.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "alerts/qt/frm_msg_box.h"
#include "net/qt/time_sync_page.h"
#include "support/options_driver.h"

namespace {

// A Time Protocol server on the loopback address: four bytes of seconds since 1900 (the time
// now plus `ahead` seconds), then the connection closes.
class TimeServer {
public:
    qint64 ahead = 0;
    TimeServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                const auto seconds = static_cast<quint32>(QDateTime::currentSecsSinceEpoch() + ahead + 2208988800LL);
                const char bytes[4] = {char(seconds >> 24), char(seconds >> 16), char(seconds >> 8), char(seconds)};
                s->write(bytes, 4);
                s->disconnectFromHost();
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    void stop() { server_.close(); }

private:
    QTcpServer server_;
};

// Where the time synchronisation connects: the server typed in the box, on the test
// server's port. Put back as the test program had it.
class TimePortOnly {
public:
    explicit TimePortOnly(quint16 port) : host_(qgetenv("KELVANTO_TIME_HOST")), port_(qgetenv("KELVANTO_TIME_PORT")) {
        qunsetenv("KELVANTO_TIME_HOST");
        qputenv("KELVANTO_TIME_PORT", QByteArray::number(port));
    }
    ~TimePortOnly() {
        qputenv("KELVANTO_TIME_HOST", host_);
        qputenv("KELVANTO_TIME_PORT", port_);
    }

private:
    QByteArray host_;
    QByteArray port_;
};

int message_windows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible() && (qobject_cast<QMessageBox*>(w) || qobject_cast<frmMsgBox*>(w));
    return n;
}

TEST(TimeSyncPage, ATypedServerIsAskedAndFailuresShowInTheProgramsMessageWindow) {
    TimeServer server;
    TimePortOnly redirect(server.port());
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();

    auto* servers = control<QComboBox>(dlg, "Time Sync", "Time server:");
    ASSERT_NE(servers, nullptr);
    ASSERT_TRUE(servers->isEditable());
    servers->lineEdit()->clear();
    QTest::keyClicks(servers->lineEdit(), "127.0.0.1");
    EXPECT_EQ(servers->currentText(), "127.0.0.1");
    EXPECT_TRUE(dlg.apply_button()->isEnabled()) << "typing is a change";
    auto* sync = control<QPushButton>(dlg, "Time Sync", "&Sync");
    ASSERT_NE(sync, nullptr);
    auto* box = run.main().findChild<frmMsgBox*>();
    ASSERT_NE(box, nullptr);

    // The typed server answers; this test may not set the clock, and the message window over
    // the dialog says so.
    QStringList blocking = answering({}, [&] {
        sync->click();
        eventually([&] { return box->isVisible(); });
    });
    ASSERT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().startsWith("The clock could not be set: ")) << box->text().toStdString();
    EXPECT_EQ(box->windowTitle(), "Error");
    EXPECT_EQ(box->parentWidget(), &dlg);
    EXPECT_EQ(sync->text(), "&Sync");
    // The page keeps the last success and tells below it why this attempt failed.
    auto* result = dlg.findChild<TimeSyncPage*>()->result_line();
    EXPECT_EQ(result->text().section('\n', 0, 0), "Last synchronization: n/a");
    EXPECT_EQ(result->text().section('\n', 1), box->text());
    box->accept();

    // A time a week ahead of the clock is set only when the user agrees; here they do not.
    server.ahead = 7 * 86400;
    const QStringList asked = answering({QMessageBox::No}, [&] {
        sync->click();
        eventually([&] { return sync->text() == "&Sync"; });
    });
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].endsWith(", 7 days ahead of this computer's clock. Set the clock to it?")) << asked[0].toStdString();
    EXPECT_EQ(result->text().section('\n', 1), "The clock was not set.");

    // The server is gone: the error shows in the same window with its reason, never twice.
    server.stop();
    blocking += answering({}, [&] {
        sync->click();
        eventually([&] { return box->isVisible(); });
    });
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "An error occured while syncronizing.\nConnection refused");
    EXPECT_EQ(result->text().section('\n', 1), box->text());
    EXPECT_EQ(box->parentWidget(), &dlg);
    blocking += answering({}, [&] {
        sync->click();
        QTest::qWait(500);
    });
    EXPECT_TRUE(blocking.isEmpty()) << blocking.join(" | ").toStdString();
    EXPECT_EQ(message_windows(), 1);
    box->accept();

    // The typed server is stored, and shown again when the dialog opens next.
    dlg.ok();
    EXPECT_EQ(run.stored("SyncHost"), "127.0.0.1");
    EXPECT_EQ(control<QComboBox>(run.options(), "Time Sync", "Time server:")->currentText(), "127.0.0.1");
    run.options().cancel();
}

}  // namespace
