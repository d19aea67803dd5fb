#include "csv.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace xsect::cli {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool SplitLine(const std::string& line, CsvRow& row, std::string& what) {
    std::size_t i = 0;
    while (true) {
        std::size_t start = i;
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
        std::string field;
        std::size_t end = start;
        if (start < line.size() && line[start] == '"') {
            end = start + 1;
            bool closed = false;
            while (end < line.size()) {
                if (line[end] == '"') {
                    if (end + 1 < line.size() && line[end + 1] == '"') {
                        field += '"';
                        end += 2;
                        continue;
                    }
                    closed = true;
                    ++end;
                    break;
                }
                field += line[end++];
            }
            if (!closed) {
                what = "unclosed quote at column " + std::to_string(start + 1);
                return false;
            }
            while (end < line.size() && line[end] != ',') ++end;
        } else {
            while (end < line.size() && line[end] != ',') ++end;
            field = Trim(line.substr(start, end - start));
        }
        row.fields.push_back(field);
        row.columns.push_back(start + 1);
        if (end >= line.size()) break;
        i = end + 1;
    }
    return true;
}

}  // namespace

bool CsvTable::Parse(const std::string& text, const std::string& source, std::string& error) {
    source_ = source;
    header_.clear();
    rows_.clear();
    std::size_t lineNo = 0, pos = 0;
    bool haveHeader = false;
    while (pos <= text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() + 1 : nl + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        CsvRow row;
        row.line = lineNo;
        std::string what;
        if (!SplitLine(line, row, what)) {
            error = source + ":" + std::to_string(lineNo) + ": " + what;
            return false;
        }
        if (!haveHeader) {
            for (const std::string& f : row.fields) header_.push_back(Lower(Trim(f)));
            headerLine_ = lineNo;
            haveHeader = true;
            continue;
        }
        if (row.fields.size() > header_.size()) {
            error = source + ":" + std::to_string(lineNo) + ":" + std::to_string(row.columns[header_.size()]) +
                    ": more fields than the header's " + std::to_string(header_.size()) + " columns";
            return false;
        }
        rows_.push_back(std::move(row));
    }
    if (!haveHeader) {
        error = source + ": the table is empty: expected a header row";
        return false;
    }
    return true;
}

int CsvTable::Column(const std::string& name) const {
    std::string want = Lower(name);
    for (std::size_t i = 0; i < header_.size(); ++i)
        if (header_[i] == want) return static_cast<int>(i);
    return -1;
}

std::string CsvTable::Place(const CsvRow& row, int column) const {
    std::size_t col = 1;
    if (column >= 0 && static_cast<std::size_t>(column) < row.columns.size())
        col = row.columns[static_cast<std::size_t>(column)];
    else if (!row.columns.empty())
        col = row.columns.back() + row.fields.back().size();
    return source_ + ":" + std::to_string(row.line) + ":" + std::to_string(col);
}

bool CsvTable::Empty(const CsvRow& row, int column) const {
    return column < 0 || static_cast<std::size_t>(column) >= row.fields.size() ||
           row.fields[static_cast<std::size_t>(column)].empty();
}

std::string CsvTable::MissingValue(const CsvRow& row, int column) const {
    return Place(row, column) + ": missing value for column \"" +
           (column >= 0 ? header_[static_cast<std::size_t>(column)] : std::string("?")) + "\"";
}

bool CsvTable::Number(const CsvRow& row, int column, double& out, std::string& error) const {
    if (Empty(row, column)) {
        error = MissingValue(row, column);
        return false;
    }
    const std::string& f = row.fields[static_cast<std::size_t>(column)];
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(f.c_str(), &end);
    if (end == f.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(v)) {
        error = Place(row, column) + ": \"" + f + "\" is not a number";
        return false;
    }
    out = v;
    return true;
}

bool CsvTable::Int32(const CsvRow& row, int column, std::int32_t& out, std::string& error) const {
    if (Empty(row, column)) {
        error = MissingValue(row, column);
        return false;
    }
    const std::string& f = row.fields[static_cast<std::size_t>(column)];
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(f.c_str(), &end, 10);
    if (end == f.c_str() || *end != '\0' || errno == ERANGE || v > std::numeric_limits<std::int32_t>::max() ||
        v < std::numeric_limits<std::int32_t>::min()) {
        error = Place(row, column) + ": \"" + f + "\" is not a 32-bit integer";
        return false;
    }
    out = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace xsect::cli
