"""The Python boundary of models: from_arrays, the host interface's cut and the cut-line stresses."""

import pickle
import sys
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import xsect
from conftest import WALL_JSON, wall_arrays

# A horizontal cut across the whole wall at z = 3 and its midpoint.
ACROSS = ((-0.25, 0, 3), (4.25, 0, 3))


def spoil(**changes):
    def apply(a):
        for key, change in changes.items():
            a[key] = change(a[key]) if callable(change) else change
    return apply


def set_at(index, value):
    def change(array):
        array = np.array(array)
        array[index] = value
        return array
    return change


def with_case(case, **fields):
    return lambda cases: {**cases, case: {**cases[case], **fields}}


BAD_ARRAYS = [
    (spoil(xyz=lambda x: x[:, :2]), "xyz: expected shape (117, 3), got (117, 2)"),
    (spoil(node_ids=lambda n: n.astype(float)), "node_ids: expected integers"),
    (spoil(xyz=lambda x: x.astype(str)), "xyz: expected real numbers"),
    (spoil(node_ids=set_at(0, 2**40)), "node_ids: 1099511627776 does not fit in 32 bits"),
    (spoil(shell_nodes=lambda s: s[:-1]), "shell_nodes: expected shape (96, n)"),
    (spoil(xyz=set_at((5, 0), np.nan)), "node 6: a coordinate is not finite"),
    (spoil(static=lambda s: {**s, 1: set_at((3, 2, 4), np.inf)(s[1])}),
     "load case 1, shell 4, node 14: a result is not finite"),
    (spoil(static=lambda s: {**s, 9: s[1]}), "static[9]: unknown load case"),
    (spoil(static=lambda s: {**s, 3: s[1]}), "static[3]: load case 3 is a response-spectrum case"),
    (spoil(spectrum=lambda s: {**s, 3: s[3][:, :, :1]}), "spectrum[3]: expected shape (96, 4, 2, 6)"),
    (spoil(cases=with_case(1, nmae="wind")), 'cases[1]["nmae"]: unknown key'),
    (spoil(cases=with_case(3, combination="sqrt")), "unknown value 'sqrt'"),
    (spoil(cases=with_case(4, coefficients=[1, 0, 0])), 'cases[4]["coefficients"]: expected shape (2, 2)'),
    (spoil(cases=with_case(4, coefficients=[[1, 0, 0], [0, 1, 0]])), "expected shape (2, 2), got (2, 3)"),
    (spoil(cases=[1, 2]), "cases: expected a dict"),
    (spoil(frame_ids=[1]), "frame_ids and frame_nodes: give both or neither"),
    (spoil(tolerance=float("nan")), "tolerance: expected a finite number"),
    (spoil(plane_nodes=[1, 9]), "plane_nodes: expected shape (3,)"),
]


def test_a_model_keeps_no_reference_to_the_arrays():
    arrays = wall_arrays()
    counts = [sys.getrefcount(a) for a in (arrays["xyz"], arrays["static"][1], arrays["spectrum"][3])]
    model = xsect.Model.from_arrays(**arrays)
    assert [sys.getrefcount(a) for a in (arrays["xyz"], arrays["static"][1], arrays["spectrum"][3])] == counts
    assert model.case_names == {1: "wind", 2: "gravity", 3: "earthquake SRSS", 4: "earthquake CQC"}
    # So it pickles by its arrays while they exist, and an unpickled model by its own.
    again = pickle.loads(pickle.dumps(pickle.loads(pickle.dumps(model))))
    cut = [[(-1, 0, 1), (5, 0, 5)]]
    np.testing.assert_array_equal(again.cut(cut).values, model.cut(cut).values)
    del arrays
    with pytest.raises(ValueError, match="arrays that are gone"):
        pickle.dumps(model)


@pytest.mark.parametrize("change, message", BAD_ARRAYS, ids=[m for _, m in BAD_ARRAYS])
def test_from_arrays_refuses_bad_input_with_a_sentence(change, message):
    arrays = wall_arrays()
    change(arrays)
    with pytest.raises(ValueError) as e:
        xsect.Model.from_arrays(**arrays)
    assert message in str(e.value)


def test_forces_on_section_hands_every_argument_on(wall):
    # The wind's 120 kN along X and 15 kN along Y act 3 m above the cut's midpoint (2, 0, 3).
    above = np.array([120, 15, 0, -45, 360, 0])
    np.testing.assert_allclose(wall.forces_on_section(1, *ACROSS, global_axes=True), above, atol=1e-9)
    np.testing.assert_allclose(wall.forces_on_section(1, *ACROSS, side=1, global_axes=True), -above, atol=1e-9)
    # About (0, 0, 3) instead, 2 m from the midpoint along X: Mz gains 2 m x 15 kN.
    shifted = wall.forces_on_section(1, *ACROSS, global_axes=True, moment_point=(0, 0, 3))
    np.testing.assert_allclose(shifted, above + [0, 0, 0, 0, 0, 30], atol=1e-9)
    assert wall.case_ids == [1, 2, 3, 4]


def uniform_gravity_stress(shells, points):
    # Gravity's 800 kN over the 4 m x 0.25 m section: St = -800 everywhere, nothing else.
    assert shells.dtype == np.int32 and points.shape == (len(shells), 3)
    components = np.zeros((len(shells), 8))
    components[:, 1] = -800
    return components


def test_stresses_hand_the_callers_components_to_the_smoothing(loaded):
    # The thickness, 0.25 m, is the model file's.
    table = loaded.stresses(2, *ACROSS, face=(2, 0, 4), components=uniform_gravity_stress,
                            positions=[0.5, 1.5, 2.5, 3.5, 4.0])
    np.testing.assert_allclose(table.position, [0.5, 1.5, 2.5, 3.5, 4.0])
    np.testing.assert_allclose(table.point[:, [1, 2]], np.tile([0, 3], (5, 1)), atol=1e-12)
    np.testing.assert_allclose(table.values[:, xsect.StressTable.quantities.index("St")], -800, rtol=1e-9)
    np.testing.assert_allclose(table.resultant, table.balance, atol=1e-6)
    assert abs(table.balance).max() == pytest.approx(800)


def samples_only(shells, points):
    return np.zeros((len(shells), 8))


def off_the_plane():
    arrays = wall_arrays()
    arrays["xyz"][5, 1] = 0.5
    return arrays


@pytest.mark.parametrize("call, refusal", [
    (lambda w: xsect.Model.from_arrays(**off_the_plane()), "CS_PLANE_NOT_DEFINED"),
    (lambda w: w.forces_on_section(1, (5, 0, 1), (6, 0, 1)), "CS_NO_ELEMENTS_CROSSED"),
    (lambda w: w.forces_on_section(1, (0, 1, 3), (4, 1, 3)), "CS_CUT_LINE_OFF_PLANE"),
    (lambda w: w.forces_on_section(1, *ACROSS, moment_point=(2, 1, 3)), "CS_MOMENT_POINT_OFF_PLANE"),
    (lambda w: w.stresses(1, *ACROSS, (1, 0, 3), samples_only, 0.25), "CS_THIRD_POINT_ON_CUT_LINE"),
    (lambda w: w.stresses(1, *ACROSS, (2, 0, 4), samples_only, {}), "CS_NO_THICKNESS"),
    (lambda w: w.stresses(1, *ACROSS, (2, 0, 4), samples_only, 0.0), "CS_NONPOSITIVE_THICKNESS"),
])
def test_refusals_raise_error_with_the_status(wall, call, refusal):
    with pytest.raises(xsect.Error) as e:
        call(wall)
    assert e.value.name == refusal and e.value.status < 0 and e.value.message in str(e.value)


@pytest.mark.parametrize("call, message", [
    (lambda w: xsect.load(WALL_JSON.with_name("missing.json")), "missing.json"),
    (lambda w: w.forces_on_section(7, *ACROSS), "unknown load case 7"),
    (lambda w: w.forces_on_section(1, (0, 0), (4, 0, 3)), "start: expected shape (3,)"),
    (lambda w: w.forces_on_section(1, *ACROSS, side=2), "side must be 0 or 1"),
    (lambda w: w.forces_on_section(1.5, *ACROSS), "case: expected an integer"),
    (lambda w: w.stresses(1, *ACROSS, (2, 0, 4), "St", 0.25), "components: expected a function"),
    (lambda w: w.stresses(1, *ACROSS, (2, 0, 4), lambda s, p: np.zeros((len(s), 6)), 0.25),
     "components(shells, points): expected shape"),
    (lambda w: w.stresses(1, *ACROSS, (2, 0, 4), lambda s, p: np.full((len(s), 8), np.nan), 0.25),
     "components(shells, points): a value is not finite"),
    (lambda w: w.stresses(1, *ACROSS, (2, 0, 4), samples_only, 0.25, positions=[1, np.nan]),
     "positions: a position is not finite"),
])
def test_bad_calls_raise_value_error(wall, call, message):
    with pytest.raises(ValueError) as e:
        call(wall)
    assert message in str(e.value)


def test_a_model_serves_many_threads_at_once(wall):
    calls = [(case, side) for case in (1, 2, 3, 4) for side in (0, 1)] * 10
    def cut(call):
        return wall.forces_on_section(call[0], *ACROSS, side=call[1])
    alone = [cut(call) for call in calls]
    with ThreadPoolExecutor(4) as pool:
        together = list(pool.map(cut, calls))
    np.testing.assert_array_equal(np.array(together), np.array(alone))
