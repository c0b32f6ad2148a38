// Splitting an input line into tokens as EPANET does: blanks separate tokens,
// ';' starts a comment, double quotes keep blanks inside a token.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvepa2 {

struct TokenizedLine {
    std::vector<std::string> tokens;
    std::string comment;  // text after ';', trimmed
};

TokenizedLine tokenize(std::string_view line);

// Case-insensitive: does `word` begin with `keyword`? (EPANET matches keywords by prefix.)
bool matchesKeyword(std::string_view word, std::string_view keyword);
// Case-insensitive equality.
bool equalsKeyword(std::string_view word, std::string_view keyword);
std::string upperCase(std::string_view text);

}  // namespace kvepa2
