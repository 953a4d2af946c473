#include "platform/win32/win32_clock.h"

#include <windows.h>

#include "platform/date.h"
#include "platform/win32/win32_text.h"

double Win32Clock::now() const {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return make_date(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond + t.wMilliseconds / 1000.0);
}

double Win32Clock::utc_now() const {
    SYSTEMTIME t;
    ::GetSystemTime(&t);
    return make_date(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond + t.wMilliseconds / 1000.0);
}

double Win32Clock::elapsed_seconds() const { return static_cast<double>(::GetTickCount64()) / 1000.0; }

std::int32_t Win32Ticks::tick_ms() const { return static_cast<std::int32_t>(::GetTickCount()); }

std::string enable_privilege(const wchar_t* name) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return system_error_text(::GetLastError());
    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    std::string why;
    if (!::LookupPrivilegeValueW(nullptr, name, &wanted.Privileges[0].Luid)) {
        why = system_error_text(::GetLastError());
    } else {
        // Succeeds also when the token lacks the privilege; the last error tells.
        const BOOL adjusted = ::AdjustTokenPrivileges(token, FALSE, &wanted, 0, nullptr, nullptr);
        const DWORD error = ::GetLastError();
        if (!adjusted || error != ERROR_SUCCESS) why = system_error_text(adjusted ? error : ::GetLastError());
    }
    ::CloseHandle(token);
    return why;
}

void Win32ClockSetter::set_utc(const UtcTime& time, bool /*interactive*/, ClockSetDone done) {
    const ClockSetResult result = set_now(time);
    if (done) done(result);
}

ClockSetResult Win32ClockSetter::set_now(const UtcTime& t) {
    if (!allowed_) return ClockSetResult::refused(system_error_text(ERROR_PRIVILEGE_NOT_HELD));
    const std::string why = enable_privilege(SE_SYSTEMTIME_NAME);
    if (!why.empty()) return ClockSetResult::refused(why);
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    if (::SetSystemTime(&st)) return ClockSetResult::done();
    return ClockSetResult::refused(system_error_text(::GetLastError()));
}
