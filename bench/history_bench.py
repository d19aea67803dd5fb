"""Time histories at scale, side by side in one run: a 25-station plan applied to a record of a 50 x 50-shell
wall with 10,000 steps (4.8 GB) through plan.apply and through the program, beside h5py alone reading the
record's /shells, each in a process of its own so that its peak memory is its own; then xsect.dask.apply
on a cluster of one worker and of two.

    PYTHONPATH=build-bench/python /usr/bin/python3 bench/history_bench.py SCRATCH [--steps 10000]
        [--repeat 3] [--program build-bench/tools/xsect]

SCRATCH holds the model and the record while the benchmark runs and is emptied afterwards.
"""

import argparse
import json
import os
import pathlib
import shutil
import subprocess
import sys
import time

import h5py
import numpy as np

N = 50  # shells along each side of the wall
AXIS = ((25, 0, 0), (25, 0, 50), 25)


def write_record(folder, steps):
    """The wall in the X-Z plane, 1 m shells numbered row by row, and a record chunked by 50 steps."""
    node = lambda i, j: 1 + j * (N + 1) + i
    model = {"format": "xsect-model", "tolerance": 0.001,
             "load_cases": [{"id": 11, "name": "EQ", "type": "time_history", "file": "eq.h5"}],
             "nodes": [{"id": node(i, j), "xyz": [i, 0, j]} for j in range(N + 1) for i in range(N + 1)],
             "shells": [{"id": 1 + j * N + i, "nodes": [node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)]}
                        for j in range(N) for i in range(N)]}
    (folder / "wall.json").write_text(json.dumps(model))
    base = np.random.default_rng(1).standard_normal((100, N * N, 4, 6))
    with h5py.File(folder / "eq.h5", "w") as f:
        shells = f.create_dataset("shells", (steps, N * N, 4, 6), dtype="f8", chunks=(50, N * N, 4, 6))
        for first in range(0, steps, 100):
            count = min(100, steps - first)
            shells[first:first + count] = base[:count] * (1 + first / steps)
        f.create_dataset("time", data=0.005 * np.arange(steps))


def child(what, folder, program):
    """Runs one reader in this process; prints nothing (the parent measures it)."""
    path = folder / "eq.h5"
    if what == "h5py":
        with h5py.File(path) as f:
            shells = f["shells"]
            for first in range(0, shells.shape[0], 100):
                shells[first:first + 100]
    elif what == "apply":
        import xsect
        plan = xsect.load(folder / "wall.json").plan_stations(*AXIS)
        with h5py.File(path) as f:
            plan.apply(f["shells"])


def measured(command):
    """Wall time and peak resident memory (MB) of a process of its own. The peak is the kernel's high-water
    mark of the process's own memory, read while it runs: the rusage of a child counts the memory of the
    parent it was forked from."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    peak = 0
    while process.poll() is None:
        try:
            status = pathlib.Path(f"/proc/{process.pid}/status").read_text()
            peak = max(peak, int(status.split("VmHWM:")[1].split()[0]))
        except (OSError, IndexError):
            pass
        time.sleep(0.005)
    seconds = time.perf_counter() - start
    if process.returncode != 0:
        raise SystemExit(f"{command} failed")
    return seconds, peak / 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scratch", type=pathlib.Path)
    parser.add_argument("--steps", type=int, default=10000)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--program", default="build-bench/tools/xsect")
    parser.add_argument("--child")
    a = parser.parse_args()
    if a.child:
        return child(a.child, a.scratch, a.program)

    import xsect
    import xsect.dask
    from dask.distributed import Client, LocalCluster

    a.scratch.mkdir(parents=True, exist_ok=True)
    try:
        print(f"load average {os.getloadavg()}; writing {a.steps} steps ...", flush=True)
        write_record(a.scratch, a.steps)
        size = (a.scratch / "eq.h5").stat().st_size / 1e9
        me = [sys.executable, __file__, str(a.scratch), "--program", a.program, "--child"]
        runs = {"h5py reads /shells": me + ["h5py"], "plan.apply (h5py dataset)": me + ["apply"],
                "xsect history (C++ reader)": [a.program, "history", str(a.scratch / "wall.json"), "--case", "11",
                                               "--axis", "25,0,0:25,0,50", "--stations", "25",
                                               "--out", str(a.scratch / "out")]}
        times = {name: [] for name in runs}
        for _ in range(a.repeat):
            for name, command in runs.items():
                times[name].append(measured(command))
        print(f"record: {a.steps} steps, {size:.2f} GB; median of {a.repeat} runs, each in a process of its own")
        for name, results in times.items():
            seconds = sorted(r[0] for r in results)[len(results) // 2]
            print(f"  {name:28s} {seconds:7.2f} s   peak {max(r[1] for r in results):6.0f} MB")

        plan = xsect.load(a.scratch / "wall.json").plan_stations(*AXIS)
        with h5py.File(a.scratch / "eq.h5") as f:
            want = plan.apply(f["shells"])
        for workers in (1, 2):
            with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                              dashboard_address=None) as cluster, Client(cluster) as client:
                seconds = []
                for _ in range(a.repeat):
                    start = time.perf_counter()
                    got = xsect.dask.apply(plan, a.scratch / "eq.h5", client, steps_per_task=500)
                    seconds.append(time.perf_counter() - start)
                    assert np.array_equal(got, want), "xsect.dask.apply differs from plan.apply"
            print(f"  xsect.dask.apply, {workers} worker{'s' if workers > 1 else ' '}   "
                  f"{sorted(seconds)[len(seconds) // 2]:7.2f} s   (runs {', '.join(f'{s:.2f}' for s in seconds)})")
        print(f"load average {os.getloadavg()}")
    finally:
        shutil.rmtree(a.scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
