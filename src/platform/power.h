#pragma once

// Restarting or switching off the computer. Tests replace it: nothing in a test may power
// anything off.
class Power {
public:
    virtual ~Power() = default;
    virtual void reboot() = 0;
    virtual void shutdown() = 0;
};
