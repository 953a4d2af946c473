#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <optional>
#include <string>

// The controls of the window that asks for a preset name (GetDlgItem(window, id)): "Name:",
// the name's box (`txtName`), "&OK" (IDOK, `cmdOK`) and the line with the message of a
// refused name (`lblMessage`).
enum PresetNameControl : int {
    kPresetNameCaption = 3101,
    kPresetNameField = 3102,
    kPresetNameMessage = 3103,
};
inline constexpr const wchar_t* kPresetNameClass = L"Kelvanto.frmPresetName";

// Opens "New preset" (frmNew) or "Rename preset" (frmRename) over `owner`, which is disabled
// while it is open, with `name` in the box, selected. "&OK" and Enter hand the name to
// `entered`: a message it answers is shown (with a beep) and the window stays; none closes
// it. Escape and the close box close it too. `closed()` runs once it is gone and the owner
// is enabled again.
HWND open_preset_name_window(HWND owner, bool rename, const std::string& name,
                             std::function<std::optional<std::string>(const std::string&)> entered,
                             std::function<void()> closed);
