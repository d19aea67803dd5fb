import matplotlib
matplotlib.use("Agg")  # draw into files, no window
import xsect
import xsect.plot

model = xsect.load("examples/cantilever_wall.json")
requests = [("wind", {1: 1.0}), ("1.35 G + 1.5 W", {2: 1.35, 1: 1.5}), ("G + E", {2: 1.0, 3: 1.0})]
table = model.stations((2, 0, 0), (2, 0, 6), 25, requests)  # 25 sections up the wall's axis
print(table.requests, table.values[1, :, 0, :])  # N, Vt, Vk, Mn, Mt, Mk (maxima) at z = 0.25
xsect.plot.diagram(table)[0].figure.savefig("wall_stations.png")
