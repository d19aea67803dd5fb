#pragma once

// A comma-separated table with a header row, as spreadsheets and analysis programs export it.
// Lines that are empty or start with '#' are skipped; a field may be double-quoted.

#include <cstdint>
#include <string>
#include <vector>

namespace xsect::cli {

struct CsvRow {
    std::size_t line = 0;
    std::vector<std::string> fields;
    std::vector<std::size_t> columns;  // 1-based column of each field's first character
};

class CsvTable {
public:
    bool Parse(const std::string& text, const std::string& source, std::string& error);

    // Index of the column whose header matches name case-insensitively, or -1.
    int Column(const std::string& name) const;
    const std::vector<CsvRow>& Rows() const { return rows_; }
    const std::string& Source() const { return source_; }
    std::size_t HeaderLine() const { return headerLine_; }

    // "file:line:column" of a field (column of the line's end for a missing field).
    std::string Place(const CsvRow& row, int column) const;
    // The field as a number or an int32; fails with a message naming the place.
    bool Number(const CsvRow& row, int column, double& out, std::string& error) const;
    bool Int32(const CsvRow& row, int column, std::int32_t& out, std::string& error) const;
    bool Empty(const CsvRow& row, int column) const;
    // "FILE:LINE:COLUMN: missing value for column \"NAME\"".
    std::string MissingValue(const CsvRow& row, int column) const;

private:
    std::string source_;
    std::vector<std::string> header_;
    std::size_t headerLine_ = 0;
    std::vector<CsvRow> rows_;
};

}  // namespace xsect::cli
