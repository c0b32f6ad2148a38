// The binding against our real toolkit, found beside the test program the way the program finds it
// (the test runs in another working directory), through the calls of a design run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kelvarn/binding/toolkit.h"

namespace en = kelvarn::binding::en;
using kelvarn::binding::Toolkit;

namespace {

// 31-character IDs, the longest allowed, must survive the round trip.
const std::string kLongJunction = "Junction_with_a_31_char_long_ID";
const std::string kLongPipe = "Pipe_with_a_31_characters_ID_xx";

std::filesystem::path writeNetwork(const std::filesystem::path& folder) {
    const auto file = folder / "binding.inp";
    std::ofstream(file) << "[JUNCTIONS]\n"
                        << kLongJunction << " 10 5\n"
                        << "J2 12 3\n"
                        << "[RESERVOIRS]\nR1 60\n"
                        << "[PIPES]\n"
                        << kLongPipe << " R1 " << kLongJunction << " 1000 200 120 0 Open\n"
                        << "P2 " << kLongJunction << " J2 500 150 120 0 Open\n"
                        << "[OPTIONS]\nUnits LPS\nHeadloss H-W\n[END]\n";
    return file;
}

class BindingWithKvepa2 : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("kelvarn_binding_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        network_ = writeNetwork(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string at(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
    std::filesystem::path network_;
};

TEST_F(BindingWithKvepa2, LoadsFromTheExecutableFolderAndReadsTheModel) {
    Toolkit tk;
    EXPECT_LT(tk.ENepanet(network_.string(), at("check.rpt"), at("check.out")), 7);
    ASSERT_EQ(tk.ENopen(network_.string(), at("r.rpt"), at("r.out")), 0);
    int nodes = 0;
    int tanks = 0;
    int links = 0;
    EXPECT_EQ(tk.ENgetcount(en::NODECOUNT, nodes), 0);
    EXPECT_EQ(tk.ENgetcount(en::TANKCOUNT, tanks), 0);
    EXPECT_EQ(tk.ENgetcount(en::LINKCOUNT, links), 0);
    EXPECT_EQ(nodes, 3);
    EXPECT_EQ(tanks, 1);  // reservoirs count as tanks
    EXPECT_EQ(links, 2);
    std::string id;
    EXPECT_EQ(tk.ENgetnodeid(1, id), 0);
    EXPECT_EQ(id, kLongJunction);
    EXPECT_EQ(tk.ENgetlinkid(1, id), 0);
    EXPECT_EQ(id, kLongPipe);
    int type = -1;
    EXPECT_EQ(tk.ENgetnodetype(3, type), 0);
    EXPECT_EQ(type, en::RESERVOIR);
    EXPECT_EQ(tk.ENgetlinktype(2, type), 0);
    EXPECT_EQ(type, en::PIPE);
    int n1 = 0;
    int n2 = 0;
    EXPECT_EQ(tk.ENgetlinknodes(1, n1, n2), 0);
    EXPECT_EQ(n1, 3);
    EXPECT_EQ(n2, 1);
    float length = 0.0f;
    EXPECT_EQ(tk.ENgetlinkvalue(2, en::LENGTH, length), 0);
    EXPECT_FLOAT_EQ(length, 500.0f);
    EXPECT_EQ(tk.ENclose(), 0);
}

TEST_F(BindingWithKvepa2, DesignRunCallsReachTheToolkitAndTheSavedFileKeepsTheChanges) {
    Toolkit tk;
    ASSERT_EQ(tk.ENopen(network_.string(), at("r.rpt"), at("r.out")), 0);
    ASSERT_EQ(tk.ENopenH(), 0);
    float before = 0.0f;
    float after = 0.0f;
    for (float diameter : {300.0f, 50.0f}) {
        EXPECT_EQ(tk.ENsetlinkvalue(2, en::ROUGHNESS, 100.0f), 0);
        EXPECT_EQ(tk.ENsetlinkvalue(2, en::DIAMETER, diameter), 0);
        EXPECT_EQ(tk.ENsetlinkvalue(2, en::INITSTATUS, 1.0f), 0);
        EXPECT_EQ(tk.ENinitH(1), 0);
        long t = -1;
        EXPECT_LT(tk.ENrunH(t), 100);
        EXPECT_EQ(t, 0);
        float p = 0.0f;
        EXPECT_EQ(tk.ENgetnodevalue(2, en::PRESSURE, p), 0);
        (diameter > 100.0f ? before : after) = p;
        float v = -1.0f;
        EXPECT_EQ(tk.ENgetlinkvalue(2, en::VELOCITY, v), 0);
        EXPECT_GT(v, 0.0f);
        float demand = 0.0f;
        EXPECT_EQ(tk.ENgetnodevalue(3, en::DEMAND, demand), 0);
        EXPECT_LT(demand, 0.0f);  // a supplying source shows a negative demand
        long step = -1;
        EXPECT_EQ(tk.ENnextH(step), 0);
        EXPECT_EQ(step, 0);  // single period
    }
    EXPECT_LT(after, before);  // the narrower pipe loses more head
    ASSERT_EQ(tk.ENsaveinpfile(at("saved.inp")), 0);
    EXPECT_EQ(tk.ENclose(), 0);

    ASSERT_EQ(tk.ENopen(at("saved.inp"), at("s.rpt"), at("s.out")), 0);
    float diameter = 0.0f;
    EXPECT_EQ(tk.ENgetlinkvalue(2, en::DIAMETER, diameter), 0);
    EXPECT_FLOAT_EQ(diameter, 50.0f);
    EXPECT_EQ(tk.ENclose(), 0);
}

}  // namespace
