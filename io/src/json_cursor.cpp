#include "json_cursor.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "printable.h"

namespace xsect::io {

namespace {

constexpr std::size_t kWindow = 1 << 20;
// Deeper nesting than any model needs; the limit keeps skipping from exhausting the stack.
constexpr std::size_t kMaxDepth = 256;

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

const char* JsonKindName(JsonKind kind) {
    switch (kind) {
        case JsonKind::Null: return "null";
        case JsonKind::Bool: return "true or false";
        case JsonKind::Number: return "a number";
        case JsonKind::String: return "a string";
        case JsonKind::Array: return "an array";
        case JsonKind::Object: return "an object";
        case JsonKind::End: return "the end of the text";
        case JsonKind::Invalid: break;
    }
    return "something else";
}

JsonCursor::JsonCursor(std::string_view text, std::string source)
    : source_(std::move(source)), data_(text.data()), end_(text.size()), size_(text.size()) {}

JsonCursor::~JsonCursor() {
    if (file_) std::fclose(file_);
}

bool JsonCursor::Open(const std::string& path) {
    source_ = path;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return Fail(path + ": is a directory, not a file");
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return Fail(path + ": cannot open the file: " + std::strerror(errno));
    const auto size = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : static_cast<std::uint64_t>(size);
    window_.resize(kWindow);
    data_ = window_.data();
    pos_ = end_ = 0;
    base_ = 0;
    return true;
}

bool JsonCursor::Fail(const std::string& message) {
    if (error_.empty()) error_ = Printable(message);
    return false;
}

bool JsonCursor::Fill(std::size_t n) {
    if (pos_ + n <= end_) return true;
    if (!file_ || !Ok()) return false;
    // Keep the unread bytes, move them to the front and read behind them.
    if (pos_ > 0) {
        std::memmove(window_.data(), window_.data() + pos_, end_ - pos_);
        base_ += pos_;
        end_ -= pos_;
        pos_ = 0;
    }
    if (window_.size() < n + kWindow / 2) window_.resize(n + kWindow);
    data_ = window_.data();
    while (end_ < n) {
        const std::size_t got = std::fread(window_.data() + end_, 1, window_.size() - end_, file_);
        end_ += got;
        if (got == 0) {
            if (std::ferror(file_)) Fail(source_ + ": reading the file failed");
            return false;
        }
    }
    return true;
}

bool JsonCursor::Syntax(const std::string& what) {
    const std::uint64_t at = Offset();
    const std::uint64_t column = at >= lineStart_ ? at - lineStart_ + 1 : 1;
    return Fail(source_ + ":" + std::to_string(line_) + ":" + std::to_string(column) + ": syntax error: " + what);
}

std::string JsonCursor::Found() {
    const int c = At(0);
    if (c < 0) return "the end of the text";
    if (c == '"') return "a string";
    if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", static_cast<unsigned>(c));
    return buf;
}

void JsonCursor::SkipSpaceSlow() {
    for (;;) {
        const char* p = data_ + pos_;
        const char* const end = data_ + end_;
        while (p < end) {
            const char c = *p;
            if (c == ' ' || c == '\t' || c == '\r') {
                ++p;
            } else if (c == '\n') {
                ++p;
                ++line_;
                lineStart_ = base_ + static_cast<std::uint64_t>(p - data_);
            } else {
                pos_ = static_cast<std::size_t>(p - data_);
                return;
            }
        }
        pos_ = end_;
        if (!Fill(1)) return;
    }
}

JsonKind JsonCursor::Peek() {
    if (!Ok()) return JsonKind::Invalid;
    SkipSpace();
    const int c = At(0);
    switch (c) {
        case -1: Syntax("the text ends where a value should follow"); return JsonKind::End;
        case '{': return JsonKind::Object;
        case '[': return JsonKind::Array;
        case '"': return JsonKind::String;
        case 't':
        case 'f': return JsonKind::Bool;
        case 'n': return JsonKind::Null;
        default:
            if (c == '-' || IsDigit(c)) return JsonKind::Number;
            Syntax("expected a value, found " + Found());
            return JsonKind::Invalid;
    }
}

bool JsonCursor::BeginObject() {
    if (Peek() != JsonKind::Object) return Ok() && Syntax("expected '{', found " + Found());
    if (first_.size() >= kMaxDepth) return Syntax("values nested deeper than " + std::to_string(kMaxDepth));
    ++pos_;
    first_.push_back(true);
    return true;
}

bool JsonCursor::BeginArray() {
    if (Peek() != JsonKind::Array) return Ok() && Syntax("expected '[', found " + Found());
    if (first_.size() >= kMaxDepth) return Syntax("values nested deeper than " + std::to_string(kMaxDepth));
    ++pos_;
    first_.push_back(true);
    return true;
}

bool JsonCursor::NextKey(std::string& key) {
    if (!Ok() || first_.empty()) return false;
    SkipSpace();
    int c = At(0);
    if (c == '}') {
        ++pos_;
        first_.pop_back();
        return false;
    }
    if (first_.back()) {
        first_.back() = false;
    } else {
        if (c != ',') return Syntax("expected ',' or '}' after an object member, found " + Found());
        ++pos_;
        SkipSpace();
        c = At(0);
    }
    if (c != '"') return Syntax("expected a key in double quotes, found " + Found());
    if (!StringBody(key)) return false;
    SkipSpace();
    if (At(0) != ':') return Syntax("expected ':' after the key \"" + key + "\", found " + Found());
    ++pos_;
    return true;
}

bool JsonCursor::NextItem() {
    if (!Ok() || first_.empty()) return false;
    SkipSpace();
    const int c = At(0);
    if (c == ']') {
        ++pos_;
        first_.pop_back();
        return false;
    }
    if (first_.back()) {
        first_.back() = false;
        return true;
    }
    if (c != ',') return Syntax("expected ',' or ']' after an array element, found " + Found());
    ++pos_;
    return true;
}

bool JsonCursor::ReadNumber(JsonNumber& out) {
    if (Peek() != JsonKind::Number) return Ok() && Syntax("expected a number, found " + Found());
    return NumberBody(out);
}

bool JsonCursor::TryNumber(JsonNumber& out, JsonKind& found) {
    if (!Ok()) return false;
    SkipSpace();
    const int c = pos_ < end_ ? static_cast<unsigned char>(data_[pos_]) : At(0);
    if (c == '-' || IsDigit(c)) return NumberBody(out);
    found = Peek();
    return false;
}

bool JsonCursor::NumberBody(JsonNumber& out) {
    // Numbers are most of a model file: scan them on a raw pointer when the window surely holds
    // the whole token, and through At() near its end.
    constexpr std::size_t kLongest = 64;
    std::size_t k = 0;
    bool integer = true;
    if (pos_ + kLongest <= end_ || Fill(kLongest)) {
        const char* p = data_ + pos_;
        const char* const limit = p + kLongest;
        const char* q = p;
        if (*q == '-') ++q;
        if (*q == '0') ++q;
        else while (q < limit && IsDigit(*q)) ++q;
        if (q < limit && *q == '.') {
            integer = false;
            ++q;
            while (q < limit && IsDigit(*q)) ++q;
        }
        if (q < limit && (*q == 'e' || *q == 'E')) {
            integer = false;
            ++q;
            if (q < limit && (*q == '+' || *q == '-')) ++q;
            while (q < limit && IsDigit(*q)) ++q;
        }
        k = static_cast<std::size_t>(q - p);
        // A token that fills the whole span, or any malformed one, takes the careful path below.
        if (q == limit || !IsDigit(q[-1])) k = 0, integer = true;
    }
    if (k == 0) {
        if (At(k) == '-') ++k;
        if (At(k) == '0') {
            ++k;
        } else if (IsDigit(At(k))) {
            while (IsDigit(At(k))) ++k;
        } else {
            pos_ += k;
            return Syntax("expected a digit, found " + Found());
        }
        if (At(k) == '.') {
            integer = false;
            ++k;
            if (!IsDigit(At(k))) return pos_ += k, Syntax("expected a digit after the decimal point, found " + Found());
            while (IsDigit(At(k))) ++k;
        }
        if (At(k) == 'e' || At(k) == 'E') {
            integer = false;
            ++k;
            if (At(k) == '+' || At(k) == '-') ++k;
            if (!IsDigit(At(k))) return pos_ += k, Syntax("expected a digit in the exponent, found " + Found());
            while (IsDigit(At(k))) ++k;
        }
    }
    // Bytes pos_ .. pos_ + k are in the window now.
    const char* first = data_ + pos_;
    const char* last = first + k;
    out = JsonNumber{};
    out.integer = integer;
    if (integer) {
        const auto r = std::from_chars(first, last, out.asInt64);
        out.fitsInt64 = r.ec == std::errc() && r.ptr == last;
        // Exact below 2^53, and the double of a larger id is only used in a message.
        if (out.fitsInt64) {
            out.value = static_cast<double>(out.asInt64);
            if (out.asInt64 == 0 && *first == '-') out.value = -0.0;  // written back as it came
            pos_ += k;
            return true;
        }
    }
    const auto r = std::from_chars(first, last, out.value);
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone there; strtod gives the infinity or the tiny value.
        out.value = std::strtod(std::string(first, last).c_str(), nullptr);
    }
    pos_ += k;
    return true;
}

bool JsonCursor::StringBody(std::string& out) {
    out.clear();
    ++pos_;  // the opening quote
    std::size_t k = 0;
    for (;;) {
        const int c = At(k);
        if (c == '"') {
            out.append(data_ + pos_, k);
            pos_ += k + 1;
            return true;
        }
        if (c < 0) return pos_ += k, Syntax("the text ends inside a string");
        if (c < 0x20) return pos_ += k, Syntax("a control character inside a string; write it as an escape");
        if (c == '\\') {
            out.append(data_ + pos_, k);
            pos_ += k;
            k = 0;
            const int e = At(1);
            static const char kEscapes[] = "\"\\/bfnrt";
            static const char kValues[] = "\"\\/\b\f\n\r\t";
            if (const char* hit = e > 0 ? std::strchr(kEscapes, e) : nullptr) {
                out += kValues[hit - kEscapes];
                pos_ += 2;
                continue;
            }
            if (e != 'u') return Syntax("an unknown escape in a string");
            auto hex4 = [&](std::size_t at) {
                std::uint32_t v = 0;
                for (std::size_t i = 0; i < 4; ++i) {
                    const int h = HexValue(At(at + i));
                    if (h < 0) return -1L;
                    v = v * 16 + static_cast<std::uint32_t>(h);
                }
                return static_cast<long>(v);
            };
            long cp = hex4(2);
            std::size_t used = 6;
            if (cp < 0) return Syntax("\\u must be followed by four hexadecimal digits");
            if (cp >= 0xDC00 && cp <= 0xDFFF) return Syntax("a \\u escape of a lone low surrogate");
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                const long low = At(6) == '\\' && At(7) == 'u' ? hex4(8) : -1;
                if (low < 0xDC00 || low > 0xDFFF) return Syntax("a \\u escape of a high surrogate without its low half");
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                used = 12;
            }
            AppendUtf8(out, static_cast<std::uint32_t>(cp));
            pos_ += used;
            continue;
        }
        if (c < 0x80) {
            ++k;
            continue;
        }
        // A UTF-8 sequence: the right number of continuation bytes, no overlong form, no
        // surrogate, nothing above U+10FFFF. Output written from the text must stay valid.
        std::size_t len = 0;
        std::uint32_t cp = 0, min = 0;
        if (c >= 0xC2 && c <= 0xDF) len = 2, cp = static_cast<std::uint32_t>(c & 0x1F), min = 0x80;
        else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = static_cast<std::uint32_t>(c & 0x0F), min = 0x800;
        else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = static_cast<std::uint32_t>(c & 0x07), min = 0x10000;
        bool valid = len > 0;
        for (std::size_t i = 1; valid && i < len; ++i) {
            const int cc = At(k + i);
            valid = cc >= 0x80 && cc <= 0xBF;
            cp = (cp << 6) | static_cast<std::uint32_t>(cc & 0x3F);
        }
        if (!valid || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return pos_ += k, Syntax("a string that is not valid UTF-8");
        k += len;
    }
}

bool JsonCursor::ReadString(std::string& out) {
    if (Peek() != JsonKind::String) return Ok() && Syntax("expected a string, found " + Found());
    return StringBody(out);
}

bool JsonCursor::Literal(const char* word) {
    const std::size_t n = std::strlen(word);
    for (std::size_t i = 0; i < n; ++i)
        if (At(i) != word[i]) return Syntax("expected a value, found " + Found());
    pos_ += n;
    return true;
}

bool JsonCursor::ReadBool(bool& out) {
    if (Peek() != JsonKind::Bool) return Ok() && Syntax("expected true or false, found " + Found());
    out = At(0) == 't';
    return Literal(out ? "true" : "false");
}

bool JsonCursor::ReadNull() {
    if (Peek() != JsonKind::Null) return Ok() && Syntax("expected null, found " + Found());
    return Literal("null");
}

bool JsonCursor::Skip() {
    std::string scratch;
    JsonNumber number;
    bool flag = false;
    switch (Peek()) {
        case JsonKind::Null: return ReadNull();
        case JsonKind::Bool: return ReadBool(flag);
        case JsonKind::Number: return ReadNumber(number);
        case JsonKind::String: return StringBody(scratch);
        case JsonKind::Array:
            if (!BeginArray()) return false;
            while (NextItem())
                if (!Skip()) return false;
            return Ok();
        case JsonKind::Object:
            if (!BeginObject()) return false;
            while (NextKey(scratch))
                if (!Skip()) return false;
            return Ok();
        case JsonKind::End:
        case JsonKind::Invalid: break;
    }
    return false;
}

bool JsonCursor::ExpectEnd() {
    if (!Ok()) return false;
    SkipSpace();
    if (At(0) >= 0) return Syntax("more text after the end of the top-level value, starting with " + Found());
    return Ok();
}

JsonCursor::Mark JsonCursor::Here() const { return Mark{Offset(), lineStart_, line_, first_}; }

bool JsonCursor::Seek(const Mark& mark) {
    if (!Ok()) return false;
    if (file_) {
        if (std::fseek(file_, static_cast<long>(mark.offset), SEEK_SET) != 0)
            return Fail(source_ + ": cannot go back in the file");
        base_ = mark.offset;
        pos_ = end_ = 0;
    } else {
        pos_ = static_cast<std::size_t>(mark.offset);
    }
    line_ = mark.line;
    lineStart_ = mark.lineStart;
    first_ = mark.firstInContainer;
    return true;
}

}  // namespace xsect::io
