"""Diagrams of section tables with matplotlib."""

import numpy as np

COMPONENTS = ("N", "Vt", "Vk", "Mn", "Mt", "Mk")


def diagram(table, ax=None, components=("N", "Vt", "Mk")):
    """Draws the section forces along the stations of a SectionTable, one line per request.

    components names the values to draw (N, Vt, Vk, Mn, Mt, Mk); the default, N, Vt and Mk, is the
    normal force, shear and bending moment of a wall or beam cut across its plane. ax is None (a new
    figure with one axes per component), one Axes for all of them, or one Axes per component. A
    request whose maximum and minimum differ (a spectrum term) is drawn as the band between them;
    a section the library could not compute leaves a gap. Returns the list of Axes drawn on.
    """
    import matplotlib.pyplot as plt

    unknown = [name for name in components if name not in COMPONENTS]
    if unknown:
        raise ValueError(f"components: unknown {unknown}, expected some of {COMPONENTS}")
    columns = [COMPONENTS.index(name) for name in components]
    if ax is None:
        _, grid = plt.subplots(len(columns), 1, sharex=True, squeeze=False,
                               figsize=(7, 2.2 * len(columns)), layout="constrained")
        axes = list(grid[:, 0])
    elif hasattr(ax, "plot"):
        axes = [ax] * len(columns)
    else:
        axes = list(ax)
        if len(axes) != len(columns):
            raise ValueError(f"ax: expected {len(columns)} axes, one per component, got {len(axes)}")
    shared = len(set(map(id, axes))) < len(axes)
    for axis, name, column in zip(axes, components, columns):
        for r, request in enumerate(table.requests):
            high, low = table.values[:, r, 0, column], table.values[:, r, 1, column]
            label = f"{name} {request}" if shared else request
            (line,) = axis.plot(table.position, high, label=label)
            if not np.array_equal(high, low, equal_nan=True):
                axis.plot(table.position, low, color=line.get_color())
                axis.fill_between(table.position, low, high, color=line.get_color(), alpha=0.15)
        axis.axhline(0.0, color="0.6", linewidth=0.8)
        axis.set_ylabel(name if not shared else "value")
        axis.grid(True, linewidth=0.3)
    axes[-1].set_xlabel("position along the axis")
    axes[0].legend(fontsize="small")
    return axes
