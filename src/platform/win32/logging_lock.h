#pragma once

#include <string>

// One logger per data folder on the machine: a named mutex in the global namespace, so that
// the service (which runs in a session of its own) and a user's run see each other. The name
// comes from the folder, compared without regard to case; copies that log into different
// folders never meet.
class LoggingLock {
public:
    explicit LoggingLock(const std::string& data_folder);
    ~LoggingLock();
    LoggingLock(const LoggingLock&) = delete;
    LoggingLock& operator=(const LoggingLock&) = delete;

    // Takes the lock when nobody holds it (also when its last holder ended without letting
    // go), trying every 100 ms for up to `wait_ms`; true when this run holds it.
    bool take(int wait_ms = 0);
    bool held() const { return mutex_ != nullptr; }
    const std::wstring& name() const { return name_; }

private:
    std::wstring name_;
    void* mutex_ = nullptr;
};
