#include "kelvarn/results/table.h"

#include <stdexcept>

namespace kelvarn::results {

Table::Table(std::int32_t rows, std::int32_t columns)
    : rows_(rows < 0 ? 0 : rows),
      columns_(columns < 0 ? 0 : columns),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)),
      columnWidths_(static_cast<std::size_t>(columns_), 0),
      rowHeights_(static_cast<std::size_t>(rows_), 0) {}

std::size_t Table::offset(std::int32_t row, std::int32_t column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
        throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(column) +
                                ") is outside a table of " + std::to_string(rows_) + " rows and " +
                                std::to_string(columns_) + " columns");
    }
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
}

Cell& Table::cell(std::int32_t row, std::int32_t column) {
    return cells_[offset(row, column)];
}

const Cell& Table::cell(std::int32_t row, std::int32_t column) const {
    return cells_[offset(row, column)];
}

std::int32_t Table::columnWidth(std::int32_t column) const {
    return columnWidths_.at(static_cast<std::size_t>(column));
}

void Table::setColumnWidth(std::int32_t column, std::int32_t twips) {
    columnWidths_.at(static_cast<std::size_t>(column)) = twips;
}

std::int32_t Table::rowHeight(std::int32_t row) const {
    return rowHeights_.at(static_cast<std::size_t>(row));
}

void Table::setRowHeight(std::int32_t row, std::int32_t twips) {
    rowHeights_.at(static_cast<std::size_t>(row)) = twips;
}

void Table::layoutHeader(const std::vector<HeaderColumn>& columns) {
    if (static_cast<std::int32_t>(columns.size()) != columns_ || rows_ < 1) {
        throw std::invalid_argument("a header of " + std::to_string(columns.size()) +
                                    " captions does not fit a table of " + std::to_string(columns_) +
                                    " columns and " + std::to_string(rows_) + " rows");
    }
    setRowHeight(0, kHeaderRowHeight);
    for (std::int32_t c = 0; c < columns_; ++c) {
        Cell& header = cell(0, c);
        header.alignment = Alignment::Centre;
        header.bold = true;
        header.text = std::string(columns[static_cast<std::size_t>(c)].caption);
        setColumnWidth(c, columns[static_cast<std::size_t>(c)].width);
    }
}

}  // namespace kelvarn::results
