#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <string>
#include <vector>

#include "display/display_view.h"

// The controls of "Edit Item" (GetDlgItem(editor, id)): the name (`txtName`), the type
// (`cboType`), the period (`cboPeriod`, for transferred amounts) and the adapter
// (`cboAdapter`, not for text labels); OK and Cancel are IDOK and IDCANCEL.
enum EditItemControl : int {
    kItemName = 2101,
    kItemType = 2102,
    kItemPeriod = 2103,
    kItemAdapter = 2104,
};
inline constexpr const wchar_t* kItemEditorClass = L"Kelvanto.frmEditItem";

// What the item editor does while it is open and when it closes.
struct ItemEditorSession {
    int item = 0;                // the edited item, 1-based in the display list
    bool creating = false;       // a new item the caller appended; Cancel removes it
    std::vector<std::string> adapter_names;  // offered after "Multiple adapters"
    std::function<void()> redraw;            // every change is shown at once
    std::function<void(bool accepted)> closed;  // once the editor is gone, the owner enabled
};

// Opens the item editor over `owner`, which is disabled while it is open. Every change goes
// into the item at once; OK keeps it and copies the display list into the custom list;
// Cancel, Escape and the close box put the item back (a new one is removed). Answers the
// editor's window.
HWND open_item_editor(HWND owner, DisplayView state, ItemEditorSession session);
