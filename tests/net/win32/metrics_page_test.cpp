// The Metrics page of the options dialog on the real main window: Apply opens the endpoint
// on the new port at once, a port another program holds is said on the page and taken once
// it is free.
#include <gtest/gtest.h>

#include "support/win32_loopback_peer.h"

#include <memory>
#include <thread>

#include "support/win32_program.h"
#include "platform/win32/dialog_controls.h"

namespace {

// The first line of what 127.0.0.1:`port` answers to GET /metrics; the caller's thread keeps
// its message loop running meanwhile, as the endpoint is served there.
std::string status_line(int port) {
    std::string answer;
    bool done = false;
    std::thread client([&] {
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<u_short>(port));
        if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
            const char request[] = "GET /metrics HTTP/1.0\r\n\r\n";
            ::send(s, request, static_cast<int>(sizeof request - 1), 0);
            char buffer[256];
            const int n = ::recv(s, buffer, static_cast<int>(sizeof buffer), 0);
            if (n > 0) answer.assign(buffer, static_cast<std::size_t>(n));
        }
        ::closesocket(s);
        done = true;
    });
    pump_messages([&] { return done; }, 10000, 20);
    client.join();
    return answer.substr(0, answer.find('\r'));
}

TEST(MetricsPageWin32, ApplyOpensTheEndpointOnTheNewPortATakenPortIsSaidAndTakenOnceFree) {
    int free_port = 0;
    {
        const LoopbackPeer probe([](SOCKET) {});
        free_port = probe.port();
    }
    auto holder = std::make_unique<LoopbackPeer>([](SOCKET) {});  // another program's port
    const int taken = holder->port();
    Win32Program program;
    ASSERT_TRUE(program.started);
    const HWND dialog = program.open_options("Metrics");
    const HWND port = ::GetDlgItem(dialog, Win32Program::declared_id("Metrics", "MetricsPort"));
    const HWND lines = ::GetDlgItem(dialog, Win32Program::declared_id("Metrics", "endpoint_lines"));
    const auto apply_port = [&](int number) {
        ::SetWindowTextW(port, std::to_wstring(number).c_str());
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(port), EN_CHANGE), reinterpret_cast<LPARAM>(port));
        ::SendMessageW(::GetDlgItem(dialog, kOptionsApplyId), BM_CLICK, 0, 0);
    };

    apply_port(free_port);
    EXPECT_EQ(status_line(free_port), "HTTP/1.1 200 OK");
    EXPECT_EQ(control_text(lines), "Prometheus scrapes http://127.0.0.1:" + std::to_string(free_port) + "/metrics");

    apply_port(taken);
    EXPECT_TRUE(program.store.read("MetricsPort").value_or("") == std::to_string(taken));
    const std::string said = control_text(lines);
    EXPECT_EQ(said.rfind("Not serving: port " + std::to_string(taken) + " on 127.0.0.1 cannot be opened (", 0), 0u)
        << said;
    // The old port is closed.
    EXPECT_EQ(status_line(free_port), "");

    // Let go by the other program, the port is taken within the retry's 5 seconds, and the
    // page says so without being touched.
    holder.reset();
    const std::string serving = "Prometheus scrapes http://127.0.0.1:" + std::to_string(taken) + "/metrics";
    EXPECT_TRUE(pump_messages([&] { return control_text(lines) == serving; }, 8000, 50)) << control_text(lines);
    EXPECT_EQ(status_line(taken), "HTTP/1.1 200 OK");
}

}  // namespace
