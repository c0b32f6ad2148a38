// The project file (.kv): the network file name, the catalogue, the design
// lists with their values and the algorithm settings, in CR LF lines.
#pragma once

#include <string>

#include "kelvarn/design/project.h"

namespace kelvarn::design {

inline constexpr const char* kProjectSeparator = ";--------------------------------------------------";

// Writes the project's design state to `path`. The file is written beside the
// target under a temporary name and renamed over it only when complete, so a
// failure leaves any existing file as it was. Returns false, with the reason
// in *error, when a design-list entry names no element of the network, a text
// cannot be stored so that it reads back unchanged, or the file cannot be
// written. Numbers are written with a decimal point whatever the locale, so
// that the comma stays a field separator.
[[nodiscard]] bool WriteProject(const Project& project, const std::string& path,
                                std::string* error = nullptr);

// Reads `path` into the catalogue, the design lists and StagedDesign (all
// replaced) and assigns InpFileName and the settings the file names. Returns
// false, with the reason and line in *error, when the file cannot be read or is
// malformed; then the catalogue, the design lists and StagedDesign are empty
// and InpFileName and the settings keep what earlier lines assigned. The
// network, ProjectFileName and ProjectDir are not touched.
[[nodiscard]] bool ReadProject(Project& project, const std::string& path, std::string* error = nullptr);

}  // namespace kelvarn::design
