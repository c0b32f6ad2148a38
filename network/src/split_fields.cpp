#include "kelvarn/network/split_fields.h"

namespace kelvarn::network {
namespace {

bool IsDelimiter(char c) {
    return c == '\t' || c == ',' || c == ' ';
}

}  // namespace

std::int32_t SplitFields(std::string_view line, std::span<std::string> target) {
    const std::int32_t capacity = target.empty() ? 0 : static_cast<std::int32_t>(target.size() - 1);

    // Only blanks are trimmed: a leading or trailing tab still delimits.
    const std::size_t first = line.find_first_not_of(' ');
    line = first == std::string_view::npos ? std::string_view() : line.substr(first);
    line = line.substr(0, line.find_last_not_of(' ') + 1);
    line = line.substr(0, line.find(';'));

    std::int32_t count = 0;
    bool open = false;
    std::size_t start = 0;
    // Counts one more field; false when it does not fit.
    auto next = [&] { return ++count <= capacity; };

    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (IsDelimiter(c)) {
            if (open) {
                if (!next()) {
                    return count;
                }
                target[count] = std::string(line.substr(start, i - start));
                open = false;
            }
        } else if (c == '"') {
            // A field open when the quote appears is dropped.
            if (!next()) {
                return count;
            }
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                target[count] = std::string(line.substr(i + 1));
                return count;
            }
            target[count] = std::string(line.substr(i + 1, close - i - 1));
            open = false;
            i = close + 1;  // the character after the closing quote is its delimiter
        } else if (!open) {
            open = true;
            start = i;
        }
    }
    if (open) {
        if (!next()) {
            return count;
        }
        target[count] = std::string(line.substr(start));
    }
    return count;
}

}  // namespace kelvarn::network
