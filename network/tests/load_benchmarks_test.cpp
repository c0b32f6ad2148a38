// Loading the shared networks through the real toolkit.
#include <gtest/gtest.h>

#include <string>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/network/load_network.h"

namespace kelvarn::network {
namespace {

// The toolkit's scratch files, named for this test so that tests run side by
// side do not share them.
constexpr const char* kReport = "load_benchmarks_rep.dat";
constexpr const char* kOutput = "load_benchmarks_out.dat";

std::string Shared(const char* name) {
    return std::string(KELVARN_NETWORKS_DIR) + "/" + name;
}

TEST(LoadBenchmarks, TwoLoop) {
    binding::Toolkit toolkit;
    Network net;
    ASSERT_TRUE(LoadNetwork(net, toolkit, Shared("TLN.inp"), kReport, kOutput));
    EXPECT_EQ(net.NodeCount, 7);
    EXPECT_EQ(net.StorageCount, 1);
    EXPECT_EQ(net.LinkCount, 8);
    EXPECT_EQ(net.JunctionIDs, (IdList{"", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(net.ReservoirIDs, (IdList{"", "1"}));
    EXPECT_EQ(net.PipeIDs, (IdList{"", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(net.PumpCount + net.ValveCount + net.TankCount, 0);
    for (const clsLink& pipe : net.Links) {
        EXPECT_EQ(pipe.Length, 1000.0f) << pipe.ID;
        EXPECT_EQ(pipe.LinkType, kPipe);
    }
    EXPECT_EQ(net.Links("7").Node1, "3");
    EXPECT_EQ(net.Links("7").Node2, "5");
    EXPECT_EQ(net.Nodes("1").X, 1233.33f);
    EXPECT_EQ(net.Nodes("1").Y, 7950.0f);
    EXPECT_EQ(net.Nodes("1").Index, 7);
    // A file the real toolkit rejects leaves the network.
    EXPECT_FALSE(LoadNetwork(net, toolkit, Shared("no-such-network.inp"), kReport, kOutput));
    EXPECT_EQ(net.PipeCount, 8);
}

TEST(LoadBenchmarks, HanoiTwiceGivesTheSameNetwork) {
    binding::Toolkit toolkit;
    Network first;
    ASSERT_TRUE(LoadNetwork(first, toolkit, Shared("HAN.inp"), kReport, kOutput));
    EXPECT_EQ(first.JunctionCount, 31);
    EXPECT_EQ(first.PipeCount, 34);
    EXPECT_EQ(first.Links("1").Length, 100.0f);
    Network second = first;
    second.Nodes("2").MinPressure = 30;
    ASSERT_TRUE(LoadNetwork(second, toolkit, Shared("HAN.inp"), kReport, kOutput));
    EXPECT_FALSE(second.Nodes("2").MinPressure.has_value());
    EXPECT_EQ(second.PipeIDs, first.PipeIDs);
    EXPECT_EQ(second.JunctionIDs, first.JunctionIDs);
    for (std::int32_t i = 1; i <= first.Nodes.Count(); ++i) {
        EXPECT_EQ(second.Nodes(i).ID, first.Nodes(i).ID);
        EXPECT_EQ(second.Nodes(i).X, first.Nodes(i).X);
        EXPECT_EQ(second.Nodes(i).Y, first.Nodes(i).Y);
    }
}

TEST(LoadBenchmarks, PumpsAndTanksOfNet1) {
    binding::Toolkit toolkit;
    Network net;
    ASSERT_TRUE(LoadNetwork(net, toolkit, Shared("Net1.inp"), kReport, kOutput));
    EXPECT_EQ(net.JunctionCount, 9);
    EXPECT_EQ(net.ReservoirCount, 1);
    EXPECT_EQ(net.TankCount, 1);
    EXPECT_EQ(net.StorageCount, 2);
    EXPECT_EQ(net.PipeCount, 12);
    EXPECT_EQ(net.PumpIDs, (IdList{"", "9"}));
    EXPECT_EQ(net.Links("9").LinkType, kPump);
    EXPECT_EQ(net.Links("9").Length, 0.0f);
    EXPECT_EQ(net.Links("9").BColor, kPumpColor);
    EXPECT_EQ(net.Nodes("2").NodeType, kTank);
}

}  // namespace
}  // namespace kelvarn::network
