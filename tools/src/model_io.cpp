#include "model_io.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "csv.h"
#include "json_access.h"
#include "model_builder.h"

namespace xsect::cli {

namespace {

using R = JsonReader;

bool ReadId(JsonReader& r, const Json& j, const std::string& path, const char* key, std::int32_t& out) {
    return r.Require(j, path, key) && r.Int32(j[key], R::Key(path, key), out);
}

bool ReadSix(JsonReader& r, const Json& j, const std::string& path, std::array<double, 6>& out) {
    std::vector<double> v;
    if (!r.Numbers(j, path, {6}, v)) return false;
    std::copy(v.begin(), v.end(), out.begin());
    return true;
}

bool ReadLoadCase(JsonReader& r, ModelBuilder& b, const Json& j, const std::string& path) {
    if (!r.Object(j, path) ||
        !r.OnlyKeys(j, path, {"id", "name", "type", "combination", "sign_method", "modes", "apply_sign", "sign_mode",
                              "combine_residual", "frequencies", "coefficients"}))
        return false;
    std::int32_t id = 0;
    if (!ReadId(r, j, path, "id", id)) return false;
    LoadCase lc;
    if (j.contains("name") && !r.String(j["name"], R::Key(path, "name"), lc.name)) return false;
    CLoadCaseInfo& info = lc.info;
    // A field that takes a name or its number; an unknown name lists the known ones.
    auto nameOrNumber = [&](const char* key, bool (*fromName)(const std::string&, std::int32_t&), const char* what,
                            const char* known, std::int32_t& out) {
        if (!j.contains(key)) return true;
        const Json& v = j[key];
        if (!v.is_string()) return r.Int32(v, R::Key(path, key), out);
        const std::string name = v.get<std::string>();
        if (fromName(name, out)) return true;
        return r.Fail(R::Key(path, key), std::string("unknown ") + what + " \"" + name + "\" (" + known + ")");
    };
    auto signFromName = [](const std::string& name, std::int32_t& method) {
        if (name == "sum") method = RSP_SIGN_FROM_SUM;
        else if (name == "mode") method = RSP_SIGN_FROM_MODE;
        else return false;
        return true;
    };
    if (!nameOrNumber("type", CaseTypeFromName, "load case type", "static, response_spectrum, unsupported",
                      info.caseType) ||
        !nameOrNumber("combination", CombinationFromName, "combination", "sum, srss, abs, cqc, close_modes",
                      info.combinationMethod) ||
        !nameOrNumber("sign_method", signFromName, "sign method", "sum, mode", info.signMethod))
        return false;
    if (j.contains("modes") && !r.Int32(j["modes"], R::Key(path, "modes"), info.modeCount)) return false;
    if (j.contains("apply_sign") && !r.Bool(j["apply_sign"], R::Key(path, "apply_sign"), info.applySign)) return false;
    if (j.contains("sign_mode") && !r.Int32(j["sign_mode"], R::Key(path, "sign_mode"), info.signMode)) return false;
    if (j.contains("combine_residual") &&
        !r.Bool(j["combine_residual"], R::Key(path, "combine_residual"), info.combineResidual))
        return false;
    if (j.contains("frequencies") && !r.Numbers(j["frequencies"], R::Key(path, "frequencies"), {}, lc.frequencies))
        return false;
    if (j.contains("coefficients")) {
        const Json& c = j["coefficients"];
        std::string cpath = R::Key(path, "coefficients");
        if (!r.Array(c, cpath)) return false;
        for (std::size_t i = 0; i < c.size(); ++i) {
            if (c[i].is_array()) {  // a matrix given row by row
                std::vector<double> row;
                if (!r.Numbers(c[i], R::Index(cpath, i), {}, row)) return false;
                if (row.size() != c.size())
                    return r.Fail(R::Index(cpath, i), "a row of " + std::to_string(row.size()) +
                                                          " values in a matrix of " + std::to_string(c.size()) +
                                                          " rows");
                lc.coefficients.insert(lc.coefficients.end(), row.begin(), row.end());
            } else {
                double v = 0.0;
                if (!r.Number(c[i], R::Index(cpath, i), v)) return false;
                lc.coefficients.push_back(v);
            }
        }
    }
    if (!b.AddLoadCase(id, std::move(lc), "")) return r.Fail(path, b.Error().substr(2));
    return true;
}

// The builder's messages start with the place it was given; the JSON reader adds its own.
bool Relay(JsonReader& r, ModelBuilder& b, const std::string& path) {
    const std::string& e = b.Error();
    return r.Fail(path, e.rfind(": ", 0) == 0 ? e.substr(2) : e);
}

bool ReadStress(JsonReader& r, const Json& j, const std::string& path, NodeStress& s) {
    std::vector<double> v;
    if (j.contains("S")) {
        if (!r.Numbers(j["S"], R::Key(path, "S"), {6}, v)) return false;
        std::copy(v.begin(), v.end(), s.S.begin());
    }
    if (j.contains("M")) {
        if (!r.Numbers(j["M"], R::Key(path, "M"), {3, 6}, v)) return false;
        if (v.size() == 3) s.M = {v[0], v[1], 0.0, v[2], 0.0, 0.0};  // plate in the global x-y plane
        else std::copy(v.begin(), v.end(), s.M.begin());
    }
    if (j.contains("Q")) {
        if (!r.Numbers(j["Q"], R::Key(path, "Q"), {2, 3}, v)) return false;
        s.Q = {v[0], v[1], v.size() == 3 ? v[2] : 0.0};
    }
    return true;
}

bool ReadShell(JsonReader& r, ModelBuilder& b, const Json& j, const std::string& path) {
    if (!r.Object(j, path) || !r.OnlyKeys(j, path, {"id", "nodes", "thickness", "results", "stresses"})) return false;
    std::int32_t id = 0;
    std::vector<std::int32_t> nodes;
    if (!ReadId(r, j, path, "id", id) || !r.Require(j, path, "nodes") ||
        !r.Int32s(j["nodes"], R::Key(path, "nodes"), nodes))
        return false;
    std::optional<double> thickness;
    if (j.contains("thickness")) {
        double t = 0.0;
        if (!r.Number(j["thickness"], R::Key(path, "thickness"), t)) return false;
        thickness = t;
    }
    if (!b.AddShell(id, nodes, thickness, "")) return Relay(r, b, path);
    if (j.contains("results")) {
        const Json& res = j["results"];
        std::string rpath = R::Key(path, "results");
        if (!r.Array(res, rpath)) return false;
        for (std::size_t i = 0; i < res.size(); ++i) {
            const Json& e = res[i];
            std::string epath = R::Index(rpath, i);
            std::int32_t node = 0, loadCase = 0, mode = 0;
            std::array<double, 6> f{};
            if (!r.Object(e, epath) || !r.OnlyKeys(e, epath, {"case", "node", "mode", "f"}) ||
                !ReadId(r, e, epath, "case", loadCase) || !ReadId(r, e, epath, "node", node) ||
                (e.contains("mode") && !r.Int32(e["mode"], R::Key(epath, "mode"), mode)) ||
                !r.Require(e, epath, "f") || !ReadSix(r, e["f"], R::Key(epath, "f"), f))
                return false;
            if (e.contains("mode") && mode == 0) return r.Fail(R::Key(epath, "mode"), "modes are numbered from 1");
            if (!b.AddShellResult(id, node, loadCase, mode, f, "")) return Relay(r, b, epath);
        }
    }
    if (j.contains("stresses")) {
        const Json& st = j["stresses"];
        std::string spath = R::Key(path, "stresses");
        if (!r.Array(st, spath)) return false;
        for (std::size_t i = 0; i < st.size(); ++i) {
            const Json& e = st[i];
            std::string epath = R::Index(spath, i);
            std::int32_t node = 0, loadCase = 0;
            NodeStress s;
            if (!r.Object(e, epath) || !r.OnlyKeys(e, epath, {"case", "node", "S", "M", "Q"}) ||
                !ReadId(r, e, epath, "case", loadCase) || !ReadId(r, e, epath, "node", node) ||
                !ReadStress(r, e, epath, s))
                return false;
            if (!b.AddShellStress(id, node, loadCase, s, "")) return Relay(r, b, epath);
        }
    }
    return true;
}

bool ReadFrame(JsonReader& r, ModelBuilder& b, const Json& j, const std::string& path) {
    if (!r.Object(j, path) || !r.OnlyKeys(j, path, {"id", "nodes", "results"})) return false;
    std::int32_t id = 0;
    std::vector<std::int32_t> nodes;
    if (!ReadId(r, j, path, "id", id) || !r.Require(j, path, "nodes") ||
        !r.Int32s(j["nodes"], R::Key(path, "nodes"), nodes))
        return false;
    if (nodes.size() != 2)
        return r.Fail(R::Key(path, "nodes"), "expected 2 node ids, found " + std::to_string(nodes.size()));
    if (!b.AddFrame(id, nodes[0], nodes[1], "")) return Relay(r, b, path);
    if (!j.contains("results")) return true;
    const Json& res = j["results"];
    std::string rpath = R::Key(path, "results");
    if (!r.Array(res, rpath)) return false;
    for (std::size_t i = 0; i < res.size(); ++i) {
        const Json& e = res[i];
        std::string epath = R::Index(rpath, i);
        std::int32_t loadCase = 0, mode = 0;
        std::string end;
        std::array<double, 6> f{};
        if (!r.Object(e, epath) || !r.OnlyKeys(e, epath, {"case", "end", "mode", "f"}) ||
            !ReadId(r, e, epath, "case", loadCase) || !r.Require(e, epath, "end") ||
            !r.String(e["end"], R::Key(epath, "end"), end) ||
            (e.contains("mode") && !r.Int32(e["mode"], R::Key(epath, "mode"), mode)) || !r.Require(e, epath, "f") ||
            !ReadSix(r, e["f"], R::Key(epath, "f"), f))
            return false;
        if (end != "A" && end != "B") return r.Fail(R::Key(epath, "end"), "expected \"A\" or \"B\", found \"" + end + "\"");
        if (e.contains("mode") && mode == 0) return r.Fail(R::Key(epath, "mode"), "modes are numbered from 1");
        if (!b.AddFrameResult(id, end == "B", loadCase, mode, f, "")) return Relay(r, b, epath);
    }
    return true;
}

bool ReadHeader(JsonReader& r, ModelBuilder& b, const Json& doc, Model& model, const char* format) {
    if (doc.contains("format")) {
        std::string f;
        if (!r.String(doc["format"], "format", f)) return false;
        if (f != format) return r.Fail("format", "expected \"" + std::string(format) + "\", found \"" + f + "\"");
    }
    if (doc.contains("version")) {
        std::int32_t v = 0;
        if (!r.Int32(doc["version"], "version", v)) return false;
        if (v != 1) return r.Fail("version", "this program reads version 1, the file is version " + std::to_string(v));
    }
    if (doc.contains("title") && !r.String(doc["title"], "title", model.title)) return false;
    if (doc.contains("units") && !r.Object(doc["units"], "units")) return false;
    if (doc.contains("tolerance")) {
        if (!r.Number(doc["tolerance"], "tolerance", model.tolerance)) return false;
        if (!(model.tolerance > 0.0)) return r.Fail("tolerance", "must be greater than 0");
    }
    if (doc.contains("load_cases")) {
        const Json& lcs = doc["load_cases"];
        if (!r.Array(lcs, "load_cases")) return false;
        for (std::size_t i = 0; i < lcs.size(); ++i)
            if (!ReadLoadCase(r, b, lcs[i], R::Index("load_cases", i))) return false;
    }
    return true;
}

bool ReadPlaneNodes(JsonReader& r, ModelBuilder& b, const Json& doc) {
    if (!doc.contains("plane_nodes")) return true;
    std::vector<std::int32_t> ids;
    if (!r.Int32s(doc["plane_nodes"], "plane_nodes", ids)) return false;
    if (ids.size() != 3) return r.Fail("plane_nodes", "expected 3 node ids, found " + std::to_string(ids.size()));
    if (!b.SetPlaneNodes({ids[0], ids[1], ids[2]}, "")) return Relay(r, b, "plane_nodes");
    return true;
}

bool ReadJsonModel(const Json& doc, const std::string& source, Model& model, std::string& error) {
    JsonReader r(source);
    ModelBuilder b(model);
    auto fail = [&] {
        error = r.Error().empty() ? source + ": " + b.Error() : r.Error();
        return false;
    };
    if (!r.OnlyKeys(doc, "", {"format", "version", "title", "units", "tolerance", "plane_nodes", "nodes", "shells",
                              "frames", "load_cases"}))
        return fail();
    if (!ReadHeader(r, b, doc, model, "xsect-model")) return fail();
    if (!r.Require(doc, "", "nodes") || !r.Array(doc["nodes"], "nodes")) return fail();
    const Json& nodes = doc["nodes"];
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        std::string path = R::Index("nodes", i);
        std::int32_t id = 0;
        std::vector<double> xyz;
        if (!r.Object(nodes[i], path) || !r.OnlyKeys(nodes[i], path, {"id", "xyz"}) ||
            !ReadId(r, nodes[i], path, "id", id) || !r.Require(nodes[i], path, "xyz") ||
            !r.Numbers(nodes[i]["xyz"], R::Key(path, "xyz"), {3}, xyz))
            return fail();
        if (!b.AddNode(id, xyz[0], xyz[1], xyz[2], "")) return Relay(r, b, path), fail();
    }
    if (!ReadPlaneNodes(r, b, doc)) return fail();
    if (!r.Require(doc, "", "shells") || !r.Array(doc["shells"], "shells")) return fail();
    const Json& shells = doc["shells"];
    for (std::size_t i = 0; i < shells.size(); ++i)
        if (!ReadShell(r, b, shells[i], R::Index("shells", i))) return fail();
    if (doc.contains("frames")) {
        if (!r.Array(doc["frames"], "frames")) return fail();
        const Json& frames = doc["frames"];
        for (std::size_t i = 0; i < frames.size(); ++i)
            if (!ReadFrame(r, b, frames[i], R::Index("frames", i))) return fail();
    }
    if (!b.Finish("shells")) return Relay(r, b, "shells"), fail();
    return true;
}

std::string JoinPath(const std::string& dir, const std::string& file) {
    if (file.empty() || file[0] == '/' || dir.empty()) return file;
    return dir + "/" + file;
}

bool LoadCsv(const std::string& path, CsvTable& table, std::string& error) {
    std::string text;
    return ReadTextFile(path, text, error) && table.Parse(text, path, error);
}

// A column the table must have; names the header line when it is missing.
bool NeedColumn(const CsvTable& t, const char* name, int& col, std::string& error) {
    col = t.Column(name);
    if (col >= 0) return true;
    error = t.Source() + ":" + std::to_string(t.HeaderLine()) + ": the header has no column \"" + name + "\"";
    return false;
}

bool ReadNodesCsv(const CsvTable& t, ModelBuilder& b, std::string& error) {
    int cid, cx, cy, cz;
    if (!NeedColumn(t, "id", cid, error) || !NeedColumn(t, "x", cx, error) || !NeedColumn(t, "y", cy, error) ||
        !NeedColumn(t, "z", cz, error))
        return false;
    for (const CsvRow& row : t.Rows()) {
        std::int32_t id = 0;
        double x = 0, y = 0, z = 0;
        if (!t.Int32(row, cid, id, error) || !t.Number(row, cx, x, error) || !t.Number(row, cy, y, error) ||
            !t.Number(row, cz, z, error))
            return false;
        if (!b.AddNode(id, x, y, z, t.Place(row, cid))) return error = b.Error(), false;
    }
    return true;
}

bool ReadElementsCsv(const CsvTable& t, ModelBuilder& b, std::string& error) {
    int cid, cn1;
    if (!NeedColumn(t, "id", cid, error) || !NeedColumn(t, "n1", cn1, error)) return false;
    int ct = t.Column("thickness");
    std::vector<int> nodeCols;
    for (int k = 1;; ++k) {
        int c = t.Column("n" + std::to_string(k));
        if (c < 0) break;
        nodeCols.push_back(c);
    }
    for (const CsvRow& row : t.Rows()) {
        std::int32_t id = 0;
        if (!t.Int32(row, cid, id, error)) return false;
        std::vector<std::int32_t> nodes;
        for (int c : nodeCols) {
            if (t.Empty(row, c)) break;  // a triangle in a table with a fourth node column
            std::int32_t n = 0;
            if (!t.Int32(row, c, n, error)) return false;
            nodes.push_back(n);
        }
        std::optional<double> thickness;
        if (ct >= 0 && !t.Empty(row, ct)) {
            double v = 0.0;
            if (!t.Number(row, ct, v, error)) return false;
            thickness = v;
        }
        if (!b.AddShell(id, nodes, thickness, t.Place(row, cid))) return error = b.Error(), false;
    }
    return true;
}

bool ReadForcesCsv(const CsvTable& t, ModelBuilder& b, std::string& error) {
    int ce, cn, cc;
    if (!NeedColumn(t, "element", ce, error) || !NeedColumn(t, "node", cn, error) || !NeedColumn(t, "case", cc, error))
        return false;
    int cm = t.Column("mode");
    const char* names[6] = {"fx", "fy", "fz", "mx", "my", "mz"};
    int cols[6];
    for (int k = 0; k < 6; ++k)
        if (!NeedColumn(t, names[k], cols[k], error)) return false;
    for (const CsvRow& row : t.Rows()) {
        std::int32_t e = 0, n = 0, lc = 0, mode = 0;
        if (!t.Int32(row, ce, e, error) || !t.Int32(row, cn, n, error) || !t.Int32(row, cc, lc, error)) return false;
        if (cm >= 0 && !t.Empty(row, cm)) {
            if (!t.Int32(row, cm, mode, error)) return false;
            if (mode == 0) return error = t.Place(row, cm) + ": modes are numbered from 1", false;
        }
        std::array<double, 6> f{};
        for (int k = 0; k < 6; ++k)
            if (!t.Number(row, cols[k], f[static_cast<std::size_t>(k)], error)) return false;
        if (!b.AddShellResult(e, n, lc, mode, f, t.Place(row, ce))) return error = b.Error(), false;
    }
    return true;
}

bool ReadStressesCsv(const CsvTable& t, ModelBuilder& b, std::string& error) {
    int ce, cn, cc;
    if (!NeedColumn(t, "element", ce, error) || !NeedColumn(t, "node", cn, error) || !NeedColumn(t, "case", cc, error))
        return false;
    const char* names[15] = {"sxx", "syy", "szz", "sxy", "syz", "szx", "mxx", "myy",
                             "mzz", "mxy", "myz", "mzx", "qx",  "qy",  "qz"};
    int cols[15];
    for (int k = 0; k < 15; ++k) cols[k] = t.Column(names[k]);
    for (const CsvRow& row : t.Rows()) {
        std::int32_t e = 0, n = 0, lc = 0;
        if (!t.Int32(row, ce, e, error) || !t.Int32(row, cn, n, error) || !t.Int32(row, cc, lc, error)) return false;
        double v[15] = {};
        for (int k = 0; k < 15; ++k)
            if (cols[k] >= 0 && !t.Empty(row, cols[k]) && !t.Number(row, cols[k], v[k], error)) return false;
        NodeStress s;
        for (int k = 0; k < 6; ++k) s.S[static_cast<std::size_t>(k)] = v[k];
        for (int k = 0; k < 6; ++k) s.M[static_cast<std::size_t>(k)] = v[6 + k];
        for (int k = 0; k < 3; ++k) s.Q[static_cast<std::size_t>(k)] = v[12 + k];
        if (!b.AddShellStress(e, n, lc, s, t.Place(row, ce))) return error = b.Error(), false;
    }
    return true;
}

bool FileList(JsonReader& r, const Json& doc, const char* key, std::vector<std::string>& out) {
    if (!doc.contains(key)) return true;
    const Json& j = doc[key];
    if (j.is_string()) {
        out.push_back(j.get<std::string>());
        return true;
    }
    if (!r.Array(j, key)) return false;
    for (std::size_t i = 0; i < j.size(); ++i) {
        std::string s;
        if (!r.String(j[i], R::Index(key, i), s)) return false;
        out.push_back(s);
    }
    return true;
}

bool ReadManifest(const Json& doc, const std::string& source, const std::string& baseDir, Model& model,
                  std::string& error) {
    JsonReader r(source);
    ModelBuilder b(model);
    auto fail = [&] {
        error = r.Error();
        return false;
    };
    if (!r.OnlyKeys(doc, "", {"format", "version", "title", "units", "tolerance", "plane_nodes", "nodes", "elements",
                              "forces", "stresses", "load_cases"}))
        return fail();
    if (!ReadHeader(r, b, doc, model, "xsect-manifest")) return fail();
    std::string nodesFile, elementsFile;
    if (!r.Require(doc, "", "nodes") || !r.String(doc["nodes"], "nodes", nodesFile) ||
        !r.Require(doc, "", "elements") || !r.String(doc["elements"], "elements", elementsFile))
        return fail();
    std::vector<std::string> forceFiles, stressFiles;
    if (!FileList(r, doc, "forces", forceFiles) || !FileList(r, doc, "stresses", stressFiles)) return fail();
    CsvTable t;
    if (!LoadCsv(JoinPath(baseDir, nodesFile), t, error) || !ReadNodesCsv(t, b, error)) return false;
    if (!ReadPlaneNodes(r, b, doc)) return fail();
    if (!LoadCsv(JoinPath(baseDir, elementsFile), t, error) || !ReadElementsCsv(t, b, error)) return false;
    for (const std::string& f : forceFiles)
        if (!LoadCsv(JoinPath(baseDir, f), t, error) || !ReadForcesCsv(t, b, error)) return false;
    for (const std::string& f : stressFiles)
        if (!LoadCsv(JoinPath(baseDir, f), t, error) || !ReadStressesCsv(t, b, error)) return false;
    if (!b.Finish(source)) return error = b.Error(), false;
    return true;
}

// The shortest text that reads back to the same double.
std::string Num(double v) { return Json(v).dump(); }

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open the file";
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

bool ParseModelText(const std::string& text, const std::string& source, const std::string& baseDir, Model& model,
                    std::string& error) {
    Json doc;
    if (!ParseJsonText(text, source, doc, error)) return false;
    model = Model{};
    model.source = source;
    if (!doc.is_object()) {
        error = source + ": top level: expected an object";
        return false;
    }
    if (doc.contains("format") && doc["format"] == "xsect-manifest")
        return ReadManifest(doc, source, baseDir, model, error);
    return ReadJsonModel(doc, source, model, error);
}

bool ReadModelFile(const std::string& path, Model& model, std::string& error) {
    std::string text;
    if (!ReadTextFile(path, text, error)) return false;
    std::size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash);
    return ParseModelText(text, path, dir, model, error);
}

std::string WriteModelJson(const Model& model) {
    // Written by hand rather than through the DOM so that every node, result and stress sits on
    // one line: the file stays readable and diffs well.
    std::ostringstream o;
    auto six = [&](const auto& a) {
        o << "[";
        for (std::size_t i = 0; i < a.size(); ++i) o << (i ? ", " : "") << Num(a[i]);
        o << "]";
    };
    o << "{\n  \"format\": \"xsect-model\",\n  \"version\": 1,\n";
    if (!model.title.empty()) o << "  \"title\": " << Json(model.title).dump() << ",\n";
    o << "  \"tolerance\": " << Num(model.tolerance) << ",\n";
    if (model.planeNodes[0] > 0)
        o << "  \"plane_nodes\": [" << model.planeNodes[0] << ", " << model.planeNodes[1] << ", "
          << model.planeNodes[2] << "],\n";
    o << "  \"load_cases\": [";
    bool first = true;
    for (const auto& [id, lc] : model.loadCases) {
        const CLoadCaseInfo& i = lc.info;
        o << (first ? "\n" : ",\n") << "    {\"id\": " << id;
        first = false;
        if (!lc.name.empty()) o << ", \"name\": " << Json(lc.name).dump();
        if (i.caseType == LOAD_CASE_STATIC || i.caseType == LOAD_CASE_RESPONSE_SPECTRUM ||
            i.caseType == LOAD_CASE_UNSUPPORTED)
            o << ", \"type\": \"" << LoadCaseTypeName(i.caseType) << "\"";
        else
            o << ", \"type\": " << i.caseType;
        if (i.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
            o << ", \"modes\": " << i.modeCount << ", \"combination\": ";
            if (std::string(CombinationName(i.combinationMethod)) == "other") o << i.combinationMethod;
            else o << "\"" << CombinationName(i.combinationMethod) << "\"";
            o << ", \"sign_method\": "
              << (i.signMethod == RSP_SIGN_FROM_SUM   ? "\"sum\""
                  : i.signMethod == RSP_SIGN_FROM_MODE ? "\"mode\""
                                                       : std::to_string(i.signMethod))
              << ", \"apply_sign\": " << (i.applySign ? "true" : "false") << ", \"sign_mode\": " << i.signMode
              << ", \"combine_residual\": " << (i.combineResidual ? "true" : "false");
            if (!lc.frequencies.empty()) o << ", \"frequencies\": ", six(lc.frequencies);
            if (!lc.coefficients.empty()) o << ", \"coefficients\": ", six(lc.coefficients);
        }
        o << "}";
    }
    o << "\n  ],\n  \"nodes\": [";
    first = true;
    for (const auto& [id, v] : model.nodes) {
        o << (first ? "\n" : ",\n") << "    {\"id\": " << id << ", \"xyz\": [" << Num(v.x) << ", " << Num(v.y) << ", "
          << Num(v.z) << "]}";
        first = false;
    }
    o << "\n  ],\n  \"shells\": [";
    first = true;
    for (const auto& [id, s] : model.shells) {
        o << (first ? "\n" : ",\n") << "    {\"id\": " << id << ", \"nodes\": [";
        first = false;
        for (std::size_t i = 0; i < s.nodes.size(); ++i) o << (i ? ", " : "") << s.nodes[i];
        o << "]";
        if (auto t = model.thickness.find(id); t != model.thickness.end()) o << ", \"thickness\": " << Num(t->second);
        o << ",\n     \"results\": [";
        bool firstResult = true;
        auto item = [&](std::int32_t lc, std::int32_t node, std::int32_t mode, const CNodeResults& r) {
            o << (firstResult ? "\n" : ",\n") << "       {\"case\": " << lc << ", \"node\": " << node;
            if (mode) o << ", \"mode\": " << mode;
            o << ", \"f\": ";
            six(std::array<double, 6>{r.Fx, r.Fy, r.Fz, r.Mx, r.My, r.Mz});
            o << "}";
            firstResult = false;
        };
        for (const auto& [lc, byNode] : s.staticResults)
            for (const auto& [node, r] : byNode) item(lc, node, 0, r);
        for (const auto& [lc, byNode] : s.spectrumResults)
            for (const auto& [node, byMode] : byNode)
                for (const auto& [mode, r] : byMode) item(lc, node, mode, r);
        o << "]";
        if (auto st = model.stresses.find(id); st != model.stresses.end()) {
            o << ",\n     \"stresses\": [";
            bool firstStress = true;
            for (const auto& [lc, byNode] : st->second)
                for (const auto& [node, ns] : byNode) {
                    o << (firstStress ? "\n" : ",\n") << "       {\"case\": " << lc << ", \"node\": " << node
                      << ", \"S\": ";
                    six(ns.S);
                    o << ", \"M\": ";
                    six(ns.M);
                    o << ", \"Q\": ";
                    six(ns.Q);
                    o << "}";
                    firstStress = false;
                }
            o << "]";
        }
        o << "}";
    }
    o << "\n  ]";
    if (!model.frames.empty()) {
        o << ",\n  \"frames\": [";
        first = true;
        for (const auto& [id, f] : model.frames) {
            o << (first ? "\n" : ",\n") << "    {\"id\": " << id << ", \"nodes\": [" << f.nodeA << ", " << f.nodeB
              << "], \"results\": [";
            first = false;
            bool firstResult = true;
            auto item = [&](std::int32_t lc, const char* end, std::int32_t mode, const CNodeResults& r) {
                o << (firstResult ? "" : ", ") << "{\"case\": " << lc << ", \"end\": \"" << end << "\"";
                if (mode) o << ", \"mode\": " << mode;
                o << ", \"f\": ";
                six(std::array<double, 6>{r.Fx, r.Fy, r.Fz, r.Mx, r.My, r.Mz});
                o << "}";
                firstResult = false;
            };
            for (const auto& [lc, r] : f.staticResultsA) item(lc, "A", 0, r);
            for (const auto& [lc, r] : f.staticResultsB) item(lc, "B", 0, r);
            for (const auto& [lc, byMode] : f.spectrumResultsA)
                for (const auto& [mode, r] : byMode) item(lc, "A", mode, r);
            for (const auto& [lc, byMode] : f.spectrumResultsB)
                for (const auto& [mode, r] : byMode) item(lc, "B", mode, r);
            o << "]}";
        }
        o << "\n  ]";
    }
    o << "\n}\n";
    return o.str();
}

bool WriteModelCsv(const Model& model, const std::string& dir, std::string& error) {
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream out(JoinPath(dir, name), std::ios::binary | std::ios::trunc);
        out << text;
        if (!out) error = JoinPath(dir, name) + ": cannot write the file";
        return static_cast<bool>(out);
    };
    std::ostringstream nodes, elements, forces, stresses;
    nodes << "id,x,y,z\n";
    for (const auto& [id, v] : model.nodes) nodes << id << "," << Num(v.x) << "," << Num(v.y) << "," << Num(v.z) << "\n";
    std::size_t maxNodes = 0;
    for (const auto& [id, s] : model.shells) maxNodes = std::max(maxNodes, s.nodes.size());
    elements << "id,thickness";
    for (std::size_t k = 1; k <= maxNodes; ++k) elements << ",n" << k;
    elements << "\n";
    forces << "element,node,case,mode,fx,fy,fz,mx,my,mz\n";
    stresses << "element,node,case,sxx,syy,szz,sxy,syz,szx,mxx,myy,mzz,mxy,myz,mzx,qx,qy,qz\n";
    auto row = [&](std::int32_t e, std::int32_t n, std::int32_t lc, std::int32_t mode, const CNodeResults& r) {
        forces << e << "," << n << "," << lc << "," << (mode ? std::to_string(mode) : std::string()) << ","
               << Num(r.Fx) << "," << Num(r.Fy) << "," << Num(r.Fz) << "," << Num(r.Mx) << "," << Num(r.My) << ","
               << Num(r.Mz) << "\n";
    };
    for (const auto& [id, s] : model.shells) {
        elements << id << ",";
        if (auto t = model.thickness.find(id); t != model.thickness.end()) elements << Num(t->second);
        for (std::size_t k = 0; k < maxNodes; ++k) elements << "," << (k < s.nodes.size() ? std::to_string(s.nodes[k]) : "");
        elements << "\n";
        for (const auto& [lc, byNode] : s.staticResults)
            for (const auto& [node, r] : byNode) row(id, node, lc, 0, r);
        for (const auto& [lc, byNode] : s.spectrumResults)
            for (const auto& [node, byMode] : byNode)
                for (const auto& [mode, r] : byMode) row(id, node, lc, mode, r);
    }
    for (const auto& [id, byCase] : model.stresses)
        for (const auto& [lc, byNode] : byCase)
            for (const auto& [node, ns] : byNode) {
                stresses << id << "," << node << "," << lc;
                for (double v : ns.S) stresses << "," << Num(v);
                for (double v : ns.M) stresses << "," << Num(v);
                for (double v : ns.Q) stresses << "," << Num(v);
                stresses << "\n";
            }
    // The manifest carries the load cases as the JSON model does; reuse its writer for them.
    Json full;
    std::string err;
    ParseJsonText(WriteModelJson(model), "model", full, err);
    Json manifest;
    manifest["format"] = "xsect-manifest";
    manifest["version"] = 1;
    if (!model.title.empty()) manifest["title"] = model.title;
    manifest["tolerance"] = model.tolerance;
    if (model.planeNodes[0] > 0) manifest["plane_nodes"] = model.planeNodes;
    manifest["nodes"] = "nodes.csv";
    manifest["elements"] = "elements.csv";
    manifest["forces"] = Json::array({"forces.csv"});
    if (!model.stresses.empty()) manifest["stresses"] = Json::array({"stresses.csv"});
    manifest["load_cases"] = full.is_object() && full.contains("load_cases") ? full["load_cases"] : Json::array();
    return write("manifest.json", manifest.dump(2) + "\n") && write("nodes.csv", nodes.str()) &&
           write("elements.csv", elements.str()) && write("forces.csv", forces.str()) &&
           (model.stresses.empty() || write("stresses.csv", stresses.str()));
}

}  // namespace xsect::cli
