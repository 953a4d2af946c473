#include "platform/win32/logging_lock.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "platform/win32/win32_text.h"

LoggingLock::LoggingLock(const std::string& data_folder) {
    std::wstring folder = widen(data_folder);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    ::CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    // FNV-1a over the UTF-16 units: the folder's own text may be longer than a name may be.
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : folder) {
        hash ^= static_cast<std::uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t text[17] = {};
    std::swprintf(text, 17, L"%016llx", static_cast<unsigned long long>(hash));
    name_ = L"Global\\Kelvanto.Logging." + std::wstring(text);
}

LoggingLock::~LoggingLock() {
    if (mutex_ == nullptr) return;
    ::ReleaseMutex(mutex_);
    ::CloseHandle(mutex_);
}

bool LoggingLock::take(int wait_ms) {
    if (mutex_ != nullptr) return true;
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(wait_ms < 0 ? 0 : wait_ms);
    for (;;) {
        // A holder of another account may keep us from opening it at all (access denied):
        // that, too, means it is taken.
        HANDLE h = ::CreateMutexW(nullptr, FALSE, name_.c_str());
        if (h != nullptr) {
            const DWORD got = ::WaitForSingleObject(h, 0);
            if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
                mutex_ = h;
                return true;
            }
            ::CloseHandle(h);
        }
        if (::GetTickCount64() >= end) return false;
        ::Sleep(100);
    }
}
