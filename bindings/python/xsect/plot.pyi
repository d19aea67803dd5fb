from typing import Optional, Sequence, Union

from matplotlib.axes import Axes

from . import SectionTable

COMPONENTS: tuple[str, str, str, str, str, str]

def diagram(
    table: SectionTable,
    ax: Union[None, Axes, Sequence[Axes]] = None,
    components: Sequence[str] = ("N", "Vt", "Mk"),
) -> list[Axes]: ...
