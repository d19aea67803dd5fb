#pragma once

// A table with a header row, as spreadsheets and analysis programs export it, read a row at a
// time so that a table of millions of rows costs no more memory than one row. Fields are
// separated by commas, or by semicolons when the header has semicolons and no comma (a
// spreadsheet in a locale whose decimal mark is the comma; numbers may then use either mark).
// A leading UTF-8 byte-order mark is dropped. Lines that are empty or start with '#' are skipped;
// a field may be double-quoted.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace xsect::io {

class CsvFile {
public:
    CsvFile() = default;
    ~CsvFile();
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Opens a file, or takes a text, and reads up to the header; false with a message.
    bool Open(const std::string& path, std::string& error);
    bool OpenText(std::string_view text, const std::string& source, std::string& error);

    // Index of the column whose header matches name case-insensitively, or -1.
    int Column(std::string_view name) const;
    // "FILE:LINE: the header has no column \"NAME\"" when the column is missing.
    bool NeedColumn(std::string_view name, int& column, std::string& error) const;
    const std::string& Source() const { return source_; }
    std::size_t HeaderLine() const { return headerLine_; }

    // Moves to the next row; false at the end of the table (error left empty) or on a fault.
    bool Next(std::string& error);

    // The current row's field, "file:line:column" of it (of the line's end for a missing one),
    // and the field as a number or an int32 (false with a message naming the place).
    std::string_view Field(int column) const;
    bool Empty(int column) const { return Field(column).empty(); }
    std::string Place(int column) const;
    bool Number(int column, double& out, std::string& error) const;
    bool Int32(int column, std::int32_t& out, std::string& error) const;

    std::uint64_t Offset() const { return consumed_; }
    std::uint64_t Size() const { return size_; }

private:
    bool ReadLine();
    bool Split(std::string& error);
    std::string Missing(int column) const;

    std::string source_;
    std::FILE* file_ = nullptr;
    std::string_view text_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
    bool eof_ = false;
    std::uint64_t consumed_ = 0, size_ = 0;

    char separator_ = ',';
    std::vector<std::string> header_;
    std::size_t headerLine_ = 0;
    std::size_t lineNo_ = 0;
    std::string line_;
    std::string unquoted_;  // quoted fields with their doubled quotes undone
    struct Span {
        bool unquoted = false;
        std::size_t offset = 0, length = 0, column = 0;
    };
    std::vector<Span> fields_;
};

}  // namespace xsect::io
