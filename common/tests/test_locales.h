// The two locales the number forms are tested under: the C locale's decimal
// point and a decimal comma with "." between thousands. The comma locale is
// built from a facet, so the tests need no locale installed on the machine.
#pragma once

#include <locale>
#include <string>

namespace kelvarn::common::testing {

class DecimalCommaPunct : public std::numpunct<char> {
  protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

inline std::locale DecimalPointLocale() {
    return std::locale::classic();
}
inline std::locale DecimalCommaLocale() {
    return std::locale(std::locale::classic(), new DecimalCommaPunct);
}

}  // namespace kelvarn::common::testing
