#pragma once

// What a program keeps of a model to compute on it: the force calculator and a section cutter over
// it, or for an assembly (a model whose nodes do not lie in one plane) an assembly cutter, and beside
// them what they do not hold themselves (load case names, thicknesses, combinations, groups). The
// model's mesh and results are freed once the library holds its own copy.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <xsect/assembly.h>
#include <xsect/sections.h>

#include "xsect/io/model.h"

namespace xsect::io {

struct ModelCalculators {
    // Builds the calculator over model and takes from it what the calculators point into or do not
    // keep; the rest of the model is freed. The calculator's status says whether the plane was set up;
    // when the model is an assembly that status stands refused and `assembly` is set instead.
    explicit ModelCalculators(Model&& model);

    // "" when the load case exists and is of a type the calculators compute, else a sentence saying
    // which it is not.
    std::string CheckComputableCase(std::int32_t loadCase) const;

    // Runs work(calculator) in its turn among the callers on any thread, from a clear status word,
    // and returns the status it leaves (cleared again for the next caller). The host interface and
    // the stress calculator keep their state in the calculator, so they are called only this way.
    template <class Work>
    std::int32_t TakeTurn(Work&& work) const {
        std::lock_guard<std::mutex> turn(hostCalls);
        calculator->ResetCurrentStatus();
        work(*calculator);
        const std::int32_t status = calculator->GetCurrentStatus();
        calculator->ResetCurrentStatus();
        return status;
    }

    // Declared before the calculator, which points into their modal arrays and must not outlive them.
    std::map<std::int32_t, LoadCase> loadCases;
    std::unique_ptr<CCrossSectionForcesPost> calculator;
    // Over the assembly, when the model is one; its centroids weighted by the model's thicknesses.
    std::optional<AssemblyCutter> assembly;
    std::map<std::int32_t, double> thickness;  // shells without an entry have none
    std::vector<Combination> combinations;
    std::vector<Group> groups;
    // The shell and frame ids in the model file's (or arrays') order: a record's rows.
    std::vector<std::int32_t> shellOrder, frameOrder;
    // Over the calculator's model; where the model gives thicknesses it weights the centroid by them.
    SectionCutter cutter;

private:
    mutable std::mutex hostCalls;
};

}  // namespace xsect::io
