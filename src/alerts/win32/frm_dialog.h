#pragma once

#include "platform/win32/windows_api.h"

#include <functional>

#include "alerts/alert_view.h"
#include "alerts/value_entry.h"

struct Services;

// The value dialog's controls (GetDlgItem(dialog, id)): the prompt (`lblDes`), the drop-down
// list (`Combo`), the field (`txt`), the unit after it and the browse button "..."
// (`cmdBrowse`); OK and Cancel are IDOK and IDCANCEL.
enum ValueDialogControl : int {
    kValuePrompt = 3001,
    kValueList = 3002,
    kValueField = 3003,
    kValueUnit = 3004,
    kValueBrowse = 3005,
};
inline constexpr const wchar_t* kValueDialogClass = L"Kelvanto.frmDialog";

// Opens the value dialog `frmDialog` of a sentence word over `owner`, which is disabled while
// it is open. OK stores the value through the core into the rule's pair (a refusal is shown
// in the program's message box and the dialog stays); Cancel, Escape and the close box store
// nothing. `closed(stored)` runs once the dialog is gone and the owner enabled again.
// Answers null for words that open no dialog.
HWND open_value_dialog(HWND owner, AlertView state, Services& services, AlertRule& rule, const SentenceWord& word,
                       std::function<void(bool stored)> closed);
