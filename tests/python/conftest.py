"""Shared models for the binding tests: the example cantilever wall, as arrays and as a Model."""

import json
import pathlib

import numpy as np
import pytest

import xsect

ROOT = pathlib.Path(__file__).resolve().parents[2]
WALL_JSON = ROOT / "examples" / "cantilever_wall.json"
WALL_CSV = ROOT / "examples" / "cantilever_wall_csv" / "manifest.json"


def wall_arrays():
    """The example wall's JSON model as the keyword arguments of Model.from_arrays."""
    m = json.loads(WALL_JSON.read_text())
    cases = {c["id"]: {k: v for k, v in c.items() if k != "id"} for c in m["load_cases"]}
    node_ids = np.array([n["id"] for n in m["nodes"]])
    xyz = np.array([n["xyz"] for n in m["nodes"]], dtype=float)
    shells = m["shells"]
    width = max(len(s["nodes"]) for s in shells)
    shell_nodes = np.full((len(shells), width), -1)
    static = {c: np.zeros((len(shells), width, 6)) for c, d in cases.items() if d["type"] == "static"}
    spectrum = {c: np.zeros((len(shells), width, d["modes"], 6)) for c, d in cases.items()
                if d["type"] == "response_spectrum"}
    for i, s in enumerate(shells):
        shell_nodes[i, : len(s["nodes"])] = s["nodes"]
        for r in s["results"]:
            slot = s["nodes"].index(r["node"])
            if "mode" in r:
                spectrum[r["case"]][i, slot, r["mode"] - 1] = r["f"]
            else:
                static[r["case"]][i, slot] = r["f"]
    return dict(node_ids=node_ids, xyz=xyz, shell_ids=np.array([s["id"] for s in shells]),
                shell_nodes=shell_nodes, cases=cases, static=static, spectrum=spectrum,
                tolerance=m["tolerance"], plane_nodes=m["plane_nodes"])


@pytest.fixture(scope="session")
def wall():
    return xsect.Model.from_arrays(**wall_arrays())


@pytest.fixture(scope="session")
def loaded():
    return xsect.load(WALL_JSON)
