#include "kelvarn/results/results_window_model.h"

#include "kelvarn/results/design_report.h"
#include "kelvarn/results/results_export.h"
#include "kelvarn/results/results_tables.h"

namespace kelvarn::results {

SaveDialog DesignReportDialog(const design::Project& project) {
    return SaveDialog{"Save design results to TXT file...", "Text file (*.txt)|*.txt|All Files (*.*)|*.*",
                      DefaultDesignReportName(project).value_or("")};
}

SaveDialog ResultInpDialog(const design::Project& project) {
    return SaveDialog{"Save results to INP file...", "EPANET file (*.inp)|*.inp|All Files (*.*)|*.*",
                      DefaultResultInpName(project).value_or("")};
}

ResultsWindowModel::ResultsWindowModel(const design::Project& project,
                                       const design::BestFeasibleRecord& record,
                                       design::HydraulicModel& model, std::filesystem::path resultsInp,
                                       ResultsWindowUser& user)
    : project_(project),
      record_(record),
      model_(model),
      resultsInp_(std::move(resultsInp)),
      user_(user),
      tab_(kPipesCaption) {}

Table ResultsWindowModel::Build(std::string_view caption) const {
    if (caption == kPipesCaption && !record_.FeasibleFound) {
        return Table();  // no design to show
    }
    return BuildResultsTable(caption, project_, record_);
}

void ResultsWindowModel::Open() {
    SelectTab(tab_);
}

void ResultsWindowModel::SelectTab(std::string_view caption) {
    tab_ = std::string(caption);
    table_ = Build(caption);
    user_.ShowTable(tab_, table_);
}

void ResultsWindowModel::SaveDesignResults() {
    if (!ResultsStem(project_)) {
        return;  // no default name can be made: the command does nothing
    }
    const std::optional<std::string> file = user_.AskSaveFileName(DesignReportDialog(project_));
    if (!file) {
        return;
    }
    std::vector<CaptionedTable> tables;
    for (std::string_view caption : kResultsTabs) {
        SelectTab(caption);
        tables.push_back(CaptionedTable{std::string(caption), table_});
    }
    SelectTab(kPipesCaption);
    const bool written = record_.FeasibleFound && WriteDesignReport(*file, tables);
    user_.ShowMessage(written ? kResultsSaved : kResultsNotSaved);
}

void ResultsWindowModel::SaveResultsInp() {
    if (!ResultsStem(project_)) {
        return;
    }
    const std::optional<std::string> file = user_.AskSaveFileName(ResultInpDialog(project_));
    if (!file) {
        return;
    }
    if (!SaveResultInpFile(model_, resultsInp_, *file)) {
        user_.ShowMessage(kResultsNotSaved);
    }
}

}  // namespace kelvarn::results
