#pragma once

#include <cstdint>
#include <vector>

#include "xsect/export.h"
#include "xsect/model/vertex.h"
#include "xsect/stresses/stress_point.h"

namespace xsect {

// The sample row of one crossed shell: its points in increasing cut-line coordinate and its
// thickness, which the host sets with SetAvgThickness before smoothing.
class XSECT_API ElemStressPoints {
public:
    ElemStressPoints(std::int32_t elementNumber, CVertex faceThirdPoint);
    ElemStressPoints(const ElemStressPoints&) = default;
    ElemStressPoints& operator=(const ElemStressPoints&) = default;
    // A move leaves the source's lists empty.
    ElemStressPoints(ElemStressPoints&& other) noexcept;
    ElemStressPoints& operator=(ElemStressPoints&& other) noexcept;
    ~ElemStressPoints();

    std::int32_t GetElemID() const;
    // One unit from the row's first point along the cut's in-plane normal, towards the third
    // point's side, in global coordinates.
    const CVertex& GetFaceThirdPoint() const;
    const std::vector<double>& GetCornerThickness() const;
    // Leaves exactly one thickness value, t.
    void SetAvgThickness(double t);
    // The sample points, writable: the host sets their components through it.
    std::vector<StressPoint>& GetStressPoints();

private:
    std::int32_t elementNumber = 0;
    CVertex faceThirdPoint;
    std::vector<double> cornerThickness;
    std::vector<StressPoint> stressPoints;
};

}  // namespace xsect
