"""The tests run the installed programs (FLOWNET_BIN, or the PATH); without them they are
skipped."""

import json
import os
import subprocess
import sys
import tempfile

import pytest

# FLOWNET_TEST_WITHOUT_PANDAS=1 runs the tests as on a Python without pandas and numpy: the module
# then gives lists of records and lists of rows.
if os.environ.get("FLOWNET_TEST_WITHOUT_PANDAS"):
    sys.modules["pandas"] = None
    sys.modules["numpy"] = None

import flownet  # noqa: E402


@pytest.fixture(autouse=True)
def programs():
    if not flownet.available():
        pytest.skip("the flownet programs are not installed (set FLOWNET_BIN)")


def program_json(path, program="flowanalysis2"):
    """The program's own JSON for a file."""
    with tempfile.TemporaryDirectory() as d:
        out = os.path.join(d, "r.json")
        subprocess.run([flownet.programs()[program], path, "--no-report", "-q", "--json", out],
                       check=True)
        with open(out, encoding="utf-8") as f:
            return json.load(f)["networks"]


def marsh_network():
    """The salt marsh of the examples as Python values: plants take in 100 and pass 30 to
    herbivores and 20 to detritus, herbivores 8 to carnivores and 12 to detritus, carnivores 3 to
    detritus, detritus 10 back to the herbivores; the losses balance each compartment."""
    names = ["PLANTS", "HERBIVORES", "CARNIVORES", "DETRITUS"]
    flows = [[0, 30, 0, 20], [0, 0, 8, 12], [0, 0, 0, 3], [0, 10, 0, 0]]
    return flownet.Network(flows, names=names, input={"PLANTS": 100},
                           export={"CARNIVORES": 1, "DETRITUS": 5}, respiration=[50, 20, 4, 20],
                           stock=[500, 40, 6, 900], living=[True, True, True, False],
                           title="SALT MARSH FROM PYTHON", units="g C m-2 y-1")
