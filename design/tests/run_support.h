// A scratch folder and a fast clock for the tests that run whole design processes.
#pragma once

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "tarnix/host.h"

namespace kelvarn::design::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("kelvarn_design_" + std::to_string(::getpid()) + "_" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A clock that moves one second per reading, so the engine's elapsed-time stop
// comes after a few generations instead of after real seconds.
class FastClockHost final : public tarnix::Host {
  public:
    std::chrono::system_clock::time_point now() const override {
        t_ += std::chrono::seconds(1);
        return t_;
    }

  private:
    mutable std::chrono::system_clock::time_point t_{std::chrono::seconds(1'000'000)};
};

}  // namespace kelvarn::design::testing
