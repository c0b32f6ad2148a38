// kelvarn-design PROJECT.kv [--runs N] [--seed S] [--out DIR]
#include <unistd.h>

#include <clocale>
#include <iostream>
#include <locale>

#include "command_line.h"
#include "design_command.h"

int main(int argc, char** argv) {
    // Numbers are read and shown in the user's form, as the window does.
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::runtime_error&) {
        // An unknown locale name leaves the classic one.
    }
    std::vector<std::string> arguments(argv + 1, argv + argc);
    kelvarn::app::CommandLineError error;
    const auto line = kelvarn::app::ParseCommandLine(arguments, error);
    if (!line) {
        std::cerr << error.message << "\n\n" << kelvarn::app::UsageText();
        return kelvarn::app::kExitError;
    }
    if (line->help) {
        std::cout << kelvarn::app::UsageText();
        return kelvarn::app::kExitSuccess;
    }
    kelvarn::app::DesignCommandOptions options;
    options.interactive = isatty(STDOUT_FILENO) != 0;
    return kelvarn::app::RunDesignCommand(*line, options, std::cout, std::cerr);
}
