import os
from typing import Any, Optional, Union

import numpy as np
import numpy.typing as npt

from . import SectionPlan

def apply(
    plan: SectionPlan,
    path: Union[str, os.PathLike[str]],
    client: Optional[Any] = None,
    steps_per_task: int = 1000,
) -> npt.NDArray[np.float64]: ...
