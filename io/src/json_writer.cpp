#include <charconv>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "json_text.h"
#include "xsect/io/model_file.h"

namespace xsect::io {

std::string JsonNumber(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string JsonString(const std::string& s) {
    return nlohmann::json(s).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

namespace {

template <class Values>
void List(std::ostream& o, const Values& values) {
    o << "[";
    bool first = true;
    for (double v : values) o << (first ? "" : ", ") << JsonNumber(v), first = false;
    o << "]";
}

void Six(std::ostream& o, const CNodeResults& r) { List(o, std::array<double, 6>{r.Fx, r.Fy, r.Fz, r.Mx, r.My, r.Mz}); }

void WriteLoadCase(std::ostream& o, std::int32_t id, const LoadCase& lc) {
    const CLoadCaseInfo& i = lc.info;
    o << "{\"id\": " << id;
    if (!lc.name.empty()) o << ", \"name\": " << JsonString(lc.name);
    const std::string type = LoadCaseTypeName(i.caseType);
    if (!lc.record.empty()) o << ", \"type\": \"time_history\", \"file\": " << JsonString(lc.record);
    else if (type != "other") o << ", \"type\": \"" << type << "\"";
    else o << ", \"type\": " << i.caseType;
    if (i.caseType == LOAD_CASE_RESPONSE_SPECTRUM) {
        const std::string rule = CombinationRuleName(i.combinationMethod);
        o << ", \"modes\": " << i.modeCount << ", \"combination\": ";
        if (rule == "other") o << i.combinationMethod;
        else o << "\"" << rule << "\"";
        const std::string sign = SignMethodName(i.signMethod);
        o << ", \"sign_method\": " << (sign == "other" ? std::to_string(i.signMethod) : "\"" + sign + "\"")
          << ", \"apply_sign\": " << (i.applySign ? "true" : "false") << ", \"sign_mode\": " << i.signMode
          << ", \"combine_residual\": " << (i.combineResidual ? "true" : "false");
        if (!lc.frequencies.empty()) o << ", \"frequencies\": ", List(o, lc.frequencies);
        if (!lc.coefficients.empty()) o << ", \"coefficients\": ", List(o, lc.coefficients);
    }
    o << "}";
}

void WriteModel(std::ostream& o, const Model& model) {
    // Written by hand so that every node, result and stress sits on one line: the file stays
    // readable and diffs well.
    o << "{\n  \"format\": \"xsect-model\",\n  \"version\": 1,\n";
    WriteJsonHeader(o, model);
    o << "  \"nodes\": [";
    bool first = true;
    for (const auto& [id, v] : model.nodes) {
        o << (first ? "\n" : ",\n") << "    {\"id\": " << id << ", \"xyz\": ";
        List(o, std::array<double, 3>{v.x, v.y, v.z});
        o << "}";
        first = false;
    }
    o << "\n  ],\n  \"shells\": [";
    first = true;
    // In the file's own order, which a time-history record's rows follow.
    for (const std::int32_t id : RowOrder(model.shells, model.shellOrder)) {
        const CShellElement& s = model.shells.at(id);
        o << (first ? "\n" : ",\n") << "    {\"id\": " << id << ", \"nodes\": [";
        first = false;
        for (std::size_t i = 0; i < s.nodes.size(); ++i) o << (i ? ", " : "") << s.nodes[i];
        o << "]";
        if (auto t = model.thickness.find(id); t != model.thickness.end()) o << ", \"thickness\": " << JsonNumber(t->second);
        o << ",\n     \"results\": [";
        bool firstResult = true;
        auto item = [&](std::int32_t lc, std::int32_t node, std::int32_t mode, const CNodeResults& r) {
            o << (firstResult ? "\n" : ",\n") << "       {\"case\": " << lc << ", \"node\": " << node;
            if (mode) o << ", \"mode\": " << mode;
            o << ", \"f\": ";
            Six(o, r);
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
                    List(o, ns.S);
                    o << ", \"M\": ";
                    List(o, ns.M);
                    o << ", \"Q\": ";
                    List(o, ns.Q);
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
        for (const std::int32_t id : RowOrder(model.frames, model.frameOrder)) {
            const CFrameElement& f = model.frames.at(id);
            o << (first ? "\n" : ",\n") << "    {\"id\": " << id << ", \"nodes\": [" << f.nodeA << ", " << f.nodeB
              << "], \"results\": [";
            first = false;
            bool firstResult = true;
            auto item = [&](std::int32_t lc, const char* end, std::int32_t mode, const CNodeResults& r) {
                o << (firstResult ? "" : ", ") << "{\"case\": " << lc << ", \"end\": \"" << end << "\"";
                if (mode) o << ", \"mode\": " << mode;
                o << ", \"f\": ";
                Six(o, r);
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
}

}  // namespace

void WriteJsonHeader(std::ostream& o, const Model& model) {
    if (!model.title.empty()) o << "  \"title\": " << JsonString(model.title) << ",\n";
    if (!model.units.length.empty())
        o << "  \"units\": {\"length\": " << JsonString(model.units.length)
          << ", \"force\": " << JsonString(model.units.force) << "},\n";
    o << "  \"tolerance\": " << JsonNumber(model.tolerance) << ",\n";
    if (model.planeNodes[0] > 0)
        o << "  \"plane_nodes\": [" << model.planeNodes[0] << ", " << model.planeNodes[1] << ", "
          << model.planeNodes[2] << "],\n";
    o << "  \"load_cases\": [";
    bool first = true;
    for (const auto& [id, lc] : model.loadCases) {
        o << (first ? "\n    " : ",\n    ");
        WriteLoadCase(o, id, lc);
        first = false;
    }
    o << "\n  ],\n";
    if (!model.combinations.empty()) {
        o << "  \"combinations\": [";
        first = true;
        for (const Combination& c : model.combinations) {
            o << (first ? "\n" : ",\n") << "    {\"name\": " << JsonString(c.name) << ", \"factors\": {";
            for (std::size_t i = 0; i < c.terms.size(); ++i)
                o << (i ? ", " : "") << "\"" << c.terms[i].loadCase << "\": " << JsonNumber(c.terms[i].factor);
            o << "}}";
            first = false;
        }
        o << "\n  ],\n";
    }
    if (model.groups.empty()) return;
    o << "  \"groups\": [";
    first = true;
    for (const Group& g : model.groups) {
        o << (first ? "\n" : ",\n") << "    {\"name\": " << JsonString(g.name);
        for (const auto& [key, ids] : {std::pair{"shells", &g.shells}, std::pair{"frames", &g.frames}}) {
            if (ids->empty()) continue;
            o << ", \"" << key << "\": [";
            for (std::size_t i = 0; i < ids->size(); ++i) o << (i ? ", " : "") << (*ids)[i];
            o << "]";
        }
        o << "}";
        first = false;
    }
    o << "\n  ],\n";
}

std::string WriteModelJson(const Model& model) {
    std::ostringstream o;
    WriteModel(o, model);
    return o.str();
}

bool WriteModelJsonFile(const Model& model, const std::string& path, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) WriteModel(out, model);
    out.close();
    if (out) return true;
    error = path + ": cannot write the file";
    return false;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out) return true;
    error = path + ": cannot write the file";
    return false;
}

}  // namespace xsect::io
