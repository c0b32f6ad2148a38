#include "command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kelvarn::app {

namespace {

// A seed is any finite number but 0, written with a decimal point.
std::optional<float> ParseSeed(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) {
        return std::nullopt;
    }
    const float seed = static_cast<float>(value);
    if (seed == 0.0f || !std::isfinite(seed)) {
        return std::nullopt;
    }
    return seed;
}

}  // namespace

std::string UsageText() {
    return "Usage: kelvarn-design PROJECT.kv [--runs N] [--seed S] [--out DIR]\n"
           "\n"
           "Runs a whole design process on a Kelvarn project and writes its results.\n"
           "\n"
           "  --runs N   number of genetic runs (default 5)\n"
           "  --seed S   a non-zero random seed, for reproducible runs (default: the timer)\n"
           "  --out DIR  folder for the results (default: the project's folder)\n"
           "  --help     show this text\n"
           "\n"
           "Written into the output folder: Results.inp (the network with the best design),\n"
           "<network>_Design.txt (the results tables) and <network>_Result.inp (the designed\n"
           "network file). Toolkit scratch files go to the current folder and are removed\n"
           "again unless they were there before.\n";
}

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                            CommandLineError& error) {
    CommandLine line;
    bool haveProject = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            return line;
        }
        if (argument.rfind("--", 0) == 0 && argument.size() > 2) {
            std::string name = argument;
            std::optional<std::string> value;
            const auto equals = argument.find('=');
            if (equals != std::string::npos) {
                name = argument.substr(0, equals);
                value = argument.substr(equals + 1);
            }
            if (name != "--runs" && name != "--seed" && name != "--out") {
                error.message = "Unknown option " + name;
                return std::nullopt;
            }
            if (!value) {
                if (i + 1 >= arguments.size()) {
                    error.message = "The option " + name + " needs a value";
                    return std::nullopt;
                }
                value = arguments[++i];
            }
            if (name == "--runs") {
                line.runsText = *value;
            } else if (name == "--seed") {
                line.seed = ParseSeed(*value);
                if (!line.seed) {
                    error.message = "The seed must be a non-zero number, not \"" + *value + "\"";
                    return std::nullopt;
                }
            } else {
                if (value->empty()) {
                    error.message = "The option --out needs a folder";
                    return std::nullopt;
                }
                line.out = std::filesystem::path(*value);
            }
            continue;
        }
        if (haveProject) {
            error.message = "Only one project file can be given, not also \"" + argument + "\"";
            return std::nullopt;
        }
        line.project = argument;
        haveProject = true;
    }
    if (!haveProject) {
        error.message = "No project file given";
        return std::nullopt;
    }
    return line;
}

}  // namespace kelvarn::app
