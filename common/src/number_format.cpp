#include "kelvarn/common/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace kelvarn::common {
namespace {

const std::numpunct<char>& Punct(const std::locale& loc) {
    return std::use_facet<std::numpunct<char>>(loc);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Significant digits (no trailing zeros) and decimal exponent of the first one.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// Splits a "d.ddde[+-]XX" text as printf and to_chars write it.
Decimal FromScientific(std::string_view text) {
    Decimal d;
    std::size_t e = text.find_first_of("eE");
    for (std::size_t i = 0; i < e; ++i) {
        if (IsDigit(text[i])) {
            d.digits += text[i];
        }
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

// Lays the digits out plainly between 1E-04 and 9999999 and in exponent form
// ("1.5E+07", "2E-05") outside.
std::string Layout(const Decimal& d, bool leadingZero, char point) {
    std::string out;
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent >= -4 && d.exponent <= 6) {
        if (d.exponent >= 0) {
            for (int i = 0; i <= d.exponent; ++i) {
                out += i < n ? d.digits[i] : '0';
            }
            if (n > d.exponent + 1) {
                out += point;
                out.append(d.digits, d.exponent + 1, std::string::npos);
            }
        } else {
            if (leadingZero) {
                out += '0';
            }
            out += point;
            out.append(-d.exponent - 1, '0');
            out += d.digits;
        }
        return out;
    }
    out += d.digits[0];
    if (n > 1) {
        out += point;
        out.append(d.digits, 1, std::string::npos);
    }
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    return out + exp;
}

std::string NonFinite(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

// The numeric text in the C locale's form, or empty when `text` is not
// numeric. With `prefixOnly`, the longest numeric start of the text is taken
// and thousands separators are not accepted.
std::string Normalise(std::string_view text, const std::locale& loc, bool prefixOnly) {
    const char point = DecimalPoint(loc);
    const char sep = ThousandsSeparator(loc);
    const bool grouping = !prefixOnly && sep != point && sep != '\0';
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i])) {
        ++i;
    }
    std::string out;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            out += '-';
        }
        ++i;
    }
    bool digits = false;
    std::size_t group = 0;  // digits since the start or the last separator
    bool grouped = false;
    while (i < n) {
        if (IsDigit(text[i])) {
            out += text[i++];
            digits = true;
            ++group;
        } else if (grouping && text[i] == sep && digits && group <= 3 && (!grouped || group == 3)) {
            // Separators only between whole groups of three, so "2,5" is not 25.
            std::size_t j = i + 1;
            while (j < n && IsDigit(text[j])) {
                ++j;
            }
            if (j - i - 1 != 3) {
                return {};
            }
            grouped = true;
            group = 0;
            ++i;
        } else {
            break;
        }
    }
    if (grouped && group != 3) {
        return {};
    }
    if (i < n && text[i] == point) {
        std::size_t j = i + 1;
        std::string fraction;
        while (j < n && IsDigit(text[j])) {
            fraction += text[j++];
        }
        if (digits || !fraction.empty()) {
            out += '.';
            out += fraction;
            digits = digits || !fraction.empty();
            i = j;
        }
    }
    if (!digits) {
        return {};
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            exp += text[j++];
        }
        bool expDigits = false;
        while (j < n && IsDigit(text[j])) {
            exp += text[j++];
            expDigits = true;
        }
        if (expDigits) {
            out += exp;
            i = j;
        } else if (!prefixOnly) {
            return {};
        }
    }
    if (!prefixOnly) {
        while (i < n && IsBlank(text[i])) {
            ++i;
        }
        if (i != n) {
            return {};
        }
    }
    return out;
}

std::optional<double> ToDouble(const std::string& normal) {
    if (normal.empty()) {
        return std::nullopt;
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // A value too small for a double is 0; one too large has no value.
        std::size_t e = normal.find('e');
        if (e != std::string::npos && normal[e + 1] == '-') {
            return normal[0] == '-' ? -0.0 : 0.0;
        }
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != normal.data() + normal.size()) {
        return std::nullopt;
    }
    return value;
}

std::string GroupThousands(const std::string& digits, char sep) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0 && sep != '\0') {
            out += sep;
        }
        out += digits[i];
    }
    return out;
}

}  // namespace

char DecimalPoint(const std::locale& loc) {
    return Punct(loc).decimal_point();
}
char ThousandsSeparator(const std::locale& loc) {
    return Punct(loc).thousands_sep();
}

std::string FormatThousands(double value, const std::locale& loc) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    const double rounded = std::round(value);  // half away from zero, as the display pattern does
    if (rounded == 0) {
        return {};
    }
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(rounded));
    return (rounded < 0 ? "-" : "") + GroupThousands(buf, ThousandsSeparator(loc));
}

std::string FormatFixed2(double value, const std::locale& loc) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.2f", std::fabs(value));
    std::string out = buf;
    out[out.size() - 3] = DecimalPoint(loc);
    // No "-0.00": a value that shows as zero shows without a sign.
    const bool zero = out.find_first_of("123456789") == std::string::npos;
    return (value < 0 && !zero ? "-" : "") + out;
}

std::string PrintForm(double value, const std::locale& loc) {
    std::string sign = std::signbit(value) && !std::isnan(value) && value != 0 ? "-" : " ";
    if (!std::isfinite(value)) {
        return sign + (std::isnan(value) ? "NAN" : "INF") + " ";
    }
    if (value == 0) {
        return " 0 ";
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6e", std::fabs(value));
    return sign + Layout(FromScientific(buf), false, DecimalPoint(loc)) + " ";
}

std::string ShortestText(float value, const std::locale& loc) {
    if (!std::isfinite(value)) {
        return NonFinite(value);
    }
    if (value == 0) {
        return "0";
    }
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    return (value < 0 ? "-" : "") +
           Layout(FromScientific(std::string_view(buf, result.ptr - buf)), true, DecimalPoint(loc));
}

bool IsNumericText(std::string_view text, const std::locale& loc) {
    return ParseNumber(text, loc).has_value();
}

std::optional<double> ParseNumber(std::string_view text, const std::locale& loc) {
    return ToDouble(Normalise(text, loc, false));
}

std::optional<float> ParseFloat(std::string_view text, const std::locale& loc) {
    std::string word;
    for (char c : text) {
        if (!IsBlank(c)) {
            word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (word == "INF" || word == "+INF") {
        return std::numeric_limits<float>::infinity();
    }
    if (word == "-INF") {
        return -std::numeric_limits<float>::infinity();
    }
    if (word == "NAN" || word == "-NAN") {
        return std::numeric_limits<float>::quiet_NaN();
    }
    std::optional<double> d = ParseNumber(text, loc);
    if (!d) {
        return std::nullopt;
    }
    const float f = static_cast<float>(*d);
    if (!std::isfinite(f)) {
        return std::nullopt;
    }
    return f;
}

double LeadingValue(std::string_view text, const std::locale& loc) {
    return ToDouble(Normalise(text, loc, true)).value_or(0.0);
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double below = std::floor(value);
    const double diff = value - below;
    if (diff < 0.5) {
        return below;
    }
    if (diff > 0.5) {
        return below + 1;
    }
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::optional<std::int32_t> ToInt32HalfEven(double value) {
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(r);
}

}  // namespace kelvarn::common
