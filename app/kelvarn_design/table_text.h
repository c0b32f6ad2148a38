// A results table as aligned plain text, for the terminal.
#pragma once

#include <string>

#include "kelvarn/results/table.h"

namespace kelvarn::app {

// Columns padded to their widest cell, separated by two blanks; centred cells
// centred, the others left (text) or right (numbers) aligned as in the grid.
std::string TableText(const results::Table& table);

}  // namespace kelvarn::app
