// The line tokenizer of the input file and project file readers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kelvarn::network {

// Splits `line` into fields stored at target[1], target[2], ...; target[0] is
// never used, so target.size() - 1 is the capacity. Fields are separated by
// runs of blanks, tabs or commas; everything from the first ";" is a comment;
// a field in double quotes may hold delimiters and is stored without its
// quotes (an unclosed quote runs to the end of the line). Only the blank counts
// as surrounding white space. Returns the number of fields found; when a line
// has more fields than the capacity it stops at once and returns capacity + 1.
// Slots beyond the returned count keep what they held.
std::int32_t SplitFields(std::string_view line, std::span<std::string> target);

}  // namespace kelvarn::network
