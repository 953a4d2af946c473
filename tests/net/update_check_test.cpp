#include "net/update_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace {

constexpr const char* kReply =
    "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\nver=1.31, date=Jan 05, 2004\r\n";

TEST(UpdateCheck, RequestBytes) {
    EXPECT_EQ(update_request("1.30", "www.kelvanto.net"),
              "GET /cgi-bin/update.cgi?1.30 HTTP/1.1\r\nHost: www.kelvanto.net\r\n\r\n");
    EXPECT_EQ(download_url("www.kelvanto.net", "1.30"), "http://www.kelvanto.net/cgi-bin/download.cgi?1.30");
}

TEST(UpdateCheck, ParsesVersionAndDate) {
    const auto info = parse_update_reply(kReply);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->version, "1.31");
    EXPECT_EQ(info->date, "Jan 05, 2004");
    // The date is cut where the reply or its line ends, never read beyond.
    EXPECT_EQ(parse_update_reply("ver=2.0, date=Jan")->date, "Jan");
    EXPECT_EQ(parse_update_reply("ver=2.0, d")->date, "");
    EXPECT_EQ(parse_update_reply("ver=2.0, date=Jan 5\r\nX-Other: 1")->date, "Jan 5");
}

TEST(UpdateCheck, MalformedRepliesGiveNothing) {
    for (const std::string& reply :
         {std::string(), std::string("HTTP/1.1 404 Not Found\r\n\r\n"), std::string("version 1.31, Jan 05, 2004"),
          std::string("ver=1.31 date=Jan 05 2004"), std::string(", x ver=1.31"), std::string("ver=, date=Jan 05, 2004"),
          std::string("ver=") + std::string(200, '9') + ", date=Jan 05, 2004",
          std::string("ver=1.3\x01\xff, date=Jan 05, 2004"), std::string("ver=1.31, date=\x01\x02\x03\x04\x05\x06"),
          std::string("ver=1 31, date=Jan 05, 2004")}) {
        EXPECT_FALSE(parse_update_reply(reply)) << reply;
    }
}

TEST(UpdateCheck, ShowsOnlyAVersionNotRunningAndNotAlreadyTold) {
    Settings s;
    RecordingWriter w;
    const UpdateInfo running{"1.30", "Jan 05, 2004"};
    EXPECT_FALSE(update_to_show(running, "1.30", s, &w));
    EXPECT_TRUE(w.written.empty());
    EXPECT_EQ(s.FoundUpdate, "");

    const auto newer = update_to_show({"1.31", "Jan 05, 2004"}, "1.30", s, &w);
    ASSERT_TRUE(newer);
    EXPECT_EQ(newer->version, "1.31");
    EXPECT_EQ(s.FoundUpdate, "1.31");
    EXPECT_EQ(w.written, std::vector<std::string>{"FoundUpdate"});

    EXPECT_FALSE(update_to_show({"1.31", "Jan 05, 2004"}, "1.30", s, &w)) << "already told";
    EXPECT_TRUE(update_to_show({"1.29", "Dec 01, 2003"}, "1.30", s, &w)) << "older versions are news too";
    EXPECT_EQ(s.FoundUpdate, "1.29");
}

TEST(UpdateCheck, DialogueReadsAcrossArrivalsAndStopsAtTheEnd) {
    Settings s;
    UpdateCheckState st;
    const SocketActions start = update_start(st);
    EXPECT_TRUE(start.connect);
    EXPECT_EQ(start.host, kUpdateServer);
    EXPECT_EQ(start.port, 80);
    EXPECT_EQ(update_connected("1.30").send, update_request("1.30", kUpdateServer));

    const std::string reply = kReply;
    const std::size_t cut = reply.find("Jan");
    UpdateOutcome first = update_data(st, reply.substr(0, cut), "1.30", s, nullptr);
    EXPECT_FALSE(first.actions.close);
    EXPECT_FALSE(first.show);
    UpdateOutcome second = update_data(st, reply.substr(cut), "1.30", s, nullptr);
    EXPECT_TRUE(second.actions.close);
    ASSERT_TRUE(second.show);
    EXPECT_EQ(second.show->date, "Jan 05, 2004");
    EXPECT_FALSE(update_closed(st, "1.30", s, nullptr).show) << "one answer per check";
}

TEST(UpdateCheck, ShortOrEndlessRepliesEndSilently) {
    Settings s;
    UpdateCheckState st;
    update_start(st);
    update_data(st, "HTTP/1.1 200 OK\r\n\r\nver=1.31", "1.30", s, nullptr);
    EXPECT_FALSE(update_closed(st, "1.30", s, nullptr).show);
    EXPECT_EQ(s.FoundUpdate, "");

    update_start(st);
    const std::string junk(4096, '\xff');
    UpdateOutcome out;
    int arrivals = 0;
    while (!out.actions.close && arrivals < 100) {
        out = update_data(st, junk, "1.30", s, nullptr);
        ++arrivals;
    }
    EXPECT_TRUE(out.actions.close);
    EXPECT_LE(arrivals * junk.size(), kUpdateReplyLimit + junk.size());
    EXPECT_FALSE(out.show);
    EXPECT_TRUE(st.received.empty());

    update_start(st);
    update_error(st);
    EXPECT_FALSE(update_data(st, kReply, "1.30", s, nullptr).show);
}

}  // namespace
