#include "json_syntax.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <simdjson.h>

namespace xsect::io {

namespace {

int ByteAt(std::string_view text, std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : -1;
}

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The four hexadecimal digits of a \u escape at `at`, or -1.
long Hex4(std::string_view text, std::size_t at) {
    long v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int h = HexValue(ByteAt(text, at + i));
        if (h < 0) return -1;
        v = v * 16 + h;
    }
    return v;
}

// The length of the UTF-8 sequence at `at`, or 0 when it is not one: the right number of
// continuation bytes, no overlong form, no surrogate, nothing above U+10FFFF.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const int c = ByteAt(text, at);
    std::size_t len = 0;
    std::uint32_t cp = 0, min = 0;
    if (c >= 0xC2 && c <= 0xDF) len = 2, cp = static_cast<std::uint32_t>(c & 0x1F), min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = static_cast<std::uint32_t>(c & 0x0F), min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = static_cast<std::uint32_t>(c & 0x07), min = 0x10000;
    for (std::size_t i = 1; len > 0 && i < len; ++i) {
        const int cc = ByteAt(text, at + i);
        if (cc < 0x80 || cc > 0xBF) return 0;
        cp = (cp << 6) | static_cast<std::uint32_t>(cc & 0x3F);
    }
    if (len == 0 || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// The closing quote of the string opened at `open`, or npos.
std::size_t ClosingQuote(std::string_view text, std::size_t open) {
    for (std::size_t k = open + 1; k < text.size(); ++k) {
        if (text[k] == '\\') ++k;
        else if (text[k] == '"') return k;
    }
    return std::string_view::npos;
}

// The opening quote of the string closed at `close`: the quote before it that no odd run of
// backslashes escapes. simdjson has checked that the text's quotes pair up.
std::size_t OpeningQuote(std::string_view text, std::size_t close) {
    for (std::size_t k = close; k-- > 0;) {
        if (text[k] != '"') continue;
        std::size_t slashes = 0;
        while (k > slashes && text[k - 1 - slashes] == '\\') ++slashes;
        if (slashes % 2 == 0) return k;
    }
    return std::string_view::npos;
}

// The offset of the last byte before `at` that is not white space, or npos.
std::size_t TokenBefore(std::string_view text, std::size_t at) {
    std::size_t q = std::min(at, text.size());
    while (q > 0 && IsSpace(ByteAt(text, q - 1))) --q;
    return q == 0 ? std::string_view::npos : q - 1;
}

}  // namespace

JsonKind JsonKindAt(std::string_view text, std::size_t at) {
    const int c = ByteAt(text, at);
    switch (c) {
        case -1: return JsonKind::End;
        case '{': return JsonKind::Object;
        case '[': return JsonKind::Array;
        case '"': return JsonKind::String;
        case 't':
        case 'f': return JsonKind::Bool;
        case 'n': return JsonKind::Null;
        default: return c == '-' || IsDigit(c) ? JsonKind::Number : JsonKind::Invalid;
    }
}

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

std::string JsonFoundAt(std::string_view text, std::size_t at) {
    const int c = ByteAt(text, at);
    if (c < 0) return "the end of the text";
    if (c == '"') return "a string";
    if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", static_cast<unsigned>(c));
    return buf;
}

JsonNumberToken ScanJsonNumber(std::string_view text, std::size_t at) {
    JsonNumberToken t;
    std::size_t k = at;
    auto digits = [&] {
        while (IsDigit(ByteAt(text, k))) ++k;
    };
    auto fault = [&](const char* what) {
        t.end = k;
        t.fault = what;
        return t;
    };
    if (ByteAt(text, k) == '-') ++k;
    // A leading zero stands alone: what follows it is not part of the number.
    if (ByteAt(text, k) == '0') ++k;
    else if (IsDigit(ByteAt(text, k))) digits();
    else return fault("expected a digit");
    if (ByteAt(text, k) == '.') {
        t.integer = false;
        ++k;
        if (!IsDigit(ByteAt(text, k))) return fault("expected a digit after the decimal point");
        digits();
    }
    if (ByteAt(text, k) == 'e' || ByteAt(text, k) == 'E') {
        t.integer = false;
        ++k;
        if (ByteAt(text, k) == '+' || ByteAt(text, k) == '-') ++k;
        if (!IsDigit(ByteAt(text, k))) return fault("expected a digit in the exponent");
        digits();
    }
    t.end = k;
    return t;
}

std::optional<JsonFault> JsonStringFault(std::string_view text, std::size_t at) {
    for (std::size_t k = at + 1;;) {
        const int c = ByteAt(text, k);
        if (c == '"') return std::nullopt;
        if (c < 0) return JsonFault{k, "the text ends inside a string"};
        if (c < 0x20) return JsonFault{k, "a control character inside a string; write it as an escape"};
        if (c == '\\') {
            const int e = ByteAt(text, k + 1);
            if (e > 0 && std::strchr("\"\\/bfnrt", e)) {
                k += 2;
                continue;
            }
            if (e != 'u') return JsonFault{k, "an unknown escape in a string"};
            const long cp = Hex4(text, k + 2);
            if (cp < 0) return JsonFault{k, "\\u must be followed by four hexadecimal digits"};
            if (cp >= 0xDC00 && cp <= 0xDFFF) return JsonFault{k, "a \\u escape of a lone low surrogate"};
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                const long low = ByteAt(text, k + 6) == '\\' && ByteAt(text, k + 7) == 'u' ? Hex4(text, k + 8) : -1;
                if (low < 0xDC00 || low > 0xDFFF)
                    return JsonFault{k, "a \\u escape of a high surrogate without its low half"};
                k += 6;
            }
            k += 6;
            continue;
        }
        if (c < 0x80) {
            ++k;
            continue;
        }
        const std::size_t len = Utf8Length(text, k);
        if (len == 0) return JsonFault{k, "a string that is not valid UTF-8"};
        k += len;
    }
}

JsonFault JsonAfterFault(std::string_view text, std::size_t at, JsonAfter after) {
    const std::string found = JsonFoundAt(text, at);
    switch (after) {
        case JsonAfter::Member: return {at, "expected ',' or '}' after an object member, found " + found};
        case JsonAfter::Element: return {at, "expected ',' or ']' after an array element, found " + found};
        case JsonAfter::TopLevel: break;
    }
    return {at, "more text after the end of the top-level value, starting with " + found};
}

JsonFault JsonValueFault(std::string_view text, std::size_t at, JsonAfter after) {
    const JsonKind kind = JsonKindAt(text, at);
    if (kind == JsonKind::End) return {at, "the text ends where a value should follow"};
    if (kind == JsonKind::String) {
        if (auto fault = JsonStringFault(text, at)) return *fault;
        return JsonAfterFault(text, ClosingQuote(text, at) + 1, after);
    }
    if (kind == JsonKind::Number) {
        const JsonNumberToken t = ScanJsonNumber(text, at);
        if (t.fault) return {t.end, std::string(t.fault) + ", found " + JsonFoundAt(text, t.end)};
        return JsonAfterFault(text, t.end, after);
    }
    if (kind == JsonKind::Bool || kind == JsonKind::Null) {
        const std::string_view word = kind == JsonKind::Null ? "null" : text[at] == 't' ? "true" : "false";
        if (text.substr(at, word.size()) == word) return JsonAfterFault(text, at + word.size(), after);
    }
    return {at, "expected a value, found " + JsonFoundAt(text, at)};
}

JsonFault JsonMemberFault(std::string_view text, std::size_t at) {
    const std::size_t before = TokenBefore(text, at);
    const int c = before == std::string_view::npos ? -1 : ByteAt(text, before);
    if (c == '{' || c == ',') {
        // A key should start here; one that does is a string simdjson could not index.
        if (ByteAt(text, at) == '"')
            if (auto fault = JsonStringFault(text, at)) return *fault;
        return {at, "expected a key in double quotes, found " + JsonFoundAt(text, at)};
    }
    if (c == '"') {
        // A string ends before the fault: a key when an object's '{' or ',' stands before it.
        const std::size_t open = OpeningQuote(text, before);
        const std::size_t beforeOpen = open == std::string_view::npos ? open : TokenBefore(text, open);
        if (beforeOpen != std::string_view::npos && (text[beforeOpen] == '{' || text[beforeOpen] == ',')) {
            if (auto fault = JsonStringFault(text, open)) return *fault;
            return {at, "expected ':' after the key \"" + JsonStringAt(text, open) + "\", found " +
                            JsonFoundAt(text, at)};
        }
    }
    return JsonAfterFault(text, at, JsonAfter::Member);
}

std::string JsonStringAt(std::string_view text, std::size_t at) {
    const std::size_t close = ClosingQuote(text, at);
    if (close == std::string_view::npos) return std::string(text.substr(at + 1));
    // The token alone, padded as simdjson wants it, read as a document of one string.
    const simdjson::padded_string token(text.substr(at, close - at + 1));
    simdjson::ondemand::parser parser;
    std::string_view value;
    auto doc = parser.iterate(token);
    if (doc.error() || doc.get_string().get(value)) return std::string(text.substr(at + 1, close - at - 1));
    return std::string(value);
}

std::optional<std::size_t> FirstUnindexable(std::string_view text) {
    bool inString = false;
    std::size_t quote = 0;
    for (std::size_t i = 0; i < text.size();) {
        const int c = ByteAt(text, i);
        if (c >= 0x80) {
            const std::size_t len = Utf8Length(text, i);
            if (len == 0) return inString ? quote : i;
            i += len;
        } else if (!inString) {
            // A backslash out of a string escapes the next byte for simdjson too, and is already a
            // fault of its own.
            if (c == '\\') return i;
            if (c == '"') inString = true, quote = i;
            ++i;
        } else if (c < 0x20) {
            return quote;
        } else if (c == '\\') {
            // The escaped byte cannot close the string, but simdjson still checks that it is a
            // printable character.
            ++i;
            if (i < text.size() && ByteAt(text, i) < 0x80) {
                if (ByteAt(text, i) < 0x20) return quote;
                ++i;
            }
        } else {
            inString = c != '"';
            ++i;
        }
    }
    if (inString) return quote;
    return std::nullopt;
}

std::string JsonLineColumn(std::string_view text, std::size_t at) {
    at = std::min(at, text.size());
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    const std::size_t lineStart = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;
    return std::to_string(line) + ":" + std::to_string(at - lineStart + 1);
}

}  // namespace xsect::io
