#pragma once

// A time history's sections as tables and a picture: the envelope of every section over the steps
// with the step and time of each extreme, and the series of the chosen sections.

#include <ostream>
#include <string>
#include <vector>

#include "compute/history.h"
#include "xsect/io/model.h"

namespace xsect::cli {

struct HistoryReport {
    std::string title;                // the model's title, or its file
    std::string loadCase;             // "load case 11 EQ1"
    io::Units units;
    bool stations;                    // stations along an axis, else cuts
    bool planes;                      // station planes through an assembly: no plane of shells is meant
    std::vector<std::string> labels;  // per section: its station number or cut name
    const std::vector<SectionResult>& sections;
    const History& history;
};

// station,position,component,max,step_of_max,time_of_max,min,step_of_min,time_of_min: six rows per
// section; a section without values has its values, steps and times empty.
void WriteHistoryEnvelopeCsv(std::ostream& out, const HistoryReport& report);
// step,time,station,N,Vt,Vk,Mn,Mt,Mk: per step one row per chosen section.
void WriteHistorySeriesCsv(std::ostream& out, const HistoryReport& report);
// One panel per component against time, the chosen sections' series in colours, each one's extremes
// marked; N, Vt and Mk always, Vk, Mt and Mn when one of the series is more than rounding there.
std::string HistorySvg(const HistoryReport& report);

}  // namespace xsect::cli
