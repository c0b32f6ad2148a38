// The number and text forms shared by the layers. Every function takes the
// locale whose decimal point and thousands separator apply; the default is the
// program's global C++ locale, which is the user's once the program has set it.
#pragma once

#include <cstdint>
#include <locale>
#include <optional>
#include <string>
#include <string_view>

namespace kelvarn::common {

// Display pattern "#,###": whole number rounded half away from zero, thousands
// separated; empty when the value rounds to 0.
std::string FormatThousands(double value, const std::locale& loc = std::locale());

// Display pattern "0.00": two decimals, at least one integer digit.
std::string FormatFixed2(double value, const std::locale& loc = std::locale());

// Print form of a number in a project file: a blank (value >= 0) or "-", the
// value with at most 7 significant digits and no leading zero before the
// decimal separator (".05"), exponent form outside 1E-04 .. 9999999 ("1E+07",
// "1.5E-05"), then one blank. Non-finite values print as "INF", "-INF", "NAN".
std::string PrintForm(double value, const std::locale& loc = std::locale());

// Shortest text that reads back as the same 32-bit float ("0.05", "1E+07",
// "1.2345679E+08").
std::string ShortestText(float value, const std::locale& loc = std::locale());

// True when the whole text (blanks around it allowed) is a number: optional
// sign, digits (thousands separators allowed only between whole groups of
// three), optional decimal separator and digits, optional exponent; at least
// one digit; within the range of a double.
bool IsNumericText(std::string_view text, const std::locale& loc = std::locale());

// The value of numeric text as IsNumericText accepts it; empty otherwise or
// when it overflows a double.
std::optional<double> ParseNumber(std::string_view text, const std::locale& loc = std::locale());

// As ParseNumber, then as a 32-bit float; empty when the value overflows one.
// "INF", "-INF" and "NAN" (any letter case), which PrintForm writes, are
// accepted here.
std::optional<float> ParseFloat(std::string_view text, const std::locale& loc = std::locale());

// The numeric value at the start of a text (after leading blanks), 0 when the
// text does not start with a number: "12.5 m" gives 12.5, "abc" gives 0.
double LeadingValue(std::string_view text, const std::locale& loc = std::locale());

// Rounds to the nearest whole number, a tie to the even one (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// RoundHalfEven into a 32-bit integer; empty when out of range or not finite.
std::optional<std::int32_t> ToInt32HalfEven(double value);

// The locale's decimal point and thousands separator.
char DecimalPoint(const std::locale& loc = std::locale());
char ThousandsSeparator(const std::locale& loc = std::locale());

}  // namespace kelvarn::common
