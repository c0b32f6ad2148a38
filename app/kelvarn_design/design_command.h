// kelvarn-design's work: open a project as the main window's Open does, run a
// design process and write its results.
#pragma once

#include <ostream>

#include "command_line.h"

namespace kelvarn::app {

// Exit codes.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitError = 1;       // bad arguments, project, network or toolkit
inline constexpr int kExitNoFeasible = 2;  // the process ran but found no feasible design

struct DesignCommandOptions {
    bool interactive = false;        // draw a progress bar in place
    bool listenForInterrupt = true;  // Ctrl-C asks the process to stop
};

int RunDesignCommand(const CommandLine& line, const DesignCommandOptions& options, std::ostream& out,
                     std::ostream& err);

}  // namespace kelvarn::app
