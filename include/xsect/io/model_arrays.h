#pragma once

// A model from a host's arrays, as the C interface and the Python module take them: every array is
// checked (ids unique, element nodes known, numbers finite, results only for cases that can have
// them) and the model's maps are filled from it. Nothing of the arrays is kept.

#include <array>
#include <cstdint>
#include <string>

#include "xsect/io/model.h"

namespace xsect::io {

// One load case with its arrays. info's two pointers are not read: frequencies (modeCount values)
// and coefficients (modeCount x modeCount, row by row) are, and copied; either may be null unless
// the combination rule needs it.
struct CaseArrays {
    std::int32_t id = 0;
    std::string name;
    CLoadCaseInfo info;
    const double* frequencies = nullptr;
    const double* coefficients = nullptr;
    // The case's results, or null for none. Static: [shell][slot][6] and [frame][end A, B][6];
    // response spectrum: [shell][slot][mode][6] and [frame][end][mode][6]. The six values are Fx, Fy,
    // Fz, Mx, My, Mz acting on the element at that node, in global axes; unused slots are not read.
    const double* shellResults = nullptr;
    const double* frameResults = nullptr;
};

// Row-major arrays; a count's arrays may be null only when the count is zero. Shells have shellWidth
// node slots each, the unused ones -1 at the end.
struct ModelArrays {
    std::int32_t nodeCount = 0;
    const std::int32_t* nodeIds = nullptr;
    const double* nodeXyz = nullptr;  // [node][3]
    std::int32_t shellCount = 0;
    std::int32_t shellWidth = 0;
    const std::int32_t* shellIds = nullptr;
    const std::int32_t* shellNodes = nullptr;  // [shell][slot]
    const double* shellThickness = nullptr;    // [shell], each positive; null: none given
    std::int32_t frameCount = 0;
    const std::int32_t* frameIds = nullptr;
    const std::int32_t* frameNodes = nullptr;  // [frame][2]
    std::int32_t caseCount = 0;
    const CaseArrays* cases = nullptr;
    double tolerance = 0.001;
    // Three positive node ids that fix the plane, or zeros: the plane is then found from the model, and
    // a model whose nodes do not lie in one plane is an assembly.
    std::array<std::int32_t, 3> planeNodes{0, 0, 0};
};

// Fills an empty model from the arrays; false with a sentence that names the first fault and its
// place ("load case 1, shell 4, node 14: a result is not finite").
bool ModelFromArrays(const ModelArrays& arrays, Model& model, std::string& error);

}  // namespace xsect::io
