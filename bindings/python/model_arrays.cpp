// Model.from_arrays: the dict of load cases and the numpy arrays, checked for dtype and shape and
// handed to the C interface, which checks their contents and builds the model.

#include <map>

#include <xsect/io/model.h>

#include "model.h"

namespace xsect::python {

namespace {

// A load case of the dict, with the storage its C description points to.
struct CaseEntry {
    xsect_load_case c{};
    std::string name;
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
            e.name = v.cast<std::string>();
        } else if (field == "type") {
            e.c.type = Code(v, at, io::LoadCaseTypeFromName);
        } else if (field == "modes") {
            e.c.modes = Int32(v, at.c_str());
        } else if (field == "combination") {
            e.c.combination = Code(v, at, io::CombinationRuleFromName);
        } else if (field == "sign_method") {
            e.c.sign_method = Code(v, at, io::SignMethodFromName);
        } else if (field == "apply_sign") {
            e.c.apply_sign = Flag(v, at);
        } else if (field == "sign_mode") {
            e.c.sign_mode = Int32(v, at.c_str());
        } else if (field == "combine_residual") {
            e.c.combine_residual = Flag(v, at);
        } else if (field == "frequencies") {
            frequencies = py::reinterpret_borrow<py::object>(v);
        } else if (field == "coefficients") {
            coefficients = py::reinterpret_borrow<py::object>(v);
        } else {
            throw py::value_error(at + ": unknown key");
        }
    }
    const py::ssize_t modes = e.c.modes;
    if (!frequencies.is_none()) {
        Reals f = RealArray(frequencies, (where + "[\"frequencies\"]").c_str(), {modes});
        e.frequencies.assign(f.data(), f.data() + f.size());
    }
    if (!coefficients.is_none()) {
        Reals c = RealArray(coefficients, (where + "[\"coefficients\"]").c_str(), {-1});
        if (c.size() != modes * modes)
            c = RealArray(coefficients, (where + "[\"coefficients\"]").c_str(), {modes, modes});
        e.coefficients.assign(c.data(), c.data() + c.size());
    }
    return e;
}

// One dict of results ({case: array}) into per-case pointers; the arrays stay alive in keep.
void ReadResults(py::handle value, const char* name, const std::map<std::int32_t, std::size_t>& index,
                 const std::vector<CaseEntry>& cases, bool spectrum, py::ssize_t rows, py::ssize_t slots,
                 std::vector<const double*>& pointers, std::vector<Reals>& keep) {
    if (value.is_none()) return;
    if (!py::isinstance<py::dict>(value)) throw py::value_error(std::string(name) + ": expected a dict {case: array}");
    for (auto [k, v] : value.cast<py::dict>()) {
        const std::int32_t id = Int32(k, name);
        const std::string at = std::string(name) + "[" + std::to_string(id) + "]";
        auto it = index.find(id);
        if (it == index.end()) throw py::value_error(at + ": unknown load case");
        const xsect_load_case& c = cases[it->second].c;
        if ((c.type == XSECT_CASE_RESPONSE_SPECTRUM) != spectrum)
            throw py::value_error(at + ": load case " + std::to_string(id) + " is " +
                                  (spectrum ? "not a response-spectrum case" : "a response-spectrum case"));
        std::vector<py::ssize_t> shape{rows, slots, 6};
        if (spectrum) shape.insert(shape.begin() + 2, c.modes);
        keep.push_back(RealArray(v, at.c_str(), shape));
        pointers[it->second] = keep.back().data();
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
                        py::handle tolerance, py::handle planeNodes) {
    xsect_model_arrays a{};
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
    std::vector<xsect_load_case> descriptions;
    for (CaseEntry& e : entries) {
        e.c.name = e.name.c_str();
        e.c.frequencies = e.frequencies.empty() ? nullptr : e.frequencies.data();
        e.c.coefficients = e.coefficients.empty() ? nullptr : e.coefficients.data();
        descriptions.push_back(e.c);
    }

    const py::ssize_t width = shellSlots.shape(1);
    std::vector<const double*> shellResults(entries.size(), nullptr), frameResults(entries.size(), nullptr);
    std::vector<Reals> keep;
    ReadResults(staticResults, "static", index, entries, false, shells.size(), width, shellResults, keep);
    ReadResults(spectrumResults, "spectrum", index, entries, true, shells.size(), width, shellResults, keep);
    ReadResults(frameStatic, "frame_static", index, entries, false, frames.size(), 2, frameResults, keep);
    ReadResults(frameSpectrum, "frame_spectrum", index, entries, true, frames.size(), 2, frameResults, keep);

    a.node_count = static_cast<std::int32_t>(nodes.size());
    a.node_ids = nodes.data();
    a.node_xyz = coordinates.data();
    a.shell_count = static_cast<std::int32_t>(shells.size());
    a.shell_width = static_cast<std::int32_t>(width);
    a.shell_ids = shells.data();
    a.shell_nodes = shellSlots.data();
    a.frame_count = static_cast<std::int32_t>(frames.size());
    a.frame_ids = frames.data();
    a.frame_nodes = frameEnds.data();
    a.case_count = static_cast<std::int32_t>(descriptions.size());
    a.cases = descriptions.data();
    a.shell_results = shellResults.data();
    a.frame_results = frameResults.data();
    a.tolerance = Finite(tolerance, "tolerance");
    if (!planeNodes.is_none()) {
        Ints p = IdArray(planeNodes, "plane_nodes", {3});
        for (int i = 0; i < 3; ++i) a.plane_nodes[i] = p.at(i);
    }
    for (const py::array& arr : {py::array(nodes), py::array(shells), py::array(frames)})
        if (arr.size() > INT32_MAX) throw py::value_error("more elements or nodes than 32-bit ids can number");

    Model model;
    xsect_model* out = nullptr;
    int status;
    {
        py::gil_scoped_release unlocked;
        status = xsect_model_from_arrays(&a, &out);
    }
    Check(status);
    model.handle.reset(out);
    return model;
}

Model Model::Load(py::handle path) {
    const std::string file = py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
    Model model;
    xsect_model* out = nullptr;
    int status;
    {
        py::gil_scoped_release unlocked;
        status = xsect_model_load(file.c_str(), &out);
    }
    Check(status);
    model.handle.reset(out);
    return model;
}

py::dict Model::CaseNames() const {
    py::dict out;
    for (const auto& [id, lc] : handle->cases) out[py::int_(id)] = lc.name;
    return out;
}

py::list Model::Combinations() const {
    py::list out;
    for (std::int32_t i = 0; i < xsect_combination_count(handle.get()); ++i) {
        xsect_request r{};
        Check(xsect_combination(handle.get(), i, &r));
        py::dict terms;
        for (std::int32_t t = 0; t < r.term_count; ++t) terms[py::int_(r.cases[t])] = r.factors[t];
        out.append(py::make_tuple(r.name, terms));
    }
    return out;
}

py::list Model::CaseIds() const {
    std::vector<std::int32_t> ids(static_cast<std::size_t>(xsect_case_count(handle.get())));
    Check(xsect_case_ids(handle.get(), ids.data()));
    py::list out;
    for (std::int32_t id : ids) out.append(id);
    return out;
}

}  // namespace xsect::python
