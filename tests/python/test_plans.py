"""Plans over time histories: a record whose steps combine two static cases, through plan.apply, the
program's reader and a Dask cluster; the envelope; and bad records."""

import csv
import json
import os
import pickle
import signal
import subprocess

import h5py
import numpy as np
import pytest

import xsect
import xsect.dask
from conftest import ROOT, WALL_JSON

AXIS = ((2, 0, 0.25), (2, 0, 5.75), 12)
CUTS = np.array([[(-1, 0, 3.1), (5, 0, 3.1)], [(-1, 0, 1.2), (5, 0, 2.3)], [(-1, 1, 3), (5, 1, 3)]])
PROGRAM = os.environ.get("XSECT_PROGRAM")


def write_record(m, folder, a, b, name):
    """Writes model m (a JSON model as a dict) to folder/name.json with a time-history case 11 whose record
    eq.h5 holds the steps a_s x case 1 + b_s x case 2, shells and frames in the file's order."""
    m["load_cases"].append({"id": 11, "name": "EQ", "type": "time_history", "file": "eq.h5"})
    (folder / f"{name}.json").write_text(json.dumps(m))
    corners = max(len(s["nodes"]) for s in m["shells"])
    rows = {"shells": (m["shells"], corners, lambda e, r: e["nodes"].index(r["node"])),
            "frames": (m.get("frames", []), 2, lambda e, r: "AB".index(r["end"]))}
    with h5py.File(folder / "eq.h5", "w") as f:
        for dataset, (elements, slots, slot_of) in rows.items():
            if not elements:
                continue
            case = {c: np.zeros((len(elements), slots, 6)) for c in (1, 2)}
            for i, e in enumerate(elements):
                for r in e.get("results", []):
                    if r["case"] in case:
                        case[r["case"]][i, slot_of(e, r)] = r["f"]
            f.create_dataset(dataset, data=a[:, None, None, None] * case[1] + b[:, None, None, None] * case[2],
                             chunks=(64, len(elements), slots, 6))
        f.create_dataset("time", data=0.02 * np.arange(len(a)))
    return xsect.load(folder / f"{name}.json")


@pytest.fixture(scope="module")
def record(tmp_path_factory):
    """The example wall with its shells listed backwards (so rows are not ascending numbers) and a
    record of 300 steps a_s W + b_s G (cases 1 and 2), chunked by 64 steps."""
    folder = tmp_path_factory.mktemp("record")
    m = json.loads(WALL_JSON.read_text())
    m["shells"].reverse()
    s = np.arange(300)
    a, b = np.sin(0.05 * s) * (1 + s / 100), np.cos(0.13 * s) - 0.2
    return folder, write_record(m, folder, a, b, "wall"), a, b


def test_steps_combining_two_static_cases_give_the_cutters_combination(record):
    folder, model, a, b = record
    with h5py.File(folder / "eq.h5") as f:
        shells = f["shells"]
        for plan, table in ((model.plan_stations(*AXIS), model.stations(*AXIS, [("W", {1: 1}), ("G", {2: 1})])),
                            (model.plan_cut(CUTS), model.cut(CUTS, [("W", {1: 1}), ("G", {2: 1})]))):
            got = plan.apply(shells)
            want = a[:, None, None] * table.values[:, 0, 0] + b[:, None, None] * table.values[:, 1, 0]
            # Values up to about 1000 from a few dozen nodes: 1e-12 relative to that.
            np.testing.assert_allclose(got, want, rtol=0, atol=1e-12 * 1000)
            np.testing.assert_array_equal(plan.status, table.status)
            # The same bits from numpy, a memmap-like view of a few steps, and pickled plans and models.
            np.testing.assert_array_equal(plan.apply(shells[:]), got)
            np.testing.assert_array_equal(plan.apply(shells, steps=(7, 70)), got[7:70])
            np.testing.assert_array_equal(pickle.loads(pickle.dumps(plan)).apply(shells), got)
        again = pickle.loads(pickle.dumps(model))
        np.testing.assert_array_equal(again.plan_cut(CUTS).apply(shells), model.plan_cut(CUTS).apply(shells))


@pytest.mark.skipif(PROGRAM is None, reason="the program is not built")
def test_the_programs_envelope_and_series_are_the_plans_and_a_brute_force_scan(record, tmp_path):
    folder, model, _, _ = record
    run = subprocess.run([PROGRAM, "history", folder / "wall.json", "--case", "11", "--axis", "2,0,0.25:2,0,5.75",
                          "--stations", "12", "--series", "1,12", "--out", tmp_path], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    with h5py.File(folder / "eq.h5") as f:
        values, time = model.plan_stations(*AXIS).apply(f["shells"]), f["time"][:]
    rows = list(csv.DictReader(open(tmp_path / "history_envelope.csv")))
    assert len(rows) == 12 * 6
    for row, (station, component) in zip(rows, np.ndindex(12, 6)):
        series = values[:, station, component]
        for bound, step in (("max", np.argmax(series)), ("min", np.argmin(series))):
            assert int(row[f"step_of_{bound}"]) == step and float(row[f"time_of_{bound}"]) == pytest.approx(time[step])
            assert float(row[bound]) == pytest.approx(series[step], rel=1e-9, abs=1e-9)
    series = np.loadtxt(tmp_path / "history_series.csv", delimiter=",", skiprows=1)
    np.testing.assert_allclose(series[:, 3:].reshape(300, 2, 6), values[:, [0, 11]], rtol=1e-9, atol=1e-9)
    assert (tmp_path / "history.svg").read_text().startswith("<svg")


def test_the_envelope_is_a_brute_force_scan_with_nan_and_ties():
    rng = np.random.default_rng(3)
    series = rng.integers(-5, 5, size=(40, 3, 4)).astype(float)  # many ties
    series[rng.random(series.shape) < 0.2] = np.nan
    series[:, 0, 0] = np.nan
    high, low, at_high, at_low = xsect.envelope(series)
    never = np.isnan(series).all(axis=0)
    for got, at, scan in ((high, at_high, np.argmax(np.where(np.isnan(series), -np.inf, series), axis=0)),
                          (low, at_low, np.argmin(np.where(np.isnan(series), np.inf, series), axis=0))):
        np.testing.assert_array_equal(at, np.where(never, -1, scan))
        np.testing.assert_array_equal(got, np.where(never, np.nan, np.take_along_axis(series, scan[None], 0)[0]))


@pytest.mark.filterwarnings("ignore::DeprecationWarning")  # tornado, inside distributed
def test_dask_on_two_worker_processes_gives_plan_apply_bit_for_bit(record):
    from dask.distributed import Client, LocalCluster

    folder, model, _, _ = record
    plan = model.plan_stations(*AXIS)
    with h5py.File(folder / "eq.h5") as f:
        want = plan.apply(f["shells"])
    # CI runs this: a cluster that does not answer fails the test instead of hanging it.
    signal.signal(signal.SIGALRM, lambda *_: pytest.fail("the Dask cluster took over 120 s"))
    signal.alarm(120)
    try:
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
                Client(cluster) as client:
            for sent in (plan, pickle.loads(pickle.dumps(plan))):
                np.testing.assert_array_equal(xsect.dask.apply(sent, folder / "eq.h5", client, steps_per_task=70), want)
    finally:
        signal.alarm(0)
    np.testing.assert_array_equal(xsect.dask.apply(plan, folder / "eq.h5", steps_per_task=128), want)


def bad_records(folder):
    """(what, make the record at path, the words its sentence must hold)."""
    def shells(data):
        def make(path):
            with h5py.File(path, "w") as f:
                f.create_dataset("shells", data=data)
                f.create_dataset("time", data=np.arange(len(data), dtype=float))
        return make
    good = h5py.File(folder / "eq.h5")["shells"][:20]
    nan = good.copy()
    nan[13, 50, 2, 4] = np.nan
    return [("shape", shells(good[:, :-1]), ["/shells", "shape"]),
            ("missing", lambda path: h5py.File(path, "w").close(), ["/shells", "missing"]),
            ("nan", shells(nan), ["/shells", "step 13", "row 50", "corner 2"]),
            ("absent", lambda path: None, ["does not exist"])]


def test_bad_records_give_one_sentence_naming_the_file_dataset_and_step(record, tmp_path):
    folder, model, _, _ = record
    m = json.loads((folder / "wall.json").read_text())
    m["load_cases"][-1]["file"] = str(tmp_path / "bad.h5")
    (tmp_path / "wall.json").write_text(json.dumps(m))
    for what, make, words in bad_records(folder):
        path = tmp_path / "bad.h5"
        path.unlink(missing_ok=True)
        make(path)
        with pytest.raises(ValueError) as e:
            xsect.dask.apply(model.plan_stations(*AXIS), path)
        assert all(w in str(e.value) for w in [str(path)] + words), (what, str(e.value))
        if PROGRAM:
            run = subprocess.run([PROGRAM, "history", tmp_path / "wall.json", "--case", "11", "--axis",
                                  "2,0,0.25:2,0,5.75", "--stations", "12"], capture_output=True, text=True)
            assert run.returncode == 2 and run.stderr.count("\n") == 1, (what, run.stderr)
            assert all(w in run.stderr for w in [str(path)] + words), (what, run.stderr)


def test_an_assemblys_station_plan_and_the_programs_history_give_its_stations(tmp_path):
    # The lift core's walls alone under a_s G + b_s W, stations up the core with k along X.
    s = np.arange(100)
    a, b = 1 + 0.2 * np.sin(0.3 * s), np.cos(0.2 * s)
    core = write_record(json.loads((ROOT / "examples" / "lift_core.json").read_text()), tmp_path, a, b, "core")
    walls = core.groups["core"]["shells"]
    axis = ((0, 0, 0.75), (0, 0, 29.25), 20)
    plan = core.plan_stations(*axis, up=(1, 0, 0), shells=walls)
    table = core.stations(*axis, [("G", {1: 1}), ("W", {2: 1})], up=(1, 0, 0), shells=walls)
    with h5py.File(tmp_path / "eq.h5") as f:
        got = plan.apply(f["shells"], f["frames"])
    want = a[:, None, None] * table.values[:, 0, 0] + b[:, None, None] * table.values[:, 1, 0]
    np.testing.assert_allclose(got, want, rtol=0, atol=1e-12 * 24000 * 30)
    assert set(plan.shells) <= set(range(400)) and len(plan.frames) == 0
    with pytest.raises(ValueError, match="plane model"):
        core.plan_cut(CUTS)
    if PROGRAM is None:
        return
    run = subprocess.run([PROGRAM, "history", tmp_path / "core.json", "--case", "11", "--axis", "0,0,0.75:0,0,29.25",
                          "--stations", "20", "--group", "core", "--up", "1,0,0"], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    rows = list(csv.DictReader(run.stdout.splitlines()))
    np.testing.assert_allclose([float(r["max"]) for r in rows], got.max(axis=0).ravel(), rtol=1e-9, atol=1e-6)
