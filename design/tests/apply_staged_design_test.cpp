// Bringing staged project values onto a loaded network, and the report of what
// the network lacks.
#include "kelvarn/design/apply_staged_design.h"

#include <gtest/gtest.h>

#include "project_builder.h"

namespace kelvarn::design {
namespace {

using testing::ProjectBuilder;

// A network with junctions J1, J2, pipes P1, P2, reservoir R1 and a tank T1,
// none of them designed yet; the design lists come from a "project file".
Project Network() {
    Project p = ProjectBuilder()
                    .Junction("J1", 1, std::nullopt, std::nullopt, false)
                    .Junction("J2", 2, std::nullopt, std::nullopt, false)
                    .Pipe("P1", 1, 10, {}, 0, 0, false)
                    .Pipe("P2", 2, 10, {}, 0, 0, false)
                    .Source("R1", 3, 0, false)
                    .Build();
    network::clsNode& tank = p.Network.Nodes.Add("T1");
    tank.ID = "T1";
    tank.NodeType = network::kTank;
    p.Network.TankIDs.push_back("T1");
    return p;
}

void StageJunction(Project& p, const std::string& id, std::optional<float> min, std::optional<float> max) {
    p.DesignJunctions.push_back(id);
    p.StagedDesign.StagedJunctionMinPressure.push_back(min);
    p.StagedDesign.StagedJunctionMaxPressure.push_back(max);
}

void StagePipe(Project& p, const std::string& id, float min, float max, std::vector<std::string> options) {
    p.DesignPipes.push_back(id);
    p.StagedDesign.StagedPipeMinVelocity.push_back(min);
    p.StagedDesign.StagedPipeMaxVelocity.push_back(max);
    p.StagedDesign.StagedPipeOptionCount.push_back(static_cast<std::int32_t>(options.size()));
    p.StagedDesign.StagedPipeOptionIds.push_back(std::move(options));
}

void StageSource(Project& p, const std::string& id, float maxFlow) {
    p.DesignSources.push_back(id);
    p.StagedDesign.StagedSourceMaxFlow.push_back(maxFlow);
}

TEST(ApplyStagedDesign, AllFoundAppliesEveryValueAndReportsNothing) {
    Project p = Network();
    StageJunction(p, "J2", 20.0f, 80.0f);
    StageJunction(p, "J1", 25.0f, std::nullopt);
    StagePipe(p, "P2", 0.3f, 2.5f, {"DO1", "DO2", "DO1"});
    StagePipe(p, "P1", 0.1f, 3.0f, {});
    StageSource(p, "R1", 500.0f);
    const MissingElements missing = ApplyStagedDesign(p);
    EXPECT_TRUE(missing.empty());
    EXPECT_TRUE(missing.Lines().empty());
    EXPECT_EQ(p.Network.Nodes.Item("J2").MinPressure, 20.0f);
    EXPECT_EQ(p.Network.Nodes.Item("J2").MaxPressure, 80.0f);
    EXPECT_EQ(p.Network.Nodes.Item("J1").MinPressure, 25.0f);
    EXPECT_FALSE(p.Network.Nodes.Item("J1").MaxPressure.has_value());
    EXPECT_EQ(p.Network.Links.Item("P2").MinVelocity, 0.3f);
    EXPECT_EQ(p.Network.Links.Item("P2").MaxVelocity, 2.5f);
    // An option listed twice for one pipe is kept once.
    EXPECT_EQ(p.Network.Links.Item("P2").colPipeDesignOptions, (std::vector<std::string>{"DO1", "DO2"}));
    // A pipe without options keeps its place in the list.
    EXPECT_TRUE(p.Network.Links.Item("P1").colPipeDesignOptions.empty());
    EXPECT_EQ(p.DesignPipes, (DesignList{"P2", "P1"}));
    EXPECT_EQ(p.Network.Nodes.Item("R1").MaxFlow, 500.0f);
    EXPECT_TRUE(p.StagedDesign.Empty());
}

TEST(ApplyStagedDesign, MissingEntriesAreGroupedAndRemovedKeepingTheOthersAligned) {
    Project p = Network();
    // Letter case counts, and a missing ID listed twice leaves twice.
    StageJunction(p, "j1", 1, 2);
    StageJunction(p, "J9", 1, 2);
    StageJunction(p, "J2", 3, 4);
    StageJunction(p, "J9", 1, 2);
    StagePipe(p, "PX", 9, 9, {"DO9"});
    StagePipe(p, "P1", 0.5f, 1.5f, {"DO1"});
    StagePipe(p, "R1", 8, 8, {});  // only pipes are pipes
    StagePipe(p, "P2", 0.25f, 2.0f, {"DO2", "DO3"});
    StageSource(p, "T1", 10);  // only reservoirs are sources
    StageSource(p, "RX", 100);
    StageSource(p, "J1", 10);
    StageSource(p, "R1", 200);
    const MissingElements missing = ApplyStagedDesign(p);
    EXPECT_EQ(missing.Lines(), (std::vector<std::string>{"JUNCTIONS:", "j1", "J9", "J9", "PIPES:", "PX", "R1",
                                                         "SOURCES:", "T1", "RX", "J1"}));
    EXPECT_EQ(p.DesignJunctions, (DesignList{"J2"}));
    EXPECT_EQ(p.DesignPipes, (DesignList{"P1", "P2"}));
    EXPECT_EQ(p.DesignSources, (DesignList{"R1"}));
    // The staged values of the entries behind a missing one reached the right records.
    EXPECT_EQ(p.Network.Nodes.Item("J2").MinPressure, 3.0f);
    EXPECT_FALSE(p.Network.Nodes.Item("J1").MinPressure.has_value());
    EXPECT_EQ(p.Network.Links.Item("P1").MaxVelocity, 1.5f);
    EXPECT_EQ(p.Network.Links.Item("P2").MinVelocity, 0.25f);
    EXPECT_EQ(p.Network.Links.Item("P2").colPipeDesignOptions, (std::vector<std::string>{"DO2", "DO3"}));
    EXPECT_EQ(p.Network.Nodes.Item("R1").MaxFlow, 200.0f);
    EXPECT_TRUE(p.StagedDesign.Empty());
}

TEST(ApplyStagedDesign, StagedArraysShorterThanTheListsGiveDefaultsInsteadOfReadingPastThem) {
    Project p = Network();
    p.DesignPipes = {"P1", "P2"};
    p.StagedDesign.StagedPipeMinVelocity = {0.5f};
    p.DesignJunctions = {"J1"};
    const MissingElements missing = ApplyStagedDesign(p);
    EXPECT_TRUE(missing.empty());
    EXPECT_EQ(p.Network.Links.Item("P1").MinVelocity, 0.5f);
    EXPECT_EQ(p.Network.Links.Item("P2").MinVelocity, 0.0f);
    EXPECT_FALSE(p.Network.Nodes.Item("J1").MinPressure.has_value());
}

}  // namespace
}  // namespace kelvarn::design
