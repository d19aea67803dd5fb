#pragma once

namespace xsect {

// The forces and moments one element exerts at one of its nodes, in the model's global axes.
struct CNodeResults {
    double Fx = 0.0;
    double Fy = 0.0;
    double Fz = 0.0;
    double Mx = 0.0;
    double My = 0.0;
    double Mz = 0.0;
};

}  // namespace xsect
