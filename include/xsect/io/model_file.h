#pragma once

// Reading and writing model files: a JSON model, or a JSON manifest naming CSV tables beside it
// (docs/model-format.md). Every failure is one line for a person: "<file>:<line>:<column>: <JSON
// path>: <what is wrong>" in a JSON text (shells[3].nodes[2]; "top level" for the outermost
// object), "<file>:<line>:<column>: <what is wrong>" in a CSV table, "<file>: <what is wrong>"
// when the file cannot be read.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "xsect/io/model.h"

namespace xsect::io {

// Told now and then how far reading has come, in bytes of all the files it reads.
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads a model file. The JSON text is held whole while it is read: with simdjson's index of it and
// the model, reading peaks at about 3.4 times the file's size.
bool ReadModelFile(const std::string& path, Model& model, std::string& error, const ReadProgress& progress = {});

// Reads the text of a JSON model or manifest; source names it in messages and relative table
// names of a manifest are taken from baseDir.
bool ParseModelText(std::string_view text, const std::string& source, const std::string& baseDir, Model& model,
                    std::string& error);

// Reads a file holding {"combinations": [...]} and adds its combinations to the model, checked
// against the model's load cases and names as the model file's own are.
bool ReadCombinationsFile(const std::string& path, Model& model, std::string& error);
bool ParseCombinationsText(std::string_view text, const std::string& source, Model& model, std::string& error);

// The model as JSON text in the documented format (what ParseModelText reads back), and the same
// written to a file.
std::string WriteModelJson(const Model& model);
bool WriteModelJsonFile(const Model& model, const std::string& path, std::string& error);

// The model as a manifest (manifest.json) with CSV tables beside it in dir: nodes, elements,
// forces and stresses. Frames are not written: the tables carry shells only.
bool WriteModelCsv(const Model& model, const std::string& dir, std::string& error);

// Writes text to path; false with a message naming the file on failure.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& error);

}  // namespace xsect::io
