// Numbers and times as written in input files.
#pragma once

#include <string>

namespace kvepa2 {

// The whole token must be a finite decimal number.
bool parseNumber(const std::string& token, double& value);

// A time as EPANET writes it: decimal hours or h:mm[:ss], optionally followed
// by a unit (SEC, MIN, HOURS, DAYS) or AM/PM. Returns seconds, or -1 when
// the text is not a time.
long parseTime(const std::string& value, const std::string& unit);

}  // namespace kvepa2
