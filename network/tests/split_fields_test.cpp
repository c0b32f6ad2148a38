#include "kelvarn/network/split_fields.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kelvarn::network {
namespace {

struct Case {
    const char* name;
    std::string line;
    std::vector<std::string> fields;
};

class SplitFieldsCases : public ::testing::TestWithParam<Case> {};

TEST_P(SplitFieldsCases, GivesTheFields) {
    const Case& c = GetParam();
    std::array<std::string, 51> target;
    const std::int32_t count = SplitFields(c.line, target);
    ASSERT_EQ(count, static_cast<std::int32_t>(c.fields.size()));
    for (std::size_t i = 0; i < c.fields.size(); ++i) {
        EXPECT_EQ(target[i + 1], c.fields[i]) << "field " << i + 1;
    }
    EXPECT_EQ(target[0], "");  // slot 0 is never used
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitFieldsCases,
    ::testing::Values(Case{"SpacesAndComment", "J1 10.5 20 ;node one", {"J1", "10.5", "20"}},
                      Case{"RunsOfDelimiters", "J1,,10   20", {"J1", "10", "20"}},
                      Case{"OnlyAComment", ";Node  X-Coord  Y-Coord", {}}, Case{"Empty", "", {}},
                      Case{"OnlyBlanks", "     ", {}},
                      Case{"TabsAndBlanksOfAnInpFile",
                           " 2               \t2600.00         \t6700.00         ",
                           {"2", "2600.00", "6700.00"}},
                      Case{"LeadingTabDelimits", "\tA\tB\t", {"A", "B"}},
                      Case{"QuotedFieldWithBlank", "\"A B\" 1 2", {"A B", "1", "2"}},
                      Case{"UnclosedQuoteTakesTheRest", "x \"a b, c ", {"x", "a b, c"}},
                      Case{"UnclosedQuoteKeepsInnerTrailingTab", "x \"a b\t", {"x", "a b\t"}},
                      Case{"EmptyQuotes", "J1 \"\" 80", {"J1", "", "80"}},
                      Case{"QuoteDropsTheOpenField", "ab\"cd\" e", {"cd", "e"}},
                      Case{"CharAfterClosingQuoteIsSkipped", "\"a\"-5 6", {"a", "5", "6"}},
                      Case{
                          "SemicolonInsideQuotesStillCuts", "DO1 1 2 3 \"a;b\"", {"DO1", "1", "2", "3", "a"}},
                      Case{"CarriageReturnIsText", "A B\r", {"A", "B\r"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A line longer than the capacity stops at the first field too many; slots
// beyond the count keep what an earlier line left there.
TEST(SplitFields, CapacityAndSlotsBeyondTheCount) {
    std::string line;
    for (int i = 1; i <= 60; ++i) {
        line += "f" + std::to_string(i) + " ";
    }
    std::array<std::string, 51> target;
    EXPECT_EQ(SplitFields(line, target), 51);
    EXPECT_EQ(target[50], "f50");
    EXPECT_EQ(SplitFields("x", target), 1);
    EXPECT_EQ(target[1], "x");
    EXPECT_EQ(target[4], "f4");

    std::array<std::string, 3> small;
    EXPECT_EQ(SplitFields("a \"b c\" d", small), 3);
    EXPECT_EQ(small[2], "b c");
    EXPECT_EQ(SplitFields("a \"b c\"", small), 2);
}

}  // namespace
}  // namespace kelvarn::network
