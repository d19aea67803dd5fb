"""A section plan applied to a time-history record on a Dask cluster.

Each task opens the record (an HDF5 file, docs/model-format.md), reads its steps' rows of the plan with
h5py and applies the plan to them; the parts are joined in step order. Every step is summed by the same
code whichever task reads it, so the array is plan.apply's on the whole record, bit for bit.
"""

import os

import numpy as np


def _in_record(path, message):
    """The binding's sentence about shell_forces or frame_forces, told of the record's datasets."""
    for argument, dataset in (("shell_forces", "/shells"), ("frame_forces", "/frames")):
        if message.startswith(argument + ":"):
            return f"{path}: dataset {dataset}" + message[len(argument):]
    return f"{path}: {message}"


def _apply_steps(plan, path, first, last):
    import h5py

    with h5py.File(path, "r") as f:
        frames = f["frames"] if "frames" in f else None
        try:
            return plan.apply(f["shells"], frames, steps=(first, last))
        except ValueError as e:
            raise ValueError(_in_record(path, str(e))) from None


def _steps_in(path):
    import h5py

    if not os.path.isfile(path):
        raise ValueError(f"{path}: the record file does not exist")
    try:
        with h5py.File(path, "r") as f:
            if "shells" not in f:
                raise ValueError(f"{path}: the dataset /shells is missing")
            return f["shells"].shape[0]
    except OSError as e:
        raise ValueError(f"{path}: not an HDF5 file ({e})") from None


def apply(plan, path, client=None, steps_per_task=1000):
    """plan.apply over the record at path, its steps shared out as tasks of steps_per_task steps.

    client is a dask.distributed Client, or None for Dask's own scheduler in this process. Returns the
    (T, S, 6) array plan.apply gives for the record's /shells and /frames. Raises ValueError naming the
    file, the dataset and, for a value that is not finite, its step.
    """
    path = os.path.abspath(os.fspath(path))
    if steps_per_task < 1:
        raise ValueError("steps_per_task: expected 1 or more")
    steps = _steps_in(path)
    bounds = [(first, min(first + steps_per_task, steps)) for first in range(0, steps, steps_per_task)]
    if client is None:
        import dask

        parts = dask.compute(*[dask.delayed(_apply_steps)(plan, path, a, b) for a, b in bounds])
    else:
        # Sent once to every worker rather than with each task.
        planned = client.scatter(plan, broadcast=True)
        parts = client.gather([client.submit(_apply_steps, planned, path, a, b, pure=False) for a, b in bounds])
    if not parts:
        return np.empty((0, len(plan.status), 6))
    return np.concatenate(parts)
