#include "support/stress_models.h"

namespace xsect::stress_models {

CVertex PlaneFrame::Global(double x, double y, double h) const {
    return CVertex(origin[0] + x * e1[0] + y * e2[0] + h * normal[0],
                   origin[1] + x * e1[1] + y * e2[1] + h * normal[1],
                   origin[2] + x * e1[2] + y * e2[2] + h * normal[2]);
}

PlaneFrame FlatFrame() { return PlaneFrame{}; }

PlaneFrame TiltedFrame() {
    PlaneFrame f;
    f.origin[0] = 10.0;
    f.origin[1] = 20.0;
    f.origin[2] = 30.0;
    f.e1[0] = 0.6;
    f.e1[1] = 0.0;
    f.e1[2] = 0.8;
    f.e2[0] = 0.0;
    f.e2[1] = 1.0;
    f.e2[2] = 0.0;
    // e1 x e2
    f.normal[0] = -0.8;
    f.normal[1] = 0.0;
    f.normal[2] = 0.6;
    return f;
}

std::int32_t GridModel::ElementAt(std::int32_t column, std::int32_t row) const {
    if (spec.elementNumber) return spec.elementNumber(column, row);
    return 1 + row * spec.columns + column;
}

std::unique_ptr<GridModel> BuildGrid(const GridSpec& spec) {
    auto model = std::make_unique<GridModel>();
    model->spec = spec;
    for (std::int32_t j = 0; j <= spec.rows; ++j) {
        for (std::int32_t i = 0; i <= spec.columns; ++i) {
            CVertex v = spec.frame.Global(i * spec.cell, j * spec.cell);
            v.id = model->NodeAt(i, j);
            model->nodes[v.id] = v;
        }
    }
    for (std::int32_t row = 0; row < spec.rows; ++row) {
        for (std::int32_t column = 0; column < spec.columns; ++column) {
            CShellElement shell;
            const std::int32_t n00 = model->NodeAt(column, row);
            const std::int32_t n10 = model->NodeAt(column + 1, row);
            const std::int32_t n11 = model->NodeAt(column + 1, row + 1);
            const std::int32_t n01 = model->NodeAt(column, row + 1);
            if (spec.clockwise)
                shell.nodes = {n00, n01, n11, n10};
            else
                shell.nodes = {n00, n10, n11, n01};
            model->shells[model->ElementAt(column, row)] = shell;
        }
    }
    model->forces = std::make_unique<CCrossSectionForcesPost>(model->nodes, model->shells, model->frames,
                                                              model->loadCases, spec.tolerance, model->NodeAt(0, 0),
                                                              model->NodeAt(1, 0), model->NodeAt(0, 1));
    return model;
}

}  // namespace xsect::stress_models
