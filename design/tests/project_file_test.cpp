#include "kelvarn/design/project_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace kelvarn::design {
namespace {

namespace fs = std::filesystem;

fs::path TestDir() {
    const fs::path dir = fs::current_path() / "project_file_test_files";
    fs::create_directories(dir);
    return dir;
}

std::string WriteText(const std::string& name, const std::string& text) {
    const fs::path path = TestDir() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A small network with design data: three options, two junctions (one listed
// twice), two pipes and a source, and settings that are all distinct.
Project SampleProject() {
    Project p;
    network::Network& net = p.Network;
    for (const char* id : {"J1", "J2", "R1"}) {
        net.Nodes.Add(id).ID = id;
    }
    for (const char* id : {"P1", "P2", "P3"}) {
        net.Links.Add(id).ID = id;
    }
    p.InpFileName = "my network.inp";
    auto option = [&p](const char* id, float cost, float diameter, float roughness, const char* text) {
        clsDesignOptions* o = p.OptionCatalogue.Add(id);
        *o = clsDesignOptions{id, text, cost, roughness, diameter, p.OptionCatalogue.Count()};
    };
    option("DO1", 100, 200, 130, "8 in");
    option("DO2", 45.73f, 304.8f, 0.05f, "12 in, PVC");
    option("Closed", 0, 0, 0, "");
    net.Nodes("J1").MinPressure = 30;
    net.Nodes("J1").MaxPressure = 80.5f;
    net.Nodes("J2").MinPressure = -2.5f;
    net.Nodes("J2").MaxPressure = 1e7f;
    net.Nodes("R1").MaxFlow = 500;
    net.Links("P1").MinVelocity = 0.3f;
    net.Links("P1").MaxVelocity = 2.5f;
    net.Links("P1").colPipeDesignOptions = {"DO2", "DO1", "Closed"};
    net.Links("P3").MaxVelocity = 3;
    p.DesignJunctions = {"J2", "J1", "J2"};
    p.DesignPipes = {"P3", "P1"};
    p.DesignSources = {"R1"};
    p.GaOptions = GaOptions{1.5f, 2, 3, 4, 5, 6, 0.07f, 0.0125f, 9};
    return p;
}

// The staged values a file written from `p` must read back as.
StagedDesign StagedFrom(const Project& p) {
    StagedDesign s;
    for (const std::string& id : p.DesignJunctions) {
        s.StagedJunctionMinPressure.push_back(p.Network.Nodes(id).MinPressure);
        s.StagedJunctionMaxPressure.push_back(p.Network.Nodes(id).MaxPressure);
    }
    for (const std::string& id : p.DesignPipes) {
        const network::clsLink& l = p.Network.Links(id);
        s.StagedPipeMinVelocity.push_back(l.MinVelocity);
        s.StagedPipeMaxVelocity.push_back(l.MaxVelocity);
        s.StagedPipeOptionCount.push_back(static_cast<std::int32_t>(l.colPipeDesignOptions.size()));
        s.StagedPipeOptionIds.push_back(l.colPipeDesignOptions);
    }
    for (const std::string& id : p.DesignSources) {
        s.StagedSourceMaxFlow.push_back(p.Network.Nodes(id).MaxFlow);
    }
    return s;
}

void ExpectSameCatalogue(const colDesignOptions& a, const colDesignOptions& b) {
    auto fields = [](const clsDesignOptions& o) {
        return std::tie(o.ID, o.Description, o.Cost, o.Diameter, o.Roughness, o.Index);
    };
    ASSERT_EQ(a.Count(), b.Count());
    for (std::int32_t k = 1; k <= a.Count(); ++k) {
        EXPECT_EQ(fields(a(k)), fields(b(k)));
        EXPECT_EQ(a.KeyAt(k), b.KeyAt(k));
        EXPECT_EQ(b(k).Index, k);
    }
}

TEST(ProjectFile, WritesTheSectionsRecordsZonesAndLineEnds) {
    const std::string path = (TestDir() / "sample.kv").string();
    std::string error;
    ASSERT_TRUE(WriteProject(SampleProject(), path, &error)) << error;
    const std::string sep = ";--------------------------------------------------\r\n";
    EXPECT_EQ(ReadText(path),
              "[INP_FILE]\r\n" + sep + "\"my network.inp\"\r\n\r\n" + "[DESIGN_OPTION]\r\n" + sep +
                  "DO1 100  200  130 \"8 in\"\r\n"
                  "DO2 45.73  304.8  .05 \"12 in, PVC\"\r\n"
                  "Closed 0  0  0 \"\"\r\n\r\n" +
                  "[DESIGN_JUNCTIONS]\r\n" + sep +
                  "J2 -2.5  1E+07 \r\nJ1 30  80.5 \r\nJ2 -2.5  1E+07 \r\n\r\n" + "[DESIGN_PIPES]\r\n" + sep +
                  "P3 0  3 \r\nP1 .3  2.5 DO2\tDO1\tClosed\t\r\n\r\n" + "[DESIGN_SOURCES]\r\n" + sep +
                  "R1 500 \r\n\r\n" + "[GA_OPTIONS]\r\n" + sep +
                  "PRESSURE_PENALTY             1.5 \r\n"
                  "WARNING_PENALTY              2 \r\n"
                  "VELOCITY_PENALTY             3 \r\n"
                  "SOURCES_PENALTY              4 \r\n"
                  "POPULATION     5 \r\n"
                  "GENERATIONS    6 \r\n"
                  "PRESSURE_TOLERANCE           .07 \r\n"
                  "VELOCITY_TOLERANCE           .0125 \r\n"
                  "GENERATIONS_NO_CHANGE        9 \r\n\r\n");
}

TEST(ProjectFile, ReadsBackWhatItWroteWithAbsentLimitsAndAwkwardIds) {
    Project original = SampleProject();
    original.Network.Nodes("J1").MinPressure.reset();
    original.Network.Nodes("J2").MaxPressure.reset();
    original.Network.Nodes("J2").MinPressure.reset();
    // Possible through a catalogue import: an ID with a blank, or with a comma.
    // The character after a closing quote is skipped; a sign must not be.
    *original.OptionCatalogue.Add("DN 100") = clsDesignOptions{"DN 100", "", -5, 0, 0, 4};
    *original.OptionCatalogue.Add("a,b") = clsDesignOptions{"a,b", "", 0, 0, 0, 5};
    original.Network.Links("P3").colPipeDesignOptions = {"DN 100", "a,b"};
    const std::string path = (TestDir() / "roundtrip.kv").string();
    ASSERT_TRUE(WriteProject(original, path));
    Project back;
    back.ProjectDir = "/somewhere/";
    std::string error;
    ASSERT_TRUE(ReadProject(back, path, &error)) << error;
    EXPECT_EQ(back.InpFileName, "my network.inp");
    ExpectSameCatalogue(original.OptionCatalogue, back.OptionCatalogue);
    EXPECT_EQ(back.DesignJunctions, original.DesignJunctions);
    EXPECT_EQ(back.DesignPipes, original.DesignPipes);
    EXPECT_EQ(back.DesignSources, original.DesignSources);
    EXPECT_EQ(back.StagedDesign, StagedFrom(original));
    EXPECT_EQ(back.GaOptions, original.GaOptions);
    EXPECT_EQ(back.ProjectDir, "/somewhere/");
    EXPECT_EQ(back.Network.Nodes.Count(), 0);  // the reader leaves the network alone
}

// The file's numbers keep their decimal point whatever the user's locale, so
// the comma stays a field separator and nothing shifts.
class DecimalComma : public std::numpunct<char> {
  protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
};

TEST(ProjectFile, RoundTripsUnderADecimalCommaLocale) {
    const std::locale old = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    const Project original = SampleProject();
    const std::string path = (TestDir() / "comma.kv").string();
    const bool written = WriteProject(original, path);
    Project back;
    const bool read = ReadProject(back, path);
    std::locale::global(old);
    ASSERT_TRUE(written && read);
    EXPECT_NE(ReadText(path).find("P1 .3  2.5 DO2\t"), std::string::npos);
    EXPECT_EQ(back.StagedDesign, StagedFrom(original));
    EXPECT_EQ(back.GaOptions, original.GaOptions);
}

// A catalogue of `catalogue` options and one pipe listing the first `listed`.
std::string PipeWithOptions(int catalogue, int listed) {
    std::string text = "[DESIGN_OPTION]\n";
    for (int k = 1; k <= catalogue; ++k) {
        text += "O" + std::to_string(k) + " 1 1 1 \"\"\n";
    }
    text += "[DESIGN_PIPES]\nP1 0 1";
    for (int k = 1; k <= listed; ++k) {
        text += " O" + std::to_string(k);
    }
    return text + "\n";
}

struct GoodCase {
    const char* name;
    std::string text;
    // Checks on the project read from `text` (started from the all-zero state).
    void (*check)(const Project&);
};

class ReadProjectAccepts : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ReadProjectAccepts, TheFile) {
    Project p;
    std::string error;
    ASSERT_TRUE(ReadProject(p, WriteText(std::string(GetParam().name) + ".kv", GetParam().text), &error))
        << error;
    GetParam().check(p);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadProjectAccepts,
    ::testing::Values(
        // A text editor's byte order mark, comments and blank lines anywhere, no final line end.
        GoodCase{"ByteOrderMarkCommentsBlankLinesAndNoFinalLineEnd",
                 "\xEF\xBB\xBF; a comment first\r\n\n   \n[INP_FILE]\n;----\n\"a.inp\"\n; between\n\n"
                 "[DESIGN_SOURCES]\r\nR1 5 \r\nR2 6",
                 [](const Project& p) {
                     EXPECT_EQ(p.InpFileName, "a.inp");
                     EXPECT_EQ(p.DesignSources, (DesignList{"R1", "R2"}));
                     EXPECT_EQ(p.StagedDesign.StagedSourceMaxFlow, (std::vector<float>{5, 6}));
                 }},
        GoodCase{"NoSettingsSectionLeavesThemAtZero", "[INP_FILE]\r\nx.inp\r\n",
                 [](const Project& p) { EXPECT_EQ(p.GaOptions, GaOptions{}); }},
        GoodCase{"SemicolonCutsADescription", "[DESIGN_OPTION]\nDO1 1 2 3 \"steel; lined\"\n",
                 [](const Project& p) { EXPECT_EQ(p.OptionCatalogue("DO1").Description, "steel"); }},
        GoodCase{"PipeWithoutOptions", "[DESIGN_PIPES]\nP7 .3 2.5\n",
                 [](const Project& p) {
                     EXPECT_EQ(p.DesignPipes, DesignList{"P7"});
                     EXPECT_EQ(p.StagedDesign.StagedPipeOptionCount, std::vector<std::int32_t>{0});
                     EXPECT_EQ(p.StagedDesign.StagedPipeMinVelocity, std::vector<float>{0.3f});
                     EXPECT_EQ(p.StagedDesign.StagedPipeMaxVelocity, std::vector<float>{2.5f});
                 }},
        GoodCase{"FortySevenOptions", PipeWithOptions(47, 47),
                 [](const Project& p) {
                     EXPECT_EQ(p.StagedDesign.StagedPipeOptionCount, std::vector<std::int32_t>{47});
                     EXPECT_EQ(p.StagedDesign.StagedPipeOptionIds[0].back(), "O47");
                 }},
        // Counts round half to even; keys are exact and unknown ones ignored.
        GoodCase{"Settings",
                 "[GA_OPTIONS]\nPOPULATION 100.5\nGENERATIONS 101.5\nGENERATIONS_NO_CHANGE 2.4999\n"
                 "population 7\nMUTATION 3\nPRESSURE_PENALTY 1E+07\n",
                 [](const Project& p) {
                     EXPECT_EQ(p.GaOptions.Population, 100);
                     EXPECT_EQ(p.GaOptions.Generations, 102);
                     EXPECT_EQ(p.GaOptions.GenerationsNoChange, 2);
                     EXPECT_EQ(p.GaOptions.PressurePenalty, 1e7f);
                 }},
        GoodCase{
            "RepeatedOptionUpdatesInPlace",
            "[DESIGN_OPTION]\nDO1 1 2 3 \"a\"\nDO2 4 5 6 \"b\"\ndo1 7 8 9 \"c\"\n[DESIGN_PIPES]\nP1 0 1 DO2\n"
            "[DESIGN_OPTION]\nDO2 10 11 12 \"d\"\n",
            [](const Project& p) {
                ASSERT_EQ(p.OptionCatalogue.Count(), 2);
                EXPECT_EQ(p.OptionCatalogue(1).ID, "do1");
                EXPECT_EQ(p.OptionCatalogue(1).Cost, 7.0f);
                EXPECT_EQ(p.OptionCatalogue(1).Description, "c");
                EXPECT_EQ(p.OptionCatalogue(1).Index, 1);  // its place, not the count
                EXPECT_EQ(p.OptionCatalogue(2).Roughness, 12.0f);
            }},
        // A repeated junction is held twice; limits may be left out.
        GoodCase{"Junctions", "[DESIGN_JUNCTIONS]\nJ1 20 80\nJ1 25\nJ2\n",
                 [](const Project& p) {
                     EXPECT_EQ(p.DesignJunctions, (DesignList{"J1", "J1", "J2"}));
                     const StagedDesign& s = p.StagedDesign;
                     EXPECT_EQ(s.StagedJunctionMinPressure, (std::vector<std::optional<float>>{20, 25, {}}));
                     EXPECT_EQ(s.StagedJunctionMaxPressure, (std::vector<std::optional<float>>{80, {}, {}}));
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::string text;
    std::string message;  // part of the error
    // What earlier lines assigned, if anything.
    std::string inpFileName = "before.inp";
    std::int32_t population = 1;
};

class ReadProjectRefuses : public ::testing::TestWithParam<BadCase> {};

TEST_P(ReadProjectRefuses, TheFileAndEmptiesTheDesignData) {
    Project p;
    p.InpFileName = "before.inp";
    p.GaOptions.Population = 1;
    p.OptionCatalogue.Add("OLD");
    p.DesignJunctions = {"J0"};
    p.DesignPipes = {"P0"};
    p.DesignSources = {"R0"};
    p.StagedDesign.StagedSourceMaxFlow = {1};
    p.Network.Nodes.Add("J0");
    std::string error;
    EXPECT_FALSE(ReadProject(p, WriteText(std::string(GetParam().name) + ".kv", GetParam().text), &error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
    EXPECT_EQ(p.OptionCatalogue.Count(), 0);
    EXPECT_TRUE(p.DesignJunctions.empty());
    EXPECT_TRUE(p.DesignPipes.empty());
    EXPECT_TRUE(p.DesignSources.empty());
    EXPECT_TRUE(p.StagedDesign.Empty());
    EXPECT_EQ(p.InpFileName, GetParam().inpFileName);
    EXPECT_EQ(p.GaOptions.Population, GetParam().population);
    EXPECT_EQ(p.Network.Nodes.Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadProjectRefuses,
    ::testing::Values(
        BadCase{"Empty", "", "the file is empty"},
        BadCase{"RecordBeforeTheFirstHeader", "x.inp\n[INP_FILE]\ny.inp\n", "line 1: a record outside"},
        BadCase{"UnknownHeader", "[INP_FILE]\nnew.inp\n[DESIGN_OPTION]\nDO1 1 2 3 \"\"\n[OPTIONS]\n",
                "line 5: unknown section \"[OPTIONS]\"", "new.inp", 1},
        BadCase{"HeadersAreExact", "[GA_OPTIONS]\nPOPULATION 9\n[ga_options]\n", "unknown section",
                "before.inp", 9},
        BadCase{"CostNotANumber", "[DESIGN_OPTION]\nDO1 cheap 2 3 \"\"\n",
                "the cost \"cheap\" is not a number"},
        BadCase{"DecimalCommaInAQuotedField", "[DESIGN_SOURCES]\nR1 \"2,5\"\n", "\"2,5\" is not a number"},
        BadCase{"OptionTooShort", "[DESIGN_OPTION]\nDO1 1 2\n", "too few fields"},
        BadCase{"PipeTooShort", "[DESIGN_PIPES]\nP1 0\n", "too few fields"},
        BadCase{"SourceTooShort", "[DESIGN_SOURCES]\nR1\n", "too few fields"},
        BadCase{"MoreOptionsThanTheCatalogue", PipeWithOptions(2, 3),
                "lists 3 options but the catalogue holds 2"},
        BadCase{"MoreThanFortySevenOptions", PipeWithOptions(48, 48), "more than 47 options"},
        BadCase{"OptionAfterAPipe",
                "[DESIGN_OPTION]\nDO1 1 2 3\n[DESIGN_PIPES]\nP1 0 1 DO1\n"
                "[DESIGN_OPTION]\nDO2 1 2 3\n",
                "line 6: the option \"DO2\" comes after the first pipe record"},
        BadCase{"CountOutOfRange", "[GA_OPTIONS]\nPOPULATION 50\nGENERATIONS 1E+10\n", "out of range",
                "before.inp", 50},
        BadCase{"FloatOutOfRange", "[GA_OPTIONS]\nPRESSURE_PENALTY 1E+39\n", "not a number"},
        BadCase{"SettingWithoutValue", "[GA_OPTIONS]\nPOPULATION\n", "has no value"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectFile, MissingFileFails) {
    Project p;
    p.OptionCatalogue.Add("X");
    std::string error;
    EXPECT_FALSE(ReadProject(p, (TestDir() / "absent.kv").string(), &error));
    EXPECT_NE(error.find("cannot be opened"), std::string::npos);
    EXPECT_EQ(p.OptionCatalogue.Count(), 0);
    EXPECT_FALSE(ReadProject(p, TestDir().string(), &error));
}

// Nothing of the old file is lost when a write is refused or fails.
class WriteProjectFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        target = (TestDir() / "keep.kv").string();
        ASSERT_TRUE(WriteProject(SampleProject(), target));
        before = ReadText(target);
    }
    void ExpectUnchangedAndNoLeftovers() {
        EXPECT_EQ(ReadText(target), before);
        for (const auto& entry : fs::directory_iterator(TestDir())) {
            EXPECT_EQ(entry.path().filename().string().find("keep.kv."), std::string::npos) << entry.path();
        }
    }
    std::string target;
    std::string before;
};

TEST_F(WriteProjectFailure, ADesignEntryMissingFromTheNetwork) {
    Project p = SampleProject();
    p.DesignPipes.push_back("P9");
    std::string error;
    EXPECT_FALSE(WriteProject(p, target, &error));
    EXPECT_NE(error.find("\"P9\" is not in the network"), std::string::npos) << error;
    ExpectUnchangedAndNoLeftovers();
}

TEST_F(WriteProjectFailure, TextsThatCouldNotBeReadBack) {
    const std::vector<void (*)(Project&)> spoil = {
        [](Project& p) { p.OptionCatalogue(1).ID = "D;1"; },
        [](Project& p) { p.OptionCatalogue(2).Description = "12\" pipe"; },
        [](Project& p) { p.OptionCatalogue(1).ID = "[x]"; },
        [](Project& p) { p.InpFileName = "a;b.inp"; },
        [](Project& p) { p.Network.Links("P1").colPipeDesignOptions.push_back("line\nbreak"); },
    };
    for (auto change : spoil) {
        Project p = SampleProject();
        change(p);
        std::string error;
        EXPECT_FALSE(WriteProject(p, target, &error));
        EXPECT_NE(error.find("cannot"), std::string::npos) << error;
    }
    ExpectUnchangedAndNoLeftovers();
}

TEST_F(WriteProjectFailure, TheTargetCannotBeReplaced) {
    const fs::path dir = TestDir() / "a folder.kv";
    fs::create_directories(dir / "inside");
    std::string error;
    EXPECT_FALSE(WriteProject(SampleProject(), dir.string(), &error));
    EXPECT_NE(error.find("cannot replace"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(dir / "inside"));
    EXPECT_FALSE(WriteProject(SampleProject(), (TestDir() / "no such folder" / "x.kv").string(), &error));
    EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    ExpectUnchangedAndNoLeftovers();
    for (const auto& entry : fs::directory_iterator(TestDir())) {
        EXPECT_EQ(entry.path().filename().string().find("a folder.kv."), std::string::npos) << entry.path();
    }
}

TEST_F(WriteProjectFailure, AReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "every file is writable for root";
    }
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    std::string error;
    const bool written = WriteProject(SampleProject(), target, &error);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    ExpectUnchangedAndNoLeftovers();
}

// Not a failure: saving through a link replaces the whole file it points to.
TEST_F(WriteProjectFailure, NotWhenSavingThroughALink) {
    const fs::path link = TestDir() / "link.kv";
    fs::remove(link);
    fs::create_symlink(target, link);
    Project small;
    small.InpFileName = "via-link.inp";
    ASSERT_TRUE(WriteProject(small, link.string()));
    EXPECT_TRUE(fs::is_symlink(link));
    Project back;
    ASSERT_TRUE(ReadProject(back, target));
    EXPECT_EQ(back.InpFileName, "via-link.inp");
    EXPECT_EQ(back.OptionCatalogue.Count(), 0);
    EXPECT_LT(ReadText(target).size(), before.size());
}

}  // namespace
}  // namespace kelvarn::design
