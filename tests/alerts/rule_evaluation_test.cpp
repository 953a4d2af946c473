#include <gtest/gtest.h>

#include <memory>

#include "alerts/rule_files.h"
#include "alerts/rule_values.h"
#include "core/counters.h"
#include "alerts/alert_test_support.h"

namespace {

struct Evaluation : ::testing::Test, AlertBench {
    ScriptedTotals& t = totals();
    // Runs one cycle with the given download total (MB) and says whether the sound played.
    bool cycle_at(double received_mb) {
        t.received = received_mb * MB;
        const int before = fired("sound ding");
        cycle();
        return fired("sound ding") > before;
    }
};

AlertRule with_sound(AlertRule r) {
    add_action(r, PlaySound, "ding");
    return r;
}

}  // namespace

TEST(RuleThresholds, AmountsAndRatesInBytes) {
    EXPECT_EQ(amount_threshold("7|0"), 7 * 1024.0);
    EXPECT_EQ(amount_threshold("100|1"), 100 * MB);
    EXPECT_EQ(amount_threshold("1024|2"), 1024.0 * 1024 * MB);
    EXPECT_EQ(rate_threshold("64|0"), 8000.0);
    EXPECT_EQ(rate_threshold("1|4"), 1048576.0);
    EXPECT_EQ(rate_threshold("3|5"), 3.0 * 1024 * MB);
    // Bit rates from 3 gb/s on pass 2^31 before the division by 8.
    EXPECT_EQ(rate_threshold("3|2"), 375000000.0);
    EXPECT_EQ(rate_threshold("2147483647|2"), 268435455875000000.0);
    EXPECT_EQ(rate_threshold("9|0"), 1125.0);  // 9000 / 8 rounds down
    // Malformed values read from files have no threshold.
    for (const char* bad : {"", "|1", "12", "x|1", "1|3", "1|x", "1-1", "-5|1", "1 |1"}) {
        EXPECT_FALSE(amount_threshold(bad).has_value()) << bad;
    }
    EXPECT_FALSE(rate_threshold("5|6").has_value());
    // A share of the data cap: none while no cap is set.
    EXPECT_EQ(amount_threshold("80|3", 50 * 1024 * MB), 40 * 1024 * MB);
    EXPECT_FALSE(amount_threshold("80|3").has_value());
    EXPECT_FALSE(amount_threshold("80|4", 50 * 1024 * MB).has_value());
    EXPECT_FALSE(parse_speed("1e6").has_value());
}

TEST_F(Evaluation, DailyAmountFiresOnCrossingAndAgainTheNextDay) {
    add_live(with_sound(amount_rule("0", "0", "100|1")));
    EXPECT_FALSE(cycle_at(90));
    EXPECT_EQ(t.last_kind, 0);  // daily: "Today"
    EXPECT_FALSE(cycle_at(99));
    EXPECT_TRUE(cycle_at(101));
    EXPECT_FALSE(cycle_at(150));
    // A new day begins at 2 MB: a drop below the threshold does not fire ...
    EXPECT_FALSE(cycle_at(2));
    EXPECT_FALSE(cycle_at(60));
    // ... crossing 100 MB again does.
    EXPECT_TRUE(cycle_at(100));
    EXPECT_EQ(fired("sound ding"), 2);
}

TEST_F(Evaluation, AmountFromZeroAndAfterAPeriodRestart) {
    add_live(with_sound(amount_rule("4", "0", "100|1")));
    EXPECT_FALSE(cycle_at(0));
    // From 0 past the threshold within one cycle: fires once.
    EXPECT_TRUE(cycle_at(500));
    EXPECT_EQ(t.last_kind, 8);  // "total"
    EXPECT_FALSE(cycle_at(600));
    // The period started anew and is already past the threshold.
    EXPECT_TRUE(cycle_at(150));
    EXPECT_FALSE(cycle_at(160));
}

TEST_F(Evaluation, BothDirectionsFireOnTheSum) {
    add_live(with_sound(amount_rule("5", "2", "100|1")));
    t.sent = 40 * MB;
    EXPECT_FALSE(cycle_at(40));
    EXPECT_EQ(t.last_kind, 9);  // "sessions"
    t.sent = 50 * MB;
    EXPECT_TRUE(cycle_at(55));
    EXPECT_EQ(state.alerts.evaluation.FiringDirection, 2);
}

TEST_F(Evaluation, EachTimeRestartsTheStepAtTheCurrentTotal) {
    add_live(with_sound(each_time_rule("0", "100|1")));
    EXPECT_FALSE(cycle_at(1000));  // the first step starts here
    EXPECT_EQ(t.last_kind, 8);
    EXPECT_FALSE(cycle_at(1060));
    EXPECT_TRUE(cycle_at(1120));
    EXPECT_FALSE(cycle_at(1180));  // 60 MB into the new step: the 20 MB over were not carried
    EXPECT_TRUE(cycle_at(1240));
}

TEST_F(Evaluation, RateCrossingsAndEquality) {
    const int i = add_live(with_sound(rate_rule("0", "64|0", "1")));
    AdapterState& all = state.adapters[0];
    const auto rate_cycle = [&](double bytes_per_second) {
        all.download_history[0] = bytes_per_second;
        const int before = fired("sound ding");
        cycle();
        return fired("sound ding") > before;
    };
    EXPECT_FALSE(rate_cycle(7999));
    EXPECT_TRUE(rate_cycle(8000));  // 64 kb/s is 8000 bytes per second
    EXPECT_TRUE(rate_cycle(8000));  // equal again: fires again
    EXPECT_TRUE(rate_cycle(9000));  // from exactly the threshold upwards
    EXPECT_FALSE(rate_cycle(9500));
    EXPECT_FALSE(rate_cycle(100));
    all.upload_history[0] = 4000;
    state.alerts.live.rules[static_cast<std::size_t>(i)].value(0, 1).Value = "2";
    EXPECT_TRUE(rate_cycle(4000));  // both directions together
    EXPECT_EQ(state.alerts.live.rules[static_cast<std::size_t>(i)].Enabled, kSwitchedOn);
}

TEST_F(Evaluation, RateAlreadyAboveFiresInTheFirstCycle) {
    add_live(with_sound(rate_rule("1", "1|4", "1")));
    state.adapters[0].upload_history[0] = 2 * MB;
    EXPECT_TRUE(cycle_at(0));
}

TEST_F(Evaluation, FirstTimeRuleSwitchesItselfOffAndStaysOff) {
    WorkingRules w;
    new_rule(w);
    w.rules[0] = with_sound(rate_rule("0", "1|3", "0"));
    save_all_rules(w, state.alerts.live, state.data_dir);
    state.adapters[0].download_history[0] = 5000;
    EXPECT_TRUE(cycle_at(0));
    EXPECT_EQ(state.alerts.live.rules[0].Enabled, 0);
    state.adapters[0].download_history[0] = 1;
    cycle();
    state.adapters[0].download_history[0] = 5000;
    EXPECT_FALSE(cycle_at(0));

    // After a restart the stored rule is still off.
    const auto restarted_held = std::make_unique<ProgramState>();
    ProgramState& restarted = *restarted_held;
    restarted.alerts.totals = state.alerts.totals;
    restarted.adapters[0].download_history[0] = 5000;
    load_rules_at_startup(restarted.alerts.live, state.data_dir);
    ASSERT_EQ(restarted.alerts.live.count, 1);
    EXPECT_EQ(restarted.alerts.live.rules[0].Enabled, 0);
    evaluate_rules(restarted, services);
    EXPECT_EQ(fired("sound ding"), 1);
}

// In the running program the rules follow the cycle's reading of the interface table: the
// speed rule uses the interface the cycle found in its slot and reads no table of its own.
TEST_F(Evaluation, SpeedRulesUseTheInterfaceTheCycleRead) {
    tables.add_interface(2, "eth0");
    tables.add_address(2, 10, 0, 0, 5);
    state.stats.adapters.resize(1);
    CycleHooks hooks;
    link_speed.speeds["eth0"] = 10000000;
    add_live(with_sound(speed_rule("1", "100000000")));
    read_counters(state, services, hooks);
    EXPECT_FALSE(cycle_at(0));
    link_speed.speeds["eth0"] = 100000000;
    read_counters(state, services, hooks);
    const int reads = tables.interface_reads;
    EXPECT_TRUE(cycle_at(0));
    EXPECT_EQ(tables.interface_reads, reads);

    // When the interface is gone the slot is empty and the rule finds no speed.
    tables.interfaces.clear();
    tables.addresses.clear();
    link_speed.speeds["eth0"] = 10000000;
    read_counters(state, services, hooks);
    EXPECT_FALSE(cycle_at(0));
    EXPECT_EQ(link_speed.reads, 2);
}

TEST_F(Evaluation, SpeedChangeFiresOnEachChangeToTheTarget) {
    tables.add_interface(2, "eth0");
    tables.add_address(2, 10, 0, 0, 5);
    link_speed.speeds["eth0"] = 100000000;
    add_live(with_sound(speed_rule("1", "100000000")));
    add_live(speed_rule("1", "10000000"));  // a second rule on the same adapter hides nothing
    EXPECT_FALSE(cycle_at(0));  // already at the target when the program starts
    EXPECT_EQ(link_speed.reads, 1);  // both rules share one reading of the adapter's speed
    EXPECT_FALSE(cycle_at(0));
    link_speed.speeds["eth0"] = 10000000;
    EXPECT_FALSE(cycle_at(0));
    link_speed.speeds["eth0"] = 100000000;
    EXPECT_TRUE(cycle_at(0));
    EXPECT_FALSE(cycle_at(0));
    link_speed.speeds["eth0"] = 10000000;
    EXPECT_FALSE(cycle_at(0));
    link_speed.speeds["eth0"] = 100000000;
    EXPECT_TRUE(cycle_at(0));
}

// The options dialog removes and reorders rules around speed rules: no rule may take
// another adapter's last speed for its own and fire without a change (its actions may
// reboot the machine), while a real change still fires, also when another rule on the
// same adapter is switched off.
TEST_F(Evaluation, SpeedRulesKeepTheirAdaptersSpeedWhenRulesAreRemovedAndReordered) {
    tables.add_interface(2, "eth0");
    tables.add_address(2, 10, 0, 0, 5);
    tables.add_interface(3, "eth1");
    tables.add_address(3, 10, 0, 1, 5);
    link_speed.speeds["eth0"] = 100000000;
    link_speed.speeds["eth1"] = 10000000;
    AlertRule fast = speed_rule("1", "100000000");
    add_action(fast, PlaySound, "eth0 fast");
    AlertRule slow = speed_rule("2", "10000000");
    add_action(slow, PlaySound, "eth1 slow");
    WorkingRules& w = state.alerts.working;
    const auto store = [&](std::initializer_list<AlertRule> rules) {
        while (w.count > 0) remove_rule(w);
        for (const AlertRule& r : rules) {
            ASSERT_EQ(new_rule(w), TableEdit::done);
            w.rules[static_cast<std::size_t>(w.count - 1)] = r;
        }
        ASSERT_TRUE(save_all_rules(w, state.alerts.live, state.data_dir));
    };
    const auto alerts = [&] { return fired("sound eth0 fast") + fired("sound eth1 slow"); };

    store({fast, slow});
    cycle();
    cycle();
    // The first rule removed: the eth1 rule moves to position 0.
    w.selected = 0;
    remove_rule(w);
    ASSERT_TRUE(save_all_rules(w, state.alerts.live, state.data_dir));
    ASSERT_EQ(state.alerts.live.count, 1);
    cycle();
    // Reordered, and the eth0 rule back at position 0.
    store({fast, slow});
    cycle();
    store({slow, fast});
    cycle();
    EXPECT_EQ(alerts(), 0);

    // A real change fires, once.
    link_speed.speeds["eth1"] = 1000000;
    cycle();
    link_speed.speeds["eth1"] = 10000000;
    cycle();
    cycle();
    EXPECT_EQ(fired("sound eth1 slow"), 1);
    // A change on eth0 while another rule on eth0 is switched off fires the one switched on.
    AlertRule slow_on_eth0 = speed_rule("1", "10000000");
    slow_on_eth0.Enabled = 0;
    store({slow_on_eth0, fast});
    link_speed.speeds["eth0"] = 10000000;
    cycle();
    link_speed.speeds["eth0"] = 100000000;
    cycle();
    EXPECT_EQ(fired("sound eth0 fast"), 1);
    EXPECT_EQ(alerts(), 2);
}

// On a fresh data folder the all-time total is 0 when the program starts; the first burst,
// however large, is the first step's growth and not its base.
TEST_F(Evaluation, EachTimeCountsTheFirstStepFromATotalOfZero) {
    add_live(with_sound(each_time_rule("0", "1|1")));
    EXPECT_FALSE(cycle_at(0));
    EXPECT_FALSE(cycle_at(0));
    EXPECT_TRUE(cycle_at(5));
    EXPECT_FALSE(cycle_at(5.5));
    EXPECT_TRUE(cycle_at(6));
}

TEST_F(Evaluation, MalformedAndSwitchedOffRulesAreSkipped) {
    AlertRule bad_amount = with_sound(amount_rule("0", "0", "lots|1"));
    AlertRule bad_period = with_sound(amount_rule("9", "0", "1|0"));
    AlertRule bad_adapter = with_sound(rate_rule("0", "1|3", "1"));
    bad_adapter.value(0, 0).Value = "adapter";
    AlertRule bad_unit = with_sound(rate_rule("0", "1|7", "1"));
    AlertRule bad_kind = with_sound(rate_rule("0", "1|3", "1"));
    bad_kind.ConditionKind = 7;
    AlertRule off = with_sound(rate_rule("0", "1|3", "1"));
    off.Enabled = 0;
    AlertRule empty;  // a missing rule file
    empty.Enabled = kSwitchedOn;
    AlertRule speed_all = with_sound(speed_rule("0", "0"));  // "Multiple adapters" has no speed
    for (const AlertRule& r : {bad_amount, bad_period, bad_adapter, bad_unit, bad_kind, off, empty, speed_all}) add_live(r);
    state.adapters[0].download_history[0] = 1e9;
    EXPECT_FALSE(cycle_at(10));
    EXPECT_FALSE(cycle_at(1e6));
    EXPECT_EQ(log.calls.size(), 0u);
    EXPECT_EQ(state.alerts.evaluation.PreviousRate[2], 0.0);
}

// "80 % of the cap" follows the cap: raised, the rule fires again at its new 80 %; without a
// cap it is skipped. The notification carries the condition's sentence and the message.
TEST_F(Evaluation, ShareOfTheCapFollowsTheCapAndNotifies) {
    FakeNotifier notifier;
    services.notifier = &notifier;
    state.settings.CapAmount = 100;
    state.settings.CapUnit = 1;  // MB
    AlertRule r = with_sound(amount_rule("6", "0", "80|3"));
    r.value(0, 0).Text = "Multiple adapters";
    r.value(0, 1).Text = "Billing";
    r.value(0, 2).Text = "download";
    r.value(0, 3).Text = "80 % of the cap";
    add_action(r, ShowNotification);
    add_live(r);
    EXPECT_FALSE(cycle_at(50));
    EXPECT_FALSE(cycle_at(79));
    EXPECT_TRUE(cycle_at(81));
    EXPECT_FALSE(cycle_at(90));
    state.settings.CusPerName = "Billing";
    state.settings.CapAmount = 200;
    EXPECT_FALSE(cycle_at(120));
    EXPECT_TRUE(cycle_at(161));
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_EQ(notifier.shown[1].first, "When Multiple adapters Billing download reaches 80 % of the cap");
    EXPECT_EQ(notifier.shown[1].second, "The Billing download has reached 161.00 MB.");
    // Lowered below what is used, the rule does not fire; without a cap it is skipped.
    state.settings.CapAmount = 150;
    EXPECT_FALSE(cycle_at(170));
    state.settings.CapAmount = 0;
    EXPECT_FALSE(cycle_at(500));
    EXPECT_EQ(fired("sound ding"), 2);
}
