"""Assemblies through Python: the example lift core (examples/lift_core.py: G is -24000 kN, -18000 in
the walls; W is 800 kN along X at the top) cut by stations and planes, an assembly from arrays, and
what only a plane model or only an assembly does."""

import subprocess
import sys

import numpy as np
import pytest

import xsect
from conftest import ROOT

REQUESTS = [("G", {1: 1.0}), ("W", {2: 1.0})]


@pytest.fixture(scope="module")
def core():
    return xsect.load(ROOT / "examples" / "lift_core.json")


def test_planes_and_stations_up_the_core_agree_and_take_their_options(core):
    assert core.is_assembly and sorted(core.groups) == ["columns", "core"]
    z = np.arange(0.75, 30, 1.5)  # between the rows of nodes
    walls = core.groups["core"]["shells"]
    table = core.stations((0, 0, z[0]), (0, 0, z[-1]), len(z), REQUESTS, shells=walls)
    planes = core.plane_cut(np.column_stack([0 * z, 0 * z, z]), np.tile([0, 0, 3], (len(z), 1)), REQUESTS, shells=walls)
    np.testing.assert_allclose(planes.values, table.values, rtol=1e-12, atol=1e-9)
    np.testing.assert_allclose(table.values[:, 0, 0, 0], -18000, rtol=1e-12)  # the walls only: shells= reached it
    assert planes.shells == table.shells and all(len(s) == 20 for s in table.shells)
    # A region round the column at (7, 5) alone; G's -24000 kN about a point 1 m along X turns about Y.
    one = core.plane_cut([(0, 0, 12)], [(0, 0, 1)], REQUESTS, region=[(6, 4, 12), (8, 4, 12), (8, 6, 12), (6, 6, 12)])
    np.testing.assert_allclose(one.values[0, 0, 0, 0], -1500, rtol=1e-12)
    assert one.frames == [[5]] and one.shells == [[]]
    about = core.plane_cut([(0, 0, 12)], [(0, 0, 1)], REQUESTS, moment_point=(1, 0, 12))
    np.testing.assert_allclose(about.values[0, 0, 0, 5], -24000, rtol=1e-12)


def test_from_arrays_builds_an_assembly_and_only_the_right_model_takes_each_call(core, loaded):
    # Two walls meeting at a right angle, each 1 x 1, pulled up by 2 per wall across z = 0.5.
    xyz = [(0, 0, 0), (1, 0, 0), (0, 1, 0), (0, 0, 1), (1, 0, 1), (0, 1, 1)]
    up = np.zeros((2, 4, 6))
    up[:, 2:, 2], up[:, :2, 2] = 1, -1  # the top nodes (slots 2, 3) pulled up, the bottom ones down
    walls = xsect.Model.from_arrays([1, 2, 3, 4, 5, 6], xyz, [1, 2], [[1, 2, 5, 4], [3, 1, 4, 6]],
                                    {1: {"type": "static"}}, static={1: up}, thickness=[0.2, 0.4])
    assert walls.is_assembly
    section = walls.plane_cut([(0, 0, 0.5)], [(0, 0, 1)])
    np.testing.assert_allclose(section.values[0, 0, 0, 0], 4, rtol=1e-12)
    np.testing.assert_allclose(section.centroid[0], [0.5 / 3, 1 / 3, 0.5], rtol=1e-12)  # by length x thickness
    for call, match in ((lambda: core.cut([[(-4, 0, 3), (4, 0, 3)]]), "assembly"),
                        (lambda: core.forces_on_section(1, (-4, 0, 3), (4, 0, 3)), "assembly"),
                        (lambda: loaded.plane_cut([(2, 0, 3)], [(0, 0, 1)]), "plane model"),
                        (lambda: loaded.stations((2, 0, 0), (2, 0, 6), 3, up=(1, 0, 0)), "plane model"),
                        (lambda: core.plane_cut([(0, 0, 12)], [(0, 0, 1)], region=[(0, 0, 12), (1, 0, 12), (0, 1, 13)]),
                         "Region"),
                        (lambda: core.plane_cut([(0, 0, 12)], [(0, 0, 1), (0, 0, 1)]), "normals")):
        with pytest.raises(ValueError, match=match):
            call()


def test_the_readme_shows_the_core_example_and_it_runs(tmp_path):
    example = ROOT / "examples" / "lift_core_stations.py"
    assert example.read_text().strip() in (ROOT / "README.md").read_text()
    (tmp_path / "examples").symlink_to(ROOT / "examples")
    run = subprocess.run([sys.executable, str(example)], cwd=tmp_path, capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    assert "1.35G+1.5W" in run.stdout and (tmp_path / "lift_core_stations.png").stat().st_size > 0
