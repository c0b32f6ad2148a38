// Elapsed simulation time as the reports write it: hours:minutes:seconds, hours unbounded.
#pragma once

#include <string>

namespace kvepa2 {

std::string clockText(long seconds);

}  // namespace kvepa2
