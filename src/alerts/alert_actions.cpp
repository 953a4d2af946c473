#include "alerts/alert_actions.h"

#include "alerts/alert_state.h"
#include "measure/adapter_state.h"
#include "settings/settings.h"

#include <cstdio>

#include "alerts/rule_evaluation.h"
#include "alerts/rule_sentence.h"
#include "alerts/rule_values.h"
#include "measure/format.h"
#include "platform/file_access.h"

namespace {

// A choice read leniently for the message: anything unreadable counts as the first choice.
int choice_or_zero(const std::string& value, int last) {
    return static_cast<int>(parse_integer(value, 0, last).value_or(0));
}

const AlertRule* rule_at(AlertView state, int index, bool test) {
    if (index < 0 || index >= kMaxRules) return nullptr;
    if (test) return index < state.alerts.working.count ? &state.alerts.working.rules[static_cast<std::size_t>(index)] : nullptr;
    return index < state.alerts.live.count ? &state.alerts.live.rules[static_cast<std::size_t>(index)] : nullptr;
}

bool append_to_file(const std::string& path, const std::string& line) {
    if (path.empty()) return false;
    std::FILE* f = open_file(path, "ab");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    return std::fclose(f) == 0 && ok;
}

const Locale& locale_of(const Services& services) {
    static const EnglishLocale kFallbackLocale;
    return services.locale != nullptr ? *services.locale : kFallbackLocale;
}

std::string period_word(const AlertView& state, int choice) {
    static constexpr const char* kWords[6] = {"daily ", "weekly ", "monthly ", "yearly ", "total ", "sessions "};
    if (choice >= 0 && choice < 6) return kWords[choice];
    return state.settings.CusPerName + " ";
}

// The desktop's notification service, or the program's message window without a notifier.
void show_notification(Services& services, const std::string& title, const std::string& text) {
    if (services.notifier != nullptr) {
        services.notifier->notify(title, text);
    } else if (services.msg_box != nullptr) {
        services.msg_box->show_message(title + "\n" + text, false);
    }
}

// "Alert mail not sent: the SMTP server ..." as a sentence of its own: "The SMTP server ...".
std::string mail_problem_for_user(const std::string& line) {
    const std::string prefix = "Alert mail not sent: ";
    std::string text = line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line;
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

std::string compose_message(AlertView state, Services& services, const AlertRule& rule) {
    const Locale& locale = locale_of(services);
    const Settings& settings = state.settings;
    const int adapter = choice_or_zero(rule.condition_value(0), kMaxAdapters);
    switch (rule.ConditionKind) {
        case AmountReached: {
            static constexpr const char* kDirection[3] = {"download ", "upload ", "download + upload "};
            const int p = choice_or_zero(rule.condition_value(1), 6);
            const int d = state.alerts.evaluation.FiringDirection <= 2 ? state.alerts.evaluation.FiringDirection : 0;
            const int unit = split_number_unit(rule.condition_value(3), kAmountShareOfCap).value_or(NumberWithUnit{}).unit;
            // A share of the cap reports the total in the cap's unit.
            const int code = kUnitKilobytes + (unit == kAmountShareOfCap ? settings.CapUnit : unit);
            const double total = rule_period_total(state, adapter, period_kind_of_choice(p), d, services.clock.now());
            return "The " + period_word(state, p) + kDirection[d] + "has reached " +
                   format_value(total, code, false, true, kDecimalsFromSettings, false, settings, locale) + ".";
        }
        case AmountEachTime: {
            static constexpr const char* kUnits[4] = {" KB ", " MB ", " GB ", " % of the cap "};
            static constexpr const char* kDone[3] = {"downloaded.", "uploaded.", "downloaded + uploaded."};
            const std::string& value = rule.condition_value(2);
            const NumberWithUnit n = split_number_unit(value, kAmountShareOfCap).value_or(NumberWithUnit{"0", 0});
            return n.number + kUnits[n.unit] + "has been " + kDone[choice_or_zero(rule.condition_value(1), 2)];
        }
        case RateReached: {
            static constexpr const char* kDirection[3] = {"down ", "up ", "down + up "};
            static constexpr int kCodes[6] = {kUnitKilobits,   kUnitMegabits,   kUnitGigabits,
                                              kUnitKilobytes, kUnitMegabytes, kUnitGigabytes};
            const int d = choice_or_zero(rule.condition_value(1), 2);
            const int unit = split_number_unit(rule.condition_value(2), 5).value_or(NumberWithUnit{}).unit;
            const double rate = graph_rate(state, adapter, d);
            return std::string("Transfer rate ") + kDirection[d] + "has reached " +
                   format_value(rate, kCodes[unit], true, true, kDecimalsFromSettings, false, settings, locale) + "/s.";
        }
        case SpeedChanged:
            return "Connection speed has changed to " + rule.condition_value(1) + " bps.";
        default:
            return {};
    }
}

std::string log_line(const Locale& locale, double now, const std::string& message) {
    return locale.short_date(now) + " " + locale.long_time(now) + " " + message + "\r\n";
}

void run_actions(AlertView state, Services& services, int index, bool test) {
    const AlertRule* found = rule_at(state, index, test);
    if (found == nullptr) return;
    const AlertRule rule = *found;
    if (test && rule.ConditionKind == AmountReached) {
        state.alerts.evaluation.FiringDirection = static_cast<std::uint8_t>(choice_or_zero(rule.condition_value(2), 2));
    }
    std::string message;
    if (rule.has_action(SendMail) || rule.has_action(AddLogEntry) || rule.has_action(ShowNotification))
        message = compose_message(state, services, rule);

    const std::string log_file = rule.has_action(AddLogEntry) ? rule.action_value(AddLogEntry, 0) : std::string();
    if (rule.has_action(SendMail)) {
        send_or_queue(state.alerts.mail, state.alerts.mail_queue, state.settings, {message, log_file},
                      services.mail_socket);
    }
    if (rule.has_action(AddLogEntry)) append_to_file(log_file, log_line(locale_of(services), services.clock.now(), message));
    report_mail_problems(state, services);
    if (rule.has_action(ShowNotification)) show_notification(services, condition_sentence(rule), message);
    if (rule.has_action(PlaySound) && services.sound != nullptr) services.sound->play_file(rule.action_value(PlaySound, 0));
    if (rule.has_action(RunProgram) && services.shell != nullptr) {
        services.shell->run(rule.action_value(RunProgram, 0), rule.action_value(RunProgram, 1));
    }
    if (rule.has_action(OpenFile) && services.shell != nullptr) services.shell->open(rule.action_value(OpenFile, 0));
    if (rule.has_action(Reboot) && services.power != nullptr) services.power->reboot();
    if (rule.has_action(Shutdown) && services.power != nullptr) services.power->shutdown();
}

void report_mail_problems(AlertView state, Services& services) {
    std::vector<MailProblem>& problems = state.alerts.mail.problems;
    for (const MailProblem& p : problems) {
        if (services.messages != nullptr) services.messages->line(p.text);
        append_to_file(p.log_file, log_line(locale_of(services), services.clock.now(), p.text));
        // The first failure of a run is shown on the desktop; the next one only after a mail
        // went through again.
        if (p.tell_user) show_notification(services, "Alert mail not sent", mail_problem_for_user(p.text));
    }
    problems.clear();
}

void give_up_mail(AlertView state, Services& services) {
    if (state.alerts.mail.busy() && services.mail_socket != nullptr) {
        services.mail_socket->stop_timer();
        services.mail_socket->close();
    }
    give_up_mail_at_exit(state.alerts.mail, state.alerts.mail_queue);
    for (MailProblem& p : state.alerts.mail.problems) p.tell_user = false;  // no desktop message at the end
    report_mail_problems(state, services);
}

void serve_mail_queue(AlertView state, Services& services) {
    report_mail_problems(state, services);
    work_off_queue(state.alerts.mail, state.alerts.mail_queue, state.settings, services.mail_socket);
}

MailCheck confirm_mail_settings(AlertView state, Services& services, bool test) {
    MailCheck check = check_mail_settings(state.alerts.working, state.settings, test);
    if (!check.accepted() && services.msg_box != nullptr) services.msg_box->show_message(check.message, false);
    return check;
}

TestResult test_selected_rule(AlertView state, Services& services) {
    const WorkingRules& working = state.alerts.working;
    const int i = working.selected;
    if (i < 0 || i >= working.count) return {};
    const AlertRule& rule = working.rules[static_cast<std::size_t>(i)];
    const auto confirmed = [&services](const char* text) {
        MessageBoxRequest box;
        box.text = text;
        box.title = "Warning";
        box.buttons = MsgButtons::ok_cancel;
        box.icon = MsgIcon::error;
        box.system_modal = true;
        return services.dialogs.message_box(box) == MsgResult::ok;
    };
    if (rule.has_action(Reboot) && !confirmed("This will reboot your computer.")) return {TestOutcome::cancelled, {}};
    if (rule.has_action(Shutdown) && !confirmed("This will shutdown your computer.")) return {TestOutcome::cancelled, {}};
    if (rule.has_action(SendMail)) {
        const MailCheck check = confirm_mail_settings(state, services, true);
        if (!check.accepted()) return {TestOutcome::mail_refused, check};
    }
    run_actions(state, services, i, true);
    return {TestOutcome::ran, {}};
}
