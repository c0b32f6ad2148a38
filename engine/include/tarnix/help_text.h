#pragma once

#include <string_view>

#include "tarnix/export.h"

namespace tarnix {

// The help text of a property or method of the engine, or of an enumeration
// member (whose help text is its own name); empty for an unknown name.
TARNIX_API std::string_view HelpText(std::string_view name);

// The engine's title, used for its message boxes.
inline constexpr std::string_view kTitle = "Moravex";

}  // namespace tarnix
