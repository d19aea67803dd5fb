#include "xsect/io/model_calculators.h"

#include <utility>

namespace xsect::io {

namespace {

std::optional<AssemblyCutter> AssemblyOf(Model& model, const CCrossSectionForcesPost& calculator) {
    if (!IsAssembly(model, calculator)) return std::nullopt;
    return AssemblyCutter(MakeAssembly(model));
}

}  // namespace

ModelCalculators::ModelCalculators(Model&& model)
    : calculator(MakeForceCalculator(model)),
      assembly(AssemblyOf(model, *calculator)),
      thickness(std::move(model.thickness)),
      combinations(std::move(model.combinations)),
      groups(std::move(model.groups)),
      shellOrder(std::move(model.shellOrder)),
      frameOrder(std::move(model.frameOrder)),
      cutter(MakeSectionCutter(*calculator, thickness)) {
    // Moving the map keeps the cases' modal arrays where the calculator found them.
    loadCases = std::move(model.loadCases);
    model.nodes.clear();
    model.shells.clear();
    model.frames.clear();
    model.stresses.clear();
}

std::string ModelCalculators::CheckComputableCase(std::int32_t loadCase) const {
    const auto it = loadCases.find(loadCase);
    if (it == loadCases.end()) return "unknown load case " + std::to_string(loadCase);
    if (!IsComputedCaseType(it->second.info.caseType))
        return "load case " + std::to_string(loadCase) + " is of a type the library does not compute";
    return {};
}

}  // namespace xsect::io
