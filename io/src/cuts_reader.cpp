#include "csv_file.h"
#include "printable.h"
#include "xsect/io/cuts_file.h"

namespace xsect::io {

bool ReadCutsFile(const std::string& path, std::int32_t defaultSide, std::vector<CutRow>& cuts, std::string& error) {
    CsvFile t;
    if (!t.Open(path, error)) return false;
    const char* names[6] = {"x1", "y1", "z1", "x2", "y2", "z2"};
    int cols[6];
    for (int k = 0; k < 6; ++k)
        if (!t.NeedColumn(names[k], cols[k], error)) return false;
    const int cname = t.Column("name"), cside = t.Column("side");
    while (t.Next(error)) {
        double v[6];
        for (int k = 0; k < 6; ++k)
            if (!t.Number(cols[k], v[k], error)) return false;
        CutRow c;
        c.start = {v[0], v[1], v[2]};
        c.end = {v[3], v[4], v[5]};
        c.side = defaultSide;
        if (cside >= 0 && !t.Empty(cside)) {
            if (!t.Int32(cside, c.side, error)) return false;
            if (c.side != 0 && c.side != 1) return error = t.Place(cside) + ": side must be 0 or 1", false;
        }
        c.name = cname >= 0 && !t.Empty(cname) ? Printable(t.Field(cname)) : std::to_string(cuts.size() + 1);
        cuts.push_back(std::move(c));
    }
    if (!error.empty()) return false;
    if (cuts.empty()) return error = path + ": the table lists no cuts", false;
    return true;
}

}  // namespace xsect::io
