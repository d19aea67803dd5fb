#pragma once

// The assembly's model: the host's elements as the plane model holds them (flat arrays, results in
// contiguous blocks), but in global coordinates and global axes, with a tree of the elements' boxes
// in space. Built once and never changed, so cutters share it from any number of threads.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/box_tree.h"
#include "core/plane_model.h"

namespace xsect::detail {

struct AssemblyModel : ElementArrays {
    double sense = 1.0;             // 1: the records are forces acting on the elements; -1: by them
    std::vector<double> thickness;  // by shell index; 0 where the host gave none
    bool anyThickness = false;
    BoxTree tree;                   // items: shells by index, then frames after them
    double magnitude = 0.0;         // the largest coordinate of any node, for rounding bounds
};

// Copies the host's maps and files their results as given (global axes). On a tolerance that is not
// a positive number or a node coordinate that is not finite, error holds the sentence and the model
// is left without elements.
std::shared_ptr<const AssemblyModel> BuildAssemblyModel(const std::map<std::int32_t, CVertex>& nodes,
                                                        const std::map<std::int32_t, CShellElement>& shells,
                                                        const std::map<std::int32_t, CFrameElement>& frames,
                                                        const std::map<std::int32_t, CLoadCaseInfo>& loadCases,
                                                        double tolerance, double sense,
                                                        const std::map<std::int32_t, double>& thickness,
                                                        std::string& error);

}  // namespace xsect::detail
