#pragma once

// Pictures a person can check a cut by: the mesh in plane coordinates with the cut, and the
// smoothed cut-line diagrams with the samples they were fitted to.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace xsect::cli {

struct Pt {
    double x = 0.0, y = 0.0;
};

struct PlanPicture {
    std::string title;
    std::vector<std::pair<std::int32_t, std::vector<Pt>>> shells;  // plane coordinates
    std::vector<std::pair<Pt, Pt>> frames;
    std::set<std::int32_t> crossed;
    std::vector<Pt> gathered;  // nodes whose results make up the section force
    Pt cutStart, cutEnd;
    bool gatherLeft = true;  // the gathered side, left or right of the directed cut
};

struct DiagramSeries {
    std::string name;
    std::string meaning;
    std::vector<std::pair<double, double>> curve;    // smoothed, (cut-line coordinate, value)
    std::vector<std::pair<double, double>> samples;  // the fitted samples
};

std::string PlanSvg(const PlanPicture& picture);
std::string DiagramsSvg(const std::string& title, const std::vector<DiagramSeries>& series,
                        const std::vector<double>& elementBounds);

// Writes text to path; false with a message naming the file on failure.
bool WriteFile(const std::string& path, const std::string& text, std::string& error);

}  // namespace xsect::cli
