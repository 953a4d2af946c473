#pragma once

#include <memory>

#include "alerts/alert_view.h"
#include "settings/win32/options_dialog.h"

struct Services;

// The controls of the options dialog's "Alerts" page (GetDlgItem(dialog, id)): the rules of
// the working table (`listRules`, a list view with a check box per rule: ticked, the rule is
// switched on), the selected rule's sentence (a click on a placeholder opens the value
// dialog) and the buttons "&New", "&Modify", "&Copy", "&Remove" and "&Test".
enum AlertPageControl : int {
    kAlertRules = kOptionsViewIdFirst,
    kAlertSentence,
    kAlertNew,
    kAlertModify,
    kAlertCopy,
    kAlertRemove,
    kAlertTest,
};

// The view of the "Alerts" page over the working table of `state`. New and Modify open the
// rule editor over the dialog; every change of the table is reported through `events`. The
// table is loaded and stored by the dialog's host (OK, Apply, Cancel), not here.
std::unique_ptr<OptionsPageView> create_alert_page(AlertView state, Services& services, OptionsPageEvents events);
