#include <QApplication>
#include <gtest/gtest.h>

// Widget tests run with one QApplication on the offscreen platform; a test that must see a
// real X server runs this program again there (KELVANTO_TEST_PLATFORM=xcb).
int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("KELVANTO_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    // A main window made by a test never reaches a real update or time server, and never
    // sets the real clock: port 9 on the loopback address refuses.
    qputenv("KELVANTO_UPDATE_HOST", "127.0.0.1");
    qputenv("KELVANTO_UPDATE_PORT", "9");
    qputenv("KELVANTO_TIME_HOST", "127.0.0.1");
    qputenv("KELVANTO_TIME_PORT", "9");
    qputenv("KELVANTO_CLOCK_READONLY", "1");
    // Nor does it meet the user's own keyring: there is no session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kelvanto-test-bus");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
