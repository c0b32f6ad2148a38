// The arguments of kelvarn-design.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kelvarn::app {

struct CommandLine {
    bool help = false;
    std::filesystem::path project;             // the .kv project file
    std::string runsText = "5";                // number of genetic runs, as typed
    std::optional<float> seed;                 // non-zero RandomSeed; none seeds from the timer
    std::optional<std::filesystem::path> out;  // output folder; none means the project's folder
};

// What went wrong with the arguments, in a sentence for the user.
struct CommandLineError {
    std::string message;
};

// Parses argv[1..]: PROJECT.kv [--runs N] [--seed S] [--out DIR] or --help.
// Options may also be written --name=value. The number of runs is checked
// later, as the run window checks it.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            CommandLineError& error);

// The text of --help.
std::string UsageText();

}  // namespace kelvarn::app
