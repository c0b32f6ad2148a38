// Writes a model back as an EPANET input file, in the model's own units.
#pragma once

#include <string>

#include "model/model.h"

namespace kvepa2 {

std::string formatInputText(const Model& model);

// Writes the whole file or nothing: the text goes to a temporary file beside
// the target, which replaces the target only once completely written.
// Returns 0, or 302 when the file cannot be written.
int writeInputFile(const Model& model, const std::string& path);

}  // namespace kvepa2
