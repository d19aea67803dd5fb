import matplotlib
matplotlib.use("Agg")  # draw into files, no window
import xsect
import xsect.plot

model = xsect.load("examples/lift_core.json")  # an assembly: four walls and four columns
requests = [("G", {1: 1.0}), ("W", {2: 1.0})] + model.combinations
core = model.groups["core"]["shells"]
table = model.stations((0, 0, 0.75), (0, 0, 29.25), 20, requests, shells=core)  # planes up the core
print(table.requests, table.values[0, :, 0, :])  # N, Vt, Vk, Mn, Mt, Mk of the core alone at z = 0.75
xsect.plot.diagram(table)[0].figure.savefig("lift_core_stations.png")
