// The default names of the exports and the designed network saved through the toolkit.
#include "kelvarn/results/results_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvarn::results {
namespace {

// Answers the three export calls with chosen codes and writes what it "saved".
class ExportModel final : public design::HydraulicModel {
  public:
    int openCode = 0, saveCode = 0, closeCode = 0;
    std::vector<std::string> calls;

    int ENopen(const std::string& inp, const std::string& rpt, const std::string& out) override {
        calls.push_back("open " + inp + " " + rpt + " " + out);
        return openCode;
    }
    int ENclose() override {
        calls.push_back("close");
        return closeCode;
    }
    int ENsaveinpfile(const std::string& fileName) override {
        calls.push_back("save");
        if (saveCode != 0) {
            return saveCode;
        }
        std::ofstream(fileName) << "[TITLE]\ndesigned\n";
        return 0;
    }
    int ENopenH() override { return 0; }
    int ENinitH(int) override { return 0; }
    int ENrunH(long&) override { return 0; }
    int ENnextH(long&) override { return 0; }
    int ENgetnodevalue(int, int, float&) override { return 0; }
    int ENgetlinkvalue(int, int, float&) override { return 0; }
    int ENsetlinkvalue(int, int, float) override { return 0; }
};

class TempFolder {
  public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("kelvarn_export_" + std::to_string(::getpid()) + "_" +
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

TEST(ExportNames, StemIsTheNetworkFileNameLessItsLastFourCharacters) {
    design::Project p;
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

TEST(SaveResultInpFile, OpensResultsInpWithScratchNamesSavesAndCloses) {
    TempFolder folder;
    ExportModel model;
    const std::filesystem::path target = folder.path() / "net_Result.inp";
    ASSERT_TRUE(SaveResultInpFile(model, "/bin/Results.inp", target));
    ASSERT_EQ(model.calls.size(), 3u);
    EXPECT_EQ(model.calls[0], "open /bin/Results.inp a b");
    EXPECT_EQ(model.calls[1], "save");
    EXPECT_EQ(model.calls[2], "close");
    EXPECT_EQ(Read(target), "[TITLE]\ndesigned\n");
}

TEST(SaveResultInpFile, AnyNonZeroCodeIsAFailureAndLeavesAnExistingFileAlone) {
    for (int which = 0; which < 3; ++which) {
        TempFolder folder;
        const std::filesystem::path target = folder.path() / "net_Result.inp";
        std::ofstream(target) << "earlier";
        ExportModel model;
        (which == 0 ? model.openCode : which == 1 ? model.saveCode : model.closeCode) = 302;
        EXPECT_FALSE(SaveResultInpFile(model, "Results.inp", target)) << "call " << which;
        EXPECT_EQ(model.calls.back(), "close") << "the model is closed after a failure too";
        EXPECT_EQ(Read(target), "earlier");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "stray files";
    }
}

}  // namespace
}  // namespace kelvarn::results
