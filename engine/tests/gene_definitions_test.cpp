// Gene definitions: their refusals and messages, array bounds, and how binary
// genes decode.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "gene_layout.h"
#include "recording_host.h"
#include "tarnix/engine.h"

namespace tarnix {
namespace {

using testing::RecordingHost;

struct DefinitionCase {
    std::string title;
    std::function<int(Engine&)> define;
    std::function<std::int32_t(const Engine&)> count;
    int result;
    std::int32_t expectedCount;
    std::string message;  // empty: no message at all
};

const auto binaryCount = [](const Engine& e) { return e.NumberOfBinaryGenes(); };
const auto realCount = [](const Engine& e) { return e.NumberOfRealGenes(); };
const auto integerCount = [](const Engine& e) { return e.NumberOfIntegerGenes(); };
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<DefinitionCase> definitionCases() {
    using B = BoundedArray<std::int32_t>;
    using D = BoundedArray<double>;
    return {
        {"BinaryOk",
         [](Engine& e) {
             return e.DefineBinaryGenes(2, B{3, 5});
         },
         binaryCount, 0, 2, ""},
        {"BinaryLowerBoundOne",
         [](Engine& e) {
             return e.DefineBinaryGenes(3, B({1, 2, 3}, 1));
         },
         binaryCount, 0, 3, ""},
        {"BinaryCountMismatch",
         [](Engine& e) {
             return e.DefineBinaryGenes(3, B{4, 4});
         },
         binaryCount, 1, 0, "Number of elements in GeneNumberOfBits<>NumberOfGenes"},
        {"BinaryNoGenes", [](Engine& e) { return e.DefineBinaryGenes(0, B{}); }, binaryCount, 1, 0,
         "NumberOfGenes must be greater then 0"},
        {"BinaryZeroBits",
         [](Engine& e) {
             return e.DefineBinaryGenes(3, B{4, 0, 2});
         },
         binaryCount, 1, 0, "All element in GeneNumberOfBits must be greater then 0"},
        {"BinaryTooWide",
         [](Engine& e) {
             return e.DefineBinaryGenes(2, B{4, 32});
         },
         binaryCount, 1, 0, "All element in GeneNumberOfBits must be at most 31"},
        {"BinaryWidest", [](Engine& e) { return e.DefineBinaryGenes(1, B{31}); }, binaryCount, 0, 1, ""},
        {"RealOk",
         [](Engine& e) {
             return e.DefineRealGenes(2, D{-1.0, 0.5}, D{1.0, 0.75});
         },
         realCount, 0, 2, ""},
        {"RealLowerBoundOne",
         [](Engine& e) {
             return e.DefineRealGenes(2, D({0.0, 1.0}, 1), D({1.0, 2.0}, 7));
         },
         realCount, 0, 2, ""},
        {"RealMinCountMismatch",
         [](Engine& e) {
             return e.DefineRealGenes(2, D{0.0}, D{1.0, 2.0});
         },
         realCount, 1, 0, "Number of elements in GeneMinValue<>NumberOfGenes"},
        {"RealMaxCountMismatch",
         [](Engine& e) {
             return e.DefineRealGenes(2, D{0.0, 1.0}, D{1.0});
         },
         realCount, 1, 0, "Number of elements in GeneMaxValue<>NumberOfGenes"},
        {"RealNoGenes", [](Engine& e) { return e.DefineRealGenes(0, D{}, D{}); }, realCount, 1, 0,
         "NumberOfGenes must be greater then 0"},
        {"RealEqualBounds", [](Engine& e) { return e.DefineRealGenes(1, D{1.5}, D{1.5}); }, realCount, 1, 0,
         "RealGenesMaxValue(n) must be greater then RealGenesMinValue(n)"},
        {"RealNotANumber", [](Engine& e) { return e.DefineRealGenes(1, D{kNaN}, D{1.0}); }, realCount, 1, 0,
         "DefineRealGenes_Err - the on error traped the error"},
        {"RealBeyondSingle", [](Engine& e) { return e.DefineRealGenes(1, D{0.0}, D{1e300}); }, realCount, 1,
         0, "DefineRealGenes_Err - the on error traped the error"},
        {"IntegerOk",
         [](Engine& e) {
             return e.DefineIntegerGenes(2, D{0, -5}, D{10, 5});
         },
         integerCount, 0, 2, ""},
        {"IntegerNoGenesIsSilent", [](Engine& e) { return e.DefineIntegerGenes(0, D{}, D{}); }, integerCount,
         1, 0, ""},
        {"IntegerMinCountMismatch", [](Engine& e) { return e.DefineIntegerGenes(1, D{}, D{3}); },
         integerCount, 1, 0, "Number of elements in GeneMinValue<>NumberOfGenes"},
        // 2.5 rounds to 2 (halves to even), so the pair (2, 2) is refused.
        {"IntegerBoundsRoundToEqual", [](Engine& e) { return e.DefineIntegerGenes(1, D{2.0}, D{2.5}); },
         integerCount, 1, 0, "IntGenesMaxValue(n) must be greater then IntGenesMinValue(n)"},
        {"IntegerBeyondLong", [](Engine& e) { return e.DefineIntegerGenes(1, D{0}, D{3e9}); }, integerCount,
         1, 0, "DefineIntegerGenes_Err - the on error traped the error"},
    };
}

class DefinitionTest : public ::testing::TestWithParam<DefinitionCase> {};

TEST_P(DefinitionTest, ResultCountAndMessage) {
    const DefinitionCase& c = GetParam();
    for (const bool messagesOn : {true, false}) {
        RecordingHost host;
        Engine engine(&host);
        engine.SetShowErrorMessageBox(messagesOn);
        EXPECT_EQ(c.define(engine), c.result);
        EXPECT_EQ(c.count(engine), c.expectedCount);
        if (c.message.empty() || !messagesOn) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_EQ(host.messages[0].first, c.message);
            EXPECT_EQ(host.messages[0].second, "Moravex");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, DefinitionTest, ::testing::ValuesIn(definitionCases()),
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

TEST(BinaryDecoding, ValuesAreTheUnsignedNumbersTheBitsSpellMostSignificantFirst) {
    struct Case {
        const char* bits;
        std::int32_t value;
    };
    for (const Case c : {Case{"0101", 5}, Case{"0", 0}, Case{"1", 1}, Case{"1000", 8}, Case{"11111", 31},
                         Case{"1111111111111111111111111111111", 2147483647}}) {
        EXPECT_EQ(detail::decodeBits(c.bits), c.value) << c.bits;
    }
}

TEST(BinaryDecoding, GenesTakeTheirOwnStretchOfTheString) {
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
