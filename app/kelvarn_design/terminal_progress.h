// Shows a design process on the terminal: a progress bar redrawn in place when
// the output is a terminal, plain lines otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>

#include "kelvarn/design/progress_observer.h"

namespace kelvarn::app {

class TerminalProgress final : public design::ProgressObserver {
  public:
    // interactive: redraw one line in place; otherwise write plain lines.
    // poll is called after every generation (the stop request is read there).
    TerminalProgress(std::ostream& out, bool interactive, std::function<void()> poll = {});

    void runStarted(const design::DesignProgress& progress) override;
    void generationReported(const design::DesignProgress& progress) override;
    void runsEnded(const design::DesignProgress& progress) override;

  private:
    void DrawBar(const design::DesignProgress& progress);
    void RunSummary(const design::DesignProgress& progress);

    std::ostream& out_;
    bool interactive_;
    std::function<void()> poll_;
    bool lineOpen_ = false;
    std::int32_t lastRun_ = 0;
    double lastDraw_ = -1.0;
    design::DesignProgress last_;
};

// The progress line itself (without a line end): run k of n, the generation,
// the best fitness and whether it is feasible, the best feasible cost and the
// evaluations per second.
std::string ProgressLine(const design::DesignProgress& progress);

}  // namespace kelvarn::app
