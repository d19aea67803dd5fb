#include "csv_reader.h"

#include <filesystem>

#include "csv_file.h"

namespace xsect::io {

namespace {

// Progress over all the tables, in bytes; reported every few thousand rows.
class TableProgress {
public:
    TableProgress(const ReadProgress& report, std::uint64_t total) : report_(report), total_(total) {}
    void Row(const CsvFile& t) {
        if (report_ && (++rows_ & 4095) == 0) report_(done_ + t.Offset(), total_);
    }
    void Done(const CsvFile& t) {
        done_ += t.Offset();
        if (report_) report_(done_, total_);
    }

private:
    const ReadProgress& report_;
    std::uint64_t total_, done_ = 0, rows_ = 0;
};

// The builder's message behind the place of the row's first column.
bool Relay(const CsvFile& t, int column, const ModelBuilder& b, std::string& error) {
    error = t.Place(column) + ": " + b.Error();
    return false;
}

bool ReadNodes(CsvFile& t, ModelBuilder& b, TableProgress& progress, std::string& error) {
    int cid, cx, cy, cz;
    if (!t.NeedColumn("id", cid, error) || !t.NeedColumn("x", cx, error) || !t.NeedColumn("y", cy, error) ||
        !t.NeedColumn("z", cz, error))
        return false;
    while (t.Next(error)) {
        std::int32_t id = 0;
        double x = 0, y = 0, z = 0;
        if (!t.Int32(cid, id, error) || !t.Number(cx, x, error) || !t.Number(cy, y, error) ||
            !t.Number(cz, z, error))
            return false;
        if (!b.AddNode(id, x, y, z)) return Relay(t, cid, b, error);
        progress.Row(t);
    }
    return error.empty();
}

bool ReadElements(CsvFile& t, ModelBuilder& b, TableProgress& progress, std::string& error) {
    int cid, cn1;
    if (!t.NeedColumn("id", cid, error) || !t.NeedColumn("n1", cn1, error)) return false;
    const int ct = t.Column("thickness");
    std::vector<int> nodeCols;
    for (int k = 1;; ++k) {
        const int c = t.Column("n" + std::to_string(k));
        if (c < 0) break;
        nodeCols.push_back(c);
    }
    std::vector<std::int32_t> nodes;
    while (t.Next(error)) {
        std::int32_t id = 0;
        if (!t.Int32(cid, id, error)) return false;
        std::optional<double> thickness;
        if (ct >= 0 && !t.Empty(ct)) {
            double v = 0.0;
            if (!t.Number(ct, v, error)) return false;
            thickness = v;
        }
        nodes.clear();
        for (int c : nodeCols) {
            if (t.Empty(c)) break;
            std::int32_t n = 0;
            if (!t.Int32(c, n, error)) return false;
            nodes.push_back(n);
        }
        if (!b.AddShell(id, nodes, thickness)) return Relay(t, cid, b, error);
        progress.Row(t);
    }
    return error.empty();
}

bool ReadForces(CsvFile& t, ModelBuilder& b, TableProgress& progress, std::string& error) {
    int ce, cn, cc;
    if (!t.NeedColumn("element", ce, error) || !t.NeedColumn("node", cn, error) || !t.NeedColumn("case", cc, error))
        return false;
    const int cm = t.Column("mode");
    int cols[6];
    const char* names[6] = {"fx", "fy", "fz", "mx", "my", "mz"};
    for (int k = 0; k < 6; ++k)
        if (!t.NeedColumn(names[k], cols[k], error)) return false;
    while (t.Next(error)) {
        std::int32_t e = 0, n = 0, lc = 0, mode = 0;
        if (!t.Int32(ce, e, error) || !t.Int32(cn, n, error) || !t.Int32(cc, lc, error)) return false;
        if (cm >= 0 && !t.Empty(cm)) {
            if (!t.Int32(cm, mode, error)) return false;
            if (mode == 0) return error = t.Place(cm) + ": modes are numbered from 1", false;
        }
        std::array<double, 6> f{};
        for (std::size_t k = 0; k < 6; ++k)
            if (!t.Number(cols[k], f[k], error)) return false;
        if (!b.AddShellResult(e, n, lc, mode, f)) return Relay(t, ce, b, error);
        progress.Row(t);
    }
    return error.empty();
}

bool ReadStresses(CsvFile& t, ModelBuilder& b, TableProgress& progress, std::string& error) {
    int ce, cn, cc;
    if (!t.NeedColumn("element", ce, error) || !t.NeedColumn("node", cn, error) || !t.NeedColumn("case", cc, error))
        return false;
    const char* names[15] = {"sxx", "syy", "szz", "sxy", "syz", "szx", "mxx", "myy",
                             "mzz", "mxy", "myz", "mzx", "qx",  "qy",  "qz"};
    int cols[15];
    for (int k = 0; k < 15; ++k) cols[k] = t.Column(names[k]);
    while (t.Next(error)) {
        std::int32_t e = 0, n = 0, lc = 0;
        if (!t.Int32(ce, e, error) || !t.Int32(cn, n, error) || !t.Int32(cc, lc, error)) return false;
        double v[15] = {};
        for (int k = 0; k < 15; ++k)
            if (cols[k] >= 0 && !t.Empty(cols[k]) && !t.Number(cols[k], v[k], error)) return false;
        NodeStress s;
        for (std::size_t k = 0; k < 6; ++k) s.S[k] = v[k];
        for (std::size_t k = 0; k < 6; ++k) s.M[k] = v[6 + k];
        for (std::size_t k = 0; k < 3; ++k) s.Q[k] = v[12 + k];
        if (!b.AddShellStress(e, n, lc, s)) return Relay(t, ce, b, error);
        progress.Row(t);
    }
    return error.empty();
}

}  // namespace

std::string JoinPath(const std::string& dir, const std::string& file) {
    if (file.empty() || file[0] == '/' || dir.empty()) return file;
    return dir + "/" + file;
}

bool ReadManifestTables(const ManifestTables& tables, const std::string& baseDir, ModelBuilder& builder,
                        const ReadProgress& report, std::string& error) {
    using Reader = bool (*)(CsvFile&, ModelBuilder&, TableProgress&, std::string&);
    std::vector<std::pair<std::string, Reader>> order{{tables.nodes, ReadNodes}, {tables.elements, ReadElements}};
    for (const std::string& f : tables.forces) order.emplace_back(f, ReadForces);
    for (const std::string& f : tables.stresses) order.emplace_back(f, ReadStresses);
    std::uint64_t total = 0;
    for (auto& [name, read] : order) {
        name = JoinPath(baseDir, name);
        std::error_code ec;
        const auto size = std::filesystem::file_size(name, ec);
        total += ec ? 0 : static_cast<std::uint64_t>(size);
    }
    TableProgress progress(report, total);
    for (const auto& [name, read] : order) {
        CsvFile t;
        if (!t.Open(name, error) || !read(t, builder, progress, error)) return false;
        progress.Done(t);
    }
    return true;
}

}  // namespace xsect::io
