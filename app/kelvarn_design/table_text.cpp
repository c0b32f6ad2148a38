#include "table_text.h"

#include <algorithm>
#include <vector>

#include "kelvarn/common/number_format.h"

namespace kelvarn::app {

std::string TableText(const results::Table& table) {
    std::vector<std::size_t> widths(static_cast<std::size_t>(table.columnCount()), 0);
    for (std::int32_t r = 0; r < table.rowCount(); ++r) {
        for (std::int32_t c = 0; c < table.columnCount(); ++c) {
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], table.cell(r, c).text.size());
        }
    }
    std::string text;
    for (std::int32_t r = 0; r < table.rowCount(); ++r) {
        std::string line;
        for (std::int32_t c = 0; c < table.columnCount(); ++c) {
            const results::Cell& cell = table.cell(r, c);
            const std::size_t width = widths[static_cast<std::size_t>(c)];
            const std::size_t gap = width - cell.text.size();
            std::size_t left = 0;
            if (cell.alignment == results::Alignment::Centre) {
                left = gap / 2;
            } else if (common::IsNumericText(cell.text)) {
                left = gap;
            }
            if (c > 0) {
                line += "  ";
            }
            line += std::string(left, ' ') + cell.text + std::string(gap - left, ' ');
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        text += line + '\n';
    }
    return text;
}

}  // namespace kelvarn::app
