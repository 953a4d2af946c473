// The Reset page of the options dialog on the real main window of a real run: its lines
// refreshed while it is shown, the session, the minutely and the daily logs cleared as the
// real message boxes are answered.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "history/log_files.h"
#include "history/win32/reset_page.h"
#include "platform/date.h"
#include "platform/file_access.h"
#include "support/win32_message_box.h"
#include "support/win32_program.h"

namespace {

// Clicks `button` with its message boxes answered as they come: the warnings OK, whether to
// switch minute logging off too Yes; the texts asked.
std::vector<std::wstring> click_answered(HWND dialog, int button) {
    const MessageBoxAnswer answer({{L"Warning", IDOK}, {L"Minutely logging", IDYES}});
    ::SendMessageW(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    return answer.texts;
}

std::wstring text_of(HWND dialog, int id) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

TEST(ResetPageWin32, LinesFollowTheSessionAndSessionMinutelyAndDailyLogsAreClearedAsAnswered) {
    Win32Program program;
    ASSERT_TRUE(program.started);
    program.ask_in_message_boxes();
    ProgramState& state = program.app->state();
    ASSERT_GE(state.live_adapter_count(), 1);
    const HWND dialog = program.open_options("Reset");
    ASSERT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, kResetSession)));
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    wchar_t started[64];
    std::swprintf(started, 64, L"Logging started: %04d-%02d-%02d", today.wYear, today.wMonth, today.wDay);
    EXPECT_EQ(text_of(dialog, kResetLoggingStarted), started);

    // Shown, the page follows the session's time each second.
    state.cycle.session_seconds = 2 * 86400.0;
    state.adapters[0].session_download = 5e6;
    pump_messages([] { return false; }, 1500, 20);
    EXPECT_EQ(text_of(dialog, kResetLoggingTime).rfind(L"Logging time: 2d ", 0), 0u) << narrow(text_of(dialog, kResetLoggingTime));

    EXPECT_EQ(click_answered(dialog, kResetSession),
              std::vector<std::wstring>{L"This will clear the recoreded amounts for the current session."});
    EXPECT_EQ(state.adapters[0].session_download, 0.0);
    EXPECT_EQ(state.cycle.session_seconds, 0.0);
    EXPECT_EQ(text_of(dialog, kResetLoggingTime), L"Logging time: 00:00:00");

    // The minutely logs cleared and minute logging switched off: stored at once, and shown on
    // the Logging page.
    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, kResetMinutely)));
    EXPECT_EQ(click_answered(dialog, kResetMinutely),
              (std::vector<std::wstring>{L"This will clear the minutely logs.", L"Do you also want to disable minutely logging?"}));
    EXPECT_FALSE(minutely_files_left(program.data));
    EXPECT_EQ(program.store.read("MinuteLogging").value_or(""), "0");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kResetMinutely)));
    const HWND logging = ::FindWindowExW(dialog, nullptr, L"Button", L"Minutely logging");
    ASSERT_NE(logging, nullptr);
    EXPECT_EQ(::SendMessageW(logging, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Logging since last year: its day file goes, today's amounts with it.
    const int year = year_of(state.stats.start_date);
    state.stats.start_date = make_date(year - 1, 3, 1);
    const std::string old_file = year_file_path(program.data, year - 1, 1);
    ASSERT_FALSE(write_file_at(old_file, 0, encode_day_table(state.traffic.day_table(1))).has_value());
    state.traffic.day_table(1)[0] = TrafficPair{1e6, 2e6};
    EXPECT_EQ(click_answered(dialog, kResetDaily),
              std::vector<std::wstring>{L"This will clear ALL logged traffic. Including minutely logs."});
    EXPECT_FALSE(std::filesystem::exists(native_path(old_file)));
    for (const TrafficPair& day : state.traffic.day_table(1)) EXPECT_EQ(day, TrafficPair{});
    EXPECT_EQ(text_of(dialog, kResetLoggingStarted), L"Logging started: " + std::to_wstring(year - 1) + L"-03-01");
}

}  // namespace
