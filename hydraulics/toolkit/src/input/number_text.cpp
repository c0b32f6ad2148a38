#include "input/number_text.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "input/tokenizer.h"

namespace kvepa2 {

bool parseNumber(const std::string& token, double& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+')
        ++first;
    if (first == last)
        return false;
    // Digits, a point, a sign and an exponent only: no "inf", "nan" or hex.
    for (const char* p = first; p != last; ++p) {
        const char c = *p;
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    }
    double v = 0.0;
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

long parseTime(const std::string& value, const std::string& unit) {
    // h:mm:ss or decimal hours.
    std::vector<double> parts;
    size_t start = 0;
    while (true) {
        size_t colon = value.find(':', start);
        std::string piece =
            value.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        double d = 0.0;
        if (!parseNumber(piece, d) || d < 0.0)
            return -1;
        parts.push_back(d);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
        if (parts.size() >= 3)
            return -1;
    }
    double hours = 0.0;
    if (parts.size() == 1) {
        hours = parts[0];
    } else {
        hours = parts[0] + parts[1] / 60.0 + (parts.size() > 2 ? parts[2] / 3600.0 : 0.0);
    }
    if (!unit.empty() && parts.size() == 1) {
        const double v = parts[0];
        if (matchesKeyword(unit, "SEC"))
            hours = v / 3600.0;
        else if (matchesKeyword(unit, "MIN"))
            hours = v / 60.0;
        else if (matchesKeyword(unit, "HOU"))
            hours = v;
        else if (matchesKeyword(unit, "DAY"))
            hours = v * 24.0;
    }
    if (!unit.empty() && !(matchesKeyword(unit, "SEC") || matchesKeyword(unit, "MIN") ||
                           matchesKeyword(unit, "HOU") || matchesKeyword(unit, "DAY"))) {
        const bool am = equalsKeyword(unit, "AM");
        const bool pm = equalsKeyword(unit, "PM");
        if (!am && !pm)
            return -1;
        if (hours >= 13.0)
            return -1;
        if (hours >= 12.0)
            hours -= 12.0;
        if (pm)
            hours += 12.0;
    }
    if (hours > 1.0e9 / 3600.0)
        return -1;
    return static_cast<long>(std::lround(hours * 3600.0));
}

}  // namespace kvepa2
