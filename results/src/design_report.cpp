#include "kelvarn/results/design_report.h"

#include "kelvarn/design/file_replacement.h"

namespace kelvarn::results {

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

std::string FormatDesignReport(const std::vector<CaptionedTable>& tables) {
    std::string text;
    for (const CaptionedTable& entry : tables) {
        text += '"';
        text += entry.caption;
        text += '"';
        text += kLineEnd;
        for (std::int32_t row = 0; row < entry.table.rowCount(); ++row) {
            for (std::int32_t column = 0; column < entry.table.columnCount(); ++column) {
                text += '"';
                text += entry.table.cell(row, column).text;
                text += "\",";
            }
            text += kLineEnd;
        }
        text += kLineEnd;
    }
    return text;
}

bool WriteDesignReport(const std::filesystem::path& path, const std::vector<CaptionedTable>& tables,
                       std::string* error) {
    return design::WriteFileAtomically(path, FormatDesignReport(tables), error);
}

}  // namespace kelvarn::results
