// The three results tables, the text report written from them, the input-file
// export through the toolkit and the results window's logic around both.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kelvarn/results/design_report.h"
#include "kelvarn/results/results_export.h"
#include "kelvarn/results/results_tables.h"
#include "kelvarn/results/results_window_model.h"

namespace kelvarn::results {
namespace {

namespace fs = std::filesystem;

// Answers the three export calls, each with a chosen code; opening a missing
// file fails, and saving copies the opened file.
class ExportModel final : public design::HydraulicModel {
  public:
    int openCode = 0, saveCode = 0, closeCode = 0;
    std::vector<std::string> calls;

    int ENopen(const std::string& inp, const std::string& rpt, const std::string& out) override {
        calls.push_back("open " + inp + " " + rpt + " " + out);
        opened_ = inp;
        return fs::exists(inp) ? openCode : 302;
    }
    int ENclose() override {
        calls.push_back("close");
        return closeCode;
    }
    int ENsaveinpfile(const std::string& fileName) override {
        calls.push_back("save");
        if (saveCode != 0 || !fs::exists(opened_)) {
            return saveCode != 0 ? saveCode : 102;
        }
        fs::copy_file(opened_, fileName);
        return 0;
    }
    int ENopenH() override { return 0; }
    int ENinitH(int) override { return 0; }
    int ENrunH(long&) override { return 0; }
    int ENnextH(long&) override { return 0; }
    int ENgetnodevalue(int, int, float&) override { return 0; }
    int ENgetlinkvalue(int, int, float&) override { return 0; }
    int ENsetlinkvalue(int, int, float) override { return 0; }

  private:
    std::string opened_;
};

struct FakeUser final : ResultsWindowUser {
    std::optional<std::string> answer;
    std::vector<SaveDialog> dialogs;
    std::vector<std::string> messages;
    std::vector<std::string> shown;
    std::optional<std::string> AskSaveFileName(const SaveDialog& dialog) override {
        dialogs.push_back(dialog);
        return answer;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowTable(std::string_view caption, const Table&) override { shown.emplace_back(caption); }
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

design::BestFeasibleRecord Best(std::vector<std::int32_t> genes, float cost) {
    design::BestFeasibleRecord r;
    r.Offer(cost, genes);
    return r;
}

// Two designed pipes, one junction, one source, with the result fields a
// design process would leave, in a project of its own folder holding the
// design process's "Results.inp".
class Results : public ::testing::Test {
  protected:
    Results() {
        folder = fs::temp_directory_path() /
                 ("kelvarn_results_" + std::to_string(::getpid()) + "_" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(folder);
        std::ofstream(folder / "Results.inp") << "[TITLE]\ndesigned\n";
        p.ProjectDir = folder.string() + "/";
        p.InpFileName = "net.inp";
        auto option = [&](const std::string& id, const std::string& description, float cost, float diameter) {
            design::clsDesignOptions* o = p.OptionCatalogue.Add(id);
            o->ID = id;
            o->Description = description;
            o->Cost = cost;
            o->Diameter = diameter;
        };
        option("DO1", "PVC 110", 12.5f, 110);
        option("DO2", "PVC 160", 1234.56f, 160);
        option("OUT", "Leave out", 0.3f, 0);
        auto pipe = [&](const std::string& id, float vmin, float vmax) {
            network::clsLink& l = p.Network.Links.Add(id);
            l.ID = id;
            l.Length = 1000;
            l.colPipeDesignOptions = {"DO1", "DO2", "OUT"};
            l.DesignMinVelocity = vmin;
            l.DesignMaxVelocity = vmax;
            p.DesignPipes.push_back(id);
        };
        pipe("P1", 0.254f, 1.006f);
        pipe("P2", 0.0f, 0.0f);
        network::clsNode& j = p.Network.Nodes.Add("J1");
        j.DesignMinPressure = 30.444f;
        j.DesignMaxPressure = 31.5f;
        p.DesignJunctions.push_back("J1");
        p.Network.Nodes.Add("R1").DesignMaxSourceFlow = 1120.25f;
        p.DesignSources.push_back("R1");
    }
    ~Results() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::ptrdiff_t FilesInFolder() const { return std::distance(fs::directory_iterator(folder), {}); }

    fs::path folder;
    design::Project p;
    design::BestFeasibleRecord record = Best({1, 0}, 1247060.0f);
    ExportModel model;
    FakeUser user;
};

std::vector<std::string> RowTexts(const Table& t, std::int32_t row) {
    std::vector<std::string> texts;
    for (std::int32_t c = 0; c < t.columnCount(); ++c) {
        texts.push_back(t.cell(row, c).text);
    }
    return texts;
}

// The texts of every table are checked byte for byte through the report below.
TEST_F(Results, TablesLayOutTheirHeadersAndBoldIds) {
    const Table t = BuildPipesTable(p, record);
    ASSERT_EQ(t.rowCount(), 4);  // header, two pipes, "Total"
    EXPECT_EQ(t.rowHeight(0), 800);
    const std::vector<int> widths = {1000, 2000, 1000, 800, 800};
    for (int c = 0; c < 5; ++c) {
        EXPECT_TRUE(t.cell(0, c).bold);
        EXPECT_EQ(t.cell(0, c).alignment, Alignment::Centre);
        EXPECT_EQ(t.columnWidth(c), widths[c]);
    }
    EXPECT_TRUE(t.cell(1, 0).bold);
    EXPECT_EQ(t.cell(1, 0).alignment, Alignment::Centre);
    EXPECT_FALSE(t.cell(1, 1).bold);
    EXPECT_EQ(t.cell(1, 1).alignment, Alignment::General);
    EXPECT_TRUE(t.cell(3, 0).bold);
    EXPECT_EQ(t.cell(3, 0).alignment, Alignment::General);
    EXPECT_TRUE(t.cell(3, 2).bold);

    const Table j = BuildJunctionsTable(p);
    EXPECT_EQ(j.columnWidth(1), 1500);
    EXPECT_TRUE(j.cell(1, 0).bold);
    EXPECT_EQ(BuildSourcesTable(p).columnWidth(1), 1500);
    p.DesignSources.clear();
    EXPECT_EQ(BuildSourcesTable(p).rowCount(), 1);  // the header alone
    EXPECT_EQ(BuildResultsTable("Valves", p, record).rowCount(), 0);
}

TEST_F(Results, ALeftOutPipeOrAGeneSelectingNoOptionShowsLessAndNoFeasibleDesignIsRefused) {
    p.Network.Links.Item("P1").Length = 1;  // 1 m at 0.3 rounds to 0: no cost shown
    EXPECT_EQ(RowTexts(BuildPipesTable(p, Best({2, 0}, 12500.3f)), 1),
              (std::vector<std::string>{"P1", "Leave out", "", "", ""}));
    EXPECT_EQ(RowTexts(BuildPipesTable(p, Best({3, 0}, 1E+14f)), 1),
              (std::vector<std::string>{"P1", "", "", "", ""}));
    EXPECT_THROW(BuildPipesTable(p, design::BestFeasibleRecord()), std::invalid_argument);
}

// The total is the recorded cost, not the sum of the column; a pipe that never
// flowed above the tolerance shows 0.00 twice.
TEST_F(Results, ReportOfTwoPipesOneJunctionOneSourceByteForByte) {
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
    EXPECT_EQ(FormatDesignReport(BuildResultsTables(p, record)), expected);
}

TEST_F(Results, WrittenReportReplacesTheOldOneAndAFailureLeavesNoFile) {
    const auto tables = BuildResultsTables(p, record);
    const fs::path path = folder / "net_Design.txt";
    std::ofstream(path) << "old report";
    std::string error;
    ASSERT_TRUE(WriteDesignReport(path, tables, &error)) << error;
    EXPECT_EQ(Read(path), FormatDesignReport(tables));
    EXPECT_FALSE(WriteDesignReport(folder / "no such folder" / "x_Design.txt", tables, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FilesInFolder(), 2) << "stray files";
}

TEST_F(Results, ExportNamesStemIsTheNetworkFileNameLessItsLastFourCharacters) {
    p.ProjectDir = "/work/nets/";
    p.InpFileName = "Two Loop.inp";
    EXPECT_EQ(DefaultDesignReportName(p), "/work/nets/Two Loop_Design.txt");
    EXPECT_EQ(DefaultResultInpName(p), "/work/nets/Two Loop_Result.inp");
    p.InpFileName = ".inp";
    EXPECT_EQ(ResultsStem(p), "");
    p.InpFileName = "net";
    EXPECT_FALSE(ResultsStem(p).has_value());
    EXPECT_FALSE(DefaultResultInpName(p).has_value());
}

TEST_F(Results, SavingTheInputFileOpensWithScratchNamesSavesAndCloses) {
    const fs::path target = folder / "net_Result.inp";
    ASSERT_TRUE(SaveResultInpFile(model, folder / "Results.inp", target));
    EXPECT_EQ(model.calls, (std::vector<std::string>{"open " + (folder / "Results.inp").string() + " a b",
                                                     "save", "close"}));
    EXPECT_EQ(Read(target), "[TITLE]\ndesigned\n");
}

TEST_F(Results, AnyNonZeroCodeFailsTheSaveAndLeavesAnExistingFileAlone) {
    const fs::path target = folder / "net_Result.inp";
    std::ofstream(target) << "earlier";
    for (int* code : {&model.openCode, &model.saveCode, &model.closeCode}) {
        *code = 302;
        EXPECT_FALSE(SaveResultInpFile(model, folder / "Results.inp", target));
        *code = 0;
        EXPECT_EQ(model.calls.back(), "close") << "the model is closed after a failure too";
        EXPECT_EQ(Read(target), "earlier");
        EXPECT_EQ(FilesInFolder(), 2) << "stray files";
    }
}

TEST_F(Results, WindowOpensOnPipesAndRebuildsTheGridPerTab) {
    ResultsWindowModel w(p, record, model, folder / "Results.inp", user);
    w.Open();
    EXPECT_EQ(w.selectedTab(), "Pipes");
    EXPECT_EQ(w.table().rowCount(), 4);
    w.SelectTab("Junctions");
    EXPECT_EQ(w.table().columnCount(), 3);
    w.SelectTab("Map");
    EXPECT_EQ(w.table().rowCount(), 0);
    EXPECT_EQ(user.shown, (std::vector<std::string>{"Pipes", "Junctions", "Map"}));
}

TEST_F(Results, WindowTextExportOffersItsDialogWritesTheTablesAndReturnsToPipes) {
    ResultsWindowModel w(p, record, model, folder / "Results.inp", user);
    w.Open();
    w.SelectTab("Sources");
    user.answer = (folder / "chosen.txt").string();
    w.SaveDesignResults();
    ASSERT_EQ(user.dialogs.size(), 1u);
    EXPECT_EQ(user.dialogs[0].title, "Save design results to TXT file...");
    EXPECT_EQ(user.dialogs[0].filter, "Text file (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(user.dialogs[0].fileName, p.ProjectDir + "net_Design.txt");
    EXPECT_EQ(user.messages, (std::vector<std::string>{"The results file was saved!"}));
    EXPECT_EQ(w.selectedTab(), "Pipes");
    EXPECT_EQ(Read(folder / "chosen.txt"), FormatDesignReport(BuildResultsTables(p, record)));
}

TEST_F(Results, WindowExportsDoNothingWhenCancelledOrWithoutADefaultName) {
    ResultsWindowModel w(p, record, model, folder / "Results.inp", user);
    w.SaveDesignResults();
    w.SaveResultsInp();
    EXPECT_EQ(user.dialogs.size(), 2u);
    p.InpFileName = "n";  // too short for a default name: no dialog at all
    user.answer = (folder / "x.txt").string();
    w.SaveDesignResults();
    w.SaveResultsInp();
    EXPECT_EQ(user.dialogs.size(), 2u);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_TRUE(model.calls.empty());
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(Results, WindowInputFileExportCopiesResultsInpAndSaysSoOnlyWhenItFails) {
    ResultsWindowModel w(p, record, model, folder / "Results.inp", user);
    user.answer = (folder / "designed.inp").string();
    w.SaveResultsInp();
    EXPECT_EQ(user.dialogs.at(0).title, "Save results to INP file...");
    EXPECT_EQ(user.dialogs.at(0).filter, "EPANET file (*.inp)|*.inp|All Files (*.*)|*.*");
    EXPECT_EQ(user.dialogs.at(0).fileName, p.ProjectDir + "net_Result.inp");
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(Read(folder / "designed.inp"), "[TITLE]\ndesigned\n");

    // No design process ever completed its final simulation: no "Results.inp".
    fs::remove(folder / "Results.inp");
    user.answer = (folder / "again.inp").string();
    w.SaveResultsInp();
    EXPECT_EQ(user.messages, (std::vector<std::string>{"The results file was not saved!"}));
    EXPECT_FALSE(fs::exists(folder / "again.inp"));
}

TEST_F(Results, WindowWithoutAFeasibleDesignShowsNoPipesAndSavesNoReport) {
    const design::BestFeasibleRecord none;
    ResultsWindowModel w(p, none, model, folder / "Results.inp", user);
    w.Open();
    EXPECT_EQ(w.table().rowCount(), 0);
    user.answer = (folder / "x.txt").string();
    w.SaveDesignResults();
    EXPECT_EQ(user.messages, (std::vector<std::string>{"The results file was not saved!"}));
    EXPECT_FALSE(fs::exists(folder / "x.txt"));
}

}  // namespace
}  // namespace kelvarn::results
