#include "present/axis_diagram.h"
#include "present/text.h"

namespace xsect::cli {

std::vector<StationReading> ReadingsOf(const AxisStations& stations) {
    std::vector<StationReading> readings;
    readings.reserve(stations.after.size() + stations.before.size());
    auto jump = stations.before.begin();
    for (std::size_t i = 0; i < stations.after.size(); ++i) {
        if (jump != stations.before.end() && jump->first == i) readings.push_back({i, &(jump++)->second});
        readings.push_back({i, &stations.after[i]});
    }
    return readings;
}

void WriteAxisDiagramCsv(std::ostream& out, const AxisDiagram& d) {
    out << "station,position,covered_length,request,bound,N,Vt,Vk,Mn,Mt,Mk\n";
    auto row = [&](std::size_t station, const SectionResult& s, const std::string& request, const char* bound,
                   const SectionForces* f) {
        out << station << "," << CsvNumber(s.position) << ","
            << (s.status == CS_SUCCESS ? CsvNumber(s.coveredLength) : std::string()) << "," << CsvField(request) << ","
            << bound;
        if (f)
            for (double v : {f->N, f->Vt, f->Vk, f->Mn, f->Mt, f->Mk}) out << "," << CsvNumber(v);
        else
            out << ",,,,,,";
        out << "\n";
    };
    for (const StationReading& reading : ReadingsOf(d.stations)) {
        const SectionResult& s = *reading.section;
        const bool ok = s.status == CS_SUCCESS;
        for (std::size_t r = 0; r < d.labels.size(); ++r) {
            row(reading.station + 1, s, d.labels[r], "max", ok ? &s.values[r].max : nullptr);
            row(reading.station + 1, s, d.labels[r], "min", ok ? &s.values[r].min : nullptr);
        }
        if (d.envelope) {
            row(reading.station + 1, s, "envelope", "max", ok ? &s.envelope.max : nullptr);
            row(reading.station + 1, s, "envelope", "min", ok ? &s.envelope.min : nullptr);
        }
    }
}

}  // namespace xsect::cli
