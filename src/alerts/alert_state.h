#pragma once

#include "alerts/alert_rule.h"
#include "alerts/mail_queue.h"
#include "alerts/rule_evaluation_state.h"

struct HistoryQuery;
// Where the rules read period totals (adapter, period kind, direction 0/1, now).
using PeriodTotalSource = double (*)(HistoryQuery, int, int, int, double);

// Everything the alerts keep for the life of the process.
struct AlertState {
    LiveRules live;
    WorkingRules working;
    EvaluationState evaluation;
    MailSender mail;
    MailQueue mail_queue;
    PeriodTotalSource totals = nullptr;  // nullptr: the logged period totals; tests script their own
};
