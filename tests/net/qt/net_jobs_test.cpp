#include "core/program_state.h"
#include "net/qt/net_jobs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/date.h"
#include "net/program_version.h"
#include "net/remote_report.h"
#include "net/update_check.h"
#include "platform/clock_setter.h"
#include "support/fakes.h"

namespace {

bool wait_until(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A peer on 127.0.0.1 that hands every accepted connection to `on_accept`.
class Peer {
public:
    explicit Peer(std::function<void(QTcpSocket*)> on_accept) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this, on_accept] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                ++accepted;
                clients.push_back(s);
                on_accept(s);
            }
        });
    }
    int port() const { return server.serverPort(); }
    QTcpServer server;
    int accepted = 0;
    std::vector<QTcpSocket*> clients;
};

// A port on 127.0.0.1 where nothing listens.
int refusing_port() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const int port = s.serverPort();
    s.close();
    return port;
}

// A clock setter that records what it was asked and answers as told.
class RecordingSetter : public ClockSetter {
public:
    explicit RecordingSetter(bool accepts = true, std::string refusal = {})
        : accepts_(accepts), refusal_(std::move(refusal)) {}
    std::vector<UtcTime> requests;
    std::vector<bool> interactive;
    void answer(bool accepts) { accepts_ = accepts; }
    void set_utc(const UtcTime& t, bool asks_user, ClockSetDone done) override {
        requests.push_back(t);
        interactive.push_back(asks_user);
        done(accepts_ ? ClockSetResult::done() : ClockSetResult::refused(refusal_));
    }

private:
    bool accepts_;
    std::string refusal_;
};

// A Time Protocol answer for `days` after the program's build day, at noon UTC.
QByteArray answer_after_build(int days) {
    const double day = program_build_date() + days;
    const auto seconds = static_cast<std::uint64_t>((static_cast<std::int64_t>(day) - day_number(1900, 1, 1)) * 86400 + 43200);
    QByteArray a(4, '\0');
    for (int k = 0; k < 4; ++k) a[k] = static_cast<char>((seconds >> (8 * (3 - k))) & 0xFF);
    return a;
}

// A time server on 127.0.0.1 that answers every connection with `answer` and closes.
struct TimePeer {
    explicit TimePeer(QByteArray answer)
        : peer([answer](QTcpSocket* s) {
              s->write(answer);
              s->disconnectFromHost();
          }) {}
    Peer peer;
};

class RecordingWriter : public SettingWriter {
public:
    std::vector<std::string> written;
    void write_setting(const std::string& name) override { written.push_back(name); }
};

class RecordingView : public TimeSyncView {
public:
    std::vector<std::string> captions, results, messages;
    void show_caption(const std::string& c) override { captions.push_back(c); }
    void show_result(const std::string& t) override { results.push_back(t); }
    void show_message(const std::string& t) override { messages.push_back(t); }
    void ask_to_set(const std::string&) override {}
};

class NetJobsTest : public ::testing::Test {
protected:
    ProgramState state;
    FakeClock clock;
    RecordingSetter setter;
    RecordingWriter writer;
    EnglishLocale locale;
    QWidget main_window;
    std::vector<QUrl> opened;

    NetJobsTest() { clock.value = program_build_date() + 1.5; }  // as answer_after_build(1)

    std::unique_ptr<NetJobs> make(const NetOverrides& o) {
        auto jobs = std::make_unique<NetJobs>(state, clock, locale, &writer, &main_window, o);
        jobs->set_clock_setter(&setter);
        jobs->open_url = [this](const QUrl& url) { opened.push_back(url); };
        return jobs;
    }
    NetOverrides time_at(int port) {
        NetOverrides o;
        o.time_host = QStringLiteral("127.0.0.1");
        o.time_port = port;
        return o;
    }
    NetOverrides update_at(int port) {
        NetOverrides o;
        o.update_host = QStringLiteral("127.0.0.1");
        o.update_port = port;
        return o;
    }
};

TEST_F(NetJobsTest, TimeServerAnswerSetsTheClock) {
    TimePeer time(answer_after_build(1));
    auto jobs = make(time_at(time.peer.port()));
    state.settings.SyncAuto = 1;
    jobs->cycle_check();
    ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy; }));
    ASSERT_EQ(setter.requests.size(), 1u);
    const CivilDate day = civil_date(program_build_date() + 1);
    EXPECT_EQ(setter.requests[0].year, day.year);
    EXPECT_EQ(setter.requests[0].day, day.day);
    EXPECT_EQ(setter.requests[0].hour, 12);
    EXPECT_EQ(setter.requests[0].second, 0);
    EXPECT_EQ(setter.interactive, std::vector<bool>{false});
    EXPECT_EQ(state.settings.SyncTxt.rfind("Last synchronization: ", 0), 0u) << state.settings.SyncTxt;
    EXPECT_EQ(writer.written, (std::vector<std::string>{"SyncTxt", "SyncLast"}));
}

TEST_F(NetJobsTest, BadTimeServersNeverSetTheClock) {
    // Refused everywhere: the retry pass runs through the list once and stops.
    {
        auto jobs = make(time_at(refusing_port()));
        state.settings.SyncAuto = 1;
        state.settings.SyncSrv = 12;
        jobs->cycle_check();
        ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy && !state.time_sync.retrying; }, 20000));
        EXPECT_EQ(state.time_sync.pass_tries, 13);
    }
    // A reset after two bytes, and a server that floods without closing.
    Peer reset([](QTcpSocket* s) {
        s->write("\xe9\x3c", 2);
        s->flush();
        s->abort();
    });
    Peer flood([](QTcpSocket* s) { s->write(QByteArray(1 << 20, '\x7f')); });
    for (int port : {reset.port(), flood.port()}) {
        state.time_sync = TimeSyncState{};
        auto jobs = make(time_at(port));
        jobs->cycle_check();
        ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy; }));
        EXPECT_LE(state.time_sync.receive_buffer.size(), kTimeAnswerLimit);
        pump(50);
    }
    EXPECT_TRUE(setter.requests.empty());
    EXPECT_EQ(state.settings.SyncTxt, "Last synchronization: n/a");
}

// Where the process may not set the clock it asks the system's time service. When both
// refuse, the failure is told with both reasons, no success is stored and the automatic
// attempts back off; a manual run lets the service ask the user, and once the service sets
// the clock the success is stored.
TEST_F(NetJobsTest, ARefusedClockIsAFailureUntilTheTimeServiceSetsIt) {
    TimePeer time(answer_after_build(1));
    RecordingSetter own(false, "Operation not permitted");
    RecordingSetter service(false, "Interactive authentication required.");
    FallbackClockSetter chain(own, &service);
    auto jobs = make(time_at(time.peer.port()));
    jobs->set_clock_setter(&chain);
    RecordingView view;
    jobs->set_sync_view(&view);
    const std::string failure =
        "The clock could not be set: Operation not permitted; Interactive authentication required.";

    state.settings.SyncAuto = 1;
    jobs->cycle_check();
    ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy; }));
    EXPECT_EQ(view.results, std::vector<std::string>{failure});
    EXPECT_EQ(state.time_sync.last_failure, failure);
    EXPECT_EQ(state.settings.SyncTxt, "Last synchronization: n/a");
    EXPECT_FALSE(state.settings.SyncLast);
    EXPECT_TRUE(writer.written.empty());
    EXPECT_EQ(service.interactive, std::vector<bool>{false});
    // Still due, but not again the next second: the wait doubles with each failure.
    jobs->cycle_check();
    EXPECT_FALSE(state.time_sync.busy);
    clock.advance_seconds(kSyncRetryFirstSeconds);
    jobs->cycle_check();
    ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy; }));
    EXPECT_EQ(state.time_sync.auto_failures, 2);
    clock.advance_seconds(kSyncRetryFirstSeconds);
    jobs->cycle_check();
    EXPECT_FALSE(state.time_sync.busy);

    // The user's own request may ask for a password; refused, it says why.
    jobs->sync_button("time.example.test");
    ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy; }));
    EXPECT_EQ(view.messages, std::vector<std::string>{failure});
    EXPECT_EQ(service.interactive.back(), true);
    EXPECT_FALSE(state.settings.SyncLast);

    service.answer(true);
    jobs->sync_button("time.example.test");
    ASSERT_TRUE(wait_until([&] { return !state.time_sync.busy; }));
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(state.settings.SyncTxt.rfind("Last synchronization: ", 0), 0u) << state.settings.SyncTxt;
    EXPECT_TRUE(state.settings.SyncLast);
    EXPECT_EQ(writer.written, (std::vector<std::string>{"SyncTxt", "SyncLast"}));
    EXPECT_EQ(state.time_sync.last_failure, "");
    EXPECT_EQ(own.requests.size(), 4u);
    EXPECT_EQ(service.requests.size(), 4u);
}

// The login frame is Windows-1252 with a character count, whatever the names hold.
TEST_F(NetJobsTest, LoginFrameIsSentInWindows1252) {
    QByteArray received;
    Peer peer([&](QTcpSocket* s) { QObject::connect(s, &QTcpSocket::readyRead, [&, s] { received += s->readAll(); }); });
    state.settings.RemoteIP = "127.0.0.1";
    state.settings.RemotePort = peer.port();
    state.settings.RemotePassword = "M\xc3\xbcller";         // Müller
    state.settings.ClientName = "\xc5\x81\xc3\xb3" "d\xc5\xba";  // Łódź: Ł and ź are not in the code page
    state.settings.LocalPort = 1888;
    auto jobs = make(NetOverrides{});
    jobs->start_report();
    const QByteArray expected("KVT Client 1.29\r\n\x02\r\n20\r\nM\xfcller\r\n?\xf3" "d?\r\n1888\r\n");
    ASSERT_TRUE(wait_until([&] { return received.size() >= expected.size(); }));
    pump(50);
    EXPECT_EQ(received.toHex(' '), expected.toHex(' '));
}

TEST_F(NetJobsTest, RemoteReportLogsInAndClosesOnlyOnAWrongBanner) {
    QByteArray received;
    bool peer_saw_close = false;
    Peer peer([&](QTcpSocket* s) {
        QObject::connect(s, &QTcpSocket::readyRead, [&, s] { received += s->readAll(); });
        QObject::connect(s, &QTcpSocket::disconnected, [&] { peer_saw_close = true; });
    });
    state.settings.RemoteIP = "127.0.0.1";
    state.settings.RemotePort = peer.port();
    state.settings.RemotePassword = "pw";
    state.settings.ClientName = "";
    state.settings.LocalPort = 1888;
    auto jobs = make(NetOverrides{});
    jobs->start_report();
    const QByteArray expected("KVT Client 1.29\r\n\x02\r\n12\r\npw\r\n\r\n1888\r\n");
    ASSERT_TRUE(wait_until([&] { return received.size() >= expected.size(); }));
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(state.remote_report.in_progress);

    const QByteArray banner = QByteArray::fromStdString(server_banner(program_version()));
    QTcpSocket* server_side = peer.clients.at(0);
    server_side->write(banner + "\r\n\x01\r\n3\r\n7\r\n");
    server_side->write(banner + QByteArray("\r\n\x00\r\n0\r\n", 9));
    pump(200);
    EXPECT_FALSE(peer_saw_close);
    EXPECT_TRUE(state.remote_report.in_progress);
    jobs->start_report();
    pump(100);
    EXPECT_EQ(peer.accepted, 1) << "no second report while one is open";

    server_side->write("KVT Server 0.01\r\n\x01\r\n0\r\n");
    ASSERT_TRUE(wait_until([&] { return peer_saw_close; }));
    EXPECT_FALSE(state.remote_report.in_progress);

    // The server closing ends the report too, and the next start connects again.
    jobs->start_report();
    ASSERT_TRUE(wait_until([&] { return peer.accepted == 2 && peer.clients.size() == 2; }));
    peer.clients.at(1)->disconnectFromHost();
    ASSERT_TRUE(wait_until([&] { return !state.remote_report.in_progress; }));
}

// Silent report and update servers: each try ends at its time limit and the next follows.
TEST_F(NetJobsTest, SilentPeersAreLeftAndTriedAgain) {
    Peer silent([](QTcpSocket*) {});
    Peer drip([](QTcpSocket* s) { s->write("HTTP/1.1 200 OK\r\n"); });
    const auto closed = [](Peer& p) { return !p.clients.empty() && p.clients[0]->state() == QAbstractSocket::UnconnectedState; };
    state.settings.RemoteIP = "127.0.0.1";
    state.settings.RemotePort = silent.port();
    state.settings.CheckForUpdate = 1;
    auto jobs = make(update_at(drip.port()));
    jobs->start_report();
    jobs->start_update_check();
    ASSERT_TRUE(wait_until([&] { return silent.accepted == 1 && drip.accepted == 1; }));
    clock.advance_seconds(60);
    jobs->start_report();
    jobs->cycle_check();
    EXPECT_TRUE(wait_until([&] { return closed(silent) && silent.accepted == 2 && closed(drip); }));
    clock.advance_seconds(kUpdateRetrySeconds);
    jobs->cycle_check();
    EXPECT_TRUE(wait_until([&] { return drip.accepted == 2; }));
}

TEST_F(NetJobsTest, RemoteReportToNobodyClearsTheSlot) {
    state.settings.RemoteIP = "127.0.0.1";
    state.settings.RemotePort = refusing_port();
    auto jobs = make(NetOverrides{});
    jobs->start_report();
    EXPECT_TRUE(state.remote_report.in_progress);
    ASSERT_TRUE(wait_until([&] { return !state.remote_report.in_progress; }));
}

// An HTTP peer that records the request and answers with `reply` once it is complete.
struct UpdatePeer {
    explicit UpdatePeer(QByteArray reply)
        : peer([this, reply](QTcpSocket* s) {
              QObject::connect(s, &QTcpSocket::readyRead, [this, s, reply] {
                  request += s->readAll();
                  if (request.endsWith("\r\n\r\n")) s->write(reply);
              });
          }) {}
    QByteArray request;
    Peer peer;
};

TEST_F(NetJobsTest, UpdateCheckShowsANewVersionOnce) {
    UpdatePeer http("HTTP/1.1 200 OK\r\nContent-Length: 28\r\n\r\nver=9.99, date=Mar 14, 2027\r\n");
    auto jobs = make(update_at(http.peer.port()));
    main_window.show();
    jobs->start_update_check();
    ASSERT_TRUE(wait_until([&] { return jobs->update_window() != nullptr; }));
    const std::string version = program_version().text();
    EXPECT_EQ(http.request.toStdString(), "GET /cgi-bin/update.cgi?" + version + " HTTP/1.1\r\nHost: www.kelvanto.net\r\n\r\n");
    EXPECT_EQ(state.settings.FoundUpdate, "9.99");
    EXPECT_EQ(writer.written, std::vector<std::string>{"FoundUpdate"});
    EXPECT_TRUE(state.update_check.window_open);
    EXPECT_FALSE(main_window.isEnabled());

    frmUpdate* w = jobs->update_window();
    const auto labels = w->findChildren<QLabel*>();
    const bool has_version_line =
        std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "v9.99, Mar 14, 2027"; });
    EXPECT_TRUE(has_version_line);
    EXPECT_EQ(w->link()->text(), "www.kelvanto.net");

    w->ok_button()->click();
    ASSERT_TRUE(wait_until([&] { return jobs->update_window() == nullptr; }));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toString().toStdString(), "http://www.kelvanto.net/cgi-bin/download.cgi?" + version);
    EXPECT_TRUE(main_window.isEnabled());
    EXPECT_FALSE(state.update_check.window_open);

    // The next start is told nothing new about the same version.
    UpdatePeer again("HTTP/1.1 200 OK\r\n\r\nver=9.99, date=Mar 14, 2027\r\n");
    auto jobs2 = make(update_at(again.peer.port()));
    jobs2->start_update_check();
    ASSERT_TRUE(wait_until([&] { return !state.update_check.running; }));
    pump(50);
    EXPECT_EQ(jobs2->update_window(), nullptr);
}

TEST_F(NetJobsTest, UpdateWindowShowsTheVersionTextAsPlainText) {
    UpdatePeer http("HTTP/1.1 200 OK\r\n\r\nver=<b>9.99</b><i>new</i>, date=Mar 14, 2027\r\n");
    auto jobs = make(update_at(http.peer.port()));
    jobs->start_update_check();
    ASSERT_TRUE(wait_until([&] { return jobs->update_window() != nullptr; }));
    jobs->update_window()->show();
    const QString line = QStringLiteral("v<b>9.99</b><i>new</i>, Mar 14, 2027");
    QLabel* shown = nullptr;
    for (QLabel* l : jobs->update_window()->findChildren<QLabel*>()) {
        if (l->text() == line) shown = l;
    }
    ASSERT_NE(shown, nullptr);
    // Every character takes its room: markup would have vanished into bold and italic text.
    EXPECT_GE(shown->sizeHint().width(), QFontMetrics(shown->font()).horizontalAdvance(line));
    jobs->update_window()->close();
}

TEST_F(NetJobsTest, UpdateRepliesThatNameNothingNewShowNothing) {
    const std::string version = program_version().text();
    for (const QByteArray& reply :
         {QByteArray::fromStdString("HTTP/1.1 200 OK\r\n\r\nver=" + version + ", date=Jan 05, 2004\r\n"),
          QByteArray("HTTP/1.1 404 Not Found\r\n\r\n"), QByteArray(50000, '\xfe')}) {
        UpdatePeer http(reply);
        auto jobs = make(update_at(http.peer.port()));
        jobs->start_update_check();
        for (QTcpSocket* s : http.peer.clients) s->disconnectFromHost();
        ASSERT_TRUE(wait_until([&] {
            for (QTcpSocket* s : http.peer.clients)
                if (s->state() == QAbstractSocket::ConnectedState && !http.request.isEmpty()) s->disconnectFromHost();
            return !state.update_check.running;
        }));
        EXPECT_EQ(jobs->update_window(), nullptr);
        EXPECT_EQ(state.settings.FoundUpdate, "");
    }
    // Nobody listening: silence.
    auto jobs = make(update_at(refusing_port()));
    jobs->start_update_check();
    ASSERT_TRUE(wait_until([&] { return !state.update_check.running; }));
    EXPECT_EQ(jobs->update_window(), nullptr);
}

TEST_F(NetJobsTest, UpdateWindowEscapeClosesWithoutOpeningAndLinkHighlights) {
    auto jobs = make(NetOverrides{});
    jobs->show_update("2.0", "Jan 05, 2004");
    frmUpdate* w = jobs->update_window();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->link_highlighted());
    w->set_link_highlight(true);
    EXPECT_TRUE(w->link_highlighted());
    EXPECT_TRUE(w->link()->font().underline());
    EXPECT_EQ(w->link()->cursor().shape(), Qt::PointingHandCursor);
    w->set_link_highlight(false);
    EXPECT_FALSE(w->link()->font().underline());

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &esc);
    ASSERT_TRUE(wait_until([&] { return jobs->update_window() == nullptr; }));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(main_window.isEnabled());
    EXPECT_FALSE(state.update_check.window_open);
}

}  // namespace
