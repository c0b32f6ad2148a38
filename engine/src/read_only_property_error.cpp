#include "tarnix/read_only_property_error.h"

namespace tarnix {

namespace {

const char* messageFor(std::int32_t code) {
    return code == ReadOnlyPropertyError::kSetNotPermitted ? "Set not permitted"
                                                           : "Set not supported at run time";
}

}  // namespace

ReadOnlyPropertyError::ReadOnlyPropertyError(std::int32_t code)
    : std::runtime_error(messageFor(code)), code_(code) {}

ReadOnlyPropertyError::~ReadOnlyPropertyError() = default;

}  // namespace tarnix
