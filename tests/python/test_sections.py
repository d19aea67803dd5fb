"""Sections through Python: stations and cuts, requests, the table's fields, the plot and the README."""

import json
import os
import subprocess
import sys

import numpy as np
import pytest

import xsect
import xsect.plot
from conftest import ROOT, WALL_CSV, WALL_JSON, wall_arrays

# Stations up the wall's axis between its rows of nodes, at z = 0.25, 0.75, ..., 5.75.
AXIS = ((2, 0, 0.25), (2, 0, 5.75), 12)
REQUESTS = [("W", {1: 1.0}), ("1.35 G + 1.5 W", {2: 1.35, 1: 1.5}), ("E", {3: 1.0})]


def test_stations_lay_out_requests_bounds_and_components(loaded):
    # The values themselves are the library's (its statics tests); here where each lands. The wind's
    # 120 kN along X is Vt at every station, a static request has no range, gravity's 800 kN is N, and
    # the earthquake spans from minus to plus its magnitude.
    table = loaded.stations(*AXIS, requests=REQUESTS)
    assert table.values.shape == (12, 3, 2, 6) and table.requests == [name for name, _ in REQUESTS]
    np.testing.assert_allclose(table.position, np.arange(12) * 0.5, atol=1e-12)
    np.testing.assert_allclose(table.values[:, 0, :, 1], 120, rtol=1e-9)
    np.testing.assert_allclose(table.values[:, 1, :, 0], 1.35 * -800, rtol=1e-9)
    np.testing.assert_allclose(table.values[:, 2, 1], -table.values[:, 2, 0])
    assert (table.values[:, 2, 0, 1] > 180).all()


def test_a_model_from_arrays_in_any_form_equals_the_model_loaded_from_its_files(wall):
    # CQC coefficients as rows, and a case the library does not compute, which requests=None skips.
    arrays = wall_arrays()
    arrays["cases"][4]["coefficients"] = np.reshape(arrays["cases"][4]["coefficients"], (2, 2)).tolist()
    arrays["cases"][5] = {"name": "pushover", "type": "unsupported"}
    other = xsect.Model.from_arrays(**arrays)
    assert other.case_ids == [1, 2, 3, 4, 5]
    for model in (xsect.load(WALL_JSON), xsect.load(WALL_CSV), other):
        for section in (lambda m: m.stations(*AXIS), lambda m: m.cut([[(-1, 0, 1), (5, 0, 5.5)]])):
            a, b = section(model), section(wall)
            assert a.requests == b.requests == ["1", "2", "3", "4"]
            np.testing.assert_allclose(a.values, b.values, rtol=1e-13, atol=1e-9)


def test_the_files_combinations_are_requests():
    model = xsect.load(WALL_CSV)
    assert model.combinations == [("1.35G+1.5W", {2: 1.35, 1: 1.5})]
    np.testing.assert_array_equal(model.stations(*AXIS, requests=model.combinations).values,
                                  model.stations(*AXIS, requests=[("x", {2: 1.35, 1: 1.5})]).values)


def test_the_table_carries_every_field_of_every_section(loaded):
    cuts = [[(-1, 0, 3), (5, 0, 3)],     # across the whole wall
            [(1, 0, 3), (5, 0, 3)],      # starts inside a shell
            [(-1, 1, 3), (5, 1, 3)]]     # off the plane
    table = loaded.cut(np.array(cuts), REQUESTS[:2])
    fields = dict(position=((3,), np.float64), values=((3, 2, 2, 6), np.float64), status=((3,), np.int32),
                  centroid=((3, 3), np.float64), covered_length=((3,), np.float64), ends_inside=((3,), np.bool_),
                  n=((3, 3), np.float64), t=((3, 3), np.float64), k=((3, 3), np.float64))
    for name, (shape, dtype) in fields.items():
        assert getattr(table, name).shape == shape and getattr(table, name).dtype == dtype, name
    assert list(table.status[:2]) == [0, 0] and table.status[2] == -5  # CS_CUT_LINE_OFF_PLANE
    assert np.isnan(table.values[2]).all() and not np.isnan(table.values[:2]).any()
    np.testing.assert_allclose(table.covered_length[:2], [4, 3])
    assert list(table.ends_inside[:2]) == [False, True]
    np.testing.assert_allclose(table.centroid[0], [2, 0, 3], atol=1e-12)
    np.testing.assert_allclose([table.n[0], table.t[0], table.k[0]], [[0, 0, 1], [1, 0, 0], [0, 1, 0]], atol=1e-12)
    assert len(table.shells) == len(table.frames) == 3 and table.shells[2] == table.frames[2] == []
    assert set(table.shells[1]) < set(table.shells[0])


# The model's calculators hand the file's thicknesses to the cutter (for the C interface too), which
# weights the centroid by area.
def test_a_files_thicknesses_weight_the_centroid(tmp_path, wall):
    # The wall's left half twice as thick: 2 m of 0.5 m about x = 1 and 2 m of 0.25 m about x = 3.
    m = json.loads(WALL_JSON.read_text())
    x = {n["id"]: n["xyz"][0] for n in m["nodes"]}
    for s in m["shells"]:
        if max(x[n] for n in s["nodes"]) <= 2:
            s["thickness"] = 0.5
    (tmp_path / "wall.json").write_text(json.dumps(m))
    cut = [[(-1, 0, 3.25), (5, 0, 3.25)]]
    np.testing.assert_allclose(xsect.load(tmp_path / "wall.json").cut(cut).centroid[0],
                               [(2 * 0.5 * 1 + 2 * 0.25 * 3) / (2 * 0.5 + 2 * 0.25), 0, 3.25], atol=1e-12)
    # Arrays carry no thicknesses: the middle of the covered length.
    np.testing.assert_allclose(wall.cut(cut).centroid[0], [2, 0, 3.25], atol=1e-12)


@pytest.mark.parametrize("call, message", [
    (lambda m: m.stations(*AXIS, requests="W"), "requests: expected None or a list"),
    (lambda m: m.stations(*AXIS, requests=[("W", {1: 1.0}, 2)]), "requests[0]: expected a pair"),
    (lambda m: m.stations(*AXIS, requests=[(1, {1: 1.0})]), "requests[0]: the name is not a string"),
    (lambda m: m.stations(*AXIS, requests=[("W", [1])]), "requests[0]: the terms are not a dict"),
    (lambda m: m.stations(*AXIS, requests=[("W", {1: float("nan")})]), "requests[0]: a factor"),
    (lambda m: m.stations(*AXIS, requests=[("W", {9: 1.0})]), "9"),
    (lambda m: m.stations(*AXIS, requests=[("", {1: 1.0})]), "name"),
    (lambda m: m.stations(*AXIS, requests=[("W", {1: 1.0}), ("W", {2: 1.0})]), "W"),
    (lambda m: m.stations((2, 0, 0), (2, 0, 6), 0), "count"),
    (lambda m: m.stations((2, 0, 0), (2, 0, 0), 5), "axis"),
    (lambda m: m.cut([[0, 0, 0], [4, 0, 0]]), "cuts: expected shape (n, 2, 3)"),
    (lambda m: m.cut([[(0, 0, np.nan), (4, 0, 0)]]), "cuts: a coordinate is not finite"),
])
def test_bad_sections_raise_value_error(loaded, call, message):
    with pytest.raises(ValueError) as e:
        call(loaded)
    assert message in str(e.value)


def test_the_diagram_draws_every_request_and_bands_the_ranges(loaded, tmp_path):
    table = loaded.stations(*AXIS, requests=REQUESTS)
    axes = xsect.plot.diagram(table)
    assert [a.get_ylabel() for a in axes] == ["N", "Vt", "Mk"]
    # One line per static request, two around a band for the earthquake's range.
    assert all(len(a.get_lines()) == 4 + 1 and len(a.collections) == 1 for a in axes)
    np.testing.assert_allclose(axes[2].get_lines()[0].get_ydata(), table.values[:, 0, 0, 5])
    axes[0].figure.savefig(tmp_path / "wall.png")
    assert (tmp_path / "wall.png").stat().st_size > 0
    with pytest.raises(ValueError, match="unknown"):
        xsect.plot.diagram(table, components=("V",))


def test_the_readme_shows_the_examples_and_they_run(tmp_path):
    readme = (ROOT / "README.md").read_text()
    for example in ("wall_stations.py", "wall_stations.c"):
        assert (ROOT / "examples" / example).read_text().strip() in readme, example
    # The example reads examples/ relative to where it runs and writes its picture there.
    (tmp_path / "examples").symlink_to(ROOT / "examples")
    run = subprocess.run([sys.executable, "examples/wall_stations.py"], cwd=tmp_path, capture_output=True,
                         text=True, env={**os.environ, "PYTHONPATH": os.pathsep.join(sys.path)})
    assert run.returncode == 0, run.stderr
    assert "1.35 G + 1.5 W" in run.stdout and (tmp_path / "wall_stations.png").stat().st_size > 0
