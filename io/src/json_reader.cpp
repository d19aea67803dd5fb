// The JSON model, the manifest and the combinations file, read in one pass over the text. Each
// part is checked as it is read, so every message names the JSON path of the fault; a section
// that needs another one first (shells need the nodes and load cases) and stands before it in
// the file is skipped and read again at the end.

#include <cctype>
#include <cmath>
#include <limits>
#include <optional>

#include "csv_reader.h"
#include "json_cursor.h"
#include "model_builder.h"
#include "xsect/io/model_file.h"

namespace xsect::io {

namespace {

// A JSON path, built only when a message needs it.
struct Path {
    const Path* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isIndex = false;

    Path operator[](std::size_t i) const { return Path{this, {}, i, true}; }
    Path operator/(std::string_view k) const { return Path{this, k, 0, false}; }

    std::string Text() const {
        std::string head = parent ? parent->Text() : std::string();
        if (isIndex) return head + "[" + std::to_string(index) + "]";
        if (key.empty()) return head;
        bool plain = true;
        for (char ch : key) plain = plain && (std::isalnum(static_cast<unsigned char>(ch)) || ch == '_');
        if (!plain || std::isdigit(static_cast<unsigned char>(key.front())))
            return head + "[\"" + std::string(key) + "\"]";
        return head.empty() ? std::string(key) : head + "." + std::string(key);
    }
};

const Path kRoot{};

enum class Mode { Unknown, Model, Manifest };

struct StagedResult {
    std::int32_t node = 0, loadCase = 0, mode = 0;
    bool endB = false;
    std::array<double, 6> f{};
    std::size_t index = 0;
};

struct StagedStress {
    std::int32_t node = 0, loadCase = 0;
    NodeStress stress;
    std::size_t index = 0;
};

class Reader {
public:
    Reader(JsonCursor& cursor, Model& model, ReadProgress progress)
        : c_(cursor), model_(model), b_(model), progress_(std::move(progress)) {}

    bool ReadDocument(const std::string& baseDir);
    bool ReadCombinationsDocument();

private:
    bool Fail(const Path& p, const std::string& what) {
        const std::string place = p.Text();
        return c_.Fail(c_.Source() + ": " + (place.empty() ? std::string("top level") : place) + ": " + what);
    }
    bool Relay(const Path& p) { return Fail(p, b_.Error()); }
    bool Is(const Path& p, JsonKind want, const char* wantText) {
        const JsonKind k = c_.Peek();
        if (!c_.Ok()) return false;
        if (k != want) return Fail(p, std::string("expected ") + wantText + ", found " + JsonKindName(k));
        return true;
    }
    bool Object(const Path& p) { return Is(p, JsonKind::Object, "an object") && c_.BeginObject(); }
    bool Array(const Path& p) { return Is(p, JsonKind::Array, "an array") && c_.BeginArray(); }
    bool String(const Path& p, std::string& out) { return Is(p, JsonKind::String, "a string") && c_.ReadString(out); }
    bool Bool(const Path& p, bool& out) { return Is(p, JsonKind::Bool, "true or false") && c_.ReadBool(out); }
    bool Number(const Path& p, double& out);
    bool Int32(const Path& p, std::int32_t& out);
    bool Numbers(const Path& p, std::initializer_list<std::size_t> lengths, std::vector<double>& out);
    bool Int32s(const Path& p, std::vector<std::int32_t>& out);
    // Marks key as read in seen; a second one is an error.
    bool Once(const Path& p, unsigned bit, unsigned& seen) {
        if (seen & bit) return Fail(p, "duplicate key \"" + key_ + "\"");
        seen |= bit;
        return true;
    }
    bool Unknown(const Path& p) { return Fail(p, "unknown key \"" + key_ + "\""); }
    // A field that takes a name or its number; an unknown name lists the known ones.
    bool NameOrNumber(const Path& p, bool (*fromName)(const std::string&, std::int32_t&), const char* what,
                      const char* known, std::int32_t& out);

    // Reads every item of the array at p with read, each at its own path.
    bool Items(const Path& p, bool (Reader::*read)(const Path&));
    bool ReadLoadCases(const Path& p);
    bool ReadLoadCase(const Path& p);
    bool ReadCombinations(const Path& p);
    bool ReadCombination(const Path& p);
    bool ReadUnits(const Path& p);
    bool ReadNodes(const Path& p);
    bool ReadShells(const Path& p);
    bool ReadShell(const Path& p);
    bool ReadResult(const Path& p, bool frame, StagedResult& r);
    bool ReadStress(const Path& p, StagedStress& s);
    bool ReadFrames(const Path& p);
    bool ReadFrame(const Path& p);
    bool ReadFileList(const Path& p, std::vector<std::string>& out);
    void Report() {
        if (progress_) progress_(c_.Offset(), c_.Size());
    }

    JsonCursor& c_;
    Model& model_;
    ModelBuilder b_;
    ReadProgress progress_;
    std::string key_;
    // Scratch kept between elements so that the hot loops do not allocate.
    std::vector<double> numbers_;
    std::vector<std::int32_t> ids_;
    std::vector<StagedResult> results_;
    std::vector<StagedStress> stresses_;
};

bool Reader::Number(const Path& p, double& out) {
    JsonNumber n;
    JsonKind found = JsonKind::Invalid;
    if (!c_.TryNumber(n, found))
        return c_.Ok() && Fail(p, std::string("expected a number, found ") + JsonKindName(found));
    if (!std::isfinite(n.value)) return Fail(p, "the number is not finite");
    out = n.value;
    return true;
}

bool Reader::Int32(const Path& p, std::int32_t& out) {
    JsonNumber n;
    JsonKind found = JsonKind::Invalid;
    if (!c_.TryNumber(n, found))
        return c_.Ok() && Fail(p, std::string("expected an integer, found ") + JsonKindName(found));
    if (!n.integer) return Fail(p, "expected an integer, found a number");
    if (!n.fitsInt64 || n.asInt64 > std::numeric_limits<std::int32_t>::max() ||
        n.asInt64 < std::numeric_limits<std::int32_t>::min())
        return Fail(p, "the integer does not fit in 32 bits");
    out = static_cast<std::int32_t>(n.asInt64);
    return true;
}

bool Reader::Numbers(const Path& p, std::initializer_list<std::size_t> lengths, std::vector<double>& out) {
    out.clear();
    if (!Array(p)) return false;
    while (c_.NextItem()) {
        double v = 0.0;
        if (!Number(p[out.size()], v)) return false;
        out.push_back(v);
    }
    if (!c_.Ok()) return false;
    bool fits = lengths.size() == 0;
    for (std::size_t n : lengths) fits = fits || out.size() == n;
    if (fits) return true;
    std::string want;
    for (std::size_t n : lengths) want += (want.empty() ? "" : " or ") + std::to_string(n);
    return Fail(p, "expected " + want + " numbers, found " + std::to_string(out.size()));
}

bool Reader::Int32s(const Path& p, std::vector<std::int32_t>& out) {
    out.clear();
    if (!Array(p)) return false;
    while (c_.NextItem()) {
        std::int32_t v = 0;
        if (!Int32(p[out.size()], v)) return false;
        out.push_back(v);
    }
    return c_.Ok();
}

bool Reader::NameOrNumber(const Path& p, bool (*fromName)(const std::string&, std::int32_t&), const char* what,
                          const char* known, std::int32_t& out) {
    const JsonKind k = c_.Peek();
    if (!c_.Ok()) return false;
    if (k != JsonKind::String) return Int32(p, out);
    std::string name;
    if (!c_.ReadString(name)) return false;
    if (fromName(name, out)) return true;
    return Fail(p, std::string("unknown ") + what + " \"" + name + "\" (" + known + ")");
}

bool Reader::Items(const Path& p, bool (Reader::*read)(const Path&)) {
    if (!Array(p)) return false;
    for (std::size_t i = 0; c_.NextItem(); ++i)
        if (!(this->*read)(p[i])) return false;
    return c_.Ok();
}

bool Reader::ReadLoadCases(const Path& p) { return Items(p, &Reader::ReadLoadCase); }

bool Reader::ReadLoadCase(const Path& p) {
    if (!Object(p)) return false;
    std::int32_t id = 0;
    LoadCase lc;
    CLoadCaseInfo& info = lc.info;
    std::vector<std::size_t> rowLengths;
    unsigned seen = 0;
    while (c_.NextKey(key_)) {
        const Path f = p / key_;
        bool ok = true;
        if (key_ == "id") ok = Once(p, 1, seen) && Int32(f, id);
        else if (key_ == "name") ok = Once(p, 2, seen) && String(f, lc.name);
        else if (key_ == "type")
            ok = Once(p, 4, seen) && NameOrNumber(f, LoadCaseTypeFromName, "load case type",
                                                  "static, response_spectrum, unsupported", info.caseType);
        else if (key_ == "combination")
            ok = Once(p, 8, seen) && NameOrNumber(f, CombinationRuleFromName, "combination",
                                                  "sum, srss, abs, cqc, close_modes", info.combinationMethod);
        else if (key_ == "sign_method")
            ok = Once(p, 16, seen) && NameOrNumber(f, SignMethodFromName, "sign method", "sum, mode", info.signMethod);
        else if (key_ == "modes") ok = Once(p, 32, seen) && Int32(f, info.modeCount);
        else if (key_ == "apply_sign") ok = Once(p, 64, seen) && Bool(f, info.applySign);
        else if (key_ == "sign_mode") ok = Once(p, 128, seen) && Int32(f, info.signMode);
        else if (key_ == "combine_residual") ok = Once(p, 256, seen) && Bool(f, info.combineResidual);
        else if (key_ == "frequencies") ok = Once(p, 512, seen) && Numbers(f, {}, lc.frequencies);
        else if (key_ == "coefficients") {
            // Flat row by row, or an array of rows; rows are checked against their count at the end.
            if (!Once(p, 1024, seen) || !Array(f)) return false;
            for (std::size_t i = 0; c_.NextItem(); ++i) {
                const JsonKind k = c_.Peek();
                if (!c_.Ok()) return false;
                if (k == JsonKind::Array) {
                    if (!Numbers(f[i], {}, numbers_)) return false;
                    rowLengths.push_back(numbers_.size());
                    lc.coefficients.insert(lc.coefficients.end(), numbers_.begin(), numbers_.end());
                } else {
                    double v = 0.0;
                    if (!Number(f[i], v)) return false;
                    rowLengths.push_back(0);
                    lc.coefficients.push_back(v);
                }
            }
            ok = c_.Ok();
        } else {
            return Unknown(p);
        }
        if (!ok) return false;
    }
    if (!c_.Ok()) return false;
    if (!(seen & 1)) return Fail(p, "missing \"id\"");
    for (std::size_t i = 0; i < rowLengths.size(); ++i)
        if (rowLengths[i] != 0 && rowLengths[i] != rowLengths.size())
            return Fail((p / "coefficients")[i], "a row of " + std::to_string(rowLengths[i]) + " values in a matrix of " +
                                                 std::to_string(rowLengths.size()) + " rows");
    if (!b_.AddLoadCase(id, std::move(lc))) return Relay(p);
    return true;
}

bool Reader::ReadCombinations(const Path& p) { return Items(p, &Reader::ReadCombination); }

bool Reader::ReadCombination(const Path& p) {
    if (!Object(p)) return false;
    std::string name;
    std::vector<std::pair<std::string, double>> factors;
    unsigned seen = 0;
    while (c_.NextKey(key_)) {
        const Path f = p / key_;
        if (key_ == "name") {
            if (!Once(p, 1, seen) || !String(f, name)) return false;
        } else if (key_ == "factors") {
            if (!Once(p, 2, seen) || !Object(f)) return false;
            std::string caseKey;
            while (c_.NextKey(caseKey)) {
                double factor = 0.0;
                if (!Number(f / caseKey, factor)) return false;
                factors.emplace_back(caseKey, factor);
            }
            if (!c_.Ok()) return false;
        } else {
            return Unknown(p);
        }
    }
    if (!c_.Ok()) return false;
    if (!(seen & 1)) return Fail(p, "missing \"name\"");
    if (!(seen & 2)) return Fail(p, "missing \"factors\"");
    if (!b_.AddCombination(name)) return Relay(p / "name");
    const Path fp = p / "factors";
    for (const auto& [caseKey, factor] : factors) {
        std::int32_t id = 0;
        std::size_t used = 0;
        long long v = 0;
        try {
            v = std::stoll(caseKey, &used);
        } catch (...) {
            used = 0;
        }
        if (used == 0 || used != caseKey.size() || v > std::numeric_limits<std::int32_t>::max() ||
            v < std::numeric_limits<std::int32_t>::min())
            return Fail(fp / caseKey, "\"" + caseKey + "\" is not a load case id");
        id = static_cast<std::int32_t>(v);
        if (!b_.AddCombinationTerm(id, factor)) return Relay(fp / caseKey);
    }
    if (!b_.FinishCombination()) return Relay(fp);
    return true;
}

bool Reader::ReadUnits(const Path& p) {
    if (!Object(p)) return false;
    Units u;
    unsigned seen = 0;
    while (c_.NextKey(key_)) {
        if (key_ == "length") {
            if (!Once(p, 1, seen) || !String(p / "length", u.length)) return false;
        } else if (key_ == "force") {
            if (!Once(p, 2, seen) || !String(p / "force", u.force)) return false;
        } else {
            return Unknown(p);
        }
    }
    if (!c_.Ok()) return false;
    if (seen != 3) return Fail(p, std::string("missing \"") + (seen & 1 ? "force" : "length") + "\"");
    if (!b_.SetUnits(u)) return Relay(p);
    return true;
}

bool Reader::ReadNodes(const Path& p) {
    if (!Array(p)) return false;
    for (std::size_t i = 0; c_.NextItem(); ++i) {
        const Path np = p[i];
        if (!Object(np)) return false;
        std::int32_t id = 0;
        unsigned seen = 0;
        while (c_.NextKey(key_)) {
            if (key_ == "id") {
                if (!Once(np, 1, seen) || !Int32(np / "id", id)) return false;
            } else if (key_ == "xyz") {
                if (!Once(np, 2, seen) || !Numbers(np / "xyz", {3}, numbers_)) return false;
            } else {
                return Unknown(np);
            }
        }
        if (!c_.Ok()) return false;
        if (seen != 3) return Fail(np, std::string("missing \"") + (seen & 1 ? "xyz" : "id") + "\"");
        if (!b_.AddNode(id, numbers_[0], numbers_[1], numbers_[2])) return Relay(np);
    }
    return c_.Ok();
}

bool Reader::ReadResult(const Path& p, bool frame, StagedResult& r) {
    if (!Object(p)) return false;
    unsigned seen = 0;
    std::string end;
    while (c_.NextKey(key_)) {
        bool ok = true;
        if (key_ == "case") ok = Once(p, 1, seen) && Int32(p / "case", r.loadCase);
        else if (key_ == "f") {
            ok = Once(p, 2, seen) && Numbers(p / "f", {6}, numbers_);
            if (ok) std::copy(numbers_.begin(), numbers_.end(), r.f.begin());
        } else if (key_ == "mode") {
            ok = Once(p, 4, seen) && Int32(p / "mode", r.mode);
            if (ok && r.mode == 0) return Fail(p / "mode", "modes are numbered from 1");
        } else if (!frame && key_ == "node") ok = Once(p, 8, seen) && Int32(p / "node", r.node);
        else if (frame && key_ == "end") {
            ok = Once(p, 8, seen) && String(p / "end", end);
            if (ok && end != "A" && end != "B")
                return Fail(p / "end", "expected \"A\" or \"B\", found \"" + end + "\"");
            r.endB = end == "B";
        } else {
            return Unknown(p);
        }
        if (!ok) return false;
    }
    if (!c_.Ok()) return false;
    for (auto [bit, name] : {std::pair{1u, "case"}, {8u, frame ? "end" : "node"}, {2u, "f"}})
        if (!(seen & bit)) return Fail(p, std::string("missing \"") + name + "\"");
    return true;
}

bool Reader::ReadStress(const Path& p, StagedStress& s) {
    if (!Object(p)) return false;
    unsigned seen = 0;
    while (c_.NextKey(key_)) {
        const Path f = p / key_;
        bool ok = true;
        if (key_ == "case") ok = Once(p, 1, seen) && Int32(f, s.loadCase);
        else if (key_ == "node") ok = Once(p, 2, seen) && Int32(f, s.node);
        else if (key_ == "S") {
            ok = Once(p, 4, seen) && Numbers(f, {6}, numbers_);
            if (ok) std::copy(numbers_.begin(), numbers_.end(), s.stress.S.begin());
        } else if (key_ == "M") {
            ok = Once(p, 8, seen) && Numbers(f, {3, 6}, numbers_);
            const auto& v = numbers_;
            if (ok && v.size() == 3) s.stress.M = {v[0], v[1], 0.0, v[2], 0.0, 0.0};  // plate in the global x-y plane
            else if (ok) std::copy(v.begin(), v.end(), s.stress.M.begin());
        } else if (key_ == "Q") {
            ok = Once(p, 16, seen) && Numbers(f, {2, 3}, numbers_);
            if (ok) s.stress.Q = {numbers_[0], numbers_[1], numbers_.size() == 3 ? numbers_[2] : 0.0};
        } else {
            return Unknown(p);
        }
        if (!ok) return false;
    }
    if (!c_.Ok()) return false;
    if (!(seen & 1)) return Fail(p, "missing \"case\"");
    if (!(seen & 2)) return Fail(p, "missing \"node\"");
    return true;
}

bool Reader::ReadShells(const Path& p) {
    if (!Array(p)) return false;
    for (std::size_t i = 0; c_.NextItem(); ++i) {
        if (!ReadShell(p[i])) return false;
        if ((i & 1023) == 0) Report();
    }
    return c_.Ok();
}

bool Reader::ReadShell(const Path& p) {
    if (!Object(p)) return false;
    std::int32_t id = 0;
    std::optional<double> thickness;
    std::vector<std::int32_t>& nodes = ids_;
    results_.clear();
    stresses_.clear();
    unsigned seen = 0;
    // Results are kept until the object ends: they can only be checked against the shell's
    // nodes, which may come after them.
    while (c_.NextKey(key_)) {
        if (key_ == "id") {
            if (!Once(p, 1, seen) || !Int32(p / "id", id)) return false;
        } else if (key_ == "nodes") {
            if (!Once(p, 2, seen) || !Int32s(p / "nodes", nodes)) return false;
        } else if (key_ == "thickness") {
            double t = 0.0;
            if (!Once(p, 4, seen) || !Number(p / "thickness", t)) return false;
            thickness = t;
        } else if (key_ == "results") {
            const Path rp = p / "results";
            if (!Once(p, 8, seen) || !Array(rp)) return false;
            for (std::size_t i = 0; c_.NextItem(); ++i) {
                StagedResult r;
                r.index = i;
                if (!ReadResult(rp[i], false, r)) return false;
                results_.push_back(r);
            }
            if (!c_.Ok()) return false;
        } else if (key_ == "stresses") {
            const Path sp = p / "stresses";
            if (!Once(p, 16, seen) || !Array(sp)) return false;
            for (std::size_t i = 0; c_.NextItem(); ++i) {
                StagedStress s;
                s.index = i;
                if (!ReadStress(sp[i], s)) return false;
                stresses_.push_back(s);
            }
            if (!c_.Ok()) return false;
        } else {
            return Unknown(p);
        }
    }
    if (!c_.Ok()) return false;
    if (!(seen & 1)) return Fail(p, "missing \"id\"");
    if (!(seen & 2)) return Fail(p, "missing \"nodes\"");
    if (!b_.AddShell(id, nodes, thickness)) return Relay(p);
    for (const StagedResult& r : results_)
        if (!b_.AddShellResult(id, r.node, r.loadCase, r.mode, r.f)) return Relay((p / "results")[r.index]);
    for (const StagedStress& s : stresses_)
        if (!b_.AddShellStress(id, s.node, s.loadCase, s.stress)) return Relay((p / "stresses")[s.index]);
    return true;
}

bool Reader::ReadFrames(const Path& p) { return Items(p, &Reader::ReadFrame); }

bool Reader::ReadFrame(const Path& p) {
    if (!Object(p)) return false;
    std::int32_t id = 0;
    results_.clear();
    unsigned seen = 0;
    while (c_.NextKey(key_)) {
        if (key_ == "id") {
            if (!Once(p, 1, seen) || !Int32(p / "id", id)) return false;
        } else if (key_ == "nodes") {
            if (!Once(p, 2, seen) || !Int32s(p / "nodes", ids_)) return false;
            if (ids_.size() != 2)
                return Fail(p / "nodes", "expected 2 node ids, found " + std::to_string(ids_.size()));
        } else if (key_ == "results") {
            const Path rp = p / "results";
            if (!Once(p, 4, seen) || !Array(rp)) return false;
            for (std::size_t i = 0; c_.NextItem(); ++i) {
                StagedResult r;
                r.index = i;
                if (!ReadResult(rp[i], true, r)) return false;
                results_.push_back(r);
            }
            if (!c_.Ok()) return false;
        } else {
            return Unknown(p);
        }
    }
    if (!c_.Ok()) return false;
    if (!(seen & 1)) return Fail(p, "missing \"id\"");
    if (!(seen & 2)) return Fail(p, "missing \"nodes\"");
    if (!b_.AddFrame(id, ids_[0], ids_[1])) return Relay(p);
    for (const StagedResult& r : results_)
        if (!b_.AddFrameResult(id, r.endB, r.loadCase, r.mode, r.f)) return Relay((p / "results")[r.index]);
    return true;
}

bool Reader::ReadFileList(const Path& p, std::vector<std::string>& out) {
    const JsonKind k = c_.Peek();
    if (!c_.Ok()) return false;
    std::string name;
    if (k == JsonKind::String) {
        if (!c_.ReadString(name)) return false;
        out.push_back(name);
        return true;
    }
    if (!Array(p)) return false;
    for (std::size_t i = 0; c_.NextItem(); ++i) {
        if (!String(p[i], name)) return false;
        out.push_back(name);
    }
    return c_.Ok();
}

bool Reader::ReadDocument(const std::string& baseDir) {
    enum : unsigned {
        kFormat = 1, kVersion = 2, kTitle = 4, kUnits = 8, kTolerance = 16, kPlaneNodes = 32, kLoadCases = 64,
        kCombinations = 128, kNodes = 256, kShells = 512, kFrames = 1024, kElements = 2048, kForces = 4096,
        kStresses = 8192
    };
    constexpr unsigned kModelOnly = kShells | kFrames, kManifestOnly = kElements | kForces | kStresses;
    if (!Object(kRoot)) return false;
    Mode mode = Mode::Unknown;
    unsigned seen = 0;
    std::optional<JsonCursor::Mark> combinations, shells, frames;
    std::vector<std::int32_t> planeNodes;
    ManifestTables tables;
    auto setMode = [&](Mode m) {
        if (mode == Mode::Unknown) mode = m;
        return mode == m;
    };
    while (c_.NextKey(key_)) {
        static const std::pair<const char*, unsigned> kKeys[] = {
            {"format", kFormat}, {"version", kVersion}, {"title", kTitle}, {"units", kUnits},
            {"tolerance", kTolerance}, {"plane_nodes", kPlaneNodes}, {"load_cases", kLoadCases},
            {"combinations", kCombinations}, {"nodes", kNodes}, {"shells", kShells}, {"frames", kFrames},
            {"elements", kElements}, {"forces", kForces}, {"stresses", kStresses}};
        unsigned bit = 0;
        Path f = kRoot;
        // The path keeps the table's name: key_ changes while the value is read.
        for (const auto& [name, b] : kKeys)
            if (key_ == name) bit = b, f = kRoot / name;
        if (bit == 0 || ((bit & kModelOnly) && !setMode(Mode::Model)) ||
            ((bit & kManifestOnly) && !setMode(Mode::Manifest)))
            return Unknown(kRoot);
        if (!Once(kRoot, bit, seen)) return false;
        bool ok = true;
        switch (bit) {
            case kFormat: {
                std::string format;
                if (!String(f, format)) return false;
                const bool manifest = format == "xsect-manifest";
                if (!setMode(manifest ? Mode::Manifest : Mode::Model) || (!manifest && format != "xsect-model"))
                    return Fail(f, std::string("expected \"") +
                                       (mode == Mode::Manifest ? "xsect-manifest" : "xsect-model") + "\", found \"" +
                                       format + "\"");
                break;
            }
            case kVersion: {
                std::int32_t v = 0;
                if (!Int32(f, v)) return false;
                if (v != 1) return Fail(f, "this program reads version 1, the file is version " + std::to_string(v));
                break;
            }
            case kTitle: ok = String(f, model_.title); break;
            case kUnits: ok = ReadUnits(f); break;
            case kTolerance: {
                double t = 0.0;
                if (!Number(f, t)) return false;
                if (!b_.SetTolerance(t)) return Relay(f);
                break;
            }
            case kPlaneNodes:
                if (!Int32s(f, planeNodes)) return false;
                if (planeNodes.size() != 3)
                    return Fail(f, "expected 3 node ids, found " + std::to_string(planeNodes.size()));
                break;
            case kLoadCases: ok = ReadLoadCases(f); break;
            case kCombinations:
                if (seen & kLoadCases) ok = ReadCombinations(f);
                else combinations = c_.Here(), ok = c_.Skip();
                break;
            case kNodes: {
                const JsonKind k = c_.Peek();
                if (!c_.Ok()) return false;
                if (k == JsonKind::String && setMode(Mode::Manifest)) ok = c_.ReadString(tables.nodes);
                else ok = setMode(Mode::Model) ? ReadNodes(f) : String(f, tables.nodes);
                break;
            }
            case kShells:
            case kFrames: {
                auto& later = bit == kShells ? shells : frames;
                if ((seen & kNodes) && (seen & kLoadCases)) ok = bit == kShells ? ReadShells(f) : ReadFrames(f);
                else later = c_.Here(), ok = c_.Skip();
                break;
            }
            case kElements: ok = String(f, tables.elements); break;
            case kForces: ok = ReadFileList(f, tables.forces); break;
            case kStresses: ok = ReadFileList(f, tables.stresses); break;
        }
        if (!ok) return false;
    }
    if (!c_.ExpectEnd()) return false;
    if (mode == Mode::Unknown) mode = Mode::Model;
    if (!(seen & kNodes)) return Fail(kRoot, "missing \"nodes\"");
    if (mode == Mode::Model && !(seen & kShells)) return Fail(kRoot, "missing \"shells\"");
    if (mode == Mode::Manifest && !(seen & kElements)) return Fail(kRoot, "missing \"elements\"");
    if (combinations && !(c_.Seek(*combinations) && ReadCombinations(kRoot / "combinations"))) return false;
    if (shells && !(c_.Seek(*shells) && ReadShells(kRoot / "shells"))) return false;
    if (frames && !(c_.Seek(*frames) && ReadFrames(kRoot / "frames"))) return false;
    if (mode == Mode::Manifest) {
        std::string error;
        if (!ReadManifestTables(tables, baseDir, b_, progress_, error)) return c_.Fail(error);
    }
    if (!planeNodes.empty() && !b_.SetPlaneNodes({planeNodes[0], planeNodes[1], planeNodes[2]}))
        return Relay(kRoot / "plane_nodes");
    if (!b_.Finish()) {
        if (mode == Mode::Model) return Relay(kRoot / "shells");
        return c_.Fail(c_.Source() + ": " + b_.Error());
    }
    return true;
}

bool Reader::ReadCombinationsDocument() {
    if (!Object(kRoot)) return false;
    bool found = false;
    while (c_.NextKey(key_)) {
        if (key_ != "combinations") return Unknown(kRoot);
        if (found) return Fail(kRoot, "duplicate key \"combinations\"");
        found = true;
        if (!ReadCombinations(kRoot / "combinations")) return false;
    }
    if (!c_.ExpectEnd()) return false;
    if (!found) return Fail(kRoot, "missing \"combinations\"");
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool ReadModelFile(const std::string& path, Model& model, std::string& error, const ReadProgress& progress) {
    model = Model{};
    model.source = path;
    JsonCursor cursor({}, path);
    Reader reader(cursor, model, progress);
    if (cursor.Open(path) && reader.ReadDocument(DirectoryOf(path))) return true;
    error = cursor.Error();
    return false;
}

bool ParseModelText(std::string_view text, const std::string& source, const std::string& baseDir, Model& model,
                    std::string& error) {
    model = Model{};
    model.source = source;
    JsonCursor cursor(text, source);
    Reader reader(cursor, model, {});
    if (reader.ReadDocument(baseDir)) return true;
    error = cursor.Error();
    return false;
}

bool ReadCombinationsFile(const std::string& path, Model& model, std::string& error) {
    JsonCursor cursor({}, path);
    Reader reader(cursor, model, {});
    if (cursor.Open(path) && reader.ReadCombinationsDocument()) return true;
    error = cursor.Error();
    return false;
}

bool ParseCombinationsText(std::string_view text, const std::string& source, Model& model, std::string& error) {
    JsonCursor cursor(text, source);
    Reader reader(cursor, model, {});
    if (reader.ReadCombinationsDocument()) return true;
    error = cursor.Error();
    return false;
}

}  // namespace xsect::io
