#include <algorithm>
#include <fstream>

#include "csv_reader.h"
#include "json_text.h"
#include "xsect/io/model_file.h"

namespace xsect::io {

namespace {

// Streams each table straight to its file: a large model need not exist twice as text.
class Table {
public:
    Table(const std::string& dir, const char* name) : path_(JoinPath(dir, name)), out_(path_, std::ios::binary | std::ios::trunc) {}
    std::ofstream& Out() { return out_; }
    bool Close(std::string& error) {
        out_.close();
        if (out_) return true;
        if (error.empty()) error = path_ + ": cannot write the file";
        return false;
    }

private:
    std::string path_;
    std::ofstream out_;
};

}  // namespace

bool WriteModelCsv(const Model& model, const std::string& dir, std::string& error) {
    Table nodes(dir, "nodes.csv"), elements(dir, "elements.csv"), forces(dir, "forces.csv");
    nodes.Out() << "id,x,y,z\n";
    for (const auto& [id, v] : model.nodes)
        nodes.Out() << id << "," << JsonNumber(v.x) << "," << JsonNumber(v.y) << "," << JsonNumber(v.z) << "\n";
    std::size_t maxNodes = 0;
    for (const auto& [id, s] : model.shells) maxNodes = std::max(maxNodes, s.nodes.size());
    elements.Out() << "id,thickness";
    for (std::size_t k = 1; k <= maxNodes; ++k) elements.Out() << ",n" << k;
    elements.Out() << "\n";
    forces.Out() << "element,node,case,mode,fx,fy,fz,mx,my,mz\n";
    auto row = [&](std::int32_t e, std::int32_t n, std::int32_t lc, std::int32_t mode, const CNodeResults& r) {
        forces.Out() << e << "," << n << "," << lc << "," << (mode ? std::to_string(mode) : std::string());
        for (double v : {r.Fx, r.Fy, r.Fz, r.Mx, r.My, r.Mz}) forces.Out() << "," << JsonNumber(v);
        forces.Out() << "\n";
    };
    for (const std::int32_t id : RowOrder(model.shells, model.shellOrder)) {
        const CShellElement& s = model.shells.at(id);
        elements.Out() << id << ",";
        if (auto t = model.thickness.find(id); t != model.thickness.end()) elements.Out() << JsonNumber(t->second);
        for (std::size_t k = 0; k < maxNodes; ++k)
            elements.Out() << "," << (k < s.nodes.size() ? std::to_string(s.nodes[k]) : "");
        elements.Out() << "\n";
        for (const auto& [lc, byNode] : s.staticResults)
            for (const auto& [node, r] : byNode) row(id, node, lc, 0, r);
        for (const auto& [lc, byNode] : s.spectrumResults)
            for (const auto& [node, byMode] : byNode)
                for (const auto& [mode, r] : byMode) row(id, node, lc, mode, r);
    }
    bool ok = nodes.Close(error);
    ok = elements.Close(error) && ok;
    ok = forces.Close(error) && ok;
    if (!model.stresses.empty()) {
        Table stresses(dir, "stresses.csv");
        stresses.Out() << "element,node,case,sxx,syy,szz,sxy,syz,szx,mxx,myy,mzz,mxy,myz,mzx,qx,qy,qz\n";
        for (const auto& [id, byCase] : model.stresses)
            for (const auto& [lc, byNode] : byCase)
                for (const auto& [node, ns] : byNode) {
                    stresses.Out() << id << "," << node << "," << lc;
                    for (double v : ns.S) stresses.Out() << "," << JsonNumber(v);
                    for (double v : ns.M) stresses.Out() << "," << JsonNumber(v);
                    for (double v : ns.Q) stresses.Out() << "," << JsonNumber(v);
                    stresses.Out() << "\n";
                }
        ok = stresses.Close(error) && ok;
    }
    Table manifest(dir, "manifest.json");
    manifest.Out() << "{\n  \"format\": \"xsect-manifest\",\n  \"version\": 1,\n";
    WriteJsonHeader(manifest.Out(), model);
    manifest.Out() << "  \"nodes\": \"nodes.csv\",\n  \"elements\": \"elements.csv\",\n  \"forces\": [\"forces.csv\"]"
                   << (model.stresses.empty() ? "" : ",\n  \"stresses\": [\"stresses.csv\"]") << "\n}\n";
    return manifest.Close(error) && ok;
}

}  // namespace xsect::io
