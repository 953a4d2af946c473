// The whole program sending alert mail and keeping its passwords: a rule that fires on real
// loopback traffic, a real SMTP server with STARTTLS and a login, the desktop's keyring on a
// session bus of the test's own, and the settings file where no keyring runs.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "alerts/rule_files.h"
#include "settings/text_file.h"
#include "support/net_namespace.h"
#include "support/process.h"
#include "support/smtp_peer.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

bool wait_for(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(50ms);
    return done();
}

unsigned mode_of(const std::filesystem::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}


// Bursts of loopback traffic a second apart, so the rate keeps rising past any threshold,
// until `done` holds (or 40 seconds pass).
bool traffic_until(const std::function<bool()>& done) {
    return wait_for(
        [&] {
            if (done()) return true;
            loopback_transfer(4u << 20);
            std::this_thread::sleep_for(1s);
            return done();
        },
        40s);
}

// A switched-on rule "when the rate of adapter 1 (the loopback interface), down + up, reaches
// 1 KB/s, the first time": send a mail and add a line to `log_file`.
void write_mail_rule(const std::string& data_dir, const std::string& log_file) {
    std::filesystem::create_directories(data_dir + "Stats");
    WorkingRules working;
    LiveRules live;
    AlertRule& r = working.rules[0];
    working.count = 1;
    r.Name = "Loopback busy";
    r.Enabled = kSwitchedOn;
    r.ConditionKind = RateReached;
    r.value(0, 0) = {"lo", "1"};
    r.value(0, 1) = {"down + up", "2"};
    r.value(0, 2) = {"1 KB/s", "1|3"};
    r.value(0, 3) = {"the first time", "0"};
    r.Actions[SendMail] = kSwitchedOn;
    r.Actions[AddLogEntry] = kSwitchedOn;
    r.value(AddLogEntry + 1, 0) = {"file", log_file};
    ASSERT_TRUE(save_all_rules(working, live, data_dir));
}

// A session bus with an unlocked gnome-keyring on it, for the life of the object: the
// desktop's secret store as a logged-in user has it.
class KeyringSession {
public:
    // With `keyring` false the bus has no secret store running (one is merely installed).
    explicit KeyringSession(const std::filesystem::path& dir, bool keyring = true) : dir_(dir) {
        const std::string script = (dir / "keyring_session.sh").string();
        std::ofstream(script) << R"SH(
d=$1
running() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true'
}
if [ "$2" = keyring ]; then
    printf 'keyring-password' | gnome-keyring-daemon --foreground --unlock --components=secrets >"$d/keyring.log" 2>&1 &
    keyring=$!
    for i in $(seq 200); do running && break; sleep 0.05; done
fi
echo "$DBUS_SESSION_BUS_ADDRESS" >"$d/bus.tmp" && mv "$d/bus.tmp" "$d/bus"
while [ ! -e "$d/stop" ]; do sleep 0.1; done
running && echo "secret service was running" >"$d/secret-service"
[ -n "${keyring:-}" ] && kill $keyring && wait $keyring
)SH";
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
        session_ = start_process("/usr/bin/dbus-run-session",
                                 {"--", "/bin/bash", script, dir.string(), keyring ? "keyring" : "none"}, env(),
                                 (dir / "session.log").string());
        wait_for([&] { return std::filesystem::exists(dir / "bus") || !process_running(session_); }, 20s);
        bus_ = slurp_file(dir / "bus");
        if (!bus_.empty() && bus_.back() == '\n') bus_.pop_back();
    }
    ~KeyringSession() { end(); }
    // Ends the session; answers whether a secret service ran on the bus to the end.
    bool end() {
        if (session_.pid <= 0) return false;
        std::ofstream(dir_ / "stop") << "\n";
        if (wait_process(session_, 10000) < 0) kill_process(session_);
        return std::filesystem::exists(dir_ / "secret-service");
    }
    bool running() const { return !bus_.empty(); }
    // The environment of a program of this session.
    std::map<std::string, std::string> env() const {
        return {{"HOME", dir_.string()},
                {"XDG_DATA_HOME", (dir_ / "share").string()},
                {"XDG_RUNTIME_DIR", dir_.string()},
                {"DBUS_SESSION_BUS_ADDRESS", bus_}};
    }
    // What the keyring holds for one of the program's passwords.
    std::string lookup(const std::string& name) const {
        const std::filesystem::path out = dir_ / "lookup.txt";
        std::filesystem::remove(out);
        ChildProcess p = start_process("/usr/bin/secret-tool", {"lookup", "server", "Kelvanto", "user", name}, env(),
                                       out.string());
        wait_process(p, 10000);
        kill_process(p);
        return slurp_file(out);
    }
    std::string log() const { return slurp_file(dir_ / "session.log") + slurp_file(dir_ / "keyring.log"); }

private:
    std::filesystem::path dir_;
    ChildProcess session_;
    std::string bus_;
};

bool have(const char* program) {
    return ::access(program, X_OK) == 0;
}

// The program with its own folders; `extra` adds to (or replaces in) its environment.
struct Program {
    ChildProcess process;
    std::filesystem::path output;
    Program(const TempDir& home, const std::string& name, std::map<std::string, std::string> extra) {
        output = home.path() / (name + ".log");
        std::map<std::string, std::string> env{{"KELVANTO_HOME", (home.path() / "data").string()},
                                               {"XDG_CONFIG_HOME", (home.path() / "config").string()},
                                               {"QT_QPA_PLATFORM", "offscreen"}};
        for (auto& [k, v] : extra) env[k] = v;
        process = start_process(KELVANTO_BIN, {}, env, output.string());
    }
    ~Program() { kill_process(process); }
    // SIGTERM and the exit status of the orderly shutdown.
    int stop() {
        ::kill(process.pid, SIGTERM);
        const int status = wait_process(process, 15000);
        kill_process(process);
        return status;
    }
    std::string said() const { return slurp_file(output); }
};

// The main window shows adapter 1, the loopback interface, so its rate is measured each cycle.
const char* const kEarlierSettings =
    "[General]\n"
    "Adapter=1\n"
    "CheckForUpdate=0\n"
    "EmailAlertMail=monitor@example.org\n"
    "EmailAlertDefault=admin@example.org\n"
    "EmailAuth=1\n"
    "EmailUsername=alerts\n";

}  // namespace

TEST(MailProgram, RuleOnLoopbackTrafficMailsOverTlsWithThePasswordFromTheKeyring) {
    for (const char* tool : {"/usr/bin/dbus-run-session", "/usr/bin/gnome-keyring-daemon", "/usr/bin/secret-tool"}) {
        if (!have(tool)) GTEST_SKIP() << tool << " is missing (packages dbus-daemon, gnome-keyring, libsecret-tools)";
    }
    TempDir home;
    const TestCertificates certs = make_test_certificates(home.path() / "certs");
    ASSERT_TRUE(certs.made) << slurp_file(home.path() / "certs" / "openssl.log");
    SmtpPeer server(home.path(), {.starttls = true, .auth = true, .cert = certs.cert, .key = certs.key});
    ASSERT_TRUE(server.ready()) << server.log();
    std::filesystem::create_directories(home.path() / "session");
    KeyringSession keyring(home.path() / "session");
    ASSERT_TRUE(keyring.running()) << keyring.log();

    // Settings of an earlier version: the password in plain text, the file open to everyone.
    const std::filesystem::path folder = home.path() / "config" / "Kelvanto";
    const std::filesystem::path conf = folder / "Kelvanto.conf";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(replace_text_file(conf.string(), std::string(kEarlierSettings) + "EmailAlertSMTP=127.0.0.1:" +
                                                     std::to_string(server.port()) + "\nEmailPassword=s3cret pass\n"));
    ::chmod(folder.c_str(), 0755);
    ::chmod(conf.c_str(), 0644);
    const std::string data_dir = (home.path() / "data").string() + "/";
    const std::string alert_log = (home.path() / "alerts.txt").string();
    write_mail_rule(data_dir, alert_log);

    std::map<std::string, std::string> env = keyring.env();
    env["SSL_CERT_FILE"] = certs.ca;
    env["HOME"] = home.str();
    {
        Program program(home, "first", env);
        // The password moves into the keyring and leaves the file.
        ASSERT_TRUE(wait_for([&] { return keyring.lookup("EmailPassword") == "s3cret pass"; }, 30s))
            << program.said() << keyring.log();
        ASSERT_TRUE(wait_for([&] { return slurp_file(conf).find("EmailPassword") == std::string::npos; }, 10s))
            << slurp_file(conf);
        ASSERT_TRUE(traffic_until([&] { return server.has_mail(0); }))
            << program.said() << slurp_file(alert_log) << server.log();
        EXPECT_EQ(program.stop(), 0);
    }
    EXPECT_EQ(server.envelope(0), "monitor@example.org admin@example.org tls=yes login=alerts");
    EXPECT_EQ(server.auth_log(), "PLAIN alerts s3cret pass\n");
    const std::string mail = server.mail(0);
    EXPECT_EQ(mail.rfind("From: Kelvanto <monitor@example.org>\r\nTO: <admin@example.org>\r\nSubject: Alert from Kelvanto\r\n", 0),
              0u)
        << mail;
    EXPECT_NE(mail.find("\r\n\r\nTransfer rate down + up has reached "), std::string::npos) << mail;
    EXPECT_NE(slurp_file(alert_log).find(" Transfer rate down + up has reached "), std::string::npos);

    const std::string settings = slurp_file(conf);
    EXPECT_EQ(settings.find("s3cret"), std::string::npos) << settings;
    EXPECT_NE(settings.find("EmailUsername=alerts\n"), std::string::npos) << settings;
    EXPECT_EQ(mode_of(conf), 0600u);
    EXPECT_EQ(mode_of(folder), 0700u);

    // The next start finds the password in the keyring alone, and logs in with it again.
    write_mail_rule(data_dir, alert_log);
    {
        Program program(home, "second", env);
        ASSERT_TRUE(traffic_until([&] { return server.has_mail(1); }))
            << program.said() << slurp_file(alert_log) << server.log();
        EXPECT_EQ(program.stop(), 0);
    }
    EXPECT_EQ(server.envelope(1), "monitor@example.org admin@example.org tls=yes login=alerts");
    EXPECT_EQ(server.auth_log(), "PLAIN alerts s3cret pass\nPLAIN alerts s3cret pass\n");
    EXPECT_EQ(slurp_file(conf).find("s3cret"), std::string::npos);
    EXPECT_FALSE(server.wire().find("s3cret") != std::string::npos);
}

TEST(MailProgram, WithoutASecretServiceThePasswordStaysInAPrivateFile) {
    if (!have("/usr/bin/dbus-run-session")) GTEST_SKIP() << "dbus-run-session is missing (package dbus-daemon)";
    TempDir home;
    const std::filesystem::path folder = home.path() / "config" / "Kelvanto";
    const std::filesystem::path conf = folder / "Kelvanto.conf";

    // A first start without a session bus creates both private.
    {
        Program program(home, "first", {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus"}});
        ASSERT_TRUE(wait_for([&] { return slurp_file(conf).find("LocalPassword=") != std::string::npos; }, 20s))
            << program.said();
        EXPECT_EQ(program.stop(), 0);
    }
    EXPECT_EQ(mode_of(conf), 0600u);
    EXPECT_EQ(mode_of(folder), 0700u);

    // Settings of an earlier version, open to everyone, and a session bus where no secret
    // service runs: the passwords stay, the modes close, and no keyring is started for them.
    ASSERT_TRUE(replace_text_file(conf.string(), std::string(kEarlierSettings) +
                                                     "EmailPassword=s3cret pass\nRemotePassword=remote pw\n"));
    ::chmod(folder.c_str(), 0755);
    ::chmod(conf.c_str(), 0644);
    std::filesystem::create_directories(home.path() / "session");
    KeyringSession bus(home.path() / "session", false);
    ASSERT_TRUE(bus.running()) << bus.log();
    {
        std::map<std::string, std::string> env = bus.env();
        env["HOME"] = home.str();
        Program program(home, "second", env);
        ASSERT_TRUE(wait_for([&] { return mode_of(conf) == 0600u; }, 20s)) << program.said();
        EXPECT_EQ(program.stop(), 0);
    }
    EXPECT_FALSE(bus.end()) << "a secret service was started";
    const std::string settings = slurp_file(conf);
    EXPECT_NE(settings.find("EmailPassword=s3cret pass\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("RemotePassword=remote pw\n"), std::string::npos) << settings;
    EXPECT_EQ(mode_of(conf), 0600u);
    EXPECT_EQ(mode_of(folder), 0700u);
}
