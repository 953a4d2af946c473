#pragma once

#include <string>

// Sounds that play without blocking the caller.
class Sound {
public:
    virtual ~Sound() = default;
    // A WAV file.
    virtual void play_file(const std::string& path) = 0;
    // A system sound by its alias ("SystemHand", "SystemExclamation").
    virtual void play_system(const std::string& alias) = 0;
};
