// The number of genetic runs as typed in the run window or given to kelvarn-design.
#include "kelvarn/design/number_of_runs.h"

#include <gtest/gtest.h>

namespace kelvarn::design {
namespace {

TEST(ParseNumberOfRuns, PositiveNumbersRoundHalfToEven) {
    const std::locale c = std::locale::classic();
    EXPECT_EQ(ParseNumberOfRuns("5", c), 5);
    EXPECT_EQ(ParseNumberOfRuns(" 12 ", c), 12);
    EXPECT_EQ(ParseNumberOfRuns("2.5", c), 2);
    EXPECT_EQ(ParseNumberOfRuns("3.5", c), 4);
    // A fraction passes the check and may round to no runs at all.
    EXPECT_EQ(ParseNumberOfRuns("0.4", c), 0);
    EXPECT_EQ(ParseNumberOfRuns("1e3", c), 1000);
}

TEST(ParseNumberOfRuns, RefusesWhatIsNotAPositiveNumberOrDoesNotFit) {
    const std::locale c = std::locale::classic();
    for (const char* text : {"0", "-3", "abc", "", "5 runs", "1e12", "2147483648"}) {
        EXPECT_FALSE(ParseNumberOfRuns(text, c).has_value()) << '"' << text << '"';
    }
    EXPECT_EQ(ParseNumberOfRuns("2147483647", c), 2147483647);
}

}  // namespace
}  // namespace kelvarn::design
