#include "json_access.h"

#include <cmath>
#include <limits>

namespace xsect::cli {

namespace {

const char* TypeName(const Json& j) {
    switch (j.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::object: return "an object";
        case Json::value_t::array: return "an array";
        case Json::value_t::string: return "a string";
        case Json::value_t::boolean: return "true or false";
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned:
        case Json::value_t::number_float: return "a number";
        default: return "something else";
    }
}

// Records where a syntax error happened; every other event is accepted and dropped, since the DOM
// is built by the non-throwing parse that ran first.
class ErrorLocator : public nlohmann::json_sax<Json> {
public:
    std::size_t position = 0;
    std::string message;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t pos, const std::string& lastToken, const nlohmann::detail::exception& ex) override {
        // The position is just past the offending token; name its first character instead.
        position = pos >= lastToken.size() ? pos - lastToken.size() + 1 : pos;
        message = ex.what();
        return false;
    }
};

}  // namespace

bool ParseJsonText(const std::string& text, const std::string& source, Json& out, std::string& error) {
    out = Json::parse(text, nullptr, false);
    if (!out.is_discarded()) return true;
    ErrorLocator locator;
    Json::sax_parse(text, &locator, nlohmann::detail::input_format_t::json, true);
    // The byte position counts the offending character, so step back one to name it.
    std::size_t end = locator.position == 0 ? 0 : locator.position - 1;
    if (end > text.size()) end = text.size();
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    std::string what = locator.message;
    std::size_t at = what.find("syntax error");
    if (at != std::string::npos) what = what.substr(at);
    if (what.empty()) what = "not valid JSON";
    error = source + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + what;
    return false;
}

bool JsonReader::Fail(const std::string& path, const std::string& what) {
    error_ = source_ + ": " + (path.empty() ? std::string("top level") : path) + ": " + what;
    return false;
}

bool JsonReader::Object(const Json& j, const std::string& path) {
    if (j.is_object()) return true;
    return Fail(path, std::string("expected an object, found ") + TypeName(j));
}

bool JsonReader::Array(const Json& j, const std::string& path) {
    if (j.is_array()) return true;
    return Fail(path, std::string("expected an array, found ") + TypeName(j));
}

bool JsonReader::OnlyKeys(const Json& j, const std::string& path, std::initializer_list<const char*> keys) {
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool known = false;
        for (const char* k : keys) known = known || it.key() == k;
        if (!known) return Fail(path, "unknown key \"" + it.key() + "\"");
    }
    return true;
}

bool JsonReader::Require(const Json& j, const std::string& path, const char* key) {
    if (j.contains(key)) return true;
    return Fail(path, std::string("missing \"") + key + "\"");
}

bool JsonReader::Number(const Json& j, const std::string& path, double& out) {
    if (!j.is_number()) return Fail(path, std::string("expected a number, found ") + TypeName(j));
    out = j.get<double>();
    if (!std::isfinite(out)) return Fail(path, "the number is not finite");
    return true;
}

bool JsonReader::Int32(const Json& j, const std::string& path, std::int32_t& out) {
    if (j.is_number_unsigned()) {
        auto v = j.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
            return Fail(path, "the integer does not fit in 32 bits");
        out = static_cast<std::int32_t>(v);
        return true;
    }
    if (j.is_number_integer()) {
        auto v = j.get<std::int64_t>();
        if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min())
            return Fail(path, "the integer does not fit in 32 bits");
        out = static_cast<std::int32_t>(v);
        return true;
    }
    return Fail(path, std::string("expected an integer, found ") + TypeName(j));
}

bool JsonReader::Bool(const Json& j, const std::string& path, bool& out) {
    if (!j.is_boolean()) return Fail(path, std::string("expected true or false, found ") + TypeName(j));
    out = j.get<bool>();
    return true;
}

bool JsonReader::String(const Json& j, const std::string& path, std::string& out) {
    if (!j.is_string()) return Fail(path, std::string("expected a string, found ") + TypeName(j));
    out = j.get<std::string>();
    return true;
}

bool JsonReader::Numbers(const Json& j, const std::string& path, std::initializer_list<std::size_t> lengths,
                         std::vector<double>& out) {
    if (!Array(j, path)) return false;
    bool fits = lengths.size() == 0;
    for (std::size_t n : lengths) fits = fits || j.size() == n;
    if (!fits) {
        std::string want;
        for (std::size_t n : lengths) want += (want.empty() ? "" : " or ") + std::to_string(n);
        return Fail(path, "expected " + want + " numbers, found " + std::to_string(j.size()));
    }
    out.assign(j.size(), 0.0);
    for (std::size_t i = 0; i < j.size(); ++i)
        if (!Number(j[i], Index(path, i), out[i])) return false;
    return true;
}

bool JsonReader::Int32s(const Json& j, const std::string& path, std::vector<std::int32_t>& out) {
    if (!Array(j, path)) return false;
    out.assign(j.size(), 0);
    for (std::size_t i = 0; i < j.size(); ++i)
        if (!Int32(j[i], Index(path, i), out[i])) return false;
    return true;
}

}  // namespace xsect::cli
