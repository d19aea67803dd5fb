#include "present/units.h"

namespace xsect::cli {

std::string UnitOf(const io::Units& u, Dimension d) {
    if (u.length.empty() || u.force.empty()) return {};
    switch (d) {
        case Dimension::Length: return u.length;
        case Dimension::Force: return u.force;
        case Dimension::Moment: return u.force + " " + u.length;
        case Dimension::Stress: return u.force + "/" + u.length + "2";
        case Dimension::ForcePerLength: return u.force + "/" + u.length;
        case Dimension::MomentPerLength: return u.force + " " + u.length + "/" + u.length;
    }
    return {};
}

std::string Labeled(const std::string& name, const io::Units& units, Dimension d) {
    const std::string unit = UnitOf(units, d);
    return unit.empty() ? name : name + " [" + unit + "]";
}

Dimension DimensionOf(CLStressType type) {
    switch (type) {
        case CL_STRESS_ST:
        case CL_STRESS_STS: return Dimension::Stress;
        case CL_STRESS_QT: return Dimension::ForcePerLength;
        case CL_STRESS_MTS:
        case CL_STRESS_MT: return Dimension::MomentPerLength;
    }
    return Dimension::Stress;
}

Dimension DimensionOfComponent(std::size_t component) { return component < 3 ? Dimension::Force : Dimension::Moment; }

}  // namespace xsect::cli
