// The three tables of the results window, built from the best feasible design
// of the last design process and the result fields of the designed elements.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "kelvarn/design/best_feasible_record.h"
#include "kelvarn/design/project.h"
#include "kelvarn/results/design_report.h"
#include "kelvarn/results/table.h"

namespace kelvarn::results {

inline constexpr std::string_view kPipesCaption = "Pipes";
inline constexpr std::string_view kJunctionsCaption = "Junctions";
inline constexpr std::string_view kSourcesCaption = "Sources";
// The tabs of the results window, in order.
inline constexpr std::array<std::string_view, 3> kResultsTabs{kPipesCaption, kJunctionsCaption,
                                                              kSourcesCaption};

// Designed pipes with the chosen option, its cost and the velocity range, then
// "Total" with the recorded best cost. A gene that selects no option (possible
// only in a feasible design costed at the invalid-gene rate) shows the pipe's
// ID alone. Requires a feasible design (record.FeasibleFound); throws
// std::invalid_argument otherwise, and common::KeyNotFound when the project no
// longer holds a designed element or option.
Table BuildPipesTable(const design::Project& project, const design::BestFeasibleRecord& record);
Table BuildJunctionsTable(const design::Project& project);
Table BuildSourcesTable(const design::Project& project);

// The table of the tab with this caption; an unknown caption gives an empty table.
Table BuildResultsTable(std::string_view caption, const design::Project& project,
                        const design::BestFeasibleRecord& record);

// All three, under their captions, in tab order: what the text report holds.
std::vector<CaptionedTable> BuildResultsTables(const design::Project& project,
                                               const design::BestFeasibleRecord& record);

}  // namespace kelvarn::results
