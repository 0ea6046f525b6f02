"""Observations of a twin experiment: the example site run with known parameter values (the
truth), its foliage and wood carbon every other year from 1602 to 1700, with Gaussian noise
of 2 % (foliage) and 1 % (wood). Writes observations.csv and truth.csv beside this file.

    PYTHONPATH=build/python /usr/bin/python3 examples/twin/make_observations.py
"""

import csv
import pathlib

import numpy as np

import kvsorv

HERE = pathlib.Path(__file__).parent
SITE = HERE.parent
# The truth, as factors of the example site's values.
TRUTH = {"rg": 1.1, "mf": 0.95, "knh4": 1.05, "rm": 0.95}
ERRORS = {"Cf": 0.02, "Cw": 0.01}  # relative standard deviations
TIMES = range(1602, 1701, 2)

site = kvsorv.Site(str(SITE / "cell1.par"), str(SITE / "cell1.drr"))
values = [site.parameters[p] * f for p, f in TRUTH.items()]
run = site.run(values, list(TRUTH), outputs=list(ERRORS), start=1590.0, stop=1700.0)
rng = np.random.default_rng(20261211)
with open(HERE / "observations.csv", "w", newline="") as f:
    out = csv.writer(f)
    out.writerow(["time", "output", "value", "relative_error"])
    for output, error in ERRORS.items():
        for t in TIMES:
            i = list(run["time"]).index(float(t))
            true = run[output][i]
            out.writerow([t, output, f"{true * (1 + error * rng.standard_normal()):.6g}", error])
with open(HERE / "truth.csv", "w", newline="") as f:
    out = csv.writer(f)
    out.writerow(["parameter", "value"])
    for p, v in zip(TRUTH, values):
        out.writerow([p, f"{v:.10g}"])
