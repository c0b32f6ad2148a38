// Junctions that reach the reservoir only through a closed link: the closed link's tiny
// conductance still carries their demand, with heads near -1e7 ft, and the solve must keep
// continuity there although the system is conditioned at the limit of double precision.
#include <gtest/gtest.h>

#include <cmath>

#include "data/solver/model_builder.h"
#include "hydraulics/hydraulic_simulation.h"

namespace kvepa2 {
namespace {

using testing::ModelBuilder;

constexpr double kGpm = 448.831;  // GPM per cfs

// R - P1 - J1 =closed P2= J2 - P3 - J3 - P4 - J4 (dead end), and J2 - P5 - J5 - P6 - J3.
struct CutOffNet {
    ModelBuilder b;
    int r, p1, p2, p3, p4;
    double groupDemand = (20.0 + 15.0 + 5.0) / kGpm;
    double j1Demand = 10.0 / kGpm;
    CutOffNet() {
        const int j1 = b.junction(50.0, j1Demand);
        const int j2 = b.junction(60.0, 20.0 / kGpm);
        const int j3 = b.junction(55.0, 15.0 / kGpm);
        const int j4 = b.junction(58.0);
        const int j5 = b.junction(52.0, 5.0 / kGpm);
        r = b.reservoir(200.0);
        p1 = b.pipe(r, j1, 1000.0, 1.0, 130.0);
        p2 = b.pipe(j1, j2, 800.0, 8.0 / 12.0, 130.0);
        p3 = b.pipe(j2, j3, 600.0, 8.0 / 12.0, 130.0);
        p4 = b.pipe(j3, j4, 400.0, 0.5, 130.0);
        b.pipe(j2, j5, 500.0, 0.5, 130.0);
        b.pipe(j5, j3, 700.0, 0.5, 130.0);
        b.model().links[p2].initStatus = LinkStatus::Closed;
        b.model().options.accuracy = 0.001;
    }
};

TEST(CutOffGroups, TheClosedLinkCarriesExactlyTheGroupsDemand) {
    CutOffNet n;
    HydraulicSimulation sim(n.b.model());
    sim.init(0);
    long t = 0;
    // Negative pressures in the group, but the period converges.
    EXPECT_EQ(sim.run(t), 6);
    // Without refinement the supply was 52.4 GPM for 50 GPM of demand. Exact it is not: the trials
    // stop while the group's level, tied only by the closed link, still swings (EPANET's own solve
    // supplies 49.04 GPM here), so within 0.1 %.
    EXPECT_NEAR(sim.linkFlow(n.p1), n.j1Demand + n.groupDemand, 1e-3 * (n.j1Demand + n.groupDemand));
    EXPECT_LT(sim.nodeHead(1), -1.0e6);
    // Inside the group the flows follow from its demands: J4 takes nothing.
    EXPECT_NEAR(sim.linkFlow(n.p4), 0.0, 1e-6);
}

TEST(CutOffGroups, ReopeningTheLinkRestoresTheOrdinarySolution) {
    // The group test is redone whenever the closed links change; a reopened link must leave
    // no trace of the cut-off state.
    CutOffNet closed;
    CutOffNet open;
    open.b.model().links[open.p2].initStatus = LinkStatus::Open;
    HydraulicSimulation a(closed.b.model());
    HydraulicSimulation b(open.b.model());
    a.init(0);
    b.init(0);
    long t = 0;
    a.run(t);
    ASSERT_EQ(b.run(t), 0);
    closed.b.model().links[closed.p2].initStatus = LinkStatus::Open;
    a.init(0);
    ASSERT_EQ(a.run(t), 0);
    EXPECT_DOUBLE_EQ(a.linkFlow(closed.p3), b.linkFlow(open.p3));
    EXPECT_DOUBLE_EQ(a.nodeHead(2), b.nodeHead(2));
}

}  // namespace
}  // namespace kvepa2
