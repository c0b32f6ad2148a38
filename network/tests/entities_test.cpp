#include <gtest/gtest.h>

#include "kelvarn/network/collections.h"
#include "kelvarn/network/load_network.h"
#include "kelvarn/network/network.h"

namespace kelvarn::network {
namespace {

TEST(NetworkEntities, NewRecordsHoldTheirDefaults) {
    colNodes nodes;
    const clsNode& n = nodes.Add("J1");
    EXPECT_EQ(n.ID, "");  // the key is not the ID field; the loader sets both
    EXPECT_FALSE(n.MinPressure.has_value());
    EXPECT_FALSE(n.MaxPressure.has_value());
    EXPECT_EQ(n.NodeType, kJunction);
    EXPECT_EQ(n.MaxFlow, 0.0f);

    colLinks links;
    const clsLink& l = links.Add("P1");
    EXPECT_EQ(l.BWidth, 0);
    EXPECT_EQ(l.nGnodes, 0);
    EXPECT_EQ(l.Gnodes.Count(), 0);
    EXPECT_TRUE(l.colPipeDesignOptions.empty());
}

TEST(NetworkEntities, VerticesKeepTheirOrderAndStoreXAndY) {
    clsLink link;
    link.Gnodes.Add(1.5f, 2.5f);
    link.Gnodes.Add(3, 4);
    link.Gnodes.Add(5, 6, "v3");
    ASSERT_EQ(link.Gnodes.Count(), 3);
    EXPECT_EQ(link.Gnodes(1).X, 1.5f);
    EXPECT_EQ(link.Gnodes(1).Y, 2.5f);
    EXPECT_EQ(link.Gnodes("v3").X, 5.0f);
    EXPECT_THROW(link.Gnodes.Item(4), common::KeyNotFound);

    colGnodes replaced;
    replaced.Add(9, 9);
    link.Gnodes = replaced;
    EXPECT_EQ(link.Gnodes.Count(), 1);
}

TEST(NetworkEntities, UnkeyedMembersAreReachedByPositionOnly) {
    colNodes nodes;
    nodes.Add("A");
    nodes.Add().ID = "unkeyed";
    EXPECT_EQ(nodes.Item(2).ID, "unkeyed");
    EXPECT_THROW(nodes.Item("unkeyed"), common::KeyNotFound);
    EXPECT_THROW(nodes.Item(""), common::KeyNotFound);
}

TEST(NetworkEntities, ClearNetworkEmptiesEverything) {
    Network net;
    net.Nodes.Add("J1");
    net.Links.Add("P1");
    net.JunctionIDs.push_back("J1");
    net.NodeCount = net.JunctionCount = net.LinkCount = net.PipeCount = 1;
    net.StorageCount = net.ReservoirCount = net.TankCount = net.PumpCount = net.ValveCount = 3;
    ClearNetwork(net);
    EXPECT_EQ(net.Nodes.Count(), 0);
    EXPECT_EQ(net.Links.Count(), 0);
    EXPECT_THROW(net.Nodes.Item("J1"), common::KeyNotFound);
    for (std::int32_t count :
         {net.NodeCount, net.StorageCount, net.LinkCount, net.JunctionCount, net.ReservoirCount,
          net.TankCount, net.PipeCount, net.PumpCount, net.ValveCount}) {
        EXPECT_EQ(count, 0);
    }
    EXPECT_EQ(net.JunctionIDs, IdList{""});
}

}  // namespace
}  // namespace kelvarn::network
