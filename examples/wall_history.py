"""A synthetic earthquake record of the example wall, as a time-history analysis would write it.

    /usr/bin/python3 examples/wall_history.py OUT

writes OUT/eq1.h5, the record, and OUT/wall_history.json, the example wall with load case 11 naming it.
Each step is gravity, swung by a vertical response, plus the wall's two modes (the modal forces of its
spectrum case 3) times their responses to a synthetic ground motion: filtered noise under a
rise-hold-decay envelope, each mode a damped oscillator at its frequency (2.4 Hz and 9.1 Hz across the
wall, 14 Hz vertically; 5 % damping). 20 s in 2000 steps of 0.01 s.
"""

import json
import pathlib
import sys

import h5py
import numpy as np

ROOT = pathlib.Path(__file__).resolve().parents[1]
out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "out/history")
out.mkdir(parents=True, exist_ok=True)
model = json.loads((ROOT / "examples" / "cantilever_wall.json").read_text())
shells = model["shells"]
corners = max(len(s["nodes"]) for s in shells)


def forces(case, mode=None):
    """One case's (or mode's) element nodal forces as a record's step: (M, K, 6), shells in file order."""
    f = np.zeros((len(shells), corners, 6))
    for i, s in enumerate(shells):
        for r in s["results"]:
            if r["case"] == case and r.get("mode") == mode:
                f[i, s["nodes"].index(r["node"])] = r["f"]
    return f


dt, steps = 0.01, 2000
t = np.arange(steps) * dt
rng = np.random.default_rng(19)
envelope = np.minimum(t / 2.0, 1.0) * np.exp(-np.maximum(t - 8.0, 0.0) / 3.0)
ground = np.convolve(rng.standard_normal(steps), np.ones(5) / 5, mode="same") * envelope


def response(frequency, damping=0.05):
    """A damped oscillator's displacement under the ground motion (central differences)."""
    w = 2 * np.pi * frequency
    u = np.zeros(steps)
    for k in range(1, steps - 1):
        a = -ground[k] - 2 * damping * w * (u[k] - u[k - 1]) / dt - w * w * u[k]
        u[k + 1] = 2 * u[k] - u[k - 1] + a * dt * dt
    return u / np.abs(u).max()


q1, q2, qv = response(2.4), 0.6 * response(9.1), 0.25 * response(14.0)
gravity, mode1, mode2 = forces(2), forces(3, 1), forces(3, 2)
with h5py.File(out / "eq1.h5", "w") as f:
    record = f.create_dataset("shells", (steps, len(shells), corners, 6), dtype="f8",
                              chunks=(50, len(shells), corners, 6))
    for first in range(0, steps, 50):
        s = slice(first, first + 50)
        at = (s, None, None, None)
        record[s] = (1 + qv[at]) * gravity + q1[at] * mode1 + q2[at] * mode2
    f.create_dataset("time", data=t)

model["title"] = "Cantilever wall 4 m wide, 6 m high under a synthetic earthquake (kN, m)"
model["load_cases"].append({"id": 11, "name": "EQ1", "type": "time_history", "file": "eq1.h5"})
(out / "wall_history.json").write_text(json.dumps(model))
print(f"wrote {out / 'eq1.h5'} ({steps} steps) and {out / 'wall_history.json'}")
