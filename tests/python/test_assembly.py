"""Assemblies through Python: the example lift core (examples/lift_core.py) loaded and from arrays,
stations and planes, groups and regions, and what only a plane model can do."""

import json
import subprocess
import sys

import numpy as np
import pytest

import xsect
from conftest import ROOT

CORE = ROOT / "examples" / "lift_core.json"
REQUESTS = [("G", {1: 1.0}), ("W", {2: 1.0})]


def core_arrays():
    """The lift core's JSON model as the keyword arguments of Model.from_arrays."""
    m = json.loads(CORE.read_text())
    shells, frames = m["shells"], m["frames"]
    static = {c: np.zeros((len(shells), 4, 6)) for c in (1, 2)}
    for i, s in enumerate(shells):
        for r in s["results"]:
            static[r["case"]][i, s["nodes"].index(r["node"])] = r["f"]
    frame_static = {1: np.array([[r["f"] for r in f["results"]] for f in frames])}
    return dict(node_ids=[n["id"] for n in m["nodes"]], xyz=[n["xyz"] for n in m["nodes"]],
                shell_ids=[s["id"] for s in shells], shell_nodes=[s["nodes"] for s in shells],
                cases={1: {"type": "static"}, 2: {"type": "static"}}, static=static,
                frame_ids=[f["id"] for f in frames], frame_nodes=[f["nodes"] for f in frames],
                frame_static=frame_static, thickness=[s["thickness"] for s in shells])


@pytest.fixture(scope="module")
def core():
    return xsect.load(CORE)


def test_stations_and_planes_up_the_core_carry_its_loads(core):
    assert core.is_assembly and sorted(core.groups) == ["columns", "core"]
    # Between the rows of nodes, 1.5 m apart: G is -24000 kN, -18000 of it in the walls; W's 800 kN
    # at the top is Vt and bends about k = Y.
    z = np.arange(0.75, 30, 1.5)
    for shells, dead in ((None, -24000), (core.groups["core"]["shells"], -18000)):
        table = core.stations((0, 0, z[0]), (0, 0, z[-1]), len(z), REQUESTS, shells=shells)
        np.testing.assert_allclose(table.values[:, 0, 0, 0], dead, rtol=1e-12)
        np.testing.assert_allclose(table.values[:, 1, 0, 1], 800, rtol=1e-12)
        np.testing.assert_allclose(table.values[:, 1, 0, 5], 800 * (30 - z), rtol=1e-12)
        np.testing.assert_allclose(table.centroid, np.column_stack([0 * z, 0 * z, z]), atol=1e-12)
        planes = core.plane_cut(np.column_stack([0 * z, 0 * z, z]), np.tile([0, 0, 3], (len(z), 1)), REQUESTS,
                                shells=shells)
        np.testing.assert_allclose(planes.values, table.values, rtol=1e-12, atol=1e-9)
        assert planes.shells == table.shells
    # A region round the north-east column alone, and a moment point off the centroid.
    corner = [(6, 4, 12), (8, 4, 12), (8, 6, 12), (6, 6, 12)]
    one = core.plane_cut([(0, 0, 12)], [(0, 0, 1)], REQUESTS, region=corner)
    np.testing.assert_allclose(one.values[0, 0, 0, 0], -1500, rtol=1e-12)
    assert one.frames == [[core.groups["columns"]["frames"][4]]] and one.shells == [[]]
    about = core.plane_cut([(0, 0, 12)], [(0, 0, 1)], REQUESTS, moment_point=(1, 0, 12))
    np.testing.assert_allclose(about.values[0, 0, 0, 5], -24000, rtol=1e-12)


def test_an_assembly_from_arrays_equals_the_one_loaded(core):
    model = xsect.Model.from_arrays(**core_arrays())
    assert model.is_assembly
    axis = ((0, 0, 1), (0, 0, 29), 9)
    np.testing.assert_allclose(model.stations(*axis, REQUESTS).values, core.stations(*axis, REQUESTS).values,
                               rtol=1e-13, atol=1e-9)


def test_what_a_plane_model_or_an_assembly_does_not_do(core, loaded):
    with pytest.raises(ValueError, match="assembly"):
        core.cut([[(-4, 0, 3), (4, 0, 3)]])
    with pytest.raises(ValueError, match="assembly"):
        core.forces_on_section(1, (-4, 0, 3), (4, 0, 3))
    with pytest.raises(ValueError, match="plane model"):
        loaded.plane_cut([(2, 0, 3)], [(0, 0, 1)])
    with pytest.raises(ValueError, match="plane model"):
        loaded.stations((2, 0, 0), (2, 0, 6), 3, up=(1, 0, 0))
    with pytest.raises(ValueError, match="Region"):
        core.plane_cut([(0, 0, 12)], [(0, 0, 1)], region=[(0, 0, 12), (1, 0, 12), (0, 1, 13)])
    with pytest.raises(ValueError, match="normals"):
        core.plane_cut([(0, 0, 12)], [(0, 0, 1), (0, 0, 1)])


def test_the_readme_shows_the_core_example_and_it_runs(tmp_path):
    example = ROOT / "examples" / "lift_core_stations.py"
    assert example.read_text().strip() in (ROOT / "README.md").read_text()
    (tmp_path / "examples").symlink_to(ROOT / "examples")
    run = subprocess.run([sys.executable, str(example)], cwd=tmp_path, capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    assert "1.35G+1.5W" in run.stdout and (tmp_path / "lift_core_stations.png").stat().st_size > 0
