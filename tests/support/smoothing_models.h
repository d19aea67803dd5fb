#pragma once

// A strip of shells of unequal widths and thicknesses cut lengthwise through its lower row, with
// nodal forces that are the consistent loads of given stress fields, for the smoothing tests.
//
//   y = lower + upper  +------+----------+---+-----+
//                      |      |          |   |     |     upper row: not crossed
//   y = lower          +------+----------+---+-----+     gathered nodes (the face point's side)
//   y = cutY     - - - | - - -|- - - - - |- -|- - -| - - the cut, overhanging both ends
//   y = 0              +------+----------+---+-----+
//                      x = columns[0] ...  columns[n]

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <xsect/xsect.h>

namespace xsect::smoothing_models {

// A function of the cut-line coordinate s.
using Field = std::function<double(double)>;

struct Fields {
    Field St, Sts, Qt, Mts, Mt;
};

Fields ZeroFields();

struct StripSpec {
    std::vector<double> columns{0.0, 1.0, 2.5, 3.0, 4.2};  // x of the node columns; columns[0] = 0
    std::vector<double> thickness{0.2, 0.35, 0.1, 0.25};   // one per crossed element
    double lower = 1.0;                                    // height of the crossed row
    double upper = 0.8;                                    // height of the row above it
    double cutY = 0.4;
    double overhang = 0.5;            // the cut starts and ends this far outside the strip
    std::int32_t reversedElement = -1;  // index of a crossed element whose nodes run clockwise
    bool tilted = false;              // the strip lies in a tilted plane instead of z = 0
    std::int32_t loadCase = 1;
    std::int32_t divisions = 4;       // sample intervals per crossed element
};

struct Strip {
    StripSpec spec;
    std::map<std::int32_t, CVertex> nodes;
    std::map<std::int32_t, CShellElement> shells;
    std::map<std::int32_t, CFrameElement> frames;
    std::map<std::int32_t, CLoadCaseInfo> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> forces;
    std::unique_ptr<CCrossSectionStressesPost> stresses;
    std::vector<std::shared_ptr<ElemStressPoints>> rows;

    std::int32_t NodeAt(std::size_t column, std::size_t row) const;
    std::int32_t ElementAt(std::size_t column, std::size_t row) const;
    // A point of the strip's plane (grid coordinates) in global coordinates.
    CVertex Global(double x, double y) const;
    // A direction of the plane (grid axes) in global axes.
    void GlobalDirection(double x, double y, double z, double out[3]) const;
    CVertex CutStart() const { return Global(spec.columns.front() - spec.overhang, spec.cutY); }
    CVertex CutEnd() const { return Global(spec.columns.back() + spec.overhang, spec.cutY); }
    CVertex FacePoint() const;  // above the cut, so the upper nodes of the crossed row are gathered
    double CoordinateOf(double x) const { return x - (spec.columns.front() - spec.overhang); }
};

// Nodes, shells and the static load case; each crossed element puts at its two upper nodes the
// consistent loads of t St (across the cut), t Sts (along it) and Qt (out of the plane), plus the
// consistent loads of Mt and Mts as nodal moments, and the opposite at its lower nodes. Then the
// force calculator (plane fixed by three nodes so that plane coordinates are grid coordinates),
// the stress calculator and stage 1.
std::unique_ptr<Strip> BuildStrip(const StripSpec& spec, const Fields& loads);

// Sets every row's thickness and every sample point's components from the fields, evaluated at
// the point's cut-line coordinate (components 0, 3 and 6 get values nothing reads).
void FillRows(Strip& strip, const Fields& samples);

}  // namespace xsect::smoothing_models
