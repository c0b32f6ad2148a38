#include "terminal_progress.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "kelvarn/common/number_format.h"

namespace kelvarn::app {

namespace {

constexpr int kBarWidth = 20;
// Plain output writes a line every so many generations.
constexpr std::int32_t kPlainLineEvery = 50;

std::string Thousands(double value) {
    const std::string text = common::FormatThousands(value);
    return text.empty() ? "0" : text;
}

double EvaluationsPerSecond(const design::DesignProgress& p) {
    return p.elapsedSeconds > 0 ? static_cast<double>(p.evaluations) / p.elapsedSeconds : 0.0;
}

}  // namespace

std::string ProgressLine(const design::DesignProgress& p) {
    if (p.generation == 0) {
        return "run " + std::to_string(p.run) + " of " + std::to_string(p.numberOfRuns) + "  starting";
    }
    std::string line = "run " + std::to_string(p.run) + " of " + std::to_string(p.numberOfRuns) +
                       "  generation " + std::to_string(p.generation) + "  best fitness " +
                       Thousands(p.bestFitness) + (p.bestIsFeasible ? " (feasible)" : " (infeasible)") +
                       "  best feasible cost " + (p.feasibleFound ? Thousands(p.bestFeasibleCost) : "-") +
                       "  " + Thousands(EvaluationsPerSecond(p)) + " evaluations/s";
    return line;
}

TerminalProgress::TerminalProgress(std::ostream& out, bool interactive, std::function<void()> poll)
    : out_(out), interactive_(interactive), poll_(std::move(poll)) {}

void TerminalProgress::DrawBar(const design::DesignProgress& p) {
    // The bar shows the whole process: the runs done and the current run's share.
    const double total = p.numberOfRuns > 0
                             ? (static_cast<double>(p.run - 1) + std::fmin(p.runProgress, 100.0f) / 100.0) /
                                   static_cast<double>(p.numberOfRuns)
                             : 1.0;
    const int filled = static_cast<int>(std::lround(total * kBarWidth));
    std::string bar(static_cast<std::size_t>(std::clamp(filled, 0, kBarWidth)), '#');
    bar.resize(kBarWidth, '.');
    out_ << "\r[" << bar << "] " << ProgressLine(p) << "\x1b[K" << std::flush;
    lineOpen_ = true;
}

void TerminalProgress::RunSummary(const design::DesignProgress& p) {
    if (lineOpen_) {
        DrawBar(p);  // the last state, which the throttled redraw may have skipped
        out_ << '\n';
        lineOpen_ = false;
    }
    out_ << "Run " << p.run << " of " << p.numberOfRuns << " ended after " << p.generation
         << " generations; best feasible cost "
         << (p.feasibleFound ? Thousands(p.bestFeasibleCost) : std::string("none yet")) << "; "
         << p.evaluations << " evaluations, " << Thousands(EvaluationsPerSecond(p)) << " evaluations/s\n"
         << std::flush;
}

void TerminalProgress::runStarted(const design::DesignProgress& p) {
    if (lastRun_ > 0) {
        RunSummary(last_);
    }
    lastRun_ = p.run;
    last_ = p;
    last_.generation = 0;
    if (interactive_) {
        DrawBar(last_);
    }
}

void TerminalProgress::generationReported(const design::DesignProgress& p) {
    last_ = p;
    if (interactive_) {
        // Redrawn at most ten times a second: fast runs report far more often.
        if (p.elapsedSeconds - lastDraw_ >= 0.1 || p.generation == 1) {
            DrawBar(p);
            lastDraw_ = p.elapsedSeconds;
        }
    } else if (p.generation % kPlainLineEvery == 0) {
        out_ << ProgressLine(p) << '\n' << std::flush;
    }
    if (poll_) {
        poll_();
    }
}

void TerminalProgress::runsEnded(const design::DesignProgress& p) {
    if (lastRun_ > 0) {
        design::DesignProgress summary = p;
        summary.generation = last_.generation;
        RunSummary(summary);
    }
    lastRun_ = 0;
}

}  // namespace kelvarn::app
