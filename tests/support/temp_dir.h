#pragma once

#include <filesystem>
#include <string>

// A fresh temporary folder, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The folder as UTF-8 text, as the program names files.
    std::string str() const;

private:
    std::filesystem::path path_;
};

// The bytes of the file at `path` (UTF-8), empty when it cannot be read.
std::string file_contents(const std::string& path);
