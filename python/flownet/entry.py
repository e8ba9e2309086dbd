"""The steady-state check and the balancing, by flowentry."""

import csv
import os

from ._programs import FlownetError, run
from .analyse import _files
from .files import _Scratch
from .network import Network

METHODS = ("average", "input", "output")


def _changes(path):
    """The table of changes: a data frame with pandas, else records with numbers."""
    try:
        import pandas
    except ImportError:
        pandas = None
    if pandas is not None:
        return pandas.read_csv(path, keep_default_na=False, na_values=[""])
    with open(path, encoding="utf-8", errors="replace", newline="") as f:
        records = list(csv.DictReader(f))
    for r in records:
        for key in ("from", "to"):
            r[key] = int(r[key]) if r[key] else None
        for key in ("before", "after", "change"):
            r[key] = float(r[key])
    return records


def check(x):
    """Checks a network (or a network file) for steady state: {"steady": bool, "diagnostics":
    the lines flowentry prints}."""
    with _Scratch() as scratch:
        status, out, _ = run("flowentry", ["--check", *_files(x, scratch)])
    return {"steady": status == 0, "diagnostics": out.splitlines()}


def balance(x, method="average"):
    """The network balanced by flowentry --method: "input" holds the inputs and each
    compartment's output fractions, "output" the exports, respirations and each compartment's
    input fractions, "average" (the default) is the mean of the two; with `changes`: one record per flow, input, export, respiration and stock,
    before and after. Raises FlownetError (status 1) when it cannot be balanced."""
    if method not in METHODS:
        raise ValueError(f"method: one of {', '.join(METHODS)}")
    with _Scratch() as scratch:
        out = os.path.join(scratch, "balanced.csv")
        changes = os.path.join(scratch, "changes.csv")
        args = ["--balance", *_files(x, scratch), "-o", out, "--to", "csv", "--changes",
                changes, "-q"]
        if method != "average":
            args += ["--method", method]
        status, _, err = run("flowentry", args)
        if status == 1:
            raise FlownetError("\n".join(filter(None, [err.rstrip("\n"),
                                                       "the network cannot be balanced"])), 1)
        with open(out, encoding="utf-8", errors="replace") as f:
            net = Network.from_csv(f.read())
        net.changes = _changes(changes)
    return net
