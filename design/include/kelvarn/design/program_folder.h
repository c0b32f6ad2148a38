// The folder of the running executable, where the design process keeps
// "Results.inp".
#pragma once

#include <filesystem>

namespace kelvarn::design {

// Falls back to the current folder when the system cannot tell.
std::filesystem::path ProgramFolder();

}  // namespace kelvarn::design
