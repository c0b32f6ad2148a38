// Gene definitions: their refusals and messages, array bounds, and how binary
// genes decode.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gene_layout.h"
#include "recording_host.h"
#include "tarnix/engine.h"

namespace tarnix {
namespace {

using testing::RecordingHost;

using D = BoundedArray<double>;

// For binary genes `a` holds the bit counts and `b` is unused. A definition
// that succeeds sets its count to n; one that fails leaves it at 0.
struct DefinitionCase {
    std::string title;
    mvxDataType kind;
    std::int32_t n;
    D a, b;
    int result;
    std::string message;  // empty: no message at all
};

int define(Engine& e, const DefinitionCase& c) {
    switch (c.kind) {
        case mvxBinary:
            return e.DefineBinaryGenes(c.n, BoundedArray<std::int32_t>(c.a.elements(), c.a.lowerBound()));
        case mvxReal:
            return e.DefineRealGenes(c.n, c.a, c.b);
        default:
            return e.DefineIntegerGenes(c.n, c.a, c.b);
    }
}

std::int32_t countOf(const Engine& e, mvxDataType kind) {
    return kind == mvxBinary ? e.NumberOfBinaryGenes()
                             : (kind == mvxReal ? e.NumberOfRealGenes() : e.NumberOfIntegerGenes());
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::string kTrapped = "_Err - the on error traped the error";

const DefinitionCase kDefinitionCases[] = {
    {"BinaryOk", mvxBinary, 2, D{3, 5}, D{}, 0, ""},
    {"BinaryLowerBoundOne", mvxBinary, 3, D({1, 2, 3}, 1), D{}, 0, ""},
    {"BinaryCountMismatch", mvxBinary, 3, D{4, 4}, D{}, 1,
     "Number of elements in GeneNumberOfBits<>NumberOfGenes"},
    {"BinaryNoGenes", mvxBinary, 0, D{}, D{}, 1, "NumberOfGenes must be greater then 0"},
    {"BinaryZeroBits", mvxBinary, 3, D{4, 0, 2}, D{}, 1,
     "All element in GeneNumberOfBits must be greater then 0"},
    {"BinaryTooWide", mvxBinary, 2, D{4, 32}, D{}, 1, "All element in GeneNumberOfBits must be at most 31"},
    {"BinaryWidest", mvxBinary, 1, D{31}, D{}, 0, ""},
    {"RealOk", mvxReal, 2, D{-1.0, 0.5}, D{1.0, 0.75}, 0, ""},
    {"RealLowerBoundOne", mvxReal, 2, D({0.0, 1.0}, 1), D({1.0, 2.0}, 7), 0, ""},
    {"RealMinCountMismatch", mvxReal, 2, D{0.0}, D{1.0, 2.0}, 1,
     "Number of elements in GeneMinValue<>NumberOfGenes"},
    {"RealMaxCountMismatch", mvxReal, 2, D{0.0, 1.0}, D{1.0}, 1,
     "Number of elements in GeneMaxValue<>NumberOfGenes"},
    {"RealNoGenes", mvxReal, 0, D{}, D{}, 1, "NumberOfGenes must be greater then 0"},
    {"RealEqualBounds", mvxReal, 1, D{1.5}, D{1.5}, 1,
     "RealGenesMaxValue(n) must be greater then RealGenesMinValue(n)"},
    {"RealNotANumber", mvxReal, 1, D{kNaN}, D{1.0}, 1, "DefineRealGenes" + kTrapped},
    {"RealBeyondSingle", mvxReal, 1, D{0.0}, D{1e300}, 1, "DefineRealGenes" + kTrapped},
    {"IntegerOk", mvxInteger, 2, D{0, -5}, D{10, 5}, 0, ""},
    {"IntegerNoGenesIsSilent", mvxInteger, 0, D{}, D{}, 1, ""},
    {"IntegerMinCountMismatch", mvxInteger, 1, D{}, D{3}, 1,
     "Number of elements in GeneMinValue<>NumberOfGenes"},
    // 2.5 rounds to 2 (halves to even), so the pair (2, 2) is refused.
    {"IntegerBoundsRoundToEqual", mvxInteger, 1, D{2.0}, D{2.5}, 1,
     "IntGenesMaxValue(n) must be greater then IntGenesMinValue(n)"},
    {"IntegerBeyondLong", mvxInteger, 1, D{0}, D{3e9}, 1, "DefineIntegerGenes" + kTrapped},
};

class DefinitionTest : public ::testing::TestWithParam<DefinitionCase> {};

TEST_P(DefinitionTest, ResultCountAndMessage) {
    const DefinitionCase& c = GetParam();
    for (const bool messagesOn : {true, false}) {
        RecordingHost host;
        Engine engine(&host);
        engine.SetShowErrorMessageBox(messagesOn);
        EXPECT_EQ(define(engine, c), c.result);
        EXPECT_EQ(countOf(engine, c.kind), c.result == 0 ? c.n : 0);
        if (c.message.empty() || !messagesOn) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].first, c.message);
            EXPECT_EQ(host.messages[0].second, "Moravex");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, DefinitionTest, ::testing::ValuesIn(kDefinitionCases),
                         [](const auto& info) { return info.param.title; });

TEST(Definitions, AFailedDefinitionLeavesTheOtherKindsAlone) {
    Engine engine;
    engine.SetShowErrorMessageBox(false);
    ASSERT_EQ(engine.DefineBinaryGenes(1, {4}), 0);
    ASSERT_EQ(engine.DefineIntegerGenes(1, {0.0}, {3.0}), 0);
    EXPECT_EQ(engine.DefineRealGenes(1, {2.0}, {1.0}), 1);
    EXPECT_EQ(engine.NumberOfBinaryGenes(), 1);
    EXPECT_EQ(engine.NumberOfRealGenes(), 0);
    EXPECT_EQ(engine.NumberOfIntegerGenes(), 1);
}

TEST(Definitions, DuringARunEveryDefinitionIsRefusedAndZeroesItsCount) {
    RecordingHost host;
    Engine engine(&host);
    engine.SetPopulationSize(4);
    engine.SetNumberOfGenerations(1);
    engine.DefineBinaryGenes(1, {3});
    engine.DefineRealGenes(1, {0.0}, {1.0});
    engine.DefineIntegerGenes(1, {0.0}, {5.0});
    std::vector<int> results;
    engine.SetFitnessFunction([&](auto&, auto&, auto&, std::int32_t, float&) {
        if (results.empty()) {
            results.push_back(engine.DefineBinaryGenes(1, {2}));
            results.push_back(engine.DefineRealGenes(1, {0.0}, {2.0}));
            results.push_back(engine.DefineIntegerGenes(1, {0.0}, {2.0}));
        }
    });
    ASSERT_EQ(engine.RunMoravex(), 0);
    EXPECT_EQ(results, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(engine.NumberOfBinaryGenes(), 0);
    EXPECT_EQ(engine.NumberOfRealGenes(), 0);
    EXPECT_EQ(engine.NumberOfIntegerGenes(), 0);
    EXPECT_TRUE(host.messages.empty());
}

// Values are the unsigned numbers the bits spell, most significant first, and
// every gene takes its own stretch of the string.
TEST(BinaryDecoding, GenesSpellUnsignedNumbersMostSignificantBitFirst) {
    struct Case {
        const char* bits;
        std::int32_t value;
    };
    for (const Case c : {Case{"0101", 5}, Case{"0", 0}, Case{"1", 1}, Case{"1000", 8}, Case{"11111", 31},
                         Case{"1111111111111111111111111111111", 2147483647}}) {
        EXPECT_EQ(detail::decodeBits(c.bits), c.value) << c.bits;
    }
    detail::GeneDefinitions definitions;
    ASSERT_TRUE(detail::defineBinaryGenes(definitions, 2, {3, 5}).ok);
    const auto layout = detail::makeGeneLayout(definitions, 2, 0, 0);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->totalBits, 8);
    std::vector<std::int32_t> values(2);
    detail::decodeBinaryGenes("01011111", *layout, values);
    EXPECT_EQ(values, (std::vector<std::int32_t>{2, 31}));
}

TEST(GeneLayout, CountsLoadedWithoutADefinitionCannotBeLaidOut) {
    detail::GeneDefinitions definitions;
    ASSERT_TRUE(detail::defineBinaryGenes(definitions, 2, {3, 5}).ok);
    EXPECT_FALSE(detail::makeGeneLayout(definitions, 3, 0, 0));
    EXPECT_FALSE(detail::makeGeneLayout(definitions, 0, 1, 0));
    EXPECT_FALSE(detail::makeGeneLayout(definitions, -1, 0, 0));
    const auto fewer = detail::makeGeneLayout(definitions, 1, 0, 0);
    ASSERT_TRUE(fewer);
    EXPECT_EQ(fewer->totalBits, 3);
}

}  // namespace
}  // namespace tarnix
