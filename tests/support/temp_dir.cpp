#include "support/temp_dir.h"

#include <random>
#include <stdexcept>

#include "platform/file_access.h"

TempDir::TempDir() {
    // A name no other folder has: create_directory fails on one that exists.
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = base / ("kelvanto-test-" + std::to_string(random()));
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
