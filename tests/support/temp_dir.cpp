#include "support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/file_access.h"

TempDir::TempDir() {
#ifdef _WIN32
    // Every test on Windows works in a folder whose name the ANSI code page cannot hold, as
    // under "C:\Users\Jörg" or a Cyrillic user name.
    const std::string name = "kelvanto-test-J\xC3\xB6rg-\xD0\x9F\xD1\x91\xD1\x82\xD1\x80-";
#else
    const std::string name = "kelvanto-test-";
#endif
    // A name no other folder has: create_directory fails on one that exists.
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = base / native_path(name + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(path_, ec)) return;
    }
    throw std::runtime_error("no temporary folder could be made in " + base.string());
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::str() const { return utf8_of(path_); }

std::string file_contents(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
