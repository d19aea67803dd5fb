#pragma once

// A forward-only reader of JSON text that never holds more than a window of the file: the model
// files run to tens of megabytes, and a document tree of them costs several times their size.
// Values are read in the order they stand in the text; a caller that needs a later part first
// marks a place, skips the value and comes back with Seek.
//
// Every syntax error is one line "file:line:column: syntax error: what", the column counted in
// bytes from 1. After the first error every call fails and Error() keeps that first message.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xsect::io {

enum class JsonKind { Null, Bool, Number, String, Array, Object, End, Invalid };

// "null", "true or false", "a number", "a string", "an array", "an object", ...
const char* JsonKindName(JsonKind kind);

struct JsonNumber {
    double value = 0.0;
    bool integer = false;       // written without fraction or exponent
    bool fitsInt64 = false;     // ... and within 64 bits
    std::int64_t asInt64 = 0;
};

class JsonCursor {
public:
    // Reads from text, which must outlive the cursor.
    JsonCursor(std::string_view text, std::string source);
    // Reads from a file in windows; false with "file: cannot open ..." when it cannot be read.
    bool Open(const std::string& path);
    ~JsonCursor();
    JsonCursor(const JsonCursor&) = delete;
    JsonCursor& operator=(const JsonCursor&) = delete;

    const std::string& Source() const { return source_; }
    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // Records a fault that is not one of syntax, for a caller that reports through the cursor.
    bool Fail(const std::string& message);

    // The kind of the next value, after white space; End at the end of the text.
    JsonKind Peek();

    bool BeginObject();
    // true with the key when another member follows (its ':' consumed); false at the closing
    // brace, which it consumes, or on an error (Ok() tells which).
    bool NextKey(std::string& key);
    bool BeginArray();
    // true when another element follows; false at the closing bracket or on an error.
    bool NextItem();

    bool ReadNumber(JsonNumber& out);
    // Reads a number if one follows; otherwise false with found set and no error (unless the
    // text is malformed there), so that the caller can say what it expected.
    bool TryNumber(JsonNumber& out, JsonKind& found);
    bool ReadString(std::string& out);
    bool ReadBool(bool& out);
    bool ReadNull();
    bool Skip();
    // Nothing but white space may follow the top-level value.
    bool ExpectEnd();

    struct Mark {
        std::uint64_t offset = 0, lineStart = 0;
        std::size_t line = 1;
        std::vector<bool> firstInContainer;
    };
    Mark Here() const;
    bool Seek(const Mark& mark);

    std::uint64_t Offset() const { return base_ + pos_; }
    std::uint64_t Size() const { return size_; }

private:
    bool Syntax(const std::string& what);
    std::string Found();
    void SkipSpace() {
        if (pos_ < end_ && static_cast<unsigned char>(data_[pos_]) > ' ') return;
        SkipSpaceSlow();
    }
    void SkipSpaceSlow();
    bool NumberBody(JsonNumber& out);
    // Makes n bytes from the current position available if the text has them.
    bool Fill(std::size_t n);
    int At(std::size_t k) {
        if (pos_ + k < end_) return static_cast<unsigned char>(data_[pos_ + k]);
        return Fill(k + 1) ? static_cast<unsigned char>(data_[pos_ + k]) : -1;
    }
    bool Literal(const char* word);
    bool StringBody(std::string& out);

    std::string source_, error_;
    std::FILE* file_ = nullptr;
    std::vector<char> window_;
    const char* data_ = nullptr;
    std::size_t pos_ = 0, end_ = 0;  // within data_
    std::uint64_t base_ = 0;        // file offset of data_[0]
    std::uint64_t size_ = 0;
    std::size_t line_ = 1;
    std::uint64_t lineStart_ = 0;   // file offset of the current line's first byte
    std::vector<bool> first_;       // per open container: no element read yet
};

}  // namespace xsect::io
