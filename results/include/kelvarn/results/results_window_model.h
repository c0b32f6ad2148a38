// The logic of the results window ("Optimization results"), without a window:
// the table of the selected tab and the two export commands.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "kelvarn/design/best_feasible_record.h"
#include "kelvarn/design/hydraulic_model.h"
#include "kelvarn/design/project.h"
#include "kelvarn/results/table.h"

namespace kelvarn::results {

inline constexpr const char* kResultsCaption = "Optimization results";

struct SaveDialog {
    std::string title;
    std::string filter;
    std::string fileName;  // the default
};

// The text export's dialog and the input-file export's dialog.
SaveDialog DesignReportDialog(const design::Project& project);
SaveDialog ResultInpDialog(const design::Project& project);

// What the window does for the model.
class ResultsWindowUser {
  public:
    virtual ~ResultsWindowUser() = default;
    // The chosen file, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> AskSaveFileName(const SaveDialog& dialog) = 0;
    // An exclamation-style message.
    virtual void ShowMessage(const std::string& text) = 0;
    // Shows the grid for the selected tab.
    virtual void ShowTable(std::string_view caption, const Table& table) = 0;
};

class ResultsWindowModel {
  public:
    // resultsInp is the "Results.inp" of the design process. All must outlive
    // the model. Without a feasible design the pipes table is empty.
    ResultsWindowModel(const design::Project& project, const design::BestFeasibleRecord& record,
                       design::HydraulicModel& model, std::filesystem::path resultsInp,
                       ResultsWindowUser& user);

    // The window opens on its first tab, "Pipes".
    void Open();
    // A tab is clicked: the grid is rebuilt for that caption.
    void SelectTab(std::string_view caption);
    const std::string& selectedTab() const { return tab_; }
    const Table& table() const { return table_; }

    // "Save design results to file": the three tables as text; the Pipes tab is
    // selected afterwards.
    void SaveDesignResults();
    // "Save results to INP file": "Results.inp" copied through the toolkit.
    void SaveResultsInp();

  private:
    Table Build(std::string_view caption) const;

    const design::Project& project_;
    const design::BestFeasibleRecord& record_;
    design::HydraulicModel& model_;
    std::filesystem::path resultsInp_;
    ResultsWindowUser& user_;
    std::string tab_;
    Table table_;
};

}  // namespace kelvarn::results
