// The Colors page of the options dialog on the real main window of a real run: a preset
// chosen, a new one named and applied, renamed, deleted and the deletion cancelled.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <algorithm>

#include "display/win32/colors_page.h"
#include "display/win32/preset_name_window.h"
#include "settings/colour_presets.h"
#include "support/win32_program.h"

namespace {

void click(HWND window, int id) { ::SendMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0); }

// "&New" or "&Rename", the name typed and OK clicked; answers the name window when it stays.
HWND name_preset(HWND dialog, int button, const wchar_t* name) {
    click(dialog, button);
    const HWND window = ::FindWindowW(kPresetNameClass, nullptr);
    if (window == nullptr) return nullptr;
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    ::SetWindowTextW(::GetDlgItem(window, kPresetNameField), name);
    click(window, IDOK);
    return ::IsWindow(window) ? window : nullptr;
}

bool has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(ColorsPageWin32, PresetChosenNamedAppliedRenamedAndDeletedUntilCancel) {
    ColourScheme dark;
    dark.Background = 0x112233;
    Win32Program program([&dark](const std::string& data) { ASSERT_TRUE(write_preset(preset_file_path(data), "Dark", dark)); });
    ASSERT_TRUE(program.started);
    RegistrySettings& store = program.store;
    std::unique_ptr<Application>& app = program.app;
    const std::string file = preset_file_path(program.data);
    const HWND dialog = program.open_options("Colors");
    const HWND list = ::GetDlgItem(dialog, kColorsPresets);
    ASSERT_TRUE(::IsWindowVisible(list));
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    const HWND apply = ::GetDlgItem(dialog, kOptionsApplyId);
    EXPECT_FALSE(::IsWindowEnabled(apply));

    // Chosen: its colours are shown at once.
    ::SendMessageW(list, LB_SETCURSEL, 1, 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kColorsPresets, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    const Settings& s = app->state().settings;
    EXPECT_EQ(s.ColorPreset, "Dark");
    EXPECT_EQ(s.colours.Background, 0x112233u);
    EXPECT_TRUE(::IsWindowEnabled(apply));

    // A taken name is refused with its message; a new one is listed, in the file, and current.
    const HWND refused = name_preset(dialog, kColorsNew, L"dark");
    ASSERT_NE(refused, nullptr);
    wchar_t message[200] = {};
    ::GetDlgItemTextW(refused, kPresetNameMessage, message, 200);
    EXPECT_NE(message[0], L'\0');
    ::SendMessageW(refused, WM_COMMAND, IDCANCEL, 0);  // Escape
    EXPECT_FALSE(::IsWindow(refused));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    EXPECT_EQ(name_preset(dialog, kColorsNew, L"Mine"), nullptr);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(has(preset_names(file), "Mine"));
    click(dialog, kOptionsApplyId);
    EXPECT_FALSE(::IsWindowEnabled(apply));
    EXPECT_EQ(store.read("ColorPreset").value_or(""), "Mine");
    EXPECT_EQ(read_preset(file, "Mine").Background, 0x112233u);

    // Renamed in the list and the file.
    EXPECT_EQ(name_preset(dialog, kColorsRename, L"Ours"), nullptr);
    EXPECT_TRUE(has(preset_names(file), "Ours"));
    EXPECT_FALSE(has(preset_names(file), "Mine"));
    EXPECT_EQ(app->state().settings.ColorPreset, "Ours");

    // Deleted from the list; Cancel keeps it in the file.
    click(dialog, kColorsDelete);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(::IsWindowEnabled(apply));
    click(dialog, IDCANCEL);
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_TRUE(has(preset_names(file), "Ours"));
}

}  // namespace
