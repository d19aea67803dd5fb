#pragma once

// Section forces at stations along an axis, as a CSV table and as N, V and M diagrams for a report.

#include <ostream>
#include <string>
#include <vector>

#include <xsect/sections.h>

#include "compute/geometry.h"
#include "xsect/io/model.h"

namespace xsect::cli {

struct AxisDiagram {
    std::string title;                        // the model's title, or its file
    CVertex axisStart, axisEnd;
    io::Units units;
    std::vector<std::string> labels;          // one per request
    const std::vector<SectionResult>& sections;
    bool envelope = false;                    // rows and a band for the envelope over the requests
};

// station,position,covered_length,request,bound,N,Vt,Vk,Mn,Mt,Mk: per station one max and one min
// row per request (then the envelope's); a station the library refused has empty values.
void WriteAxisDiagramCsv(std::ostream& out, const AxisDiagram& diagram);

// One panel per component along the axis: N, Vt and Mk always, Vk, Mt and Mn when they are not
// zero; ticked axes in the model's units, ranges and the envelope as bands with the governing
// request named at the extremes, and the sign rule in a caption.
std::string AxisDiagramSvg(const AxisDiagram& diagram);

}  // namespace xsect::cli
