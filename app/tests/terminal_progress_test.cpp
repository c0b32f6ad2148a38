// What kelvarn-design shows while a design process runs.
#include "terminal_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace kelvarn::app {
namespace {

design::DesignProgress At(int run, int generation, double seconds) {
    design::DesignProgress p;
    p.run = run;
    p.numberOfRuns = 2;
    p.generation = generation;
    p.bestFitness = 1234567.6f;
    p.bestIsFeasible = generation > 60;
    p.feasibleFound = generation > 60;
    p.bestFeasibleCost = 419000;
    p.runProgress = static_cast<float>(generation) / 500 * 100;
    p.evaluations = 100 * generation;
    p.elapsedSeconds = seconds;
    return p;
}

TEST(ProgressLine, NamesRunGenerationFitnessFeasibilityCostAndRate) {
    EXPECT_EQ(ProgressLine(At(1, 100, 2.0)),
              "run 1 of 2  generation 100  best fitness 1,234,568 (feasible)  best feasible cost 419,000  "
              "5,000 evaluations/s");
    EXPECT_EQ(ProgressLine(At(2, 10, 0.0)),
              "run 2 of 2  generation 10  best fitness 1,234,568 (infeasible)  best feasible cost -  "
              "0 evaluations/s");
}

TEST(TerminalProgress, PlainOutputWritesLinesEveryFiftyGenerationsAndOneSummaryPerRun) {
    std::ostringstream out;
    int polls = 0;
    TerminalProgress progress(out, false, [&] { ++polls; });
    progress.runStarted(At(1, 0, 0));
    for (int g = 1; g <= 120; ++g) {
        progress.generationReported(At(1, g, g * 0.01));
    }
    progress.runStarted(At(2, 0, 1.2));
    progress.generationReported(At(2, 1, 1.3));
    progress.runsEnded(At(2, 1, 1.3));
    const std::string text = out.str();
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(polls, 121);
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 4u) << text;
    EXPECT_EQ(all[0].rfind("run 1 of 2  generation 50 ", 0), 0u);
    EXPECT_EQ(all[1].rfind("run 1 of 2  generation 100 ", 0), 0u);
    EXPECT_EQ(all[2].rfind("Run 1 of 2 ended after 120 generations; best feasible cost 419,000", 0), 0u)
        << all[2];
    EXPECT_EQ(all[3].rfind("Run 2 of 2 ended after 1 generations", 0), 0u) << all[3];
}

TEST(TerminalProgress, TerminalOutputRedrawsOneLineInPlace) {
    std::ostringstream out;
    TerminalProgress progress(out, true);
    progress.runStarted(At(1, 0, 0));
    progress.generationReported(At(1, 1, 0.01));
    progress.generationReported(At(1, 250, 0.5));
    progress.runsEnded(At(1, 250, 0.5));
    const std::string text = out.str();
    // Half of run 1 of 2 is a quarter of the process.
    EXPECT_NE(text.find("\r[#####...............] run 1 of 2  generation 250 "), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);  // the bar, then the summary
}

}  // namespace
}  // namespace kelvarn::app
