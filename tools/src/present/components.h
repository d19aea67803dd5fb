#pragma once

// The six section components as the pictures draw them, and the rule by which a picture tells a
// component from rounding.

#include <cstddef>

namespace xsect::cli {

struct PanelComponent {
    std::size_t index;  // in N, Vt, Vk, Mn, Mt, Mk
    const char* name;
    const char* meaning;
    const char* planeMeaning;  // at station planes through an assembly, where no plane of shells is meant
};

// In-plane first, as a wall's or a beam's N, V and M; the plate's and the twisting ones after them.
inline constexpr PanelComponent kPanelComponents[6] = {
    {0, "N", "normal force, tension positive", "normal force, tension positive"},
    {1, "Vt", "shear force along t, in the plane", "shear force along t"},
    {5, "Mk", "bending moment about k, in the plane", "bending moment about k"},
    {2, "Vk", "shear force along k, out of the plane", "shear force along k"},
    {4, "Mt", "bending moment about t, out of the plane (plate bending)", "bending moment about t"},
    {3, "Mn", "twisting moment about n", "torsion about n"},
};

// N, Vt and Mk have a panel always.
inline bool AlwaysDrawn(std::size_t component) { return component == 0 || component == 1 || component == 5; }

// A component whose largest magnitude `own` is more than rounding against `kind`, the largest of its
// kind (forces against forces, moments against moments).
inline bool AboveRounding(double own, double kind) { return own > 1e-9 * kind && own > 0.0; }

}  // namespace xsect::cli
