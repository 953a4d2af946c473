#include "net/remote_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RemoteReport, LoginFrameBytes) {
    Settings s;
    s.RemotePassword = "P";
    s.ClientName = "N";
    s.LocalPort = 1888;
    EXPECT_EQ(login_frame(s), std::string("KVT Client 1.29\r\n\x02\r\n12\r\nP\r\nN\r\n1888\r\n"));

    s.RemotePassword = "";
    s.ClientName = "";
    s.LocalPort = 65535;
    EXPECT_EQ(login_frame(s), std::string("KVT Client 1.29\r\n\x02\r\n11\r\n\r\n\r\n65535\r\n"));

    s.RemotePassword = "secret";
    s.ClientName = "office-pc";
    s.LocalPort = 7;
    EXPECT_EQ(login_frame(s), std::string("KVT Client 1.29\r\n\x02\r\n22\r\nsecret\r\noffice-pc\r\n7\r\n"));
}

TEST(RemoteReport, ConnectionLifecycle) {
    Settings s;
    s.RemoteIP = "127.0.0.1";
    s.RemotePort = 4242;
    RemoteReportState state;

    const double now = 46000.5;
    const SocketActions start = remote_start(state, s, now);
    EXPECT_TRUE(start.connect);
    EXPECT_EQ(start.host, "127.0.0.1");
    EXPECT_EQ(start.port, 4242);
    EXPECT_TRUE(state.in_progress);
    EXPECT_FALSE(remote_start(state, s, now + 29.0 / 86400).connect) << "one report connection at a time";

    EXPECT_EQ(remote_connected(s).send, login_frame(s));

    remote_closed(state);
    EXPECT_FALSE(state.in_progress);
    EXPECT_TRUE(remote_start(state, s, now).connect);
}

TEST(RemoteReport, RightBannerKeepsTheConnectionWrongBannerCloses) {
    const ProgramVersion v{1, 30};
    RemoteReportState state;
    state.in_progress = true;
    for (const std::string& frame : {std::string("KVT Server 1.30\r\n\x00\r\n0\r\n", 24),
                                    std::string("KVT Server 1.30\r\n\x01\r\n6\r\n1\r\n22\r\n"),
                                    std::string("KVT Server 1.30")}) {
        const SocketActions a = remote_data(state, frame, v);
        EXPECT_FALSE(a.close) << frame;
        EXPECT_TRUE(state.in_progress);
    }
    for (const std::string& frame : {std::string("KVT Server 1.29\r\n\x01\r\n0\r\n"), std::string("KVT Server 1.305\r\n"),
                                    std::string("KVT Server 1.3"), std::string("HTTP/1.0 400 Bad Request\r\n"),
                                    std::string()}) {
        state.in_progress = true;
        const SocketActions a = remote_data(state, frame, v);
        EXPECT_TRUE(a.close) << frame;
        EXPECT_FALSE(state.in_progress);
    }
}

TEST(RemoteReport, BannerFollowsTheProgramVersion) {
    EXPECT_EQ(server_banner({1, 30}), "KVT Server 1.30");
    EXPECT_EQ(server_banner({2, 5}), "KVT Server 2.5");
    // A one-digit minor must not turn every frame into a wrong banner.
    EXPECT_TRUE(server_banner_ok("KVT Server 1.0\r\n\x01\r\n", {1, 0}));
    EXPECT_FALSE(server_banner_ok("KVT Server 1.05\r\n", {1, 0}));
    const ProgramVersion parsed = parse_program_version("1.30.2");
    EXPECT_EQ(parsed.text(), "1.30");
    EXPECT_EQ(parse_program_version("7").text(), "7.0");
}

}  // namespace
