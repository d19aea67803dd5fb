#pragma once

// The plane of the shells and every conversion between it and the host's global coordinates, written
// once: points and directions both ways, a frame's axes into global coordinates, and a cut brought
// into the plane. Also the frame of three points and the collinearity test the plane set-up and the
// cut axes are built from.

#include "core/arithmetic.h"
#include "xsect/forces/status.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

// Rows e1 (p1 -> p2), e2 = n x e1, n = unit normal of (p2 - p1) x (p3 - p1). False, with out
// untouched, when |p2 - p1|, the cross product or e2 is shorter than the tolerance.
bool planeFrameFrom(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance, Mat3& out);

// True when every component of (p2 - p1) x (p3 - p1), each written as the signed sum of the
// three points' products, is below the tolerance in absolute value.
bool pointsCollinear(const CVertex& p1, const CVertex& p2, const CVertex& p3, double tolerance);

// Plane coordinates: x', y' in the shells' surface, z' its normal, the origin at the origin node. A
// frame never set up is all zeros and maps every finite point to the plane's origin.
struct PlaneFrame {
    Mat3 axes{};    // x', y', z' in global coordinates, one per row
    Vec3 offset{};  // the origin node rotated into plane axes: a global p lies at axes p - offset

    Vec3 ToPlane(const Vec3& p) const {
        const Vec3 q = multiply(axes, p);
        return {q[0] - offset[0], q[1] - offset[1], q[2] - offset[2]};
    }
    Vec3 ToGlobal(const Vec3& q) const {
        return transposedTimes(axes, {q[0] + offset[0], q[1] + offset[1], q[2] + offset[2]});
    }
    // In place, the vertex's own tolerance kept.
    template <class P>
    void ToPlane(P& p) const { set(p, ToPlane(Vec3{p.x, p.y, p.z})); }
    void ToGlobal(CVertex& p) const { set(p, ToGlobal(Vec3{p.x, p.y, p.z})); }

    Vec3 DirectionToPlane(const Vec3& v) const { return multiply(axes, v); }
    Vec3 DirectionToGlobal(const Vec3& v) const { return transposedTimes(axes, v); }
    // A frame whose rows are written in plane axes (a cut's axes), its rows in global coordinates.
    Mat3 AxesToGlobal(const Mat3& rows) const {
        return {DirectionToGlobal(rows[0]), DirectionToGlobal(rows[1]), DirectionToGlobal(rows[2])};
    }

    // Takes a cut's two ends into plane coordinates in place (both, whatever the outcome, as the host
    // interface hands them back); CS_CUT_LINE_OFF_PLANE when either lies farther than the tolerance
    // off the plane. An end that is not a number passes: the host interface documents such a cut as
    // crossing nothing.
    CROSS_SECTION_MESSAGES CutIntoPlane(CVertex& a, CVertex& b, double tolerance) const {
        ToPlane(a);
        ToPlane(b);
        return std::fabs(a.z) > tolerance || std::fabs(b.z) > tolerance ? CS_CUT_LINE_OFF_PLANE : CS_SUCCESS;
    }

private:
    template <class P>
    static void set(P& p, const Vec3& v) {
        p.x = v[0];
        p.y = v[1];
        p.z = v[2];
    }
};

}  // namespace xsect::detail
