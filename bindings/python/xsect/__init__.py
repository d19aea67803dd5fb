"""Section forces and cut-line stresses of plane shell models, and plane sections of assemblies.

A thin layer over the xsect library: every number comes from the library, the package only checks
the arguments at the boundary (ValueError) and hands the library's refusals on (xsect.Error).
"""

from ._xsect import Error, Model, SectionPlan, SectionTable, StressTable, envelope, load

__all__ = ["Error", "Model", "SectionPlan", "SectionTable", "StressTable", "envelope", "load"]
