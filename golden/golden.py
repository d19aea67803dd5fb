"""The Python module's outputs as exact bits, for scripts/golden to compare between builds: floats by
repr (which reads back to the same double), arrays by the hex of their bytes with dtype and shape.
Run from the repository with PYTHONPATH=BUILD/python."""

import numpy as np

import xsect


def show(label, value):
    if isinstance(value, np.ndarray):
        value = f"{value.dtype} {value.shape} {value.tobytes().hex()}"
    elif isinstance(value, float):
        value = repr(value)
    print(label, value)


def show_table(label, table):
    show(label + " requests", table.requests)
    for field in ("position", "values", "status", "centroid", "covered_length", "ends_inside", "n", "t", "k"):
        show(f"{label} {field}", getattr(table, field))


wall = xsect.load("examples/cantilever_wall.json")
show("wall combinations", wall.combinations)

# The README's example: a load case, a combination and a range up the wall's axis.
readme = [("wind", {1: 1.0}), ("1.35 G + 1.5 W", {2: 1.35, 1: 1.5}), ("G + E", {2: 1.0, 3: 1.0})]
show_table("readme stations", wall.stations((2, 0, 0), (2, 0, 6), 25, readme))
show_table("stations every case", wall.stations((0, 0, 3), (4, 0, 4.5), 7))
cuts = [[(-0.25, 0, 0.75), (4.25, 0, 0.75)], [(4.25, 0, 4.75), (-0.25, 0, 4.75)], [(0.3, 0, 1.1), (3.1, 0, 2.6)],
        [(1, 0, 1), (1, 0, 1)], [(0, 1, 0), (4, 1, 0)]]
show_table("cuts", wall.cut(cuts, wall.combinations + readme))

start, end = (-0.25, 0, 3), (4.25, 0, 3)
for case in (1, 3, 4):
    for side in (0, 1):
        show(f"forces {case} {side}", wall.forces_on_section(case, start, end, side=side))
    show(f"forces {case} global", wall.forces_on_section(case, start, end, global_axes=True))
    show(f"forces {case} about", wall.forces_on_section(case, start, end, moment_point=(0, 0, 3)))


def components(shells, points):
    # Varies along the cut and from shell to shell, so that a changed fit shows.
    return np.column_stack([(j + 1) * (1 + 0.01 * shells) + (j - 3.5) * points[:, 0] + 0.1 * j * points[:, 2]
                            for j in range(8)])


for label, options in (("samples", {}), ("positions", {"positions": [0.0, 0.7, 1.9, 3.3, 4.4]}),
                       ("balanced", {"divisions": 3, "balance_mz": True, "include_qt_in_my": True})):
    stresses = wall.stresses(1, (-0.25, 0, 0.75), (4.25, 0, 0.75), (2, 0, 3), components, **options)
    for field in ("position", "point", "values", "balance", "resultant"):
        show(f"stresses {label} {field}", getattr(stresses, field))

strip = xsect.load("examples/tension_strip.json")
show_table("strip stations", strip.stations((0, 0.5, 0), (3, 0.5, 0), 7))
show("strip forces", strip.forces_on_section(1, (1.5, -0.5, 0), (1.5, 1.5, 0), global_axes=True))
