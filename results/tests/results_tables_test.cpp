// The three results tables and the text report written from them.
#include "kelvarn/results/results_tables.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kelvarn/results/design_report.h"

namespace kelvarn::results {
namespace {

// Two designed pipes, one junction, one source, with the result fields a
// design process would leave.
design::Project Designed() {
    design::Project p;
    auto option = [&](const std::string& id, const std::string& description, float cost, float diameter) {
        design::clsDesignOptions* o = p.OptionCatalogue.Add(id);
        o->ID = id;
        o->Description = description;
        o->Cost = cost;
        o->Diameter = diameter;
        o->Roughness = 130;
    };
    option("DO1", "PVC 110", 12.5f, 110);
    option("DO2", "PVC 160", 1234.56f, 160);
    option("OUT", "Leave out", 0.3f, 0);
    auto pipe = [&](const std::string& id, float length, float vmin, float vmax) {
        network::clsLink& l = p.Network.Links.Add(id);
        l.ID = id;
        l.Length = length;
        l.colPipeDesignOptions = {"DO1", "DO2", "OUT"};
        l.DesignMinVelocity = vmin;
        l.DesignMaxVelocity = vmax;
        p.DesignPipes.push_back(id);
    };
    pipe("P1", 1000, 0.254f, 1.006f);
    pipe("P2", 1000, 0.0f, 0.0f);
    network::clsNode& j = p.Network.Nodes.Add("J1");
    j.ID = "J1";
    j.DesignMinPressure = 30.444f;
    j.DesignMaxPressure = 31.5f;
    p.DesignJunctions.push_back("J1");
    network::clsNode& r = p.Network.Nodes.Add("R1");
    r.ID = "R1";
    r.DesignMaxSourceFlow = 1120.25f;
    p.DesignSources.push_back("R1");
    return p;
}

design::BestFeasibleRecord Best(std::vector<std::int32_t> genes, float cost) {
    design::BestFeasibleRecord r;
    r.Offer(cost, genes);
    return r;
}

TEST(PipesTable, HeaderRowsAndTotal) {
    const design::Project p = Designed();
    const Table t = BuildPipesTable(p, Best({1, 0}, 1247060.0f));
    ASSERT_EQ(t.rowCount(), 4);  // header, two pipes, "Total"
    ASSERT_EQ(t.columnCount(), 5);
    EXPECT_EQ(t.rowHeight(0), 800);
    const std::vector<std::pair<std::string, int>> header = {{"ID", 1000},
                                                             {"Design description", 2000},
                                                             {"Cost", 1000},
                                                             {"Min. Velocity", 800},
                                                             {"Max. Velocity", 800}};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(t.cell(0, c).text, header[c].first);
        EXPECT_TRUE(t.cell(0, c).bold);
        EXPECT_EQ(t.cell(0, c).alignment, Alignment::Centre);
        EXPECT_EQ(t.columnWidth(c), header[c].second);
    }
    // Row 1: gene 1 selects DO2; 1000 m at 1234.56 = 1,234,560.
    EXPECT_EQ(t.cell(1, 0).text, "P1");
    EXPECT_TRUE(t.cell(1, 0).bold);
    EXPECT_EQ(t.cell(1, 0).alignment, Alignment::Centre);
    EXPECT_EQ(t.cell(1, 1).text, "PVC 160");
    EXPECT_FALSE(t.cell(1, 1).bold);
    EXPECT_EQ(t.cell(1, 1).alignment, Alignment::General);
    EXPECT_EQ(t.cell(1, 2).text, "1,234,560");
    EXPECT_EQ(t.cell(1, 3).text, "0.25");
    EXPECT_EQ(t.cell(1, 4).text, "1.01");
    // Row 2: a pipe that never flowed above the tolerance shows 0.00 twice.
    EXPECT_EQ(t.cell(2, 2).text, "12,500");
    EXPECT_EQ(t.cell(2, 3).text, "0.00");
    EXPECT_EQ(t.cell(2, 4).text, "0.00");
    // The total is the recorded cost, not the sum of the column.
    EXPECT_EQ(t.cell(3, 0).text, "Total");
    EXPECT_TRUE(t.cell(3, 0).bold);
    EXPECT_EQ(t.cell(3, 0).alignment, Alignment::General);
    EXPECT_EQ(t.cell(3, 2).text, "1,247,060");
    EXPECT_TRUE(t.cell(3, 2).bold);
    EXPECT_EQ(t.cell(3, 1).text, "");
    EXPECT_EQ(t.cell(3, 4).text, "");
}

TEST(PipesTable, LeftOutPipeShowsNoVelocitiesAndCostBelowAHalfShowsEmpty) {
    design::Project p = Designed();
    p.Network.Links.Item("P1").Length = 1;  // 1 m at 0.3 rounds to 0
    const Table t = BuildPipesTable(p, Best({2, 0}, 12500.3f));
    EXPECT_EQ(t.cell(1, 1).text, "Leave out");
    EXPECT_EQ(t.cell(1, 2).text, "");
    EXPECT_EQ(t.cell(1, 3).text, "");
    EXPECT_EQ(t.cell(1, 4).text, "");
}

TEST(PipesTable, GeneSelectingNoOptionShowsTheIdAloneAndNoFeasibleDesignIsRefused) {
    const design::Project p = Designed();
    const Table t = BuildPipesTable(p, Best({3, 0}, 1E+14f));
    EXPECT_EQ(t.cell(1, 0).text, "P1");
    EXPECT_EQ(t.cell(1, 1).text, "");
    EXPECT_EQ(t.cell(1, 2).text, "");
    EXPECT_THROW(BuildPipesTable(p, design::BestFeasibleRecord()), std::invalid_argument);
}

TEST(OtherTables, JunctionsAndSourcesAndAnUnknownCaption) {
    design::Project p = Designed();
    const Table j = BuildJunctionsTable(p);
    ASSERT_EQ(j.rowCount(), 2);
    ASSERT_EQ(j.columnCount(), 3);
    EXPECT_EQ(j.cell(0, 1).text, "Min. Pressure");
    EXPECT_EQ(j.columnWidth(1), 1500);
    EXPECT_EQ(j.cell(1, 0).text, "J1");
    EXPECT_TRUE(j.cell(1, 0).bold);
    EXPECT_EQ(j.cell(1, 1).text, "30.44");
    EXPECT_EQ(j.cell(1, 2).text, "31.50");
    const Table s = BuildSourcesTable(p);
    ASSERT_EQ(s.columnCount(), 2);
    EXPECT_EQ(s.cell(0, 1).text, "Max. Flow");
    EXPECT_EQ(s.cell(1, 1).text, "1120.25");
    p.DesignSources.clear();
    EXPECT_EQ(BuildSourcesTable(p).rowCount(), 1);  // the header alone
    EXPECT_EQ(BuildResultsTable("Valves", p, Best({0, 0}, 1)).rowCount(), 0);
}

TEST(OtherTables, RebuildingGivesTheSameTable) {
    const design::Project p = Designed();
    const design::BestFeasibleRecord r = Best({1, 2}, 5.0f);
    EXPECT_EQ(FormatDesignReport(BuildResultsTables(p, r)), FormatDesignReport(BuildResultsTables(p, r)));
}

TEST(DesignReport, TwoPipesOneJunctionOneSourceByteForByte) {
    const design::Project p = Designed();
    const std::string text = FormatDesignReport(BuildResultsTables(p, Best({1, 0}, 1247060.0f)));
    const std::string expected =
        "\"Pipes\"\r\n"
        "\"ID\",\"Design description\",\"Cost\",\"Min. Velocity\",\"Max. Velocity\",\r\n"
        "\"P1\",\"PVC 160\",\"1,234,560\",\"0.25\",\"1.01\",\r\n"
        "\"P2\",\"PVC 110\",\"12,500\",\"0.00\",\"0.00\",\r\n"
        "\"Total\",\"\",\"1,247,060\",\"\",\"\",\r\n"
        "\r\n"
        "\"Junctions\"\r\n"
        "\"ID\",\"Min. Pressure\",\"Max. Pressure\",\r\n"
        "\"J1\",\"30.44\",\"31.50\",\r\n"
        "\r\n"
        "\"Sources\"\r\n"
        "\"ID\",\"Max. Flow\",\r\n"
        "\"R1\",\"1120.25\",\r\n"
        "\r\n";
    EXPECT_EQ(text, expected);
}

class TempFolder {
  public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("kelvarn_results_" + std::to_string(::getpid()) + "_" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DesignReport, WrittenFileReplacesTheOldOneAndAFailureLeavesNoFile) {
    TempFolder folder;
    const design::Project p = Designed();
    const auto tables = BuildResultsTables(p, Best({0, 1}, 7.0f));
    const std::filesystem::path path = folder.path() / "net_Design.txt";
    {
        std::ofstream old(path);
        old << "old report";
    }
    std::string error;
    ASSERT_TRUE(WriteDesignReport(path, tables, &error)) << error;
    EXPECT_EQ(Read(path), FormatDesignReport(tables));

    const std::filesystem::path unwritable = folder.path() / "no such folder" / "x_Design.txt";
    EXPECT_FALSE(WriteDesignReport(unwritable, tables, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "stray files";
}

}  // namespace
}  // namespace kelvarn::results
