// kelvanto_seed_rules DATA_DIR [COUNT] [LOG_FILE]
// Writes COUNT (default 10) switched-on alert rules of all four kinds into DATA_DIR/Stats, for
// measuring what a running program with a full rule table costs. The thresholds are far above
// any idle traffic, so the rules are evaluated every cycle without firing; their action
// appends to LOG_FILE (default DATA_DIR/alerts.log).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "alerts/alert_rule.h"
#include "alerts/rule_files.h"

namespace {

AlertRule rule_of_kind(int n, const std::string& log_file) {
    AlertRule r;
    r.Name = "Idle rule " + std::to_string(n + 1);
    r.Enabled = kSwitchedOn;
    r.ConditionKind = static_cast<std::int16_t>(n % 4);
    r.value(0, 0) = {"Multiple adapters", "0"};
    switch (r.ConditionKind) {
        case AmountReached:
            r.value(0, 1) = {"daily", std::to_string(n % 3)};
            r.value(0, 2) = {"download + upload", "2"};
            r.value(0, 3) = {"900 GB", "900|2"};
            break;
        case AmountEachTime:
            r.value(0, 1) = {"download", "0"};
            r.value(0, 2) = {"500 GB", "500|2"};
            break;
        case RateReached:
            r.value(0, 1) = {"upload", "1"};
            r.value(0, 2) = {"9 GB/s", "9|5"};
            r.value(0, 3) = {"the first time", "1"};
            break;
        default:
            r.value(0, 0) = {"Adapter 1", "1"};
            r.value(0, 1) = {"1", "1"};
            break;
    }
    r.Actions[AddLogEntry] = kSwitchedOn;
    r.value(AddLogEntry + 1, 0) = {std::filesystem::path(log_file).filename().string(), log_file};
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelvanto_seed_rules DATA_DIR [COUNT] [LOG_FILE]\n");
        return 2;
    }
    std::string data_dir = argv[1];
    if (data_dir.back() != '/') data_dir += '/';
    const int count = argc > 2 ? std::atoi(argv[2]) : kMaxRules;
    if (count < 0 || count > kMaxRules) {
        std::fprintf(stderr, "COUNT must be 0 to %d\n", kMaxRules);
        return 2;
    }
    const std::string log_file = argc > 3 ? argv[3] : data_dir + "alerts.log";
    std::filesystem::create_directories(data_dir + "Stats");
    WorkingRules working;
    for (int n = 0; n < count; ++n) working.rules[static_cast<std::size_t>(n)] = rule_of_kind(n, log_file);
    working.count = count;
    LiveRules live;
    if (!save_all_rules(working, live, data_dir)) {
        std::fprintf(stderr, "could not write the rules into %sStats\n", data_dir.c_str());
        return 1;
    }
    std::printf("%d rules written into %sStats\n", count, data_dir.c_str());
    return 0;
}
