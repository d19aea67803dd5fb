#include "present/history_report.h"
#include "present/text.h"

namespace xsect::cli {

namespace {

const char* const kNames[6] = {"N", "Vt", "Vk", "Mn", "Mt", "Mk"};

}  // namespace

void WriteHistoryEnvelopeCsv(std::ostream& out, const HistoryReport& r) {
    out << "station,position,component,max,step_of_max,time_of_max,min,step_of_min,time_of_min\n";
    const StepEnvelope& e = r.history.envelope;
    // A value, its step and that step's time; empty for a value no step gave.
    auto extreme = [&](double value, std::int64_t step) {
        if (step < 0) return std::string(",,");
        return CsvNumber(value) + "," + std::to_string(step) + "," +
               CsvNumber(r.history.times[static_cast<std::size_t>(step)]);
    };
    for (std::size_t s = 0; s < r.sections.size(); ++s)
        for (std::size_t c = 0; c < 6; ++c) {
            const std::size_t i = 6 * s + c;
            const bool any = i < e.Width();
            out << CsvField(r.labels[s]) << "," << CsvNumber(r.sections[s].position) << "," << kNames[c] << ","
                << (any ? extreme(e.Max()[i], e.MaxStep()[i]) : ",,") << ","
                << (any ? extreme(e.Min()[i], e.MinStep()[i]) : ",,") << "\n";
        }
}

void WriteHistorySeriesCsv(std::ostream& out, const HistoryReport& r) {
    out << "step,time,station,N,Vt,Vk,Mn,Mt,Mk\n";
    const History& h = r.history;
    const double* v = h.series.data();
    for (std::size_t step = 0; step < h.times.size(); ++step)
        for (const std::size_t c : h.chosen) {
            out << step << "," << CsvNumber(h.times[step]) << "," << CsvField(r.labels[c]);
            for (std::size_t k = 0; k < 6; ++k) out << "," << CsvNumber(*v++);
            out << "\n";
        }
}

}  // namespace xsect::cli
