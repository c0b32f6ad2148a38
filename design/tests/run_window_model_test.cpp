// The run window's logic: validation, the states of its buttons and labels
// during a design process, the stop question and the end message.
// Built only where the engine is part of the build.
#if __has_include("tarnix/engine.h")
#include "kelvarn/design/run_window_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "kelvarn/design/design_messages.h"
#include "project_builder.h"
#include "run_support.h"
#include "scripted_model.h"

namespace kelvarn::design {
namespace {

using testing::LinkValues;
using testing::Period;
using testing::ProjectBuilder;
using testing::ScriptedModel;

struct FakeUser final : RunWindowUser {
    std::vector<std::pair<std::string, MessageIcon>> messages;
    std::vector<std::string> questions;
    bool answer = true;
    int focused = 0;
    std::vector<bool> resultsCommand;
    std::function<void(const RunWindowView&)> onRefresh;

    void Refresh(const RunWindowView& view) override {
        if (onRefresh) {
            onRefresh(view);
        }
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.emplace_back(text, icon);
    }
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    void FocusNumberOfRuns() override { ++focused; }
    void SetResultsCommandEnabled(bool enabled) override { resultsCommand.push_back(enabled); }
};

// J1's pressure is the diameter of the one designed pipe / 10; it needs 15.
std::vector<Period> Hydraulics(const LinkValues& values) {
    Period p;
    p.pressure = {{2, testing::DiameterSum(values) / 10}};
    p.velocity = {{1, 1.0f}};
    return {p};
}

Project Problem() {
    GaOptions o = GaOptions::Defaults();
    o.Population = 8;
    o.Generations = 6;
    o.GenerationsNoChange = 20;
    return ProjectBuilder()
        .Option("D100", 1, 100, 130)
        .Option("D200", 3, 200, 130)
        .Option("D300", 9, 300, 130)
        .Pipe("P1", 1, 10, {"D100", "D200", "D300"})
        .Junction("J1", 2, 15.0f, 100.0f)
        .Settings(o)
        .Build();
}

// The window's model on a fast clock, with hydraulics that follow the design.
struct Window {
    Window() : model(runs, user, &host) {
        hydraulics.hydraulics = Hydraulics;
        model.process().engine().SetRandomSeed(9);
    }
    std::int32_t runs = 0;
    FakeUser user;
    testing::FastClockHost host;
    RunWindowModel model;
    ScriptedModel hydraulics;
    testing::TempFolder folder;
};

TEST(RunWindowModel, FirstOpeningOffersFiveRunsThenTheLastOnes) {
    Window w;
    w.model.Load();
    EXPECT_EQ(w.runs, 5);
    EXPECT_EQ(w.model.view().numberOfRuns, "5");
    EXPECT_FALSE(w.model.view().resultsEnabled);

    std::int32_t runs = 3;
    FakeUser user;
    RunWindowModel again(runs, user);
    again.Load();
    EXPECT_EQ(again.view().numberOfRuns, "3");
}

TEST(RunWindowModel, InvalidNumberOfRunsAndNoPipesAreRefusedBeforeAnythingChanges) {
    for (const char* text : {"0", "-3", "abc"}) {
        Window w;
        w.model.Load();
        Project p = Problem();
        w.model.SetNumberOfRunsText(text);
        w.model.Run(p, w.hydraulics, w.folder.path());
        ASSERT_EQ(w.user.messages.size(), 1u) << text;
        EXPECT_EQ(w.user.messages[0].first, messages::kInvalidNumberOfRuns);
        EXPECT_EQ(w.user.messages[0].second, MessageIcon::Exclamation);
        EXPECT_EQ(w.user.focused, 1);
        EXPECT_EQ(w.runs, 5);
        EXPECT_EQ(w.hydraulics.opens, 0);
        EXPECT_TRUE(w.user.resultsCommand.empty());
    }
    Window w;
    w.model.Load();
    Project p = Problem();
    p.DesignPipes.clear();
    w.model.Run(p, w.hydraulics, w.folder.path());
    ASSERT_EQ(w.user.messages.size(), 1u);
    EXPECT_EQ(w.user.messages[0].first, messages::kNoPipesToDesign);
    EXPECT_EQ(w.hydraulics.opens, 0);
}

TEST(RunWindowModel, AFractionOfARunPassesTheCheckAndEndsAtOnce) {
    Window w;
    w.model.Load();
    Project p = Problem();
    w.model.SetNumberOfRunsText("0.4");
    w.model.Run(p, w.hydraulics, w.folder.path());
    EXPECT_EQ(w.runs, 0);
    ASSERT_EQ(w.user.messages.size(), 1u);
    EXPECT_EQ(w.user.messages[0].first, messages::kNoFeasibleFound);
    EXPECT_EQ(w.user.messages[0].second, MessageIcon::None);
    EXPECT_FALSE(w.model.view().resultsEnabled);
    EXPECT_EQ(w.user.resultsCommand, (std::vector<bool>{false}));
}

TEST(RunWindowModel, ButtonsLabelsAndBarsThroughADesignProcess) {
    Window w;
    w.model.Load();
    Project p = Problem();
    w.model.SetNumberOfRunsText("2");
    bool sawRunning = false, sawGreen = false;
    w.user.onRefresh = [&](const RunWindowView& v) {
        if (w.model.Running() && !v.currentGeneration.empty()) {
            sawRunning = true;
            EXPECT_FALSE(v.runEnabled);
            EXPECT_FALSE(v.closeEnabled);
            EXPECT_TRUE(v.stopEnabled);
            EXPECT_FALSE(v.resultsEnabled);
            sawGreen = sawGreen || v.bestFitnessColour == kFeasibleColour;
        }
    };
    w.model.Run(p, w.hydraulics, w.folder.path());
    EXPECT_TRUE(sawRunning);
    EXPECT_TRUE(sawGreen);
    const RunWindowView& v = w.model.view();
    EXPECT_TRUE(v.runEnabled);
    EXPECT_TRUE(v.closeEnabled);
    EXPECT_FALSE(v.stopEnabled);
    EXPECT_TRUE(v.resultsEnabled);
    EXPECT_EQ(v.currentRun, "2");
    EXPECT_EQ(v.bestFeasible, "30");  // D200 on 10 m at 3
    EXPECT_EQ(v.runsProgress, 100.0f);
    EXPECT_EQ(v.runProgress, 100.0f);
    EXPECT_EQ(w.user.resultsCommand, (std::vector<bool>{false, true}));
    ASSERT_EQ(w.user.messages.size(), 1u);
    EXPECT_EQ(w.user.messages[0].first, messages::kFeasibleFound);
    EXPECT_EQ(w.runs, 2);
    ASSERT_TRUE(w.model.outcome());
    EXPECT_TRUE(w.model.outcome()->record.FeasibleFound);
}

TEST(RunWindowModel, StopQuestionYesStopsNoDoesNotAndClosingWhileRunningIsRefused) {
    Window w;
    w.model.Load();
    w.model.SetNumberOfRunsText("4");
    Project p = Problem();
    p.GaOptions.Generations = 200;
    std::optional<bool> closeAllowed;
    w.user.onRefresh = [&](const RunWindowView& v) {
        if (v.currentRun == "1" && v.currentGeneration == "2") {
            w.user.answer = false;
            w.model.StopRun();  // "No": the run goes on
        }
        if (v.currentRun == "2" && !closeAllowed) {
            w.user.answer = true;
            closeAllowed = w.model.RequestClose();  // asks to stop instead of closing
        }
    };
    w.model.Run(p, w.hydraulics, w.folder.path());
    EXPECT_EQ(closeAllowed, false);
    EXPECT_EQ(w.user.questions, (std::vector<std::string>{messages::kStopQuestion, messages::kStopQuestion}));
    ASSERT_TRUE(w.model.outcome());
    EXPECT_TRUE(w.model.outcome()->stopped);
    EXPECT_EQ(w.model.outcome()->runsStarted, 2);
    EXPECT_EQ(w.model.view().currentRun, "2");
    EXPECT_TRUE(w.model.RequestClose());
}

}  // namespace
}  // namespace kelvarn::design

#endif  // __has_include("tarnix/engine.h")
