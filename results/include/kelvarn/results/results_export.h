// Saving the results: the default file names and the designed network as a new
// input file, copied through the toolkit from "Results.inp".
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "kelvarn/design/hydraulic_model.h"
#include "kelvarn/design/project.h"

namespace kelvarn::results {

inline constexpr const char* kResultsSaved = "The results file was saved!";
inline constexpr const char* kResultsNotSaved = "The results file was not saved!";

// The network file name without its last four characters (".inp"); empty when
// InpFileName is shorter than that, and then no default name can be made.
std::optional<std::string> ResultsStem(const design::Project& project);
// ProjectDir + stem + "_Design.txt" and ProjectDir + stem + "_Result.inp".
std::optional<std::string> DefaultDesignReportName(const design::Project& project);
std::optional<std::string> DefaultResultInpName(const design::Project& project);

// Opens source ("Results.inp" of the design process) with report "a" and
// output "b" in the current folder, saves it as target and closes it. True
// when all three calls returned 0; otherwise the caller shows
// kResultsNotSaved. The target is replaced only by a complete file.
bool SaveResultInpFile(design::HydraulicModel& model, const std::filesystem::path& source,
                       const std::filesystem::path& target);

}  // namespace kelvarn::results
