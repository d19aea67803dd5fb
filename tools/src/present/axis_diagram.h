#pragma once

// Section forces at stations along an axis, as a CSV table and as N, V and M diagrams for a report.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "compute/stations.h"
#include "xsect/io/model.h"

namespace xsect::cli {

struct AxisDiagram {
    std::string title;                        // the model's title, or its file
    CVertex axisStart, axisEnd;
    io::Units units;
    std::vector<std::string> labels;          // one per request
    const AxisStations& stations;
    bool envelope = false;                    // rows and a band for the envelope over the requests
    bool planes = false;                      // station planes through an assembly: k follows `up`
};

// One reading of a station: its values just before it (where they differ) or its own.
struct StationReading {
    std::size_t station;
    const SectionResult* section;
};
// In the order the table and the pictures give them: along the axis, at a jump before, then after.
std::vector<StationReading> ReadingsOf(const AxisStations& stations);

// station,position,covered_length,request,bound,N,Vt,Vk,Mn,Mt,Mk: per reading one max and one min
// row per request (then the envelope's); a station the library refused has empty values.
void WriteAxisDiagramCsv(std::ostream& out, const AxisDiagram& diagram);

// One panel per component: N, Vt and Mk always, Vk, Mt and Mn when they are not zero; ticked axes
// in the model's units, ranges and the envelope as bands with the governing request named at the
// extremes, jumps as steps, and the sign rule in a caption. An axis closer to vertical than to
// horizontal (a wall's) runs up the page, its higher end on top, with the panels side by side;
// any other runs along the page, the panels one below the other.
std::string AxisDiagramSvg(const AxisDiagram& diagram);

}  // namespace xsect::cli
