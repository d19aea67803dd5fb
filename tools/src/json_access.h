#pragma once

// Typed access to a parsed JSON document that names the place of every failure by its JSON path,
// without exceptions: each getter returns false and fills error on a wrong or missing value.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace xsect::cli {

using Json = nlohmann::json;

class JsonReader {
public:
    explicit JsonReader(std::string source) : source_(std::move(source)) {}

    // "file: path: what", the one-line message format of the tool.
    bool Fail(const std::string& path, const std::string& what);
    const std::string& Error() const { return error_; }

    bool Object(const Json& j, const std::string& path);
    bool Array(const Json& j, const std::string& path);
    // Refuses a key that is not listed, naming it: a misspelt key would otherwise be ignored.
    bool OnlyKeys(const Json& j, const std::string& path, std::initializer_list<const char*> keys);
    bool Require(const Json& j, const std::string& path, const char* key);

    bool Number(const Json& j, const std::string& path, double& out);
    bool Int32(const Json& j, const std::string& path, std::int32_t& out);
    bool Bool(const Json& j, const std::string& path, bool& out);
    bool String(const Json& j, const std::string& path, std::string& out);
    // An array of exactly one of the given lengths.
    bool Numbers(const Json& j, const std::string& path, std::initializer_list<std::size_t> lengths,
                 std::vector<double>& out);
    bool Int32s(const Json& j, const std::string& path, std::vector<std::int32_t>& out);

    static std::string Key(const std::string& path, const char* key) { return path.empty() ? key : path + "." + key; }
    static std::string Index(const std::string& path, std::size_t i) { return path + "[" + std::to_string(i) + "]"; }

private:
    std::string source_;
    std::string error_;
};

// Parses JSON text without exceptions; on a syntax error fills error with "file:line:column: what".
bool ParseJsonText(const std::string& text, const std::string& source, Json& out, std::string& error);

}  // namespace xsect::cli
