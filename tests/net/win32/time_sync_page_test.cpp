// The Time Sync page of the options dialog on the real main window: a typed server stored,
// "&Sync" run against a time server on 127.0.0.1 that answers days off, the question answered
// in its real message box, and the result shown on the page.
#include <gtest/gtest.h>

#include "support/win32_loopback_peer.h"

#include <ctime>

#include "net/time_sync.h"
#include "net/win32/time_sync_page.h"
#include "support/win32_message_box.h"
#include "support/win32_program.h"
#include "platform/win32/dialog_controls.h"

namespace {

TEST(TimeSyncPageWin32, TypedServerIsStoredAndSynchronisedWithAfterTheQuestion) {
    // Three days ahead: more than an automatic run may move the clock, so the user is asked.
    LoopbackPeer peer([](SOCKET s) {
        const auto seconds = static_cast<std::uint32_t>(std::time(nullptr) + 3 * 86400 + 2208988800LL);
        const unsigned char answer[4] = {static_cast<unsigned char>(seconds >> 24), static_cast<unsigned char>(seconds >> 16),
                                         static_cast<unsigned char>(seconds >> 8), static_cast<unsigned char>(seconds)};
        ::send(s, reinterpret_cast<const char*>(answer), 4, 0);
    });
    ::SetEnvironmentVariableW(L"KELVANTO_TIME_HOST", nullptr);
    ::SetEnvironmentVariableW(L"KELVANTO_TIME_PORT", std::to_wstring(peer.port()).c_str());
    ::SetEnvironmentVariableW(L"KELVANTO_CLOCK_READONLY", L"1");
    Win32Program program;
    ASSERT_TRUE(program.started);
    const Settings& s = program.app->state().settings;
    HWND dialog = program.open_options("Time Sync");
    const HWND servers = ::GetDlgItem(dialog, Win32Program::declared_id("Time Sync", "SyncSrv"));
    const HWND button = ::GetDlgItem(dialog, kTimeSyncNow);
    ASSERT_TRUE(::IsWindowVisible(button));
    EXPECT_EQ(control_text(button), kSyncCaption);
    EXPECT_EQ(control_text(::GetDlgItem(dialog, Win32Program::declared_id("Time Sync", "sync_now"))), "Synchronize now");

    // A typed name is kept by its name, enables Apply and is stored by it.
    ::SetWindowTextW(servers, L" 127.0.0.1 ");
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(servers), CBN_EDITCHANGE), reinterpret_cast<LPARAM>(servers));
    EXPECT_EQ(s.SyncHost, "127.0.0.1");
    ::SendMessageW(::GetDlgItem(dialog, kOptionsApplyId), BM_CLICK, 0, 0);
    EXPECT_EQ(program.store.read("SyncHost").value_or(""), "127.0.0.1");

    // "&Sync": the button offers to cancel while it runs; the answer, days off, is asked
    // about; "Yes" tries to set the clock, which this run may not, and the page says why.
    MessageBoxAnswer yes(L"Time Sync", IDYES);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(control_text(button), kCancelCaption);
    ASSERT_TRUE(pump_messages([&] { return !program.app->state().time_sync.busy; }, 15000, 20));
    ASSERT_EQ(yes.texts.size(), 1u);
    EXPECT_NE(yes.texts[0].find(L"Set the clock to it?"), std::wstring::npos) << narrow(yes.texts[0]);
    EXPECT_EQ(control_text(button), kSyncCaption);
    const std::string lines = control_text(::GetDlgItem(dialog, Win32Program::declared_id("Time Sync", "sync_lines")));
    EXPECT_NE(lines.find(kSyncClockRefused), std::string::npos) << lines;

    // Opened again, the page shows the typed server.
    ::SendMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    dialog = program.open_options("Time Sync");
    EXPECT_EQ(control_text(::GetDlgItem(dialog, Win32Program::declared_id("Time Sync", "SyncSrv"))), "127.0.0.1");
    ::SetEnvironmentVariableW(L"KELVANTO_TIME_PORT", nullptr);
    ::SetEnvironmentVariableW(L"KELVANTO_CLOCK_READONLY", nullptr);
}

}  // namespace
