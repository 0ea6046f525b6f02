"""The module's runs give what kvsorv-cli writes, and fail with the model's error kinds."""

import os
import subprocess

import numpy as np
import pytest

import kvsorv

TIMES = dict(start=1550.0, stop=1660.0, step=1.0, output_step=1.0)


def read_out_file(path):
    """An output file's column names and its values as the file's texts."""
    lines = path.read_text().splitlines()
    names = [lines[0][i : i + 20].strip() for i in range(0, len(lines[0]), 21)]
    rows = [line.split() for line in lines[2:] if line.strip()]
    return names, rows


def file_columns(names, rows):
    """Each output symbol of the file's columns (those whose name the catalogue gives to one
    quantity alone), mapped to its column's texts."""
    cat = kvsorv.catalogue()
    quantities = cat["drivers"] + cat["states"] + cat["processes"]
    symbols = [q["symbol"] for q in quantities]
    columns = {}
    for position, q in enumerate(quantities, start=1):
        if symbols.count(q["symbol"]) == 1:
            columns[q["symbol"]] = [row[position] for row in rows]
    assert names[0] == "Time" and len(names) == len(quantities) + 1
    return columns


def cli(*args, cwd):
    subprocess.run([os.environ["KVSORV_CLI"], *args], cwd=cwd, check=True, capture_output=True)


def cli_times():
    return ["--start", "1550", "--stop", "1660", "--step", "1", "--output-step", "1"]


def test_Catalogue_ListsEveryQuantityFromOne():
    cat = kvsorv.catalogue()
    counts = {kind: len(entries) for kind, entries in cat.items()}
    assert counts == {"states": 19, "drivers": 9, "parameters": 88, "processes": 126}
    assert [e["index"] for e in cat["parameters"]][:3] == [1, 2, 3]


@pytest.mark.parametrize(
    "cells, command, out_file",
    [
        (1, ["run", "--params", "cell1.par", "--drivers", "cell1.drr", "--output", "cell1.out"],
         "cell1.out"),
        (2, ["chain", "--params", "cell1.par", "--drivers", "cell1.drr", "--cells", "2",
             "--output-dir", "."], "cell2.out"),
    ],
)
def test_SiteRun_GivesTheValuesTheCliWrites(site_dir, cells, command, out_file):
    cli(*command, *cli_times(), cwd=site_dir)
    names, rows = read_out_file(site_dir / out_file)
    expected = file_columns(names, rows)
    site = kvsorv.Site(str(site_dir / "cell1.par"), str(site_dir / "cell1.drr"))
    result = site.run(outputs=list(expected), cells=cells, **TIMES)
    prefix = "" if cells == 1 else f"cell{cells}/"
    # The file holds each value with 13 significant digits: the module's value rounds to it.
    assert [f"{t:g}" for t in result["time"]] == [row[0] for row in rows]
    for symbol, texts in expected.items():
        got = [float(f"{v:.12e}") for v in result[prefix + symbol]]
        assert got == [float(t) for t in texts], symbol


def test_ParameterValues_ReplaceTheFilesAndNoOthers(site):
    base = site.parameters
    name = "AlambdaW"
    default = site.run(**TIMES)
    same = site.run([base[name]], [name], **TIMES)
    for key in default:
        np.testing.assert_array_equal(same[key], default[key])
    changed = site.run([base[name] * 1.5], [name], **TIMES)
    assert any(not np.array_equal(changed[k], default[k]) for k in default)
    assert site.parameters == base


def test_Files_ReadAsTheirValues(site_dir):
    params = kvsorv.read_parameters(str(site_dir / "cell1.par"))
    assert len(params["parameters"]) == 88 and len(params["states"]) == 19
    drivers = kvsorv.read_drivers(str(site_dir / "cell1.drr"))
    assert drivers["time"][0] == 0.0 and drivers["time"][2] == -1900.0
    assert drivers[kvsorv.catalogue()["drivers"][0]["symbol"]][0] == pytest.approx(350.0, abs=0)


def run_with(site_dir, symbol, value, **times):
    site = kvsorv.Site(str(site_dir / "cell1.par"), str(site_dir / "cell1.drr"))
    return site.run([value], [symbol], **{**TIMES, **times})


@pytest.mark.parametrize(
    "make, kind, words",
    [
        (lambda d: kvsorv.Site(str(d / "cell1.par"), str(d / "cell9.drr")), kvsorv.EInOutError,
         "cell9.drr"),
        (lambda d: kvsorv.Site(str(d / "cell1.drr"), str(d / "cell1.drr")), kvsorv.EInOutError,
         "not a parameter file"),
        (lambda d: kvsorv.Site(str(d / "cell1.par"), str(d / "cell1.drr")).run(step=0.0),
         kvsorv.ERunTimeError, "Time step is too small"),
        (lambda d: run_with(d, "mf", 0.0), kvsorv.EZeroDivide, "division by zero"),
        (lambda d: run_with(d, "mf", -1.0), kvsorv.EInvalidOp, "Invalid floating point"),
        (lambda d: run_with(d, "gCFm", 0.0), kvsorv.EStepTooSmall, "Step size too small"),
        (lambda d: run_with(d, "mf", 80.0, output_step=0.5), kvsorv.EOutputStepTooSmall,
         "less than simulation time step"),
        (lambda d: run_with(d, "mf", 80.0, output_step=1.5), kvsorv.EOutputStepNotMultiple,
         "multiple of simulation time step"),
    ],
)
def test_Failure_RaisesTheModelsErrorKind(site_dir, make, kind, words):
    with pytest.raises(kind, match=words) as raised:
        make(site_dir)
    assert isinstance(raised.value, kvsorv.Error)


def test_ErrorKinds_FollowTheModelsTree():
    assert issubclass(kvsorv.EZeroDivide, kvsorv.EMathError)
    assert issubclass(kvsorv.ETooManySteps, kvsorv.EIntegratorError)
    assert issubclass(kvsorv.ERunCanceled, kvsorv.ERunTimeError)
    assert all(issubclass(k, kvsorv.Error) for k in (kvsorv.EMathError, kvsorv.EInOutError))


def test_UnknownSymbol_RaisesKeyError(site):
    with pytest.raises(KeyError, match="nosuch"):
        site.run([1.0], ["nosuch"])
    with pytest.raises(KeyError, match="nosuch"):
        site.run(outputs=["nosuch"])


PLAN = """params = "cell1.par"
drivers = "cell1.drr"
start = 1590
stop = 1610
members = 3
seed = 1
[[parameter]]
symbol = "rg"
distribution = "uniform"
min = 0.24
max = 0.26
[[output]]
symbol = "Cf"
yearly = true
"""


def test_ResultsFile_OpensAsADatasetOnTheRunsTimes(site_dir):
    (site_dir / "plan.toml").write_text(PLAN)
    cli("sample", "plan.toml", "--method", "mc", "-o", "design.csv", cwd=site_dir)
    cli("ensemble", "run", "plan.toml", "--design", "design.csv", "-o", "results.nc",
        "--threads", "1", cwd=site_dir)
    times = kvsorv.Site(str(site_dir / "cell1.par"), str(site_dir / "cell1.drr")).run(
        start=1590.0, stop=1610.0)["time"]
    with kvsorv.open_results(str(site_dir / "results.nc")) as ds:
        assert int(ds.attrs["seed"]) == 1
        assert any(np.array_equal(c.values, times) for c in ds.coords.values())
