#include <gtest/gtest.h>

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStackedWidget>
#include <QTest>
#include <future>

#include "net/qt/metrics_server.h"
#include "settings/qt/options_page.h"
#include "support/loopback_listener.h"
#include "support/net_namespace.h"
#include "support/options_driver.h"

namespace {

QLineEdit* metrics_box(frmOptions& dlg, const QString& caption) {
    dlg.show_page(QStringLiteral("Metrics"));
    for (QFormLayout* form : dlg.findChild<QStackedWidget*>()->currentWidget()->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* box = form->itemAt(row, QFormLayout::FieldRole);
            auto* l = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
            if (l && box && l->text() == caption) return qobject_cast<QLineEdit*>(box->widget());
        }
    }
    return nullptr;
}

// Asks the endpoint from another thread while this one runs the program's event loop.
HttpExchange ask(int port, const std::string& request) {
    auto answer = std::async(std::launch::async, [port, request] {
        return http_exchange("127.0.0.1", port, request, 5000);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                10000));
    return answer.get();
}

// The user types a port on the "Metrics" page under Logging and applies: the running
// program answers on it and the port is stored; an address that is not one is refused on
// the page; port 0 switches the endpoint off again.
TEST(MetricsPage, APortTypedAndAppliedIsServedAtOnce) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    EXPECT_FALSE(main.metrics().listening());
    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);

    const int port = free_local_port();
    ASSERT_GT(port, 0);
    QLineEdit* port_box = metrics_box(*dlg, "Port:");
    QLineEdit* address_box = metrics_box(*dlg, "Address:");
    ASSERT_NE(port_box, nullptr);
    ASSERT_NE(address_box, nullptr);
    EXPECT_EQ(port_box->text(), "0");
    EXPECT_EQ(address_box->text(), "127.0.0.1");
    port_box->setText(QString::number(port));
    EXPECT_FALSE(main.metrics().listening()) << "the endpoint follows the stored settings, not the typing";
    dlg->apply();
    EXPECT_TRUE(dlg->isVisible());

    const HttpExchange served = ask(port, http_get("/metrics"));
    EXPECT_EQ(served.response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << served.response;
    EXPECT_NE(served.response.find("\nkelvanto_build_info{version=\"" KELVANTO_VERSION "\"} 1\n"), std::string::npos);
    const QString conf = QString::fromStdString(dir.str() + "/config/Kelvanto/Kelvanto.conf");
    EXPECT_EQ(QSettings(conf, QSettings::IniFormat).value("MetricsPort").toString(), QString::number(port));

    // A host name is not an address to listen on: Apply keeps the page open and says why.
    address_box->setText("metrics.example.org");
    dlg->apply();
    EXPECT_EQ(dlg->current_page(), "Metrics");
    bool said = false;
    for (QLabel* l : dlg->page("Metrics")->findChildren<QLabel*>())
        said = said || l->text().contains("\"metrics.example.org\" is not an IP address");
    EXPECT_TRUE(said);
    EXPECT_EQ(QSettings(conf, QSettings::IniFormat).value("MetricsAddress").toString(), "127.0.0.1");

    address_box->setText("127.0.0.1");
    port_box->setText("0");
    dlg->ok();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(main.metrics().listening());
    EXPECT_FALSE(ask(port, http_get("/metrics")).connected);
    main.UnloadKVT();
}

// A port another program holds: the page says the endpoint does not serve, and once the
// port is free the program takes it by itself and the page says where Prometheus scrapes.
TEST(MetricsPage, APortInUseIsShownAsNotServingUntilItIsFree) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    auto taken = std::make_unique<Listener>();
    const QString port = QString::number(taken->port);
    metrics_box(*dlg, "Port:")->setText(port);
    dlg->apply();
    const auto shows = [&](const QString& text) { return page_text(*dlg, "Metrics").contains("\n" + text); };
    EXPECT_TRUE(shows("Not serving: port " + port + " on 127.0.0.1 cannot be opened ("));
    taken.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows("Prometheus scrapes http://127.0.0.1:" + port + "/metrics"); },
                                kMetricsListenRetryMs + 3000));
    EXPECT_EQ(ask(port.toInt(), http_get("/metrics")).response.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    dlg->cancel();
    main.UnloadKVT();
}

}  // namespace
