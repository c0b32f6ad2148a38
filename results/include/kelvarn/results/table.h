// A results table as plain data: cell texts with bold and alignment, column
// widths and row heights in twips. The results window shows it and the text
// report writes it, so both always agree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn::results {

enum class Alignment {
    General,  // the grid's default: the window decides (text left, numbers right)
    Centre,   // centred horizontally and vertically
};

struct Cell {
    std::string text;
    bool bold = false;
    Alignment alignment = Alignment::General;
};

// One column of a header: its caption and width in twips.
struct HeaderColumn {
    std::string_view caption;
    std::int32_t width;
};

class Table {
  public:
    // Height of the header row of every results table, in twips.
    static constexpr std::int32_t kHeaderRowHeight = 800;

    Table() = default;
    Table(std::int32_t rows, std::int32_t columns);

    std::int32_t rowCount() const { return rows_; }
    std::int32_t columnCount() const { return columns_; }

    // Throws std::out_of_range outside the table.
    Cell& cell(std::int32_t row, std::int32_t column);
    const Cell& cell(std::int32_t row, std::int32_t column) const;

    // 0 means the grid's default width or height.
    std::int32_t columnWidth(std::int32_t column) const;
    void setColumnWidth(std::int32_t column, std::int32_t twips);
    std::int32_t rowHeight(std::int32_t row) const;
    void setRowHeight(std::int32_t row, std::int32_t twips);

    // The common header layout: row 0 800 twips high, every header cell centred
    // and bold, then each column's width and caption. The table must have as
    // many columns as there are captions.
    void layoutHeader(const std::vector<HeaderColumn>& columns);

  private:
    std::size_t offset(std::int32_t row, std::int32_t column) const;

    std::int32_t rows_ = 0;
    std::int32_t columns_ = 0;
    std::vector<Cell> cells_;
    std::vector<std::int32_t> columnWidths_;
    std::vector<std::int32_t> rowHeights_;
};

}  // namespace kelvarn::results
