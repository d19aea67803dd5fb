import os
from typing import Any, Callable, ClassVar, Mapping, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

ArrayLike = npt.ArrayLike
Point = Union[Sequence[float], npt.NDArray[np.float64]]
Requests = Optional[Sequence[tuple[str, Mapping[int, float]]]]

class Error(Exception):
    """The library refused a request."""

    status: int
    name: str
    message: str

class SectionTable:
    @property
    def position(self) -> npt.NDArray[np.float64]: ...
    @property
    def values(self) -> npt.NDArray[np.float64]: ...
    @property
    def requests(self) -> list[str]: ...
    @property
    def status(self) -> npt.NDArray[np.int32]: ...
    @property
    def centroid(self) -> npt.NDArray[np.float64]: ...
    @property
    def covered_length(self) -> npt.NDArray[np.float64]: ...
    @property
    def ends_inside(self) -> npt.NDArray[np.bool_]: ...
    @property
    def n(self) -> npt.NDArray[np.float64]: ...
    @property
    def t(self) -> npt.NDArray[np.float64]: ...
    @property
    def k(self) -> npt.NDArray[np.float64]: ...
    @property
    def shells(self) -> list[list[int]]: ...
    @property
    def frames(self) -> list[list[int]]: ...

class StressTable:
    quantities: ClassVar[tuple[str, str, str, str, str]]
    @property
    def position(self) -> npt.NDArray[np.float64]: ...
    @property
    def point(self) -> npt.NDArray[np.float64]: ...
    @property
    def values(self) -> npt.NDArray[np.float64]: ...
    @property
    def balance(self) -> npt.NDArray[np.float64]: ...
    @property
    def resultant(self) -> npt.NDArray[np.float64]: ...

class SectionPlan:
    @property
    def shells(self) -> npt.NDArray[np.int32]: ...
    @property
    def frames(self) -> npt.NDArray[np.int32]: ...
    @property
    def position(self) -> npt.NDArray[np.float64]: ...
    @property
    def status(self) -> npt.NDArray[np.int32]: ...
    def apply(
        self,
        shell_forces: Any,
        frame_forces: Optional[Any] = None,
        *,
        steps: Optional[tuple[int, int]] = None,
    ) -> npt.NDArray[np.float64]: ...

def envelope(
    series: ArrayLike,
) -> tuple[npt.NDArray[np.float64], npt.NDArray[np.float64], npt.NDArray[np.int64], npt.NDArray[np.int64]]: ...
def load(path: Union[str, os.PathLike[str]]) -> Model: ...

class Model:
    @staticmethod
    def from_arrays(
        node_ids: ArrayLike,
        xyz: ArrayLike,
        shell_ids: ArrayLike,
        shell_nodes: ArrayLike,
        cases: Mapping[int, Mapping[str, object]],
        static: Optional[Mapping[int, ArrayLike]] = None,
        spectrum: Optional[Mapping[int, ArrayLike]] = None,
        frame_ids: Optional[ArrayLike] = None,
        frame_nodes: Optional[ArrayLike] = None,
        frame_static: Optional[Mapping[int, ArrayLike]] = None,
        frame_spectrum: Optional[Mapping[int, ArrayLike]] = None,
        tolerance: float = 0.001,
        plane_nodes: Optional[Sequence[int]] = None,
        thickness: Optional[ArrayLike] = None,
    ) -> Model: ...
    @property
    def case_ids(self) -> list[int]: ...
    @property
    def case_names(self) -> dict[int, str]: ...
    @property
    def combinations(self) -> list[tuple[str, dict[int, float]]]: ...
    @property
    def is_assembly(self) -> bool: ...
    @property
    def groups(self) -> dict[str, dict[str, list[int]]]: ...
    def stations(
        self,
        axis_start: Point,
        axis_end: Point,
        count: int,
        requests: Requests = None,
        up: Optional[Point] = None,
        shells: Optional[ArrayLike] = None,
        frames: Optional[ArrayLike] = None,
        region: Optional[ArrayLike] = None,
        moment_point: Optional[Point] = None,
    ) -> SectionTable: ...
    def plan_stations(
        self,
        axis_start: Point,
        axis_end: Point,
        count: int,
        up: Optional[Point] = None,
        shells: Optional[ArrayLike] = None,
        frames: Optional[ArrayLike] = None,
        region: Optional[ArrayLike] = None,
        moment_point: Optional[Point] = None,
    ) -> SectionPlan: ...
    def plan_plane_cut(
        self,
        points: ArrayLike,
        normals: ArrayLike,
        up: Optional[Point] = None,
        shells: Optional[ArrayLike] = None,
        frames: Optional[ArrayLike] = None,
        region: Optional[ArrayLike] = None,
        moment_point: Optional[Point] = None,
    ) -> SectionPlan: ...
    def plan_cut(self, cuts: ArrayLike) -> SectionPlan: ...
    def cut(self, cuts: ArrayLike, requests: Requests = None) -> SectionTable: ...
    def plane_cut(
        self,
        points: ArrayLike,
        normals: ArrayLike,
        requests: Requests = None,
        up: Optional[Point] = None,
        shells: Optional[ArrayLike] = None,
        frames: Optional[ArrayLike] = None,
        region: Optional[ArrayLike] = None,
        moment_point: Optional[Point] = None,
    ) -> SectionTable: ...
    def forces_on_section(
        self,
        case: int,
        start: Point,
        end: Point,
        side: int = 0,
        global_axes: bool = False,
        moment_point: Optional[Point] = None,
    ) -> npt.NDArray[np.float64]: ...
    def stresses(
        self,
        case: int,
        start: Point,
        end: Point,
        face: Point,
        components: Callable[[npt.NDArray[np.int32], npt.NDArray[np.float64]], ArrayLike],
        thickness: Union[float, Mapping[int, float], None] = None,
        divisions: int = 4,
        spacing: float = 0.0,
        positions: Optional[ArrayLike] = None,
        balance_mz: bool = False,
        include_qt_in_my: bool = False,
    ) -> StressTable: ...
