#pragma once

// Small helpers of the program's tests: temporary files and running the program in-process.

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/cli.h"

namespace xsect::cli::testing_support {

// ctest runs the tests as separate processes in parallel: each process gets names of its own, so
// that no test reads a file another is rewriting.
inline std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "xsect_tool_" + std::to_string(::getpid()) + "_" + name;
}

inline std::string WriteTemp(const std::string& name, const std::string& text) {
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct RunResult {
    int code = -1;
    std::string out, err;
};

inline RunResult RunXsect(std::vector<std::string> args) {
    args.insert(args.begin(), "xsect");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    RunResult r;
    r.code = Main(static_cast<int>(argv.size()), argv.data(), out, err, false);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// The fields of each line of a CSV text without quotes.
inline std::vector<std::vector<std::string>> CsvLines(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream ls(line);
        std::string f;
        while (std::getline(ls, f, ',')) fields.push_back(f);
        if (!line.empty() && line.back() == ',') fields.push_back("");
        rows.push_back(fields);
    }
    return rows;
}

}  // namespace xsect::cli::testing_support
