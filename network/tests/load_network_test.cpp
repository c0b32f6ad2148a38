#include "kelvarn/network/load_network.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kelvarn/binding/toolkit.h"
#include "test_files.h"

namespace kelvarn::network {
namespace {

using testing::WriteTestFile;

// The stand-in toolkit's call log, read from the same loaded library.
class CallLog {
  public:
    CallLog() : handle_(dlopen(KELVARN_FAKE_TOOLKIT, RTLD_NOW)) {}
    ~CallLog() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    std::string Text() const { return reinterpret_cast<const char* (*)()>(dlsym(handle_, "FakeCallLog"))(); }
    void Clear() const { reinterpret_cast<void (*)()>(dlsym(handle_, "FakeClearLog"))(); }

  private:
    void* handle_;
};

// Two loops' worth of everything the loader handles: every link type, every
// node type, a 15- and a 31-character ID, coordinates and vertices.
const char* kModel =
    "[FAKE]\n"
    "epanet 6\n"
    "node J1 0\nnode ABCDEFGHIJKLMNO 0\nnode R1 1\nnode T1 2\nnode X1 7\n"
    "link P1 1 R1 J1 120.5\n"
    "link CV1 0 J1 ABCDEFGHIJKLMNO 80\n"
    "link PU1 2 ABCDEFGHIJKLMNO T1 0\n"
    "link V1 3 T1 X1 0\n"
    "link V2 8 X1 J1 0\n"
    "link L234567890123456789012345678901 1 J1 T1 10\n"
    "[COORDINATES]\n J1 1 2\n ABCDEFGHIJKLMNO 3 4\n R1 5 6\n"
    "[VERTICES]\n P1 7 8\n P1 9 10\n"
    "[END]\n";

class LoadNetworkTest : public ::testing::Test {
  protected:
    binding::Toolkit toolkit{KELVARN_FAKE_TOOLKIT};
    CallLog log;
    Network net;
};

TEST_F(LoadNetworkTest, CopiesLinksNodesListsAndCoordinates) {
    ASSERT_TRUE(LoadNetwork(net, toolkit, WriteTestFile("model.inp", kModel), "rep.dat", "out.dat"));
    EXPECT_EQ(net.NodeCount, 5);
    EXPECT_EQ(net.StorageCount, 3);
    EXPECT_EQ(net.LinkCount, 6);
    EXPECT_EQ(net.PipeIDs, (IdList{"", "P1", "CV1", "L234567890123456789012345678901"}));
    EXPECT_EQ(net.PumpIDs, (IdList{"", "PU1"}));
    EXPECT_EQ(net.ValveIDs, (IdList{"", "V1", "V2"}));
    EXPECT_EQ(net.JunctionIDs, (IdList{"", "J1", "ABCDEFGHIJKLMNO"}));
    EXPECT_EQ(net.ReservoirIDs, (IdList{"", "R1"}));
    EXPECT_EQ(net.TankIDs, (IdList{"", "T1"}));
    EXPECT_EQ((std::vector{net.PipeCount, net.PumpCount, net.ValveCount, net.JunctionCount,
                           net.ReservoirCount, net.TankCount}),
              (std::vector{3, 1, 2, 2, 1, 1}));

    const clsLink& cv = net.Links("CV1");
    EXPECT_EQ(cv.ID, "CV1");
    EXPECT_EQ(cv.Index, 2);
    EXPECT_EQ(cv.LinkType, kPipe);
    EXPECT_EQ(cv.Length, 80.0f);
    EXPECT_EQ(cv.BColor, kPipeColor);
    EXPECT_EQ(cv.BWidth, 2);
    EXPECT_EQ(cv.Node1, "J1");
    EXPECT_EQ(cv.Node2, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(net.Links("PU1").LinkType, kPump);
    EXPECT_EQ(net.Links("PU1").BColor, kPumpColor);
    EXPECT_EQ(net.Links("V2").LinkType, kValve);
    EXPECT_EQ(net.Links("V2").BColor, kValveColor);
    EXPECT_EQ(net.Links("L234567890123456789012345678901").ID, "L234567890123456789012345678901");

    EXPECT_EQ(net.Nodes("T1").NodeType, kTank);
    EXPECT_EQ(net.Nodes("T1").Index, 4);
    EXPECT_EQ(net.Nodes("X1").Index, 5);  // an unknown type is loaded without a list
    EXPECT_EQ(net.Nodes("ABCDEFGHIJKLMNO").X, 3.0f);
    EXPECT_EQ(net.Links("P1").nGnodes, 2);
    EXPECT_EQ(net.Links("P1").Gnodes(2).Y, 10.0f);

    ClearNetwork(net);
    EXPECT_EQ(net.Nodes.Count() + net.Links.Count(), 0);
    EXPECT_EQ(net.NodeCount + net.StorageCount + net.LinkCount + net.JunctionCount + net.PipeCount +
                  net.PumpCount + net.ValveCount + net.ReservoirCount + net.TankCount,
              0);
    EXPECT_EQ(net.PipeIDs, IdList{""});
}

TEST_F(LoadNetworkTest, ChecksOpensAndClosesAModelWithoutPumpsOrValves) {
    log.Clear();
    ASSERT_TRUE(LoadNetwork(net, toolkit,
                            WriteTestFile("plain.inp", "[FAKE]\nnode J1 0\nnode R1 1\nlink P1 1 R1 J1 5\n"),
                            "rep.dat", "out.dat"));
    EXPECT_EQ(log.Text(), "ENepanet ENopen ENclose");
    EXPECT_EQ(net.Links("P1").Node1, "R1");
    EXPECT_EQ(net.PumpIDs, IdList{""});
    EXPECT_EQ(net.ValveIDs, IdList{""});
    EXPECT_EQ(net.TankIDs, IdList{""});
    EXPECT_EQ(net.PumpCount + net.ValveCount + net.TankCount, 0);
}

// A model the check refuses, or any failure while it is read, leaves the
// network as it was, and an opened model is closed again.
TEST_F(LoadNetworkTest, AFailedLoadKeepsTheOldNetwork) {
    ASSERT_TRUE(LoadNetwork(net, toolkit, WriteTestFile("good.inp", kModel), "rep.dat", "out.dat"));
    net.Nodes("J1").MinPressure = 30;
    log.Clear();
    EXPECT_FALSE(LoadNetwork(net, toolkit,
                             WriteTestFile("bad.inp", "[FAKE]\nepanet 7\nnode Z 0\n[COORDINATES]\n Z 1 1\n"),
                             "rep.dat", "out.dat"));
    EXPECT_EQ(log.Text(), "ENepanet");
    EXPECT_FALSE(LoadNetwork(net, toolkit, "no/such/model.inp", "rep.dat", "out.dat"));

    // Each with a word the message must hold; toolkit errors name the call and the code.
    const std::string good(kModel);
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"[FAKE]\nnode J1 0\n[COORDINATES]\n J1 1 1\n J2 5 5\n", "J2"},  // unknown ID
        {"[FAKE]\nnode J1 0\nnode R1 1\nlink P1 1 R1 J1 5\nlink P1 1 J1 R1 5\n", "P1"},
        {"[FAKE]\nfail ENopen 0 200\n" + good, "ENopen failed with toolkit error 200"},
        {"[FAKE]\nfail ENgetcount 2 251\n" + good, "ENgetcount failed with toolkit error 251"},
        {"[FAKE]\nfail ENgetlinktype 3 204\n" + good, "ENgetlinktype failed with toolkit error 204"},
        {"[FAKE]\nfail ENgetlinkid 5 204\n" + good, "ENgetlinkid failed with toolkit error 204"},
        {"[FAKE]\nfail ENgetlinknodes 1 204\n" + good, "ENgetlinknodes failed with toolkit error 204"},
        {"[FAKE]\nfail ENgetlinkvalue 2 204\n" + good, "ENgetlinkvalue failed with toolkit error 204"},
        {"[FAKE]\nfail ENgetnodetype 3 203\n" + good, "ENgetnodetype failed with toolkit error 203"},
        {"[FAKE]\nfail ENgetnodeid 13 203\n" + good, "ENgetnodeid failed with toolkit error 203"},
    };
    for (const auto& [text, word] : broken) {
        log.Clear();
        const std::string path = WriteTestFile("broken.inp", text);
        try {
            LoadNetwork(net, toolkit, path, "rep.dat", "out.dat");
            ADD_FAILURE() << "loaded " << text;
        } catch (const NetworkFileError& e) {
            const std::string_view message = e.what();
            EXPECT_TRUE(message.starts_with(path)) << message;
            EXPECT_NE(message.find(word), std::string::npos) << message;
        }
        EXPECT_EQ(log.Text(), "ENepanet ENopen ENclose") << text;
    }
    EXPECT_EQ(net.NodeCount, 5);
    EXPECT_EQ(net.Links.Count(), 6);
    EXPECT_EQ(net.PipeIDs.size(), 4u);
    EXPECT_EQ(net.Nodes("J1").MinPressure, 30.0f);
    EXPECT_EQ(net.Nodes("J1").X, 1.0f);
    EXPECT_EQ(net.Nodes("J1").Y, 2.0f);
}

TEST_F(LoadNetworkTest, LoadingAgainResetsEveryDesignSettingAndResult) {
    const std::string path = WriteTestFile("again.inp", kModel);
    ASSERT_TRUE(LoadNetwork(net, toolkit, path, "rep.dat", "out.dat"));
    net.Nodes("J1").MinPressure = 30;
    net.Nodes("R1").MaxFlow = 500;
    net.Links("P1").colPipeDesignOptions = {"DO1"};
    net.Links("P1").DesignMaxVelocity = 3;
    ASSERT_TRUE(LoadNetwork(net, toolkit, path, "rep.dat", "out.dat"));
    EXPECT_FALSE(net.Nodes("J1").MinPressure.has_value());
    EXPECT_EQ(net.Nodes("R1").MaxFlow, 0.0f);
    EXPECT_TRUE(net.Links("P1").colPipeDesignOptions.empty());
    EXPECT_EQ(net.Links("P1").DesignMaxVelocity, 0.0f);
    EXPECT_EQ(net.Links("P1").nGnodes, 2);  // vertices not doubled
    EXPECT_EQ(net.JunctionIDs.size(), 3u);
}

}  // namespace
}  // namespace kelvarn::network
