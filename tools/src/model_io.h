#pragma once

// Reading and writing model files. Every failure is one line for a person:
// "<file>: <place>: <what is wrong>", the place being a JSON path (shells[3].nodes[2]) or a
// line and column of a CSV or JSON text.

#include <string>

#include "model.h"

namespace xsect::cli {

// Reads a model file: a JSON model, or a JSON manifest that names CSV tables beside it.
bool ReadModelFile(const std::string& path, Model& model, std::string& error);

// Parses the text of a JSON model; source names it in messages and relative paths of a manifest
// are taken from baseDir.
bool ParseModelText(const std::string& text, const std::string& source, const std::string& baseDir, Model& model,
                    std::string& error);

// The model as JSON text in the documented format (what ParseModelText reads back).
std::string WriteModelJson(const Model& model);

// The model as a manifest (manifest.json) with CSV tables beside it in dir: nodes, elements, forces
// and stresses. Frames are not written: the tables carry shells only.
bool WriteModelCsv(const Model& model, const std::string& dir, std::string& error);

bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

}  // namespace xsect::cli
