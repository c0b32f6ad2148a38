// The number of genetic runs as the user types it.
#pragma once

#include <cstdint>
#include <locale>
#include <optional>
#include <string_view>

namespace kelvarn::design {

// Numeric text (in the locale's form) whose value is greater than 0, rounded
// to the nearest integer with halves to the even one: "2.5" gives 2 and "0.4"
// gives 0 runs. Empty for anything else, including values beyond a 32-bit
// integer; then the caller shows "The number of runs must be a valid positive
// integer".
std::optional<std::int32_t> ParseNumberOfRuns(std::string_view text, const std::locale& loc = std::locale());

}  // namespace kelvarn::design
