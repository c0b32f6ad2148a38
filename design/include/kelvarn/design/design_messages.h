// The design process's own texts, shown exactly as written.
#pragma once

namespace kelvarn::design::messages {

inline constexpr const char* kInvalidNumberOfRuns = "The number of runs must be a valid positive integer";
inline constexpr const char* kNoPipesToDesign = "There are no pipes to design - run is canceled";
inline constexpr const char* kFeasibleFound = "Design process has ended - A feasible solution was found !!!";
inline constexpr const char* kNoFeasibleFound =
    "Design process has ended - NO feasible solution was found !!!";
inline constexpr const char* kStopQuestion = "Do you want to stop the run?";
inline constexpr const char* kErrorInInputFile = "Error in input file!";
inline constexpr const char* kErrorInEpanetFile = "Error in EpaNet file!";
inline constexpr const char* kErrorTitle = "Kelvarn Error";
inline constexpr const char* kMissingCaption = "Missing elements";
inline constexpr const char* kMissingExplanation =
    "The following elements are missing in INP file. These elements will be discarded !!!";
inline constexpr const char* kResultsInpName = "Results.inp";

}  // namespace kelvarn::design::messages
