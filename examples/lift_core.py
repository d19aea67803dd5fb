"""Writes examples/lift_core.json: a lift core of four walls with four columns beside it, 30 m high,
fixed at its base and loaded at its top, in kN and m.

The core is a box 6 m by 4 m (wall centre lines), its walls 0.3 m thick, meshed 1 m wide and 1.5 m
high. The columns stand at (+-7, +-5), one frame a storey (3 m). The element nodal forces come from
exact states, so every section of the core has a known answer:

- case 1 "G": 3000 kN/m2 of compression in the walls and 1500 kN in each column, brought in at the
  top: N = -24000 kN at every station, -18000 kN of it in the core;
- case 2 "W": 800 kN of wind along +X at the top, carried by the core by bending about Y (the
  stress -800 (30 - z) x / I, I = 32.4 m4 of the walls' centre lines) and by the shear flow that
  balances it: up the core (n = Z, t = X, k = Y) Vt = 800 kN and Mk = 800 (30 - z) kN m.

Each element's nodal forces are the consistent lumping of the stresses on its four edges, so each
element, and every part cut out of the core, is in equilibrium. Run from the repository's root:

    python3 examples/lift_core.py
"""

import json
import os

HEIGHT, ROWS, STOREY = 30.0, 20, 3.0
THICKNESS = 0.3
DEAD_STRESS = -3000.0  # kN/m2 in the walls
COLUMN_FORCE = -1500.0  # kN in each column
WIND = 800.0  # kN along +X at the top

# The ring of wall nodes, clockwise seen from above: the top flange from (-3, 2) to (3, 2), the right
# web down to (3, -2), the bottom flange back to (-3, -2) and the left web up again.
RING = ([(x, 2.0) for x in range(-3, 3)] + [(3.0, y) for y in (2, 1, 0, -1)]
        + [(x, -2.0) for x in range(3, -3, -1)] + [(-3.0, y) for y in (-2, -1, 0, 1)])
RING = [(float(x), float(y)) for x, y in RING]
INERTIA = sum(THICKNESS * (abs(x1 - x0) + abs(y1 - y0)) * (x0 * x0 + x0 * x1 + x1 * x1) / 3
              for (x0, y0), (x1, y1) in zip(RING, RING[1:] + RING[:1]))
COLUMNS = [(7.0, 5.0), (-7.0, 5.0), (-7.0, -5.0), (7.0, -5.0)]


def sigma(case, x, z):
    """The axial stress in the walls, tension positive."""
    return DEAD_STRESS if case == 1 else -WIND * (HEIGHT - z) * x / INERTIA


def shear_flows():
    """The wind's shear flow at each ring node, along the ring's direction: it changes by the stress's
    change with height, -t x WIND / I per unit length, from zero where the right web crosses the
    axis of symmetry; and its midpoint value on each wall piece."""
    k = -WIND / INERTIA * THICKNESS
    start = RING.index((3.0, 0.0))
    at, mid = [0.0] * len(RING), [0.0] * len(RING)
    q = 0.0
    for step in range(len(RING)):
        i = (start + step) % len(RING)
        (x0, y0), (x1, y1) = RING[i], RING[(i + 1) % len(RING)]
        length = abs(x1 - x0) + abs(y1 - y0)
        at[i] = q
        mid[i] = q + k * (x0 * length / 2 + (x1 - x0) * length / 8)
        q += k * (x0 + x1) * length / 2
    assert abs(q) < 1e-9, "the shear flow closes round the ring"
    return at, mid


def main():
    nodes, shells, frames = [], [], []
    ring_node = lambda i, row: 1 + row * len(RING) + i % len(RING)
    for row in range(ROWS + 1):
        for i, (x, y) in enumerate(RING):
            nodes.append({"id": ring_node(i, row), "xyz": [x, y, HEIGHT * row / ROWS]})
    q, q_mid = shear_flows()
    for row in range(ROWS):
        z0, z1 = HEIGHT * row / ROWS, HEIGHT * (row + 1) / ROWS
        h = z1 - z0
        for i in range(len(RING)):
            j = (i + 1) % len(RING)
            (x0, y0), (x1, y1) = RING[i], RING[j]
            length = abs(x1 - x0) + abs(y1 - y0)
            es = ((x1 - x0) / length, (y1 - y0) / length)
            b0, b1, t0, t1 = ring_node(i, row), ring_node(j, row), ring_node(i, row + 1), ring_node(j, row + 1)
            results = []
            for case in (1, 2):
                force = {n: [0.0, 0.0, 0.0] for n in (b0, b1, t0, t1)}

                def add(node, fx, fy, fz):
                    force[node] = [force[node][0] + fx, force[node][1] + fy, force[node][2] + fz]

                # Top and bottom edges: the axial stress (linear along the edge) and the shear flow
                # (quadratic: Simpson's rule), each lumped to the edge's two nodes.
                for (n0, n1, z, sign) in ((t0, t1, z1, 1.0), (b0, b1, z0, -1.0)):
                    s0, s1 = sigma(case, x0, z), sigma(case, x1, z)
                    add(n0, 0, 0, sign * THICKNESS * length * (2 * s0 + s1) / 6)
                    add(n1, 0, 0, sign * THICKNESS * length * (s0 + 2 * s1) / 6)
                    if case == 2:
                        f0, f1 = length / 6 * (q[i] + 2 * q_mid[i]), length / 6 * (2 * q_mid[i] + q[j])
                        add(n0, sign * f0 * es[0], sign * f0 * es[1], 0)
                        add(n1, sign * f1 * es[0], sign * f1 * es[1], 0)
                # The vertical edges carry the shear flow along the height.
                if case == 2:
                    for (n, flow) in ((b0, -q[i]), (t0, -q[i]), (b1, q[j]), (t1, q[j])):
                        add(n, 0, 0, flow * h / 2)
                for node, (fx, fy, fz) in force.items():
                    results.append({"case": case, "node": node, "f": [fx, fy, fz, 0, 0, 0]})
            shells.append({"id": 1 + row * len(RING) + i, "nodes": [b0, b1, t1, t0], "thickness": THICKNESS,
                           "results": results})
    column_node = 1 + (ROWS + 1) * len(RING)
    storeys = int(HEIGHT / STOREY)
    for c, (x, y) in enumerate(COLUMNS):
        for k in range(storeys + 1):
            nodes.append({"id": column_node + c * (storeys + 1) + k, "xyz": [x, y, STOREY * k]})
        for k in range(storeys):
            a = column_node + c * (storeys + 1) + k
            frames.append({"id": 1 + c * storeys + k, "nodes": [a, a + 1], "results": [
                {"case": 1, "end": "A", "f": [0, 0, -COLUMN_FORCE, 0, 0, 0]},
                {"case": 1, "end": "B", "f": [0, 0, COLUMN_FORCE, 0, 0, 0]}]})
    model = {
        "format": "xsect-model", "version": 1,
        "title": "Lift core, 30 m, with four columns",
        "units": {"length": "m", "force": "kN"},
        "tolerance": 0.001,
        "load_cases": [{"id": 1, "name": "G", "type": "static"}, {"id": 2, "name": "W", "type": "static"}],
        "combinations": [{"name": "1.35G+1.5W", "factors": {"1": 1.35, "2": 1.5}}],
        "groups": [{"name": "core", "shells": [s["id"] for s in shells]},
                   {"name": "columns", "frames": [f["id"] for f in frames]}],
        "nodes": nodes, "shells": shells, "frames": frames,
    }
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lift_core.json")
    with open(path, "w") as out:
        json.dump(model, out, separators=(",", ":"))
        out.write("\n")


if __name__ == "__main__":
    main()
