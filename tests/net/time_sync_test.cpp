#include "net/time_sync.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/date.h"
#include "support/fakes.h"

namespace {

// Stands in for the system clock: a successful set moves the fake wall clock (UTC here).
class FakeClockSetter : public ClockSetter {
public:
    explicit FakeClockSetter(FakeClock& clock) : clock_(clock) {}
    std::vector<UtcTime> requests;
    std::vector<bool> interactive;
    bool allowed = true;
    std::string refusal = "Operation not permitted";
    void set_utc(const UtcTime& t, bool asks_user, ClockSetDone done) override {
        requests.push_back(t);
        interactive.push_back(asks_user);
        if (!allowed) return done(ClockSetResult::refused(refusal));
        clock_.value = make_date(t.year, t.month, t.day, t.hour, t.minute, t.second);
        done(ClockSetResult::done());
    }

private:
    FakeClock& clock_;
};

class RecordingView : public TimeSyncView {
public:
    std::vector<std::string> captions, results, messages;
    void show_caption(const std::string& c) override { captions.push_back(c); }
    void show_result(const std::string& t) override { results.push_back(t); }
    void show_message(const std::string& t) override { messages.push_back(t); }
    void ask_to_set(const std::string&) override {}
};

std::string bytes(std::initializer_list<unsigned> list) {
    std::string s;
    for (unsigned b : list) s += static_cast<char>(b);
    return s;
}

class TimeSyncTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeClockSetter setter{clock};
    EnglishLocale locale;
    RecordingWriter writer;
    RecordingView view;
    Settings settings;
    TimeSyncState state;
    // Built on 1 January 2024: answers from then on are believed.
    TimeSyncEnv env{state, settings, clock, setter, locale, &writer, nullptr, make_date(2024, 1, 1)};

    void set_last_sync_hours_ago(double hours) { settings.SyncLast = clock.value - hours / 24.0; }

    // One connection that answers `answer` and closes after `round_trip` seconds.
    void answer_with(const std::string& answer, double round_trip = 0) {
        time_sync_connected(env);
        time_sync_data(env, answer);
        clock.advance_seconds(round_trip);
        time_sync_closed(env);
    }

    // Fails every connection the dialogue asks for and returns the hosts in order.
    std::vector<std::string> fail_all(SocketActions first) {
        std::vector<std::string> hosts;
        SocketActions a = first;
        while (a.connect && hosts.size() < 100) {
            hosts.push_back(a.host);
            a = time_sync_error(env);
        }
        return hosts;
    }
};

TEST_F(TimeSyncTest, DueOnceTheIntervalHasPassedInEitherDirection) {
    settings.SyncInt = 3;
    set_last_sync_hours_ago(23);
    EXPECT_FALSE(time_sync_auto_check(env).connect);
    EXPECT_FALSE(state.busy);

    set_last_sync_hours_ago(24);
    settings.SyncSrv = 5;
    const SocketActions a = time_sync_auto_check(env);
    EXPECT_TRUE(a.connect);
    EXPECT_EQ(a.host, kTimeServers[5]);
    EXPECT_EQ(a.port, 37);
    EXPECT_TRUE(state.busy);

    // The clock was set back: a last success far in the future is due as well.
    TimeSyncState fresh;
    TimeSyncEnv env2{fresh, settings, clock, setter, locale, &writer, nullptr, env.build_date};
    set_last_sync_hours_ago(-48);
    EXPECT_TRUE(time_sync_auto_check(env2).connect);

    settings.SyncLast.reset();
    EXPECT_TRUE(sync_due(settings, clock.value));
    settings.SyncLast = clock.value - 899.0 / 86400.0;
    settings.SyncInt = 0;
    EXPECT_FALSE(sync_due(settings, clock.value));
}

TEST_F(TimeSyncTest, SetsTheClockFromTheAnswerPlusHalfTheRoundTrip) {
    set_last_sync_hours_ago(25);
    ASSERT_TRUE(time_sync_auto_check(env).connect);
    // 0xEDDA67A2 is 2026-06-15 11:59:30 UTC; connected at 12:00:00, closed two seconds later.
    answer_with(bytes({0xED, 0xDA, 0x67, 0xA2}), 2.0);

    ASSERT_EQ(setter.requests.size(), 1u);
    const UtcTime& t = setter.requests[0];
    EXPECT_EQ(t.year, 2026);
    EXPECT_EQ(t.month, 6);
    EXPECT_EQ(t.day, 15);
    EXPECT_EQ(t.hour, 11);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.second, 31);
    EXPECT_FLOAT_EQ(state.delay, 1.0f);

    EXPECT_EQ(settings.SyncTxt, "Last synchronization: Jun 15, 2026, 11:59 (-31 sec)");
    ASSERT_TRUE(settings.SyncLast);
    EXPECT_DOUBLE_EQ(*settings.SyncLast, make_date(2026, 6, 15, 11, 59, 31));
    EXPECT_EQ(writer.written, (std::vector<std::string>{"SyncTxt", "SyncLast"}));
    EXPECT_FALSE(state.busy);
    EXPECT_FALSE(time_sync_auto_check(env).connect) << "no longer due after a success";
}

TEST_F(TimeSyncTest, KnownAnswersAcrossTheCountersRange) {
    const double built = make_date(2024, 1, 1);
    const TimeAnswer t = read_time_answer(bytes({0xE9, 0x3C, 0x7F, 0x00}), 0.4, built);
    ASSERT_EQ(t.kind, TimeAnswer::valid);
    EXPECT_EQ((std::vector<int>{t.time.year, t.time.month, t.time.day, t.time.hour, t.time.minute, t.time.second}),
              (std::vector<int>{2024, 1, 1, 0, 0, 0}));
    // A delay of 1.5 s rounds to 2.
    EXPECT_EQ(read_time_answer(bytes({0xE9, 0x3C, 0x7F, 0x00}), 1.5, built).time.second, 2);
    // Built after the 32-bit count wrapped in 2036, small values continue the count.
    const TimeAnswer wrapped = read_time_answer(bytes({0x00, 0x00, 0x00, 0x01}), 0, make_date(2036, 2, 7));
    ASSERT_EQ(wrapped.kind, TimeAnswer::valid);
    EXPECT_EQ((std::vector<int>{wrapped.time.year, wrapped.time.month, wrapped.time.day, wrapped.time.hour,
                                wrapped.time.minute, wrapped.time.second}),
              (std::vector<int>{2036, 2, 7, 6, 28, 17}));
    EXPECT_EQ(read_time_answer(bytes({0xE9, 0x3C, 0x7F}), 0, built).kind, TimeAnswer::invalid);
}

// Zero, a time before the build and one more than 30 years after it cannot be right: a
// manual run says the answer is invalid, an automatic one asks the next server, and the
// clock is never set from them.
TEST_F(TimeSyncTest, ZeroAndTimesBeforeTheBuildAreThatServersError) {
    env.build_date = make_date(2026, 12, 8);
    const std::string zero = bytes({0, 0, 0, 0});
    const std::string before_build = bytes({0xED, 0xDA, 0x67, 0xA2});  // 2026-06-15
    EXPECT_EQ(read_time_answer(zero, 0, env.build_date).kind, TimeAnswer::refused);
    EXPECT_EQ(read_time_answer(before_build, 0, env.build_date).kind, TimeAnswer::refused);
    // 0xF0000000 is 2027-08-28; 2056-12-08 is the last day believed, read in the next era.
    EXPECT_EQ(read_time_answer(bytes({0xF0, 0x00, 0x00, 0x00}), 0, env.build_date).kind, TimeAnswer::valid);
    const std::int64_t last = (day_number(2056, 12, 8) - day_number(1900, 1, 1)) * 86400 + 86399 - 0x100000000LL;
    const auto be32 = [](std::int64_t v) {
        return bytes({unsigned(v >> 24) & 0xFF, unsigned(v >> 16) & 0xFF, unsigned(v >> 8) & 0xFF, unsigned(v) & 0xFF});
    };
    EXPECT_EQ(read_time_answer(be32(last), 0, env.build_date).kind, TimeAnswer::valid);
    EXPECT_EQ(read_time_answer(be32(last + 1), 0, env.build_date).kind, TimeAnswer::refused);

    env.dialog = &view;
    for (const std::string& answer : {zero, before_build}) {
        view.messages.clear();
        time_sync_button(env, "127.0.0.1");
        answer_with(answer);
        EXPECT_EQ(view.messages, std::vector<std::string>{kSyncInvalidAnswer});
        EXPECT_FALSE(state.busy);
    }
    settings.SyncSrv = 3;
    ASSERT_EQ(time_sync_auto_check(env).host, kTimeServers[3]);
    time_sync_connected(env);
    time_sync_data(env, zero);
    const SocketActions next = time_sync_closed(env);
    EXPECT_EQ(next.host, kTimeServers[4]);
    EXPECT_TRUE(state.retrying && state.busy);
    EXPECT_TRUE(setter.requests.empty());
    EXPECT_FALSE(settings.SyncLast);
    EXPECT_TRUE(writer.written.empty());
}

TEST_F(TimeSyncTest, AnswerOfAnyLengthButFourIsInvalid) {
    view.captions.clear();
    env.dialog = &view;
    for (const std::string& answer : {std::string("  ") + bytes({0xE9, 0x3C, 0x7F, 0x00}) + " ",
                                      bytes({0xE9, 0x3C, 0x7F}), std::string(), std::string(5, 'x')}) {
        view.messages.clear();
        time_sync_button(env, "127.0.0.1");
        answer_with(answer);
        EXPECT_EQ(view.messages, std::vector<std::string>{kSyncInvalidAnswer});
        EXPECT_EQ(state.caption, kSyncCaption);
    }
    EXPECT_TRUE(setter.requests.empty());
    EXPECT_EQ(settings.SyncTxt, "Last synchronization: n/a");
    EXPECT_FALSE(settings.SyncLast);
    EXPECT_TRUE(writer.written.empty());

    // A four-byte answer whose last byte happens to be a blank is a valid time (11:57:20).
    time_sync_button(env, "127.0.0.1");
    answer_with(bytes({0xED, 0xDA, 0x67, 0x20}));
    ASSERT_EQ(setter.requests.size(), 1u);
    EXPECT_EQ(setter.requests[0].second, 20);
}

TEST_F(TimeSyncTest, AnInvalidAnswerInAutomaticModeIsSilentAndRetriedAfterAWait) {
    env.dialog = &view;
    ASSERT_TRUE(time_sync_auto_check(env).connect);
    answer_with("garbage");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_FALSE(time_sync_auto_check(env).connect);  // not again the next second
    clock.advance_seconds(kSyncRetryFirstSeconds);
    EXPECT_TRUE(time_sync_auto_check(env).connect);

    // Also when the invalid answer came from a server of a retry pass.
    SocketActions retry = time_sync_error(env);
    ASSERT_TRUE(retry.connect);
    answer_with("bad");
    EXPECT_FALSE(state.retrying);
    clock.advance_seconds(sync_retry_wait_seconds(state.auto_failures));
    EXPECT_EQ(time_sync_auto_check(env).host, kTimeServers[0]);
}

// Failed automatic attempts wait longer each time, up to an hour; a success or a clock set
// back ends the wait.
TEST_F(TimeSyncTest, FailedAutomaticAttemptsBackOff) {
    EXPECT_EQ(sync_retry_wait_seconds(0), 0.0);
    EXPECT_EQ(sync_retry_wait_seconds(1), 60.0);
    EXPECT_EQ(sync_retry_wait_seconds(2), 120.0);
    EXPECT_EQ(sync_retry_wait_seconds(6), 1920.0);
    EXPECT_EQ(sync_retry_wait_seconds(7), 3600.0);
    EXPECT_EQ(sync_retry_wait_seconds(1000), 3600.0);

    int passes = 0;
    for (double wait : {60.0, 120.0, 240.0}) {
        fail_all(time_sync_auto_check(env));
        ++passes;
        EXPECT_EQ(state.auto_failures, passes);
        clock.advance_seconds(wait - 1);
        EXPECT_FALSE(time_sync_auto_check(env).connect) << wait;
        clock.advance_seconds(1);
    }
    const SocketActions again = time_sync_auto_check(env);
    ASSERT_TRUE(again.connect);
    answer_with(bytes({0xED, 0xDA, 0x67, 0xA2}));
    EXPECT_EQ(state.auto_failures, 0);

    // A clock set back during a wait: the next check may start at once.
    settings.SyncLast.reset();
    ASSERT_TRUE(time_sync_auto_check(env).connect);
    answer_with("bad");
    ASSERT_EQ(state.auto_failures, 1);
    EXPECT_FALSE(time_sync_auto_check(env).connect);
    clock.advance_seconds(-3600);
    EXPECT_TRUE(time_sync_auto_check(env).connect);
}

TEST_F(TimeSyncTest, RetryPassTriesEveryOtherServerOnceThenStops) {
    settings.SyncSrv = 12;
    const SocketActions first = time_sync_auto_check(env);
    std::vector<std::string> hosts = fail_all(first);
    std::vector<std::string> expected{kTimeServers[12], kTimeServers[13]};
    for (int i = 0; i <= 11; ++i) expected.push_back(kTimeServers[static_cast<std::size_t>(i)]);
    EXPECT_EQ(hosts, expected);
    EXPECT_FALSE(state.retrying);
    EXPECT_FALSE(state.busy);
    // Still due: after the wait the next cycle starts again at the chosen server.
    EXPECT_FALSE(time_sync_auto_check(env).connect);
    clock.advance_seconds(kSyncRetryFirstSeconds);
    EXPECT_EQ(time_sync_auto_check(env).host, kTimeServers[12]);
}

TEST_F(TimeSyncTest, ServerIndexOutsideTheListEndsItsPass) {
    settings.SyncSrv = 14;
    SocketActions first = time_sync_auto_check(env);
    ASSERT_TRUE(first.connect) << "the missing server fails at once and the pass begins";
    const std::vector<std::string> hosts = fail_all(first);
    ASSERT_EQ(hosts.size(), 14u);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(hosts[static_cast<std::size_t>(i)], kTimeServers[static_cast<std::size_t>(i)]);
    EXPECT_FALSE(state.retrying);
    EXPECT_FALSE(state.busy);
}

TEST_F(TimeSyncTest, ButtonStartsAndCancelsAManualRun) {
    env.dialog = &view;
    const SocketActions start = time_sync_button(env, "time.example.test");
    EXPECT_TRUE(start.connect);
    EXPECT_EQ(start.host, "time.example.test");
    EXPECT_EQ(state.caption, kCancelCaption);
    EXPECT_TRUE(state.busy && state.manual);

    const SocketActions cancel = time_sync_button(env, "time.example.test");
    EXPECT_TRUE(cancel.close);
    EXPECT_FALSE(cancel.connect);
    EXPECT_EQ(state.caption, kSyncCaption);
    EXPECT_EQ(view.captions, (std::vector<std::string>{kCancelCaption, kSyncCaption}));
    EXPECT_FALSE(state.busy);

    // Late events of the cancelled connection change nothing.
    time_sync_data(env, bytes({0xE9, 0x3C, 0x7F, 0x00}));
    time_sync_closed(env);
    EXPECT_TRUE(setter.requests.empty());
}

TEST_F(TimeSyncTest, ManualErrorIsReportedAndNeverMovesToAnotherServer) {
    env.dialog = &view;
    time_sync_button(env, "time.example.test");
    EXPECT_FALSE(time_sync_error(env).connect);
    EXPECT_EQ(view.messages, std::vector<std::string>{kSyncError});
    EXPECT_EQ(state.caption, kSyncCaption);
    EXPECT_FALSE(state.busy);

    // A later automatic attempt is not taken for a manual one: silent, and it retries.
    view.messages.clear();
    ASSERT_TRUE(time_sync_auto_check(env).connect);
    EXPECT_EQ(time_sync_error(env).host, kTimeServers[1]);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(TimeSyncTest, FloodingServerIsCutOffAsAnInvalidAnswer) {
    env.dialog = &view;
    time_sync_button(env, "127.0.0.1");
    time_sync_connected(env);
    const std::string chunk(1000, '\x7f');
    SocketActions a;
    int chunks = 0;
    while (!a.close && chunks < 1000) {
        a = time_sync_data(env, chunk.substr(0, 40));
        ++chunks;
    }
    EXPECT_TRUE(a.close);
    EXPECT_LE(chunks, 2);
    EXPECT_LE(state.receive_buffer.size(), kTimeAnswerLimit);
    EXPECT_EQ(view.messages, std::vector<std::string>{kSyncInvalidAnswer});
    EXPECT_FALSE(state.busy);
    EXPECT_TRUE(setter.requests.empty());
}

TEST_F(TimeSyncTest, SilentServerTimesOutAndTheNextIsTried) {
    ASSERT_EQ(time_sync_auto_check(env).host, kTimeServers[0]);
    clock.advance_seconds(30);
    EXPECT_FALSE(time_sync_auto_check(env).connect);
    clock.advance_seconds(31);
    const SocketActions a = time_sync_auto_check(env);
    EXPECT_TRUE(a.close);
    EXPECT_EQ(a.host, kTimeServers[1]);
}

TEST(MonthAbbreviation, FirstThreeLettersWithOnlyTheFirstCapital) {
    EXPECT_EQ(month_abbreviation("January"), "Jan");
    EXPECT_EQ(month_abbreviation("MAY"), "May");
    EXPECT_EQ(month_abbreviation("m\xc3\xa4rz"), "M\xc3\xa4r");  // a letter of two bytes stays whole
    EXPECT_EQ(month_abbreviation("\xc3\xa9t\xc3\xa9"), "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(month_abbreviation(""), "");
}

TEST_F(TimeSyncTest, DelayAcrossMidnightStaysSmall) {
    clock.value = make_date(2026, 6, 15, 23, 59, 59);
    time_sync_auto_check(env);
    answer_with(bytes({0xE9, 0x3C, 0x7F, 0x00}), 2.0);
    EXPECT_FLOAT_EQ(state.delay, 1.0f);
}

}  // namespace
