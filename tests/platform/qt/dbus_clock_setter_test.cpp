#include "platform/qt/dbus_clock_setter.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDateTime>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "support/temp_dir.h"

namespace {

// systemd-timedated's SetTime on a bus of the test's own: records each call, and refuses
// as polkit does until it is told to accept; answers `delay_ms` late, as while a password
// prompt waits. Lives in a thread of its own.
class FakeTimedated : public QDBusVirtualObject {
public:
    struct Call {
        qlonglong usec_utc;
        bool relative;
        bool interactive;
        bool may_ask;
    };
    std::atomic<bool> accept{false};
    std::atomic<int> delay_ms{0};

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
        QThread::msleep(static_cast<unsigned long>(delay_ms.load()));
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

    const auto ask = [](DBusClockSetter& setter, const UtcTime& t, bool interactive) {
        std::optional<ClockSetResult> got;
        setter.set_utc(t, interactive, [&got](const ClockSetResult& r) { got = r; });
        EXPECT_FALSE(got) << "answered before the service did";
        EXPECT_TRUE(QTest::qWaitFor([&got] { return got.has_value(); }, 20000));
        return got.value_or(ClockSetResult{});
    };
    {
        DBusClockSetter setter(address);
        const UtcTime t{2027, 3, 4, 5, 6, 7};
        // The service takes 8 seconds: the loop turns all the while, ten times a second.
        timedated->delay_ms = 8000;
        int turns = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&turns] { ++turns; });
        probe.start(100);
        const qint64 asked_at = QDateTime::currentMSecsSinceEpoch();
        const ClockSetResult refused = ask(setter, t, false);
        EXPECT_GE(turns, 70) << "the event loop stalled while the service worked";
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.reason, "Interactive authentication required.");
        timedated->delay_ms = 0;
        timedated->accept = true;
        EXPECT_TRUE(ask(setter, t, true).ok);

        const auto calls = timedated->calls();
        ASSERT_EQ(calls.size(), 2u);
        // 2027-03-04 05:06:07 UTC as a step from the clock when it was asked.
        EXPECT_NEAR(static_cast<double>(calls[0].usec_utc), (1804136767000.0 - static_cast<double>(asked_at)) * 1000, 5e6);
        EXPECT_TRUE(calls[0].relative);
        EXPECT_FALSE(calls[0].interactive);
        EXPECT_FALSE(calls[0].may_ask);
        EXPECT_TRUE(calls[1].interactive);
        EXPECT_TRUE(calls[1].may_ask);
    }
    // No service at all: refused with the bus's reason.
    service.unregisterService("org.freedesktop.timedate1");
    {
        DBusClockSetter setter(address);
        const ClockSetResult none = ask(setter, UtcTime{2027, 1, 1, 0, 0, 0}, false);
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
