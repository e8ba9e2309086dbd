"""The analyses: the networks are handed to an analysis program, and its JSON results (format
version 2, see docs/results.md of the suite) come back as Python values: tables as pandas data
frames and matrices as labelled data frames when pandas is there, numpy arrays when only numpy
is, lists of records and lists of rows otherwise."""

import json
import os
import warnings

from ._programs import run
from .files import _Scratch, _reader_options, write_csv
from .network import Network

try:
    import pandas
except ImportError:  # pragma: no cover - the module works without it
    pandas = None
try:
    import numpy
except ImportError:  # pragma: no cover
    numpy = None


class Results(dict):
    """The results of one network: the JSON object of the network, its keys also attributes."""

    def __getattr__(self, key):
        try:
            return self[key]
        except KeyError:
            raise AttributeError(key) from None

    def __repr__(self):
        return (f"<flownet.Results {self.get('title')}: {self.get('compartmentCount')} "
                f"compartments>")


def _is_records(v):
    return isinstance(v, list) and v and all(isinstance(e, dict) for e in v)


def _is_matrix(v, n):
    return (isinstance(v, list) and len(v) == n and
            all(isinstance(r, list) and len(r) == n and
                all(x is None or isinstance(x, (int, float)) for x in r) for r in v))


def _shaped(v, names):
    """Tables of records as data frames, n x n matrices labelled by the compartments."""
    n = len(names)
    if isinstance(v, dict):
        return {k: _shaped(x, names) for k, x in v.items()}
    if _is_matrix(v, n) and n > 0:
        rows = [[float("nan") if x is None else x for x in r] for r in v]
        if pandas is not None:
            return pandas.DataFrame(rows, index=names, columns=names)
        return numpy.array(rows, dtype=float) if numpy is not None else rows
    if _is_records(v):
        records = [{k: _shaped(x, names) for k, x in r.items()} for r in v]
        return pandas.DataFrame(records) if pandas is not None else records
    return v


def _results(network):
    names = [c["name"] for c in network["compartments"]]
    r = Results(_shaped(network, names))
    if network["flows"]:
        if pandas is not None:
            r["flows"]["fromName"] = [names[k - 1] for k in r["flows"]["from"]]
            r["flows"]["toName"] = [names[k - 1] for k in r["flows"]["to"]]
        else:
            for flow in r["flows"]:
                flow["fromName"], flow["toName"] = names[flow["from"] - 1], names[flow["to"] - 1]
    return r


def _files(x, scratch):
    """The files the program is to read: paths as given, networks written as CSV tables."""
    items = [x] if isinstance(x, (str, os.PathLike, Network)) else list(x)
    files = []
    for k, item in enumerate(items):
        if isinstance(item, Network):
            path = os.path.join(scratch, f"network{k + 1}.csv")
            write_csv(item, path)
            files.append(path)
        else:
            files.append(os.fspath(item))
    return files


def analyse(x, program="flowanalysis2", threads=None, title=None, units=None):
    """Analyses a network, a file in any format the programs read, or a list of them, with
    `program` (flowanalysis2, or flowanalysis for its own cycle analysis). Returns the Results of
    the one network, or a list of Results when there are several. The run's problems and the
    networks out of steady state are told as warnings."""
    if program not in ("flowanalysis", "flowanalysis2"):
        raise ValueError("program: flowanalysis2 or flowanalysis")
    with _Scratch() as scratch:
        files = _files(x, scratch)
        out = os.path.join(scratch, "results.json")
        args = [*files, "--no-report", "-q", "--json", out, *_reader_options(title, units)]
        if threads is not None:
            args += ["--threads", threads]
        run(program, args)
        with open(out, encoding="utf-8") as f:
            doc = json.load(f)
    for problem in doc["problems"]:
        warnings.warn(f"{program}: {problem['message']}", stacklevel=2)
    results = [_results(net) for net in doc["networks"]]
    for r in results:
        steady = r["steadyState"]
        if not steady["steady"]:
            warnings.warn(f"{r['file']}, network {r['ordinal']}: not in steady state (largest "
                          f"imbalance {steady['largestImbalance']:.4g})", stacklevel=2)
    return results[0] if len(results) == 1 and len(files) == 1 else results
