#include "platform/qt/dbus_clock_setter.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <atomic>
#include <mutex>
#include <vector>

#include "support/temp_dir.h"

namespace {

// systemd-timedated's SetTime on a bus of the test's own: records each call, and refuses
// as polkit does until it is told to accept. Lives in a thread of its own, since the setter
// waits for the answer.
class FakeTimedated : public QDBusVirtualObject {
public:
    struct Call {
        qlonglong usec_utc;
        bool relative;
        bool interactive;
        bool may_ask;
    };
    std::atomic<bool> accept{false};

    std::vector<Call> calls() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
        if (m.interface() != "org.freedesktop.timedate1" || m.member() != "SetTime" || m.arguments().size() != 3) return false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back({m.arguments()[0].toLongLong(), m.arguments()[1].toBool(), m.arguments()[2].toBool(),
                              m.isInteractiveAuthorizationAllowed()});
        }
        bus.send(accept ? m.createReply()
                        : m.createErrorReply("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                                             "Interactive authentication required."));
        return true;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

// A private message bus started by the test, and the fake service on it.
TEST(DBusClockSetter, AsksTimedatedForAnAbsoluteTimeAndReportsItsRefusal) {
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    TempDir dir;
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--print-address=1",
                       "--address=unix:path=" + QString::fromStdString(dir.str()) + "/bus"});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();

    QDBusConnection service = QDBusConnection::connectToBus(address, "fake-timedated");
    ASSERT_TRUE(service.isConnected()) << service.lastError().message().toStdString();
    QThread thread;
    auto* timedated = new FakeTimedated;
    timedated->moveToThread(&thread);
    thread.start();
    ASSERT_TRUE(service.registerVirtualObject("/org/freedesktop/timedate1", timedated));
    ASSERT_TRUE(service.registerService("org.freedesktop.timedate1"));

    {
        DBusClockSetter setter(address);
        const UtcTime t{2027, 3, 4, 5, 6, 7};
        const ClockSetResult refused = setter.set_utc(t, false);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.reason, "Interactive authentication required.");
        timedated->accept = true;
        EXPECT_TRUE(setter.set_utc(t, true).ok);

        const auto calls = timedated->calls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].usec_utc, 1804136767LL * 1000000);  // 2027-03-04 05:06:07 UTC
        EXPECT_FALSE(calls[0].relative);
        EXPECT_FALSE(calls[0].interactive);
        EXPECT_FALSE(calls[0].may_ask);
        EXPECT_TRUE(calls[1].interactive);
        EXPECT_TRUE(calls[1].may_ask);
    }
    // No service at all: refused with the bus's reason.
    service.unregisterService("org.freedesktop.timedate1");
    {
        DBusClockSetter setter(address);
        const ClockSetResult none = setter.set_utc(UtcTime{2027, 1, 1, 0, 0, 0}, false);
        EXPECT_FALSE(none.ok);
        EXPECT_FALSE(none.reason.empty());
    }
    service.unregisterObject("/org/freedesktop/timedate1");
    QDBusConnection::disconnectFromBus("fake-timedated");
    thread.quit();
    thread.wait();
    delete timedated;
    bus.kill();
    bus.waitForFinished(5000);
}

}  // namespace
