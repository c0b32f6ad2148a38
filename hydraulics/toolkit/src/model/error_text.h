// EPANET's messages for its warning and error codes.
#pragma once

#include <string>

namespace kvepa2 {

// Text of a code, without the "Error nnn: " prefix; empty for an unknown code.
std::string errorText(int code);

}  // namespace kvepa2
