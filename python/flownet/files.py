"""Networks to and from files. The programs read every format; this module writes one, the CSV
matrix form, as the bridge from Python, and leaves every other format to `flowentry --convert`."""

import os
import tempfile

from ._programs import FlownetError, run
from .network import Network

FORMATS = ("scor", "csv", "csv-edges", "nea")


def _reader_options(title=None, units=None, non_living=None):
    options = []
    if title is not None:
        options += ["--title", title]
    if units is not None:
        options += ["--units", units]
    if non_living is not None:
        options += ["--non-living", ",".join(str(k) for k in non_living)]
    return options


def _format_of(path, format):
    if format is not None:
        if format not in FORMATS:
            raise FlownetError(f"no format {format}: one of {', '.join(FORMATS)}")
        return format
    lower = str(path).lower()
    return "csv" if lower.endswith(".csv") else "nea" if lower.endswith(".nea") else "scor"


class _Scratch:
    """A temporary folder for the files handed to and from the programs."""

    def __enter__(self):
        self._dir = tempfile.TemporaryDirectory(prefix="flownet-")
        return self._dir.name

    def __exit__(self, *exc):
        self._dir.cleanup()


def write_csv(net, path):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(net.to_csv())


def read(path, title=None, units=None, non_living=None):
    """The network of a file in any format the programs read (told by its name: .csv, .nea, else
    a network file of fixed columns). The readers' notices become warnings."""
    if not os.path.isfile(path):
        raise FlownetError(f"{path}: no such file")
    with _Scratch() as scratch:
        out = os.path.join(scratch, "net.csv")
        _, _, err = run("flowentry", ["--convert", path, "-o", out, "--to", "csv",
                                      *_reader_options(title, units, non_living)])
        _warn(err)
        with open(out, encoding="utf-8", errors="replace") as f:
            return Network.from_csv(f.read())


def write(net, path, format=None, force=False):
    """Writes the network to `path` in a format the programs read (the format its name tells, or
    `format`: scor, csv, csv-edges or nea), with the bytes `flowentry --convert` writes."""
    with _Scratch() as scratch:
        csv = os.path.join(scratch, "net.csv")
        write_csv(net, csv)
        args = ["--convert", csv, "-o", path, "--to", _format_of(path, format), "-q"]
        _, _, err = run("flowentry", args + (["--force"] if force else []))
        _warn(err)
    return path


def _warn(err):
    import warnings

    for line in err.splitlines():
        if line.strip():
            warnings.warn(line, stacklevel=3)
