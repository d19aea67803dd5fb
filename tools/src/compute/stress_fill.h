#pragma once

// Filling the library's cut-line sample points from the model's stress fields.
//
// At a sample point the nodal stresses of the crossed shell are interpolated (linear on a
// triangle, bilinear on a quadrilateral, mean-value weights on a larger polygon) and turned into
// the eight components in the shell's own frame: e1 along the cut, nu the shell's normal (the
// right-hand normal of its first three nodes), n = nu x e1 in the plane across the cut.
//   0  e1.S.e1   (carried only)        4  Mt  = n.M.n
//   1  St  = n.S.n                     5  Mts = e1.M.n
//   2  Sts = e1.S.n                    6  q.e1   (carried only)
//   3  e1.M.e1   (carried only)        7  Qt  = q.g, g the cut's in-plane normal towards the face
// S is the membrane stress, M the moment tensor per unit length and q the transverse shear per
// unit length, M and q taken with the through-thickness coordinate along nu. The library negates
// 2, 4, 6 and 7 of a shell whose normal disagrees with the cut's and 4 of every shell; with the
// components above that yields, for every shell, the section quantities of the face side.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xsect/io/model.h"
#include "compute/geometry.h"

namespace xsect::cli {

using io::LoadCase;
using io::Model;
using io::NodeStress;

// The shell's nodal stresses interpolated at a global point; false when the shell has no stress
// field for the load case.
bool InterpolateStress(const Model& model, std::int32_t shell, std::int32_t loadCase, CVertex point, NodeStress& out);

// The eight components for a shell of normal nu, a cut along e1 and the face side g.
std::array<double, 8> CutComponents(const NodeStress& s, CVertex e1, CVertex nu, CVertex g);

// The right-hand unit normal of a shell's first three nodes, in global axes.
CVertex ShellNormal(const Model& model, std::int32_t shell);

struct FillReport {
    std::vector<std::int32_t> withoutStress;     // crossed shells with no stress field for the case
    std::vector<std::int32_t> withoutThickness;  // crossed shells with no thickness
};

// Sets thickness and components of every row from the model; rows whose shell lacks a stress
// field or a thickness are left for the library to refuse, and listed in the report.
FillReport FillSamples(const Model& model, std::int32_t loadCase, CVertex cutStart, CVertex cutEnd, CVertex facePoint,
                       CVertex planeNormal, const std::vector<std::shared_ptr<ElemStressPoints>>& rows);

}  // namespace xsect::cli
