"""What the Python module's tests share: the example site, copied where a run may write."""

import os
import pathlib
import shutil

import pytest

SOURCE_DIR = pathlib.Path(os.environ.get("KVSORV_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
EXAMPLES = SOURCE_DIR / "examples"


@pytest.fixture
def site_dir(tmp_path):
    """A copy of the example site's parameter and driver files."""
    for name in ("cell1.par", "cell1.drr", "cell1b.drr"):
        shutil.copy(EXAMPLES / name, tmp_path / name)
    return tmp_path


@pytest.fixture(scope="session")
def site():
    import kvsorv

    return kvsorv.Site(str(EXAMPLES / "cell1.par"), str(EXAMPLES / "cell1.drr"))
