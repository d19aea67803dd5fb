#pragma once

// The words for a text that is not JSON. simdjson refuses such a text but says neither what is
// wrong nor quite where; the reader knows what it expected where simdjson stopped, and these
// functions read the text there to say what stands instead. They take the whole text as the file
// holds it and offsets in bytes from its start, and run only once something has failed.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace xsect::io {

enum class JsonKind { Null, Bool, Number, String, Array, Object, End, Invalid };

// The kind of the value starting at `at`, told by its first byte; End past the text.
JsonKind JsonKindAt(std::string_view text, std::size_t at);
// "null", "true or false", "a number", "a string", "an array", "an object", ...
const char* JsonKindName(JsonKind kind);

// A fault of syntax: where, and what was expected and found there.
struct JsonFault {
    std::size_t at = 0;
    std::string what;
};

// What closes the value at a fault's place: the next member of an object, the next element of
// an array, or the end of the text after the top-level value.
enum class JsonAfter { Member, Element, TopLevel };

// The fault of a value that simdjson would not read at `at`: a token that starts no value, a
// malformed number, string or literal, or a well-formed one with something stuck to its end.
JsonFault JsonValueFault(std::string_view text, std::size_t at, JsonAfter after);

// The fault at `at` where a value ended and no ',' or closing bracket follows.
JsonFault JsonAfterFault(std::string_view text, std::size_t at, JsonAfter after);

// The fault at `at` where simdjson would not go on to an object's next member: a missing comma, a
// key not in double quotes or a missing colon, told apart by the token before `at`.
JsonFault JsonMemberFault(std::string_view text, std::size_t at);

// The first fault of the string whose opening quote is at `at`; none for a good string.
std::optional<JsonFault> JsonStringFault(std::string_view text, std::size_t at);

// A number's extent from `at` and whether it is written as an integer, or the first place where
// it breaks the grammar with what was expected there ("expected a digit").
struct JsonNumberToken {
    std::size_t end = 0;
    bool integer = true;
    const char* fault = nullptr;
};
JsonNumberToken ScanJsonNumber(std::string_view text, std::size_t at);

// "the end of the text", "a string", "'x'" or "byte 0xC3": what stands at `at`.
std::string JsonFoundAt(std::string_view text, std::size_t at);

// The key or string whose opening quote is at `at`, its escapes undone.
std::string JsonStringAt(std::string_view text, std::size_t at);

// simdjson indexes the whole text before reading any of it, and refuses at once a text with a
// byte that is not UTF-8, a control character inside a string or a string that never closes
// (a backslash out of a string hides a quote from it). Where to cut the text so that it indexes:
// at the first such byte, or at the opening quote of its string. Reading the cut text meets every fault that stands before in reading order, and then
// ends where this one is.
std::optional<std::size_t> FirstUnindexable(std::string_view text);

// Line and column, both from 1 and the column in bytes, of an offset.
std::string JsonLineColumn(std::string_view text, std::size_t at);

}  // namespace xsect::io
