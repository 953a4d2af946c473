// The Service page of the options dialog on the real main window, over the real service
// control manager: the service installed and removed with the page's buttons.
#include <gtest/gtest.h>

#include "platform/win32/win32_service.h"
#include "service/win32/service_page.h"
#include "support/win32_message_box.h"
#include "support/win32_program.h"

namespace {

TEST(ServicePageWin32, InstallAndUninstallSayWhatTheyDidAndTurnTheButtons) {
    Win32ServiceManager manager("\"C:\\windows\\system32\\cmd.exe\" /c exit", "KelvantoPageTest");
    manager.uninstall();
    Win32Program program({}, &manager);
    ASSERT_TRUE(program.started);
    const HWND dialog = program.open_options("Service");
    const HWND install = ::GetDlgItem(dialog, kServiceInstall);
    const HWND uninstall = ::GetDlgItem(dialog, kServiceUninstall);
    ASSERT_TRUE(::IsWindowVisible(install));
    EXPECT_TRUE(::IsWindowEnabled(install));
    EXPECT_FALSE(::IsWindowEnabled(uninstall));

    MessageBoxAnswer ok(L"Service", IDOK);
    ::SendMessageW(install, BM_CLICK, 0, 0);
    EXPECT_EQ(ok.texts, std::vector<std::wstring>{L"KelvantoPageTest installed successfully."});
    EXPECT_TRUE(manager.is_installed());
    EXPECT_FALSE(::IsWindowEnabled(install));
    EXPECT_TRUE(::IsWindowEnabled(uninstall));
    wchar_t note[200] = {};
    ::GetDlgItemTextW(dialog, kServiceHandOver, note, 200);
    EXPECT_EQ(narrow(note), kServiceHandOverNote);

    ::SendMessageW(uninstall, BM_CLICK, 0, 0);
    EXPECT_EQ(ok.texts.back(), L"KelvantoPageTest uninstalled successfully.");
    EXPECT_EQ(ok.texts.size(), 2u);
    EXPECT_FALSE(manager.is_installed());
    EXPECT_TRUE(::IsWindowEnabled(install));
    // Nothing of the service is a setting: the dialog has nothing to apply.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kOptionsApplyId)));
}

}  // namespace
