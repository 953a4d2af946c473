#pragma once

#include <optional>

#include "alerts/alert_view.h"
#include "platform/services.h"

// The measurements the rules compare. Direction 0 download, 1 upload, 2 both together.

// Bytes the adapter (0 = all selected adapters) moved in period `kind`.
double rule_period_total(const AlertView& state, int adapter, int kind, int direction, double now);
// The adapter's current rate (the newest graph sample), bytes per second.
double graph_rate(const AlertView& state, int adapter, int direction);
// The nominal speed of adapter 1..N in bits per second, rounded to two decimals; nothing when
// the adapter is not there or its speed cannot be read.
std::optional<double> connection_speed(AlertView state, Services& services, int adapter);

// Once per update cycle: walks the live rules in order and fires every switched-on rule whose
// condition has just become true. Rules whose values cannot be read are skipped.
void evaluate_rules(AlertView state, Services& services);
