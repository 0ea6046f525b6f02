"""A results file as xarray (with cftime) and NCO see it, checked against kvsorv-cli's own
reading of it: the long CSV export and the envelope analysis."""
import csv
import math
import sys

import cftime
import xarray as xr

work = sys.argv[1]
ds = xr.open_dataset(f"{work}/r.nc")
cf = ds["Cf"]
assert cf.dims == ("time", "member"), cf.dims
assert cf.attrs["units"] == "gC m-2ground", cf.attrs
assert ds["member"].attrs["standard_name"] == "realization"
assert str(ds["status"].dtype) == "int8", ds["status"].dtype
assert list(ds["status"].attrs["flag_values"]) == [0, 1, 2]
assert ds.attrs["results_format"] == 2
when = cftime.DatetimeNoLeap(1610, 1, 1)
exported = {}
with open(f"{work}/r.csv", newline="") as f:
    for row in csv.DictReader(f):
        exported[(int(row["member"]), float(row["time"]), row["output"])] = row["value"]
years = ds["model_year"].values
for m in ds["member"].values:
    for t, year in zip(ds["time"].values, years):
        x = float(ds["Cf"].sel(member=m, time=t))
        assert float(exported[(int(m), float(year), "Cf")]) == x, (m, year)
x1610 = ds["Cf"].sel(member=2, time=when)
assert float(x1610) == float(exported[(2, 1610.0, "Cf")])
with open(f"{work}/env.csv", newline="") as f:
    rows = list(csv.DictReader(f))
for row in rows:
    year = float(row["time"])
    mean = float(ds["Cf"].where(ds["model_year"] == year, drop=True).mean())
    assert math.isclose(mean, float(row["mean"]), rel_tol=1e-9), (year, mean, row["mean"])
one = xr.open_dataset(f"{work}/m3.nc")
assert (one["Cf"].values[:, 0] == ds["Cf"].sel(member=3).values).all()
print("checked", len(exported), "rows")
