#include "csv_file.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "printable.h"

namespace xsect::io {

namespace {

constexpr std::size_t kChunk = 1 << 20;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

CsvFile::~CsvFile() {
    if (file_) std::fclose(file_);
}

bool CsvFile::Open(const std::string& path, std::string& error) {
    source_ = path;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return error = path + ": is a directory, not a table", false;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return error = path + ": cannot open the file: " + std::strerror(errno), false;
    const auto size = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : static_cast<std::uint64_t>(size);
    buffer_.resize(kChunk);
    return OpenText({}, path, error);
}

bool CsvFile::OpenText(std::string_view text, const std::string& source, std::string& error) {
    source_ = source;
    if (!file_) {
        text_ = text;
        end_ = text.size();
        size_ = text.size();
    }
    for (;;) {
        if (!ReadLine()) {
            if (error.empty()) error = source_ + ": the table is empty: expected a header row";
            return false;
        }
        if (lineNo_ == 1 && line_.compare(0, 3, "\xEF\xBB\xBF") == 0) line_.erase(0, 3);
        const std::string_view trimmed = Trim(line_);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        if (line_.find(';') != std::string::npos && line_.find(',') == std::string::npos) separator_ = ';';
        if (!Split(error)) return false;
        for (std::size_t i = 0; i < fields_.size(); ++i) header_.push_back(Lower(Trim(Field(static_cast<int>(i)))));
        headerLine_ = lineNo_;
        return true;
    }
}

bool CsvFile::ReadLine() {
    line_.clear();
    for (;;) {
        const char* data = file_ ? buffer_.data() : text_.data();
        if (pos_ < end_) {
            const void* nl = std::memchr(data + pos_, '\n', end_ - pos_);
            const std::size_t stop = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data) : end_;
            line_.append(data + pos_, stop - pos_);
            consumed_ += stop - pos_ + (nl ? 1 : 0);
            pos_ = nl ? stop + 1 : stop;
            if (nl) break;
        }
        if (!file_ || eof_) {
            if (line_.empty() && pos_ >= end_) return false;
            break;
        }
        end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        pos_ = 0;
        eof_ = end_ == 0;
    }
    ++lineNo_;
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return true;
}

bool CsvFile::Split(std::string& error) {
    fields_.clear();
    unquoted_.clear();
    const std::string& line = line_;
    std::size_t i = 0;
    for (;;) {
        std::size_t start = i;
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
        Span span;
        span.column = start + 1;
        std::size_t end = start;
        if (start < line.size() && line[start] == '"') {
            span.unquoted = true;
            span.offset = unquoted_.size();
            end = start + 1;
            bool closed = false;
            while (end < line.size()) {
                if (line[end] == '"') {
                    if (end + 1 < line.size() && line[end + 1] == '"') {
                        unquoted_ += '"';
                        end += 2;
                        continue;
                    }
                    closed = true;
                    ++end;
                    break;
                }
                unquoted_ += line[end++];
            }
            if (!closed) {
                error = source_ + ":" + std::to_string(lineNo_) + ": unclosed quote at column " +
                        std::to_string(start + 1);
                return false;
            }
            span.length = unquoted_.size() - span.offset;
            while (end < line.size() && line[end] != separator_) ++end;
        } else {
            while (end < line.size() && line[end] != separator_) ++end;
            std::size_t stop = end;
            while (stop > start && std::isspace(static_cast<unsigned char>(line[stop - 1]))) --stop;
            span.offset = start;
            span.length = stop - start;
        }
        fields_.push_back(span);
        if (end >= line.size()) break;
        i = end + 1;
    }
    return true;
}

bool CsvFile::Next(std::string& error) {
    while (ReadLine()) {
        const std::string_view trimmed = Trim(line_);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        if (!Split(error)) return false;
        if (fields_.size() > header_.size()) {
            error = source_ + ":" + std::to_string(lineNo_) + ":" + std::to_string(fields_[header_.size()].column) +
                    ": more fields than the header's " + std::to_string(header_.size()) + " columns";
            return false;
        }
        return true;
    }
    if (file_ && std::ferror(file_)) error = source_ + ": reading the file failed";
    return false;
}

int CsvFile::Column(std::string_view name) const {
    const std::string want = Lower(name);
    for (std::size_t i = 0; i < header_.size(); ++i)
        if (header_[i] == want) return static_cast<int>(i);
    return -1;
}

bool CsvFile::NeedColumn(std::string_view name, int& column, std::string& error) const {
    column = Column(name);
    if (column >= 0) return true;
    error = source_ + ":" + std::to_string(headerLine_) + ": the header has no column \"" + std::string(name) + "\"";
    return false;
}

std::string_view CsvFile::Field(int column) const {
    if (column < 0 || static_cast<std::size_t>(column) >= fields_.size()) return {};
    const Span& s = fields_[static_cast<std::size_t>(column)];
    return std::string_view(s.unquoted ? unquoted_ : line_).substr(s.offset, s.length);
}

std::string CsvFile::Place(int column) const {
    std::size_t col = 1;
    if (column >= 0 && static_cast<std::size_t>(column) < fields_.size())
        col = fields_[static_cast<std::size_t>(column)].column;
    else if (!fields_.empty())
        col = fields_.back().column + fields_.back().length;
    return source_ + ":" + std::to_string(lineNo_) + ":" + std::to_string(col);
}

std::string CsvFile::Missing(int column) const {
    const bool named = column >= 0 && static_cast<std::size_t>(column) < header_.size();
    return Place(column) + ": missing value for column \"" +
           (named ? header_[static_cast<std::size_t>(column)] : std::string("?")) + "\"";
}

bool CsvFile::Number(int column, double& out, std::string& error) const {
    std::string_view f = Field(column);
    if (f.empty()) return error = Missing(column), false;
    std::string comma;
    std::string_view digits = f;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    // With semicolons between fields, "2,5" is two and a half.
    if (separator_ == ';' && digits.find(',') != std::string_view::npos && digits.find('.') == std::string_view::npos) {
        comma.assign(digits);
        for (char& c : comma)
            if (c == ',') c = '.';
        digits = comma;
    }
    double v = 0.0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size() || !std::isfinite(v)) {
        error = Place(column) + ": \"" + Printable(f) + "\" is not a number";
        return false;
    }
    out = v;
    return true;
}

bool CsvFile::Int32(int column, std::int32_t& out, std::string& error) const {
    std::string_view f = Field(column);
    if (f.empty()) return error = Missing(column), false;
    std::string_view digits = f;
    if (digits.front() == '+') digits.remove_prefix(1);
    std::int32_t v = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size()) {
        error = Place(column) + ": \"" + Printable(f) + "\" is not a 32-bit integer";
        return false;
    }
    out = v;
    return true;
}

}  // namespace xsect::io
