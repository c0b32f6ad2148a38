#include "design_command.h"

#include <optional>
#include <system_error>

#include "interrupt_listener.h"
#include "kelvarn/binding/toolkit.h"
#include "kelvarn/common/number_format.h"
#include "kelvarn/design/apply_staged_design.h"
#include "kelvarn/design/design_messages.h"
#include "kelvarn/design/design_process.h"
#include "kelvarn/design/hydraulic_model.h"
#include "kelvarn/design/number_of_runs.h"
#include "kelvarn/design/project_file.h"
#include "kelvarn/network/load_network.h"
#include "kelvarn/results/design_report.h"
#include "kelvarn/results/results_export.h"
#include "kelvarn/results/results_tables.h"
#include "scratch_files.h"
#include "table_text.h"
#include "tarnix/host.h"
#include "terminal_progress.h"

namespace kelvarn::app {

namespace {

namespace msg = design::messages;

// The engine's refusals, which a window shows in a box titled "Moravex".
class ConsoleHost final : public tarnix::Host {
  public:
    explicit ConsoleHost(std::ostream& err) : err_(err) {}
    void showMessage(std::string_view text, std::string_view title) override {
        err_ << title << ": " << text << '\n';
    }

  private:
    std::ostream& err_;
};

std::string WithSeparator(const std::filesystem::path& folder) {
    std::string text = folder.string();
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

}  // namespace

int RunDesignCommand(const CommandLine& line, const DesignCommandOptions& options, std::ostream& out,
                     std::ostream& err) {
    const std::optional<std::int32_t> runs = design::ParseNumberOfRuns(line.runsText);
    if (!runs) {
        err << msg::kInvalidNumberOfRuns << '\n';
        return kExitError;
    }

    ScratchFiles scratch;
    std::error_code ec;
    const std::filesystem::path projectPath = std::filesystem::absolute(line.project, ec);
    design::Project project;
    project.ProjectFileName = projectPath.filename().string();
    project.ProjectDir = WithSeparator(projectPath.parent_path());

    network::ClearNetwork(project.Network);
    std::string detail;
    if (!std::filesystem::is_regular_file(projectPath, ec)) {
        detail = "Cannot open " + projectPath.string();
    }
    if (!detail.empty() ||
        !design::ReadProject(project, project.ProjectDir + project.ProjectFileName, &detail)) {
        err << msg::kErrorInInputFile << '\n';
        if (!detail.empty()) {
            err << detail << '\n';
        }
        return kExitError;
    }

    binding::Toolkit toolkit;
    bool loaded = false;
    try {
        loaded = network::LoadNetwork(project.Network, toolkit, project.ProjectDir + project.InpFileName,
                                      "rep.dat", "out.dat");
    } catch (const std::exception& e) {
        detail = e.what();
    }
    if (!loaded) {
        err << msg::kErrorInEpanetFile << '\n';
        if (!detail.empty()) {
            err << detail << '\n';
        }
        return kExitError;
    }

    const design::MissingElements missing = design::ApplyStagedDesign(project);
    if (!missing.empty()) {
        out << msg::kMissingCaption << ": " << msg::kMissingExplanation << '\n';
        for (const std::string& entry : missing.Lines()) {
            out << "  " << entry << '\n';
        }
    }
    if (project.DesignPipes.empty()) {
        err << msg::kNoPipesToDesign << '\n';
        return kExitError;
    }
    const std::optional<std::string> stem = results::ResultsStem(project);
    if (!stem) {
        err << "The network file name " << project.InpFileName << " is too short to name the results files\n";
        return kExitError;
    }

    const std::filesystem::path outFolder = line.out ? *line.out : std::filesystem::path(project.ProjectDir);
    std::optional<std::filesystem::path> createdFolder;
    if (!std::filesystem::is_directory(outFolder, ec)) {
        std::filesystem::create_directories(outFolder, ec);
        if (ec) {
            err << "Cannot create the output folder " << outFolder.string() << ": " << ec.message() << '\n';
            return kExitError;
        }
        createdFolder = outFolder;
    }
    // A folder made for results that never came is taken away again.
    auto dropEmptyFolder = [&] {
        if (createdFolder && std::filesystem::is_empty(*createdFolder, ec)) {
            std::filesystem::remove(*createdFolder, ec);
        }
    };

    ConsoleHost host(err);
    design::DesignProcess process(&host);
    if (line.seed) {
        process.engine().SetRandomSeed(*line.seed);
    }
    std::optional<InterruptListener> interrupt;
    if (options.listenForInterrupt) {
        interrupt.emplace();
    }
    TerminalProgress progress(out, options.interactive, [&] {
        if (interrupt && interrupt->Interrupted() && !process.StopRequested()) {
            process.RequestStop();
        }
    });
    process.SetObserver(&progress);

    design::ToolkitHydraulicModel model(toolkit);
    const design::DesignOutcome outcome = process.RunDesign(project, model, *runs, outFolder);
    if (outcome.status != design::DesignOutcome::Status::Completed) {
        err << outcome.message << '\n';
        dropEmptyFolder();
        return kExitError;
    }
    if (outcome.stopped) {
        out << "The run was stopped.\n";
    }
    out << outcome.EndMessage() << '\n';
    out << outcome.evaluations << " evaluations (" << outcome.simulations << " simulations) in "
        << common::FormatFixed2(outcome.seconds) << " s\n";
    if (!outcome.record.FeasibleFound) {
        dropEmptyFolder();
        return kExitNoFeasible;
    }
    out << "Best feasible cost: " << common::FormatThousands(outcome.record.BestFeasibleCost) << '\n';
    if (!outcome.resultsInpSaved) {
        err << outcome.message << '\n' << results::kResultsNotSaved << '\n';
        return kExitError;
    }

    const std::vector<results::CaptionedTable> tables = results::BuildResultsTables(project, outcome.record);
    out << '\n' << TableText(tables.front().table);

    int status = kExitSuccess;
    const std::filesystem::path report = outFolder / (*stem + "_Design.txt");
    std::string error;
    if (results::WriteDesignReport(report, tables, &error)) {
        out << "Design results: " << report.string() << '\n';
    } else {
        err << error << '\n';
        status = kExitError;
    }
    const std::filesystem::path resultInp = outFolder / (*stem + "_Result.inp");
    if (results::SaveResultInpFile(model, outcome.resultsInp, resultInp)) {
        out << "Designed network: " << resultInp.string() << '\n';
    } else {
        err << results::kResultsNotSaved << '\n';
        status = kExitError;
    }
    return status;
}

}  // namespace kelvarn::app
