#pragma once

#include "platform/win32/windows_api.h"

#include <functional>

#include "alerts/alert_view.h"
#include "alerts/rule_editor.h"

struct Services;

// The controls of "Edit alert" (GetDlgItem(editor, id)): the condition list
// (`listConditions`) and the action list (`listAction`), list views with check boxes; the
// sentence (see rule_sentence_view.h; a click on a placeholder opens the value dialog); the
// name (`txtName`); OK and Cancel are IDOK and IDCANCEL.
enum RuleEditorControl : int {
    kEditConditions = 2001,
    kEditActions = 2002,
    kEditSentence = 2003,
    kEditName = 2004,
};
inline constexpr const wchar_t* kRuleEditorClass = L"Kelvanto.frmEdit";

// Opens the rule editor `frmEdit` on the rule `session` has open in the working table (from
// open_new_rule or open_selected_rule), over `owner`, which is disabled while it is open.
// OK checks the rule through the core and stores it, or shows the refusal in the program's
// message box and stays open with the missing values marked; Cancel, Escape and the close
// box restore the rule as the session found it. `closed(stored)` runs once the editor is
// gone and the owner is enabled again (not when the editor goes with its owner: the rule is
// then restored without a call). Answers the editor's window.
HWND open_rule_editor(HWND owner, AlertView state, Services& services, const EditorSession& session,
                      std::function<void(bool stored)> closed);
