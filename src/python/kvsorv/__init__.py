"""The KVS ORV model in Python: its catalogue, parameter and driver files, runs of a site
(or a chain of cells) as NumPy arrays, and ensemble results files as xarray Datasets."""

from ._core import (  # noqa: F401
    ECalculateError,
    EConvertError,
    EInOutError,
    EIntegratorError,
    EInvalidOp,
    EMathError,
    EOutputStepNotMultiple,
    EOutputStepTooLarge,
    EOutputStepTooSmall,
    EOverflow,
    ERunCanceled,
    ERunTimeError,
    EStepError,
    EStepTooSmall,
    ETooManySteps,
    EZeroDivide,
    Error,
    Site,
    catalogue,
    read_drivers,
    read_parameters,
)


def open_results(path, **kwargs):
    """Opens an ensemble results file (netCDF) as an xarray Dataset; keyword arguments go
    to xarray.open_dataset."""
    import xarray

    return xarray.open_dataset(path, **kwargs)
