// The text report of a design: the three results tables, one after the other.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "kelvarn/results/table.h"

namespace kelvarn::results {

// A table under the caption of its tab ("Pipes", "Junctions", "Sources").
struct CaptionedTable {
    std::string caption;
    Table table;
};

// The report text: for each table the caption line in double quotes, every row
// (header first) with each cell's text in double quotes followed by a comma,
// then an empty line; every line ends in carriage return and line feed.
std::string FormatDesignReport(const std::vector<CaptionedTable>& tables);

// Writes the report to path. The file appears complete or not at all: an
// existing file is replaced only once the new text is fully written. On failure
// returns false and, when error is given, says why.
bool WriteDesignReport(const std::filesystem::path& path, const std::vector<CaptionedTable>& tables,
                       std::string* error = nullptr);

}  // namespace kelvarn::results
