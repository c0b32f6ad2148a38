#include "tarnix/host.h"

namespace tarnix {

Host::~Host() = default;

void Host::showMessage(std::string_view, std::string_view) {}

void Host::showAboutBox() {}

void Host::processPendingMessages() {}

void Host::propertyChanged(std::string_view) {}

bool Host::isDesignTime() const {
    return false;
}

std::chrono::system_clock::time_point Host::now() const {
    return std::chrono::system_clock::now();
}

}  // namespace tarnix
