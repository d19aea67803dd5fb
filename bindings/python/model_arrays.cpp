// Model.from_arrays and load: the dict of load cases and the numpy arrays checked for dtype and shape
// and handed to the model-file library, which checks their contents and builds the model, or the
// model read from a file; then the library's calculators over it.

#include <map>

#include <xsect/io/model_arrays.h>
#include <xsect/io/model_file.h>

#include "model.h"

namespace xsect::python {

namespace {

// A load case of the dict, with the storage its description points to.
struct CaseEntry {
    io::CaseArrays c;
    std::vector<double> frequencies;
    std::vector<double> coefficients;
};

// The model format's word for a code (read by the program's reader's own parser), or the code itself.
std::int32_t Code(py::handle value, const std::string& what, bool (*parse)(const std::string&, std::int32_t&)) {
    if (!py::isinstance<py::str>(value)) return Int32(value, what.c_str());
    const std::string word = value.cast<std::string>();
    std::int32_t code = 0;
    if (!parse(word, code)) throw py::value_error(what + ": unknown value '" + word + "'");
    return code;
}

bool Flag(py::handle value, const std::string& what) {
    if (!py::isinstance<py::bool_>(value) && !py::isinstance<py::int_>(value))
        throw py::value_error(what + ": expected true or false");
    return value.cast<bool>();
}

CaseEntry ReadCase(py::handle key, py::handle value) {
    CaseEntry e;
    e.c.id = Int32(key, "cases: a load case id");
    const std::string where = "cases[" + std::to_string(e.c.id) + "]";
    if (!py::isinstance<py::dict>(value)) throw py::value_error(where + ": expected a dict");
    py::object frequencies = py::none(), coefficients = py::none();
    for (auto [k, v] : value.cast<py::dict>()) {
        const std::string field = py::str(k).cast<std::string>();
        const std::string at = where + "[\"" + field + "\"]";
        if (field == "id") {
            if (Int32(v, at.c_str()) != e.c.id) throw py::value_error(at + ": differs from the key");
        } else if (field == "name") {
            if (!py::isinstance<py::str>(v)) throw py::value_error(at + ": expected a string");
            e.c.name = v.cast<std::string>();
        } else if (field == "type") {
            e.c.info.caseType = Code(v, at, io::LoadCaseTypeFromName);
        } else if (field == "modes") {
            e.c.info.modeCount = Int32(v, at.c_str());
        } else if (field == "combination") {
            e.c.info.combinationMethod = Code(v, at, io::CombinationRuleFromName);
        } else if (field == "sign_method") {
            e.c.info.signMethod = Code(v, at, io::SignMethodFromName);
        } else if (field == "apply_sign") {
            e.c.info.applySign = Flag(v, at);
        } else if (field == "sign_mode") {
            e.c.info.signMode = Int32(v, at.c_str());
        } else if (field == "combine_residual") {
            e.c.info.combineResidual = Flag(v, at);
        } else if (field == "frequencies") {
            frequencies = py::reinterpret_borrow<py::object>(v);
        } else if (field == "coefficients") {
            coefficients = py::reinterpret_borrow<py::object>(v);
        } else {
            throw py::value_error(at + ": unknown key");
        }
    }
    const py::ssize_t modes = e.c.info.modeCount;
    if (!frequencies.is_none()) {
        Reals f = RealArray(frequencies, (where + "[\"frequencies\"]").c_str(), {modes});
        e.frequencies.assign(f.data(), f.data() + f.size());
    }
    if (!coefficients.is_none()) {
        // Row by row, as the model file has them: flat, or as an array of rows.
        const std::string at = where + "[\"coefficients\"]";
        const py::array given = py::array::ensure(coefficients);
        const bool rows = given && given.ndim() == 2;
        Reals c = RealArray(coefficients, at.c_str(), rows ? std::vector<py::ssize_t>{modes, modes}
                                                           : std::vector<py::ssize_t>{-1});
        if (c.size() != modes * modes) c = RealArray(coefficients, at.c_str(), {modes, modes});
        e.coefficients.assign(c.data(), c.data() + c.size());
    }
    return e;
}

// One dict of results ({case: array}) into the cases' pointers (shell or frame results, as
// `results` chooses); the arrays stay alive in keep.
void ReadResults(py::handle value, const char* name, const std::map<std::int32_t, std::size_t>& index,
                 std::vector<CaseEntry>& cases, bool spectrum, py::ssize_t rows, py::ssize_t slots,
                 const double* io::CaseArrays::*results, std::vector<Reals>& keep) {
    if (value.is_none()) return;
    if (!py::isinstance<py::dict>(value)) throw py::value_error(std::string(name) + ": expected a dict {case: array}");
    for (auto [k, v] : value.cast<py::dict>()) {
        const std::int32_t id = Int32(k, name);
        const std::string at = std::string(name) + "[" + std::to_string(id) + "]";
        auto it = index.find(id);
        if (it == index.end()) throw py::value_error(at + ": unknown load case");
        io::CaseArrays& c = cases[it->second].c;
        if ((c.info.caseType == LOAD_CASE_RESPONSE_SPECTRUM) != spectrum)
            throw py::value_error(at + ": load case " + std::to_string(id) + " is " +
                                  (spectrum ? "not a response-spectrum case" : "a response-spectrum case"));
        std::vector<py::ssize_t> shape{rows, slots, 6};
        if (spectrum) shape.insert(shape.begin() + 2, c.info.modeCount);
        keep.push_back(RealArray(v, at.c_str(), shape));
        c.*results = keep.back().data();
    }
}

}  // namespace

std::int32_t Int32(py::handle value, const char* name) {
    if (!py::isinstance<py::int_>(value) && !py::isinstance(value, py::module_::import("numpy").attr("integer")))
        throw py::value_error(std::string(name) + ": expected an integer");
    const long long v = value.cast<long long>();
    if (v < INT32_MIN || v > INT32_MAX) throw py::value_error(std::string(name) + ": does not fit in 32 bits");
    return static_cast<std::int32_t>(v);
}

Model Model::FromArrays(py::handle nodeIds, py::handle xyz, py::handle shellIds, py::handle shellNodes,
                        py::handle cases, py::handle staticResults, py::handle spectrumResults, py::handle frameIds,
                        py::handle frameNodes, py::handle frameStatic, py::handle frameSpectrum,
                        py::handle tolerance, py::handle planeNodes, py::handle thickness) {
    Ints nodes = IdArray(nodeIds, "node_ids", {-1});
    Reals coordinates = RealArray(xyz, "xyz", {nodes.size(), 3});
    Ints shells = IdArray(shellIds, "shell_ids", {-1});
    Ints shellSlots = IdArray(shellNodes, "shell_nodes", {shells.size(), -1});
    if (frameIds.is_none() != frameNodes.is_none())
        throw py::value_error("frame_ids and frame_nodes: give both or neither");
    const py::array_t<std::int32_t> noIds(0), noEnds(std::vector<py::ssize_t>{0, 2});
    Ints frames = IdArray(frameIds.is_none() ? py::handle(noIds) : frameIds, "frame_ids", {-1});
    Ints frameEnds = IdArray(frameNodes.is_none() ? py::handle(noEnds) : frameNodes, "frame_nodes", {frames.size(), 2});

    if (!py::isinstance<py::dict>(cases)) throw py::value_error("cases: expected a dict {id: {...}}");
    std::vector<CaseEntry> entries;
    std::map<std::int32_t, std::size_t> index;
    for (auto [k, v] : cases.cast<py::dict>()) {
        entries.push_back(ReadCase(k, v));
        index[entries.back().c.id] = entries.size() - 1;
    }

    const py::ssize_t width = shellSlots.shape(1);
    std::vector<Reals> keep;
    using io::CaseArrays;
    ReadResults(staticResults, "static", index, entries, false, shells.size(), width, &CaseArrays::shellResults, keep);
    ReadResults(spectrumResults, "spectrum", index, entries, true, shells.size(), width, &CaseArrays::shellResults,
                keep);
    ReadResults(frameStatic, "frame_static", index, entries, false, frames.size(), 2, &CaseArrays::frameResults, keep);
    ReadResults(frameSpectrum, "frame_spectrum", index, entries, true, frames.size(), 2, &CaseArrays::frameResults,
                keep);
    std::vector<CaseArrays> descriptions;
    for (CaseEntry& e : entries) {
        e.c.frequencies = e.frequencies.empty() ? nullptr : e.frequencies.data();
        e.c.coefficients = e.coefficients.empty() ? nullptr : e.coefficients.data();
        descriptions.push_back(e.c);
    }

    io::ModelArrays a;
    a.nodeCount = static_cast<std::int32_t>(nodes.size());
    a.nodeIds = nodes.data();
    a.nodeXyz = coordinates.data();
    a.shellCount = static_cast<std::int32_t>(shells.size());
    a.shellWidth = static_cast<std::int32_t>(width);
    a.shellIds = shells.data();
    a.shellNodes = shellSlots.data();
    a.frameCount = static_cast<std::int32_t>(frames.size());
    a.frameIds = frames.data();
    a.frameNodes = frameEnds.data();
    a.caseCount = static_cast<std::int32_t>(descriptions.size());
    a.cases = descriptions.data();
    a.tolerance = Finite(tolerance, "tolerance");
    Reals thicknesses;
    if (!thickness.is_none()) {
        thicknesses = RealArray(thickness, "thickness", {shells.size()});
        a.shellThickness = thicknesses.data();
    }
    if (!planeNodes.is_none()) {
        Ints p = IdArray(planeNodes, "plane_nodes", {3});
        for (int i = 0; i < 3; ++i) a.planeNodes[static_cast<std::size_t>(i)] = p.at(i);
    }
    for (const py::array& arr : {py::array(nodes), py::array(shells), py::array(frames)})
        if (arr.size() > INT32_MAX) throw py::value_error("more elements or nodes than 32-bit ids can number");

    io::Model model;
    std::string error;
    bool built;
    {
        py::gil_scoped_release unlocked;
        built = io::ModelFromArrays(a, model, error);
    }
    if (!built) throw py::value_error(error);
    Model out = Adopt(std::move(model));
    py::tuple given = py::make_tuple(nodeIds, xyz, shellIds, shellNodes, cases, staticResults, spectrumResults,
                                     frameIds, frameNodes, frameStatic, frameSpectrum, tolerance, planeNodes,
                                     thickness);
    py::tuple held(given.size());
    for (std::size_t i = 0; i < given.size(); ++i) held[i] = Held(given[i], true);
    out.recipe = py::make_tuple("arrays", held);
    return out;
}

py::object Model::Held(py::handle value, bool weakly) {
    if (py::isinstance<py::dict>(value)) {
        py::dict out;
        for (auto [k, v] : value.cast<py::dict>()) out[k] = Held(v, weakly);
        return py::make_tuple("dict", out);
    }
    if (weakly && py::isinstance<py::array>(value)) return py::make_tuple("weak", py::weakref(value));
    return py::make_tuple("given", value);
}

py::object Model::Given(py::handle held) {
    const py::tuple h = py::reinterpret_borrow<py::tuple>(held);
    const std::string how = h[0].cast<std::string>();
    if (how == "dict") {
        py::dict out;
        for (auto [k, v] : h[1].cast<py::dict>()) out[k] = Given(v);
        return out;
    }
    if (how == "weak") {
        py::object array = h[1]();
        if (array.is_none())
            throw py::value_error("this model was made from arrays that are gone: a model from arrays is pickled "
                                  "by its arrays, which it does not keep alive");
        return array;
    }
    return h[1];
}

Model Model::Load(py::handle path) {
    const std::string file = py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
    io::Model model;
    std::string error;
    bool read;
    {
        py::gil_scoped_release unlocked;
        read = io::ReadModelFile(file, model, error);
    }
    if (!read) throw py::value_error(error);
    Model out = Adopt(std::move(model));
    out.recipe = py::make_tuple("file", py::module_::import("os").attr("path").attr("abspath")(file));
    return out;
}

Model Model::Adopt(io::Model&& model) {
    Model out;
    {
        py::gil_scoped_release unlocked;
        out.calculators = std::make_unique<const io::ModelCalculators>(std::move(model));
    }
    const std::int32_t status = out.calculators->calculator->GetCurrentStatus();
    if (status != CS_SUCCESS && !out.IsAssembly()) throw RefusalOf(status, "plane set-up");
    return out;
}

py::dict Model::CaseNames() const {
    py::dict out;
    for (const auto& [id, lc] : calculators->loadCases) out[py::int_(id)] = lc.name;
    return out;
}

py::list Model::Combinations() const {
    py::list out;
    for (const io::Combination& c : calculators->combinations) {
        py::dict terms;
        for (const io::Combination::Term& t : c.terms) terms[py::int_(t.loadCase)] = t.factor;
        out.append(py::make_tuple(c.name, terms));
    }
    return out;
}

py::dict Model::Groups() const {
    py::dict out;
    for (const io::Group& g : calculators->groups) {
        py::dict members;
        for (const auto& [key, ids] : {std::pair{"shells", &g.shells}, std::pair{"frames", &g.frames}}) {
            py::list numbers;
            for (const std::int32_t id : *ids) numbers.append(id);
            members[key] = numbers;
        }
        out[py::str(g.name)] = members;
    }
    return out;
}

py::list Model::CaseIds() const {
    py::list out;
    for (const auto& entry : calculators->loadCases) out.append(entry.first);
    return out;
}

}  // namespace xsect::python
