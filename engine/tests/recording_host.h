#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "tarnix/host.h"

namespace tarnix::testing {

// A host that records what the engine shows and runs on a clock the test moves.
class RecordingHost : public Host {
  public:
    void showMessage(std::string_view text, std::string_view title) override {
        messages.emplace_back(std::string(text), std::string(title));
    }
    void showAboutBox() override { ++aboutBoxes; }
    void processPendingMessages() override { ++pendingMessageCalls; }
    void propertyChanged(std::string_view name) override { changed.emplace_back(name); }
    bool isDesignTime() const override { return designTime; }
    std::chrono::system_clock::time_point now() const override {
        clock += tick;
        return clock;
    }

    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<std::string> changed;
    int aboutBoxes = 0;
    int pendingMessageCalls = 0;
    bool designTime = false;
    // Every reading of the clock moves it on by `tick`.
    mutable std::chrono::system_clock::time_point clock{std::chrono::seconds(1'000'000)};
    std::chrono::system_clock::duration tick{0};
};

}  // namespace tarnix::testing
