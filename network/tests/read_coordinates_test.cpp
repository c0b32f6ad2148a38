#include "kelvarn/network/read_coordinates.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace kelvarn::network {
namespace {

using testing::WriteTestFile;

Network TwoNodesOneLink() {
    Network net;
    net.Nodes.Add("J1").ID = "J1";
    net.Nodes.Add("R1").ID = "R1";
    net.Links.Add("P1").ID = "P1";
    return net;
}

TEST(ReadCoordinates, FillsCoordinatesAndVerticesInFileOrder) {
    Network net = TwoNodesOneLink();
    ReadCoordinates(net, WriteTestFile("coords.inp",
                                       "[JUNCTIONS]\r\n J1 10 20\r\n"
                                       "[COORDINATES]\r\n;Node X Y\r\n J1\t10.5\t20 ;first\r\n"
                                       " R1,,-3   4e1\r\n\r\n"
                                       "[VERTICES]\r\n P1 1 2\r\n P1 3 4\r\n P1 5 6\r\n"
                                       "[END]\r\n"));
    EXPECT_EQ(net.Nodes("J1").X, 10.5f);
    EXPECT_EQ(net.Nodes("J1").Y, 20.0f);
    EXPECT_EQ(net.Nodes("R1").X, -3.0f);
    EXPECT_EQ(net.Nodes("R1").Y, 40.0f);
    const clsLink& p1 = net.Links("P1");
    ASSERT_EQ(p1.nGnodes, 3);
    ASSERT_EQ(p1.Gnodes.Count(), 3);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(p1.Gnodes(k).X, 2.0f * k - 1);
        EXPECT_EQ(p1.Gnodes(k).Y, 2.0f * k);
    }
}

TEST(ReadCoordinates, OnlyExactSectionNamesCountAndAnyOtherHeaderEndsTheSection) {
    Network net = TwoNodesOneLink();
    ReadCoordinates(net, WriteTestFile("sections.inp",
                                       "[coordinates]\n J1 1 1\n"
                                       "[COORDINATES]\n R1 7 8\n[PIPES]\n J1 9 9\n"
                                       "[VERTICES]\n[TAGS]\n P1 1 1\n"));
    EXPECT_EQ(net.Nodes("J1").X, 0.0f);
    EXPECT_EQ(net.Nodes("J1").Y, 0.0f);
    EXPECT_EQ(net.Nodes("R1").X, 7.0f);
    EXPECT_EQ(net.Links("P1").nGnodes, 0);
}

struct BadCase {
    const char* name;
    std::string text;
    std::string message;  // part of the error's text
};

class ReadCoordinatesFailures : public ::testing::TestWithParam<BadCase> {};

TEST_P(ReadCoordinatesFailures, EndTheReadWithAnError) {
    Network net = TwoNodesOneLink();
    const std::string path = WriteTestFile(std::string(GetParam().name) + ".inp", GetParam().text);
    try {
        ReadCoordinates(net, path);
        FAIL() << "no error";
    } catch (const NetworkFileError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadCoordinatesFailures,
    ::testing::Values(BadCase{"UnknownNode", "[COORDINATES]\n J1 1 2\n J9 1 2\n", "line 3: node \"J9\""},
                      BadCase{"UnknownLink", "[VERTICES]\n P9 1 2\n", "link \"P9\" is not in the network"},
                      BadCase{"NodeIdsAreExact", "[COORDINATES]\n j1 1 2\n", "node \"j1\""},
                      BadCase{"NotANumber", "[COORDINATES]\n J1 1 north\n", "\"north\" is not a number"},
                      BadCase{"DecimalComma", "[COORDINATES]\n J1 \"1,5\" 2\n", "\"1,5\" is not a number"},
                      BadCase{"TooFewFields", "[COORDINATES]\n J1 1 2\n R1 5\n", "line 3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadCoordinates, AMissingFileFailsAndABadVertexKeepsOnlyThoseBeforeIt) {
    Network net = TwoNodesOneLink();
    EXPECT_THROW(ReadCoordinates(net, "no/such/file.inp"), NetworkFileError);
    EXPECT_THROW(ReadCoordinates(net, WriteTestFile("badvertex.inp", "[VERTICES]\n P1 1 2\n P1 x 2\n")),
                 NetworkFileError);
    EXPECT_EQ(net.Links("P1").nGnodes, 1);
    EXPECT_EQ(net.Links("P1").Gnodes.Count(), 1);
}

}  // namespace
}  // namespace kelvarn::network
