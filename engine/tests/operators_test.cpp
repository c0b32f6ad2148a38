// Selection, crossover, mutation and ordering on hand-worked inputs, with the
// draws fed in exactly.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crossover.h"
#include "fitness_table.h"
#include "mutation.h"
#include "random_generator.h"
#include "scripted_random.h"
#include "selection.h"

namespace tarnix {
namespace {

using testing::ScriptedRandom;

// --- Selection ---

TEST(Tournament, BestAndSecondBestOfFiveDraws) {
    struct Case {
        std::vector<int> slots;
        int a, b;
    };
    // 3,1,4,1,2: slot 1 comes twice, so both parents are slot 1.
    for (const Case& c : {Case{{3, 1, 4, 1, 2}, 1, 1}, Case{{3, 2, 5, 4, 6}, 2, 3},
                          Case{{0, 0, 0, 0, 0}, 0, 0}, Case{{6, 5, 4, 3, 2}, 2, 3}}) {
        std::vector<float> draws;
        for (const int s : c.slots) {
            draws.push_back(ScriptedRandom::slot(s, 8));
        }
        ScriptedRandom random(draws);
        const auto [a, b] = detail::tournament(random, 8);
        EXPECT_EQ(a, c.a);
        EXPECT_EQ(b, c.b);
        EXPECT_EQ(random.used(), 5u);
    }
}

TEST(RankRoulette, FourSurvivorsGiveTheWorkedTable) {
    const auto table = detail::rankRouletteTable(4);
    ASSERT_EQ(table.size(), 4u);
    const float expected[] = {0.4f, 0.7f, 0.9f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(table[i], expected[i], 1e-6) << i;
    }
    EXPECT_EQ(table[3], 1.0f);
    // The first slot whose cumulative weight reaches the draw.
    EXPECT_EQ(detail::spinRoulette(table, 0.0f), 0);
    EXPECT_EQ(detail::spinRoulette(table, 0.41f), 1);
    EXPECT_EQ(detail::spinRoulette(table, 0.89f), 2);
    EXPECT_EQ(detail::spinRoulette(table, 0.95f), 3);
}

detail::FitnessTable tableOf(const std::vector<float>& fitness) {
    detail::FitnessTable table;
    for (std::size_t i = 0; i < fitness.size(); ++i) {
        table.push_back({fitness[i], static_cast<float>(i)});
    }
    return table;
}

TEST(CostRoulette, WeightsComeFromTheNextColumnMeasuredAgainstColumnSPlusOne) {
    // S = 2, columns 0..3: total = f1 + f2 = 4 + 6 = 10, reference f3 = 8.
    // w1 = |4 - 8| / 10 = 0.4, w2 = |6 - 8| / 10 = 0.2, sum 0.6: table 2/3, 1.
    const auto table = detail::costRouletteTable(tableOf({1, 4, 6, 8}), 2);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_NEAR(table[0], 2.0f / 3.0f, 1e-6);
    EXPECT_EQ(table[1], 1.0f);

    // Every survivor's neighbour equals the reference fitness 3: no weight at
    // all, so the survivors share equally.
    const auto equal = detail::costRouletteTable(tableOf({1, 3, 3, 3, 3, 3}), 4);
    EXPECT_EQ(equal, (detail::RouletteTable{0.25f, 0.5f, 0.75f, 1.0f}));
}

TEST(CostRoulette, AZeroSumMakesEveryDrawPickSlotZero) {
    const auto table = detail::costRouletteTable(tableOf({5, 0, 0, 7, 1, 2}), 2);
    EXPECT_EQ(table, (detail::RouletteTable{1.0f, 1.0f}));
    ScriptedRandom random({0.0f, 0.99f, 0.5f, 0.3f});
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(detail::chooseParents(mvxRouletCost, p, 2, table, random), std::pair(0, 0));
    }
}

TEST(ParentChoice, EachSelectionTypeTakesItsDraws) {
    const detail::RouletteTable none;
    {
        ScriptedRandom random({ScriptedRandom::slot(1, 2)});
        EXPECT_EQ(detail::chooseParents(mvxTopMate, 0, 2, none, random), std::pair(0, 1));
    }
    {
        ScriptedRandom random({ScriptedRandom::slot(3, 4), ScriptedRandom::slot(3, 4)});
        EXPECT_EQ(detail::chooseParents(mvxRandom, 1, 4, none, random), std::pair(3, 3));
    }
    {
        ScriptedRandom random({0.75f, 0.1f});
        EXPECT_EQ(detail::chooseParents(mvxRouletRank, 0, 4, detail::rankRouletteTable(4), random),
                  std::pair(2, 0));
    }
    {
        ScriptedRandom random({});
        EXPECT_FALSE(detail::chooseParents(7, 0, 4, none, random));
    }
}

// --- Binary crossover ---

TEST(BinaryCrossover, WorkedChildrenOfEachType) {
    const auto s6 = [](int index) { return ScriptedRandom::slot(index, 6); };
    struct Case {
        std::int32_t type;
        const char *a, *b;
        std::vector<float> draws;
        const char *child1, *child2;
    };
    const Case cases[] = {
        {mvxOnePointBCO, "0000", "1111", {ScriptedRandom::slot(1, 4)}, "0111", "1000"},
        {mvxOnePointBCO, "0011", "1010", {0.0f}, "1010", "0011"},  // cut 0 swaps the parents
        {mvxTwoPointsBCO, "000000", "111111", {s6(4), s6(1)}, "011100", "100011"},
        // A repeated cut point is drawn again: 2, 2, then 5.
        {mvxTwoPointsBCO, "000000", "111111", {s6(2), s6(2), s6(5)}, "001110", "110001"},
        {mvxTwoPointsBCO, "0", "1", {}, "1", "0"},
        // At most 0.5 keeps the parent's character; 0.5 itself keeps it.
        {mvxUniformBCO, "0000", "1111", {0.5f, 0.6f, 0.1f, 0.99f}, "0101", "1010"},
    };
    detail::CrossoverEvent event;
    std::string child1, child2;
    for (const Case& c : cases) {
        ScriptedRandom random(c.draws);
        ASSERT_TRUE(detail::crossBinary(c.type, c.a, c.b, child1, child2, random, event));
        EXPECT_EQ(child1 + " " + child2, std::string(c.child1) + " " + c.child2) << c.type << " " << c.a;
        EXPECT_EQ(random.used(), c.draws.size());
    }
    ScriptedRandom random({});
    EXPECT_FALSE(detail::crossBinary(4, "01", "10", child1, child2, random, event)) << "an unknown type";
}

// Offspring start as copies of the parents: a handler that writes nothing
// yields the parents.
TEST(UserDefinedCrossover, TheHostsChildrenAreTakenAndBadStringsFail) {
    ScriptedRandom random({});
    mvxDataType seen = mvxInteger;
    std::array<std::string, 2> parentsSeen;
    std::string answer;
    UserDefinedCrossoverFunction handler = [&](mvxDataType type, const CrossoverData& parents,
                                               CrossoverData& offspring) {
        seen = type;
        parentsSeen = parents.binary;
        if (!answer.empty()) {
            offspring.binary = {answer, "0000"};
        }
    };
    detail::CrossoverEvent event{&handler, {}, {}};
    std::string c1, c2;
    ASSERT_TRUE(detail::crossBinary(mvxUserDefinedBCO, "0011", "0101", c1, c2, random, event));
    EXPECT_EQ(seen, mvxBinary);
    EXPECT_EQ(parentsSeen, (std::array<std::string, 2>{"0011", "0101"}));
    EXPECT_EQ(c1 + c2, "00110101");
    const std::vector<float> a{1.5f, 2.5f}, b{-1.0f, 4.0f};
    std::vector<float> r1(2), r2(2);
    ASSERT_TRUE(detail::crossReal(mvxUserDefinedRCO, a, b, r1, r2, random, event));
    EXPECT_EQ(seen, mvxReal);
    EXPECT_EQ(r1, a);
    EXPECT_EQ(r2, b);

    answer = "1111";
    ASSERT_TRUE(detail::crossBinary(mvxUserDefinedBCO, "0011", "0101", c1, c2, random, event));
    EXPECT_EQ(c1 + c2, "11110000");
    for (const char* bad : {"111", "11111", "1a11"}) {
        answer = bad;
        EXPECT_FALSE(detail::crossBinary(mvxUserDefinedBCO, "0011", "0101", c1, c2, random, event)) << bad;
    }
}

TEST(UserDefinedCrossover, IntegerRowsAreGenesWithOneColumnPerParent) {
    ScriptedRandom random({});
    UserDefinedCrossoverFunction handler = [](mvxDataType type, const CrossoverData& parents,
                                              CrossoverData& offspring) {
        ASSERT_EQ(type, mvxInteger);
        ASSERT_EQ(parents.integer.size(), 2u);
        EXPECT_EQ(parents.integer[1], (std::array<std::int32_t, 2>{7, 9}));
        for (auto& row : offspring.integer) {
            std::swap(row[0], row[1]);
        }
    };
    detail::CrossoverEvent event{&handler, {}, {}};
    const std::vector<std::int32_t> a{1, 7}, b{2, 9};
    std::vector<std::int32_t> c1(2), c2(2);
    ASSERT_TRUE(detail::crossInteger(mvxUserDefinedICO, a, b, c1, c2, random, event));
    EXPECT_EQ(c1, b);
    EXPECT_EQ(c2, a);
}

// --- Real and integer crossover ---

TEST(BlendingCrossover, OneBetaIsSharedByEveryGeneAndIntegersRoundHalfToEven) {
    // beta 0.25: child 1 = a - 0.25 (a - b), child 2 = 0.25 (a - b) + b.
    ScriptedRandom random({0.25f, 0.5f});
    detail::CrossoverEvent event;
    const std::vector<float> a{0.0f, 4.0f, -2.0f}, b{4.0f, 0.0f, 2.0f};
    std::vector<float> c1(3), c2(3);
    ASSERT_TRUE(detail::crossReal(mvxBlendingRCO, a, b, c1, c2, random, event));
    EXPECT_EQ(c1, (std::vector<float>{1.0f, 3.0f, -1.0f}));
    EXPECT_EQ(c2, (std::vector<float>{3.0f, 1.0f, 1.0f}));
    EXPECT_EQ(random.used(), 1u);

    // 3 - 0.5 * (3 - 8) = 5.5 and 0.5 * (3 - 8) + 8 = 5.5, both rounded to the even 6.
    const std::vector<std::int32_t> ia{3}, ib{8};
    std::vector<std::int32_t> i1(1), i2(1);
    ASSERT_TRUE(detail::crossInteger(mvxBlendingICO, ia, ib, i1, i2, random, event));
    EXPECT_EQ(i1[0], 6);
    EXPECT_EQ(i2[0], 6);
}

TEST(UniformValueCrossover, ADrawAboveOneHalfSwapsTheGene) {
    ScriptedRandom random({0.7f, 0.5f, 0.2f});
    detail::CrossoverEvent event;
    const std::vector<std::int32_t> a{1, 2, 3}, b{10, 20, 30};
    std::vector<std::int32_t> c1(3), c2(3);
    ASSERT_TRUE(detail::crossInteger(mvxUniformICO, a, b, c1, c2, random, event));
    EXPECT_EQ(c1, (std::vector<std::int32_t>{10, 2, 3}));
    EXPECT_EQ(c2, (std::vector<std::int32_t>{1, 20, 30}));
}

// --- Mutation ---

detail::GeneLayout layoutOf(std::vector<std::int32_t> bits, std::vector<float> realMin,
                            std::vector<float> realMax, std::vector<std::int32_t> intMin,
                            std::vector<std::int32_t> intMax) {
    detail::GeneDefinitions d;
    d.bitsPerGene = std::move(bits);
    d.realMin = std::move(realMin);
    d.realMax = std::move(realMax);
    d.integerMin = std::move(intMin);
    d.integerMax = std::move(intMax);
    return *detail::makeGeneLayout(d, static_cast<std::int32_t>(d.bitsPerGene.size()),
                                   static_cast<std::int32_t>(d.realMin.size()),
                                   static_cast<std::int32_t>(d.integerMin.size()));
}

TEST(MutationCount, ProbabilityTimesGenesTimesMembers) {
    EXPECT_EQ(detail::mutationCount(0.1f, 20, 50), 100);
    EXPECT_EQ(detail::mutationCount(0.0f, 20, 50), 0);
    EXPECT_EQ(detail::mutationCount(1.0f, 7, 4), 28);
    EXPECT_EQ(detail::mutationCount(0.7f, 10, 10), 70);
    EXPECT_LT(detail::mutationCount(1.5f, 10, 10), 0);
}

TEST(FlipBitMutation, FlipsTheDrawnPositionAndRedrawsTheFirstAndProtectedMembers) {
    const auto layout = layoutOf({3}, {}, {}, {}, {});
    detail::Population population;
    population.allocate(4, layout);
    // One mutation (0.1 * 3 * 4 = 1.2): member draws 0 and 1 are redrawn under
    // elitism, then member 2; position draw 0 is redrawn, then position 2.
    ScriptedRandom random({ScriptedRandom::slot(0, 3), ScriptedRandom::slot(1, 3), ScriptedRandom::slot(2, 3),
                           ScriptedRandom::slot(0, 3), ScriptedRandom::slot(2, 3)});
    detail::MutationEvent event;
    ASSERT_TRUE(detail::mutateBinary({mvxFlipBitBMU, 0.1f, true}, population, layout, random, event));
    EXPECT_EQ(random.used(), 5u);
    EXPECT_EQ(population.binary(2), "010");
    EXPECT_EQ(population.binary(0), "000");
    EXPECT_EQ(population.binary(1), "000");
    EXPECT_EQ(population.binary(3), "000");
}

TEST(FlipBitMutation, MakesExactlyTheCountedFlipsAndNoneAtProbabilityZero) {
    const auto layout = layoutOf({10, 10}, {}, {}, {}, {});
    detail::RandomGenerator generator;
    for (const auto& [probability, flips] : {std::pair{0.1f, 100}, std::pair{0.0f, 0}}) {
        detail::Population population;
        population.allocate(50, layout);
        // Count the flips a user-defined mutation would be asked for: one event each.
        int events = 0;
        UserDefinedMutationFunction counter = [&](mvxDataType, const MutationData&, MutationData&) {
            ++events;
        };
        detail::MutationEvent event{&counter, {}, {}};
        ASSERT_TRUE(detail::mutateBinary({mvxUserDefinedBMU, probability, true}, population, layout,
                                         generator, event));
        EXPECT_EQ(events, flips);
    }
}

TEST(Mutation, ElitismKeepsSlotZeroOfEveryKind) {
    const auto layout = layoutOf({4, 4}, {0.0f}, {1.0f}, {0}, {100});
    detail::RandomGenerator generator;
    detail::Population population;
    population.allocate(6, layout);
    population.binary(0) = "10101010";
    population.real(0)[0] = 0.5f;
    population.integer(0)[0] = 42;
    detail::MutationEvent event;
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(detail::mutateBinary({mvxFlipBitBMU, 1.0f, true}, population, layout, generator, event));
        ASSERT_TRUE(detail::mutateReal({mvxRandomRMU, 1.0f, true}, population, layout, generator, event));
        ASSERT_TRUE(detail::mutateInteger({mvxMinMaxIMU, 1.0f, true}, population, layout, generator, event));
    }
    EXPECT_EQ(population.binary(0), "10101010");
    EXPECT_EQ(population.real(0)[0], 0.5f);
    EXPECT_EQ(population.integer(0)[0], 42);
    // The others did change: the mutations really ran.
    EXPECT_NE(population.binary(2), "00000000");
}

TEST(Mutation, MinMaxRealWithoutElitismAndRandomIntegerScaledIntoTheRange) {
    const auto layout = layoutOf({}, {0.0f}, {10.0f}, {-10}, {10});
    detail::Population population;
    population.allocate(4, layout);
    detail::MutationEvent event;
    // 0.25 * 1 * 4 = 1 mutation: member 0 (slot 0 is not protected), gene 0,
    // a MinMax draw above 0.5 gives the maximum.
    ScriptedRandom real({0.0f, 0.0f, 0.9f});
    ASSERT_TRUE(detail::mutateReal({mvxMinMaxRMU, 0.25f, false}, population, layout, real, event));
    EXPECT_EQ(population.real(0)[0], 10.0f);
    // Member 1, gene 0, value (10 - -10) * 0.625 - 10 = 2.5, rounded to the even 2.
    ScriptedRandom integer({ScriptedRandom::slot(1, 3), 0.0f, 0.625f});
    ASSERT_TRUE(detail::mutateInteger({mvxRandomIMU, 0.25f, true}, population, layout, integer, event));
    EXPECT_EQ(population.integer(1)[0], 2);
}

TEST(UserDefinedMutation, TakesTheHostsValueAndRefusesBadBitStrings) {
    const auto layout = layoutOf({4}, {0.0f}, {1.0f}, {}, {});
    detail::Population population;
    population.allocate(4, layout);
    std::string answer = "1111";
    std::vector<std::string> before;
    UserDefinedMutationFunction handler = [&](mvxDataType type, const MutationData& value,
                                              MutationData& after) {
        if (type == mvxBinary) {
            before.push_back(value.binary);
            after.binary = answer;
        } else {
            after.real = value.real + 0.25f;
        }
    };
    detail::MutationEvent event{&handler, {}, {}};
    ScriptedRandom random({ScriptedRandom::slot(2, 3), ScriptedRandom::slot(1, 3), 0.0f});
    // 0.0625 * 4 bits * 4 members = 1 binary mutation; 0.25 * 1 gene * 4 = 1 real one.
    ASSERT_TRUE(detail::mutateBinary({mvxUserDefinedBMU, 0.0625f, true}, population, layout, random, event));
    EXPECT_EQ(population.binary(2), "1111");
    ASSERT_TRUE(detail::mutateReal({mvxUserDefinedRMU, 0.25f, true}, population, layout, random, event));
    EXPECT_EQ(population.real(1)[0], 0.25f);
    answer = "11";
    ScriptedRandom again({ScriptedRandom::slot(2, 3)});
    EXPECT_FALSE(detail::mutateBinary({mvxUserDefinedBMU, 0.0625f, true}, population, layout, again, event));
    EXPECT_EQ(before, (std::vector<std::string>{"0000", "1111"}));
}

// --- Ordering and survivors ---

std::vector<float> membersOf(const detail::FitnessTable& table) {
    std::vector<float> members;
    for (const auto& column : table) {
        members.push_back(column.member);
    }
    return members;
}

TEST(Ordering, SortsBestFirstInEitherDirectionKeepingTheMemberIndex) {
    auto table = tableOf({5, 1, 4, 2, 3, 0});
    detail::orderFitnessTable(table, true);
    EXPECT_EQ(membersOf(table), (std::vector<float>{5, 1, 3, 4, 2, 0}));
    detail::orderFitnessTable(table, false);
    EXPECT_EQ(membersOf(table), (std::vector<float>{0, 2, 4, 3, 1, 5}));

    // Four equal values: gap 1 (n = 3, first gap 1) exchanges every equal pair it
    // meets, so the walk reverses the table: members 3, 2, 1, 0.
    table = tableOf({7, 7, 7, 7});
    detail::orderFitnessTable(table, true);
    EXPECT_EQ(membersOf(table), (std::vector<float>{3, 2, 1, 0}));
}

TEST(Survivors, HalfThePopulationRoundedUpToEven) {
    struct Case {
        std::int32_t population, survivors;
    };
    for (const Case c : {Case{4, 2}, Case{6, 4}, Case{8, 4}, Case{10, 6}, Case{100, 50}, Case{102, 52}}) {
        EXPECT_EQ(detail::survivorCount(c.population), c.survivors) << c.population;
        EXPECT_EQ((c.population - c.survivors) % 2, 0);
    }
}

}  // namespace
}  // namespace tarnix
