// The results window's logic: tabs, the dialogs of the two exports, and what
// each export leaves behind.
#include "kelvarn/results/results_window_model.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kelvarn/results/design_report.h"
#include "kelvarn/results/results_export.h"
#include "kelvarn/results/results_tables.h"

namespace kelvarn::results {
namespace {

class NoToolkit final : public design::HydraulicModel {
  public:
    int ENopen(const std::string& inp, const std::string&, const std::string&) override {
        opened = inp;
        return std::filesystem::exists(inp) ? 0 : 302;
    }
    int ENclose() override { return 0; }
    int ENsaveinpfile(const std::string& fileName) override {
        if (opened.empty() || !std::filesystem::exists(opened)) {
            return 102;
        }
        std::filesystem::copy_file(opened, fileName);
        return 0;
    }
    int ENopenH() override { return 0; }
    int ENinitH(int) override { return 0; }
    int ENrunH(long&) override { return 0; }
    int ENnextH(long&) override { return 0; }
    int ENgetnodevalue(int, int, float&) override { return 0; }
    int ENgetlinkvalue(int, int, float&) override { return 0; }
    int ENsetlinkvalue(int, int, float) override { return 0; }
    std::string opened;
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

struct Fixture {
    Fixture() {
        folder = std::filesystem::temp_directory_path() /
                 ("kelvarn_results_window_" + std::to_string(::getpid()) + "_" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(folder);
        project.ProjectDir = folder.string() + "/";
        project.InpFileName = "net.inp";
        design::clsDesignOptions* o = project.OptionCatalogue.Add("DO1");
        o->ID = "DO1";
        o->Description = "PVC";
        o->Cost = 2;
        o->Diameter = 100;
        network::clsLink& l = project.Network.Links.Add("P1");
        l.ID = "P1";
        l.Length = 50;
        l.colPipeDesignOptions = {"DO1"};
        project.DesignPipes = {"P1"};
        record.Offer(100, std::vector<std::int32_t>{0});
        std::ofstream(folder / "Results.inp") << "[TITLE]\n";
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path folder;
    design::Project project;
    design::BestFeasibleRecord record;
    NoToolkit toolkit;
    FakeUser user;
};

TEST(ResultsWindowModel, OpensOnPipesAndRebuildsTheGridPerTab) {
    Fixture f;
    ResultsWindowModel w(f.project, f.record, f.toolkit, f.folder / "Results.inp", f.user);
    w.Open();
    EXPECT_EQ(w.selectedTab(), "Pipes");
    EXPECT_EQ(w.table().rowCount(), 3);
    w.SelectTab("Junctions");
    EXPECT_EQ(w.table().columnCount(), 3);
    w.SelectTab("Map");
    EXPECT_EQ(w.table().rowCount(), 0);
    EXPECT_EQ(f.user.shown, (std::vector<std::string>{"Pipes", "Junctions", "Map"}));
}

TEST(ResultsWindowModel, TextExportOffersItsDialogWritesTheTablesAndReturnsToPipes) {
    Fixture f;
    ResultsWindowModel w(f.project, f.record, f.toolkit, f.folder / "Results.inp", f.user);
    w.Open();
    w.SelectTab("Sources");
    f.user.answer = (f.folder / "chosen.txt").string();
    w.SaveDesignResults();
    ASSERT_EQ(f.user.dialogs.size(), 1u);
    EXPECT_EQ(f.user.dialogs[0].title, "Save design results to TXT file...");
    EXPECT_EQ(f.user.dialogs[0].filter, "Text file (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(f.user.dialogs[0].fileName, f.project.ProjectDir + "net_Design.txt");
    EXPECT_EQ(f.user.messages, (std::vector<std::string>{"The results file was saved!"}));
    EXPECT_EQ(w.selectedTab(), "Pipes");
    std::ifstream in(f.folder / "chosen.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), FormatDesignReport(BuildResultsTables(f.project, f.record)));
}

TEST(ResultsWindowModel, CancelledDialogsDoNothing) {
    Fixture f;
    ResultsWindowModel w(f.project, f.record, f.toolkit, f.folder / "Results.inp", f.user);
    w.SaveDesignResults();
    w.SaveResultsInp();
    EXPECT_EQ(f.user.dialogs.size(), 2u);
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_TRUE(f.toolkit.opened.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder), {}), 1);
}

TEST(ResultsWindowModel, InputFileExportCopiesResultsInpAndSaysSoOnlyWhenItFails) {
    Fixture f;
    ResultsWindowModel w(f.project, f.record, f.toolkit, f.folder / "Results.inp", f.user);
    f.user.answer = (f.folder / "designed.inp").string();
    w.SaveResultsInp();
    EXPECT_EQ(f.user.dialogs.at(0).title, "Save results to INP file...");
    EXPECT_EQ(f.user.dialogs.at(0).filter, "EPANET file (*.inp)|*.inp|All Files (*.*)|*.*");
    EXPECT_EQ(f.user.dialogs.at(0).fileName, f.project.ProjectDir + "net_Result.inp");
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(f.folder / "designed.inp"));

    // No design process ever completed its final simulation: no "Results.inp".
    std::filesystem::remove(f.folder / "Results.inp");
    f.user.answer = (f.folder / "again.inp").string();
    w.SaveResultsInp();
    EXPECT_EQ(f.user.messages, (std::vector<std::string>{"The results file was not saved!"}));
    EXPECT_FALSE(std::filesystem::exists(f.folder / "again.inp"));
}

TEST(ResultsWindowModel, ShortNetworkFileNameEndsTheExportsBeforeTheDialog) {
    Fixture f;
    f.project.InpFileName = "n";
    ResultsWindowModel w(f.project, f.record, f.toolkit, f.folder / "Results.inp", f.user);
    f.user.answer = (f.folder / "x.txt").string();
    w.SaveDesignResults();
    w.SaveResultsInp();
    EXPECT_TRUE(f.user.dialogs.empty());
    EXPECT_TRUE(f.user.messages.empty());
}

TEST(ResultsWindowModel, WithoutAFeasibleDesignThePipesGridIsEmpty) {
    Fixture f;
    design::BestFeasibleRecord none;
    ResultsWindowModel w(f.project, none, f.toolkit, f.folder / "Results.inp", f.user);
    w.Open();
    EXPECT_EQ(w.table().rowCount(), 0);
    f.user.answer = (f.folder / "x.txt").string();
    w.SaveDesignResults();
    EXPECT_EQ(f.user.messages, (std::vector<std::string>{"The results file was not saved!"}));
    EXPECT_FALSE(std::filesystem::exists(f.folder / "x.txt"));
}

}  // namespace
}  // namespace kelvarn::results
