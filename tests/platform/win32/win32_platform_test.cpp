// The Windows platform layer against the real system, under Wine.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/date.h"
#include "net/time_sync.h"
#include "platform/locale.h"
#include "platform/win32/credentials.h"
#include "platform/win32/data_folder.h"
#include "platform/win32/metrics_listener.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_service.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/winsock_connection.h"
#include "support/win32_loopback_peer.h"
#include "settings/autostart.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

// What a program run in Wine wrote on its standard output.
std::string output_of(const std::string& command_line) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    ::CreatePipe(&read_end, &write_end, &inherit, 0);
    ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = write_end;
    PROCESS_INFORMATION pi = {};
    std::wstring line = widen(command_line);
    std::string out;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        ::CloseHandle(write_end);
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(read_end, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
        ::WaitForSingleObject(pi.hProcess, 10000);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    } else {
        ::CloseHandle(write_end);
    }
    ::CloseHandle(read_end);
    return out;
}

class RecordingSetter : public ClockSetter {
public:
    std::vector<UtcTime> set;
    void set_utc(const UtcTime& time, bool, ClockSetDone done) override {
        set.push_back(time);
        done(ClockSetResult::done());
    }
};

TEST(Registry, SettingsAreStringValuesUnderTheKeyAndPasswordsStayOutOfIt) {
    RegistrySettings settings;
    // From an empty key and no stored passwords, whatever other tests in this prefix left.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\Kelvanto");
    settings.write("RemotePassword", "");
    settings.write("Always on top", "1");
    settings.write("Bandwidth Calc.", "3");
    settings.write("CusPerName", "Jörg's Пётр");
    settings.write("EmailPassword", "s3cret ü");
    const std::string listed = output_of("reg.exe query HKCU\\software\\Kelvanto");
    EXPECT_NE(listed.find("Always on top    REG_SZ    1"), std::string::npos) << listed;
    EXPECT_NE(listed.find("Bandwidth Calc.    REG_SZ    3"), std::string::npos) << listed;
    EXPECT_EQ(listed.find("EmailPassword"), std::string::npos) << listed;
    // Read back as written, also what the ANSI code page cannot hold.
    EXPECT_EQ(settings.read("CusPerName"), "Jörg's Пётр");
    EXPECT_EQ(settings.read("EmailPassword"), "s3cret ü");
    EXPECT_EQ(read_credential("Kelvanto/EmailPassword"), "s3cret ü");
    EXPECT_EQ(settings.read("Transparency"), std::nullopt);

    // A password an earlier version kept in the key moves to the Credential Manager.
    ASSERT_TRUE(write_user_string("software\\Kelvanto", "RemotePassword", "old"));
    EXPECT_EQ(settings.read("RemotePassword"), "old");
    EXPECT_EQ(read_user_string("software\\Kelvanto", "RemotePassword"), std::nullopt);
    EXPECT_EQ(settings.read("RemotePassword"), "old");
    settings.write("RemotePassword", "");
    EXPECT_EQ(settings.read("RemotePassword"), std::nullopt);

    // A value of another type reads as absent.
    ASSERT_NE(output_of("reg.exe add HKCU\\software\\Kelvanto /v GraphHeight /t REG_DWORD /d 5 /f"), "");
    EXPECT_EQ(settings.read("GraphHeight"), std::nullopt);
}

TEST(Registry, AutostartIsTheRunKeyValue) {
    ASSERT_TRUE(write_run_entry(run_key_command("C:\\Program Files\\Kelvanto\\kelvanto.exe", true)));
    const std::string listed = output_of("reg.exe query HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run /v Kelvanto");
    EXPECT_NE(listed.find("REG_SZ    \"C:\\Program Files\\Kelvanto\\kelvanto.exe\" /minimized"), std::string::npos)
        << listed;
    EXPECT_TRUE(remove_run_entry());
    EXPECT_EQ(read_user_string(kRunKey, kRunValue), std::nullopt);
}

TEST(DataFolder, HomeWinsElseTheProgramFolderWhenWritable) {
    TempDir dir;
    ::SetEnvironmentVariableW(L"KELVANTO_HOME", widen(dir.str()).c_str());
    EXPECT_EQ(windows_data_folder(), dir.str() + "\\");
    ::SetEnvironmentVariableW(L"KELVANTO_HOME", nullptr);
    const std::string program = program_path();
    EXPECT_EQ(windows_data_folder(), program.substr(0, program.find_last_of('\\') + 1));
    EXPECT_TRUE(folder_writable(dir.str()));
    EXPECT_FALSE(folder_writable(dir.str() + "\\missing"));
}

TEST(Clock, TicksAndTheSteadyClockAdvanceAndASettingThatMayNotIsRefusedWithTheSystemsReason) {
    const Win32Clock clock;
    const Win32Ticks ticks;
    const double t0 = clock.elapsed_seconds();
    const std::int32_t k0 = ticks.tick_ms();
    ::Sleep(120);
    EXPECT_NEAR(clock.elapsed_seconds() - t0, 0.12, 0.08);
    EXPECT_NEAR(ticks.tick_ms() - k0, 120, 80);
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    EXPECT_EQ(year_of(clock.now()), now.wYear);
    Win32ClockSetter refusing(false);
    ClockSetResult r = ClockSetResult::done();
    refusing.set_utc(UtcTime{2030, 1, 1, 0, 0, 0}, true, [&](const ClockSetResult& answer) { r = answer; });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, system_error_text(ERROR_PRIVILEGE_NOT_HELD));
    EXPECT_NE(r.reason.find("rivilege"), std::string::npos) << r.reason;
}

TEST(SingleInstance, ASecondInstanceFindsTheFirst) {
    SingleInstance first;
    EXPECT_FALSE(first.another_running());
    SingleInstance second;
    EXPECT_TRUE(second.another_running());
}

// The Time Protocol dialogue of the core on a Winsock connection, against a peer that
// answers with the current time.
TEST(Winsock, TimeProtocolRoundTripSetsTheClockFromTheAnswer) {
    LoopbackPeer peer([](SOCKET s) {
        const std::uint32_t seconds = static_cast<std::uint32_t>(std::time(nullptr) + 2208988800LL);
        const unsigned char answer[4] = {static_cast<unsigned char>(seconds >> 24), static_cast<unsigned char>(seconds >> 16),
                                         static_cast<unsigned char>(seconds >> 8), static_cast<unsigned char>(seconds)};
        ::send(s, reinterpret_cast<const char*>(answer), 4, 0);
    });
    TimeSyncState sync;
    Settings settings;
    Win32Clock clock;
    RecordingSetter setter;
    EnglishLocale locale;
    TimeSyncEnv env{sync, settings, clock, setter, locale};
    std::unique_ptr<WinsockConnection> socket;
    socket = std::make_unique<WinsockConnection>(WinsockConnection::Events{
        [&] { time_sync_connected(env); },
        [&](std::string_view bytes) { socket->apply(time_sync_data(env, bytes)); },
        [&] { socket->apply(time_sync_closed(env)); },
        [&](const std::string&) { socket->apply(time_sync_error(env)); },
    });
    socket->set_override("", peer.port());
    socket->apply(time_sync_button(env, "127.0.0.1"));
    ASSERT_TRUE(pump_messages([&] { return !sync.busy; }, 10000, 20));
    ASSERT_EQ(setter.set.size(), 1u) << settings.SyncTxt;
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    const double set = make_date(setter.set[0].year, setter.set[0].month, setter.set[0].day, setter.set[0].hour,
                                 setter.set[0].minute, setter.set[0].second);
    const double real = make_date(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    EXPECT_NEAR((set - real) * 86400.0, 0.0, 5.0);
}

TEST(Winsock, MetricsEndpointAnswersAClient) {
    int port = 0;
    {
        const LoopbackPeer free_port([](SOCKET) {});
        port = free_port.port();
    }
    MetricsListener listener([] { return std::string("kelvanto_up 1\n"); });
    ASSERT_EQ(listener.configure("127.0.0.1", port), "");
    std::string response;
    bool closed = false;
    WinsockConnection client({[] {}, [&](std::string_view b) { response.append(b); }, [&] { closed = true; },
                              [&](const std::string&) { closed = true; }});
    client.connect_to("127.0.0.1", port);
    client.send("GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    ASSERT_TRUE(pump_messages([&] { return closed && listener.open_connections() == 0; }, 10000));
    EXPECT_EQ(response.rfind("HTTP/1.1 200", 0), 0u) << response;
    EXPECT_NE(response.find("\r\n\r\nkelvanto_up 1\n"), std::string::npos) << response;
    EXPECT_EQ(listener.open_connections(), 0);
}

}  // namespace

namespace {

// Registering with the service control manager and removing again. (Starting the service
// is not tested here: in the test prefix, whose Wine server runs in a network namespace,
// Wine's service manager never starts the service's process.)
TEST(Service, InstalledOnceAndRemoved) {
    Win32ServiceManager manager("\"" + program_path() + "\" --service", "KelvantoTest");
    ASSERT_FALSE(manager.is_installed());
    ASSERT_TRUE(manager.install()) << manager.failure_reason();
    EXPECT_TRUE(manager.is_installed());
    EXPECT_FALSE(manager.is_running());
    EXPECT_FALSE(manager.install());
    EXPECT_FALSE(manager.failure_reason().empty());
    EXPECT_TRUE(manager.uninstall()) << manager.failure_reason();
    EXPECT_FALSE(manager.is_installed());
    EXPECT_FALSE(manager.uninstall());
}

}  // namespace
