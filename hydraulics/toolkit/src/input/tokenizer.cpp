#include "input/tokenizer.h"

#include <cctype>

namespace kvepa2 {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

}  // namespace

TokenizedLine tokenize(std::string_view line) {
    TokenizedLine out;
    size_t i = 0;
    const size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (isBlank(c)) {
            ++i;
        } else if (c == ';') {
            out.comment = trim(line.substr(i + 1));
            break;
        } else if (c == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos)
                end = n;
            out.tokens.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < n && !isBlank(line[end]) && line[end] != ';') ++end;
            out.tokens.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

bool matchesKeyword(std::string_view word, std::string_view keyword) {
    if (word.size() < keyword.size())
        return false;
    for (size_t i = 0; i < keyword.size(); ++i) {
        if (upper(word[i]) != upper(keyword[i]))
            return false;
    }
    return true;
}

bool equalsKeyword(std::string_view word, std::string_view keyword) {
    return word.size() == keyword.size() && matchesKeyword(word, keyword);
}

std::string upperCase(std::string_view text) {
    std::string s(text);
    for (char& c : s) c = upper(c);
    return s;
}

}  // namespace kvepa2
