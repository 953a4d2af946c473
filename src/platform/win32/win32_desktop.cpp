#include "platform/win32/win32_desktop.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_text.h"

namespace {

void exit_windows(UINT how) {
    enable_privilege(SE_SHUTDOWN_NAME);
    ::ExitWindowsEx(how | EWX_FORCEIFHUNG, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED);
}

}  // namespace

void Win32Power::reboot() { exit_windows(EWX_REBOOT); }
void Win32Power::shutdown() { exit_windows(EWX_POWEROFF); }

void Win32Shell::open(const std::string& path) {
    ::ShellExecuteW(nullptr, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::run(const std::string& program, const std::string& arguments) {
    const std::wstring args = widen(arguments);
    ::ShellExecuteW(nullptr, L"open", widen(program).c_str(), args.empty() ? nullptr : args.c_str(), nullptr,
                    SW_SHOWNORMAL);
}

void Win32Sound::play_file(const std::string& path) {
    ::PlaySoundW(widen(path).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void Win32Sound::play_system(const std::string& alias) {
    if (::PlaySoundW(widen(alias).c_str(), nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT)) return;
    ::MessageBeep(alias == "SystemExclamation" ? MB_ICONEXCLAMATION : MB_ICONHAND);
}

SingleInstance::SingleInstance() {
    // "Local\": one per logon session, as a desktop program runs once per user.
    mutex_ = ::CreateMutexW(nullptr, FALSE, L"Local\\Kelvanto.SingleInstance");
    another_ = mutex_ != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
}

bool bring_forward_running_instance() {
    const HWND window = ::FindWindowW(nullptr, L"Kelvanto");
    if (window == nullptr) return false;
    ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
    return true;
}
