#include "xsect/forces/status_text.h"

#include "xsect/forces/status.h"

namespace xsect {

namespace {

struct StatusText {
    std::int32_t value;
    const char* name;
    const char* message;
};

// One table so that a new status value cannot get a name without a message.
constexpr StatusText kStatusTexts[] = {
    {CS_SUCCESS, "CS_SUCCESS", "success"},
    {CS_NO_ELEMENTS_CROSSED, "CS_NO_ELEMENTS_CROSSED", "the cut line crosses no element"},
    {CS_PLANE_NOT_DEFINED, "CS_PLANE_NOT_DEFINED",
     "the plane of the shells cannot be set up: the defining nodes are missing or in line, or a node lies "
     "off the plane"},
    {CS_NO_SHELLS, "CS_NO_SHELLS", "the model has no shell elements"},
    {CS_CUT_LINE_OFF_PLANE, "CS_CUT_LINE_OFF_PLANE", "an end of the cut line lies off the plane of the shells"},
    {CS_SECTION_MAP_FAILED, "CS_SECTION_MAP_FAILED",
     "the axes of the cut cannot be built: its two ends are closer than the tolerance"},
    {CS_MOMENT_POINT_OFF_PLANE, "CS_MOMENT_POINT_OFF_PLANE", "the moment point lies off the plane of the shells"},
    {CS_NO_THICKNESS, "CS_NO_THICKNESS", "a crossed element has no thickness"},
    {CS_NONPOSITIVE_THICKNESS, "CS_NONPOSITIVE_THICKNESS", "a crossed element has a thickness of zero or less"},
    {CS_STRESS_NOT_SET, "CS_STRESS_NOT_SET", "a sample point on the cut line has no stress values"},
    {CS_NO_STRESS_INPUT_POINTS, "CS_NO_STRESS_INPUT_POINTS",
     "there are no sample points: the cut-line input points were not computed first"},
    {CS_THIRD_POINT_ON_CUT_LINE, "CS_THIRD_POINT_ON_CUT_LINE",
     "the point that chooses the face lies on the cut line"},
    {CS_STRESS_CS_INVALID, "CS_STRESS_CS_INVALID", "a sample point's stress values are in an unknown coordinate system"},
    {CS_CUT_INSIDE_ONE_SHELL, "CS_CUT_INSIDE_ONE_SHELL",
     "the cut lies inside one shell and meets none of its edges: it divides nothing"},
};

const StatusText* find(std::int32_t status) {
    for (const StatusText& entry : kStatusTexts)
        if (entry.value == status) return &entry;
    return nullptr;
}

}  // namespace

const char* StatusName(std::int32_t status) {
    const StatusText* entry = find(status);
    return entry ? entry->name : "CS_UNKNOWN";
}

const char* StatusMessage(std::int32_t status) {
    const StatusText* entry = find(status);
    return entry ? entry->message : "unknown status value";
}

}  // namespace xsect
