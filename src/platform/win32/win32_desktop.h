#pragma once

#include <string>

#include "platform/power.h"
#include "platform/shell.h"
#include "platform/sound.h"

// ExitWindowsEx after enabling SE_SHUTDOWN_NAME; a planned restart or power-off.
class Win32Power : public Power {
public:
    void reboot() override;
    void shutdown() override;
};

// ShellExecuteW: documents and links open with their usual application, programs start
// detached with their arguments.
class Win32Shell : public Shell {
public:
    void open(const std::string& path) override;
    void run(const std::string& program, const std::string& arguments) override;
};

// PlaySoundW for WAV files and the system's sound aliases, without waiting; MessageBeep
// where an alias has no sound.
class Win32Sound : public Sound {
public:
    void play_file(const std::string& path) override;
    void play_system(const std::string& alias) override;
};

// One monitor per user session: a named mutex, held while the object lives. A second start
// finds it taken; it then brings the first one's window (caption "Kelvanto") forward.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // Another instance held the mutex when this one was made.
    bool another_running() const { return another_; }

private:
    void* mutex_ = nullptr;
    bool another_ = false;
};

// Restores the top-level window captioned "Kelvanto" and brings it to the foreground;
// false when there is none.
bool bring_forward_running_instance();
