"""A network as Python holds it: the flow matrix with the compartments' names, the boundary flows,
the stocks, which compartments are living, the title and the units; and the CSV table of the
matrix form, the bridge to the programs."""

import csv
import io
import math


def _matrix(flows):
    """The flows as a list of rows, with the names of a pandas DataFrame when it has them."""
    names = None
    if hasattr(flows, "index") and hasattr(flows, "columns"):  # a pandas DataFrame
        names = [str(n) for n in flows.index]
        if [str(c) for c in flows.columns] != names:
            raise ValueError("the row and column names of flows differ")
        flows = flows.to_numpy()
    rows = [[float(v) for v in row] for row in (flows.tolist() if hasattr(flows, "tolist")
                                                else flows)]
    return rows, names


def _per_compartment(values, names, what, default=0.0):
    """One value per compartment, from a sequence in order or a mapping by name."""
    if values is None:
        return [default] * len(names)
    if hasattr(values, "to_dict"):  # a pandas Series
        values = values.to_dict()
    if isinstance(values, dict):
        unknown = [k for k in values if k not in names]
        if unknown:
            raise ValueError(f"{what} names compartments the flow matrix does not: "
                             + ", ".join(map(str, unknown)))
        return [values.get(n, default) for n in names]
    values = list(values)
    if len(values) != len(names):
        raise ValueError(f"{what} has {len(values)} values for {len(names)} compartments")
    return values


class Network:
    """A flow network: flows[i][j] from compartment i to j, from row to column."""

    def __init__(self, flows, names=None, input=None, export=None, respiration=None, stock=None,
                 living=None, title="", units=None, stock_units=None, settings=None):
        rows, frame_names = _matrix(flows)
        n = len(rows)
        if n == 0 or any(len(r) != n for r in rows):
            raise ValueError("flows must be a square matrix, from row to column")
        self.names = [str(x) for x in (names or frame_names
                                       or [f"COMPARTMENT {k + 1}" for k in range(n)])]
        if len(self.names) != n or len(set(self.names)) != n:
            raise ValueError("there must be one name for each compartment, all different")
        self.flows = [[0.0 if math.isnan(v) else v for v in row] for row in rows]
        self.input = [float(v) for v in _per_compartment(input, self.names, "input")]
        self.export = [float(v) for v in _per_compartment(export, self.names, "export")]
        self.respiration = [float(v) for v in
                            _per_compartment(respiration, self.names, "respiration")]
        self.stock = [float(v) for v in _per_compartment(stock, self.names, "stock")]
        self.living = [bool(v) for v in _per_compartment(living, self.names, "living", True)]
        self.title = str(title)
        self.units = units
        self.stock_units = stock_units
        # Other settings of the CSV table's # lines (the precision exponent, ...), kept as given.
        self.settings = dict(settings or {})

    def __repr__(self):
        return (f"<flownet.Network {self.title or '(no title)'}: {len(self.names)} compartments"
                f" ({sum(self.living)} living)>")

    def to_csv(self):
        """The network as a CSV table of the matrix form, its settings in # lines."""
        out = io.StringIO()
        for key, value in (("title", self.title), ("units", self.units),
                           ("stock units", self.stock_units), *self.settings.items()):
            if value:
                out.write(f"# {key}: {' '.join(str(value).splitlines())}\n")
        w = csv.writer(out, lineterminator="\n")
        w.writerow(["", *self.names, "export", "respiration", "stock", "living"])
        for i, name in enumerate(self.names):
            w.writerow([name, *map(repr, self.flows[i]), repr(self.export[i]),
                        repr(self.respiration[i]), repr(self.stock[i]),
                        "yes" if self.living[i] else "no"])
        w.writerow(["input", *map(repr, self.input), "", "", "", ""])
        return out.getvalue()

    @classmethod
    def from_csv(cls, text):
        """The network of a CSV table of the matrix form, as `flowentry --convert` writes it."""
        settings, table = {}, []
        for line in text.splitlines():
            if line.startswith("#"):
                key, _, value = line[1:].partition(":")
                if _:
                    settings[key.strip()] = value.strip()
            elif line.strip():
                table.append(line)
        rows = list(csv.reader(table))
        header = rows[0]
        body = {r[0]: r for r in rows[1:]}
        names = [r[0] for r in rows[1:] if r[0] != "input"]

        def number(text):
            return float(text) if text.strip() else 0.0

        def column(key):
            if key not in header:
                return None
            k = header.index(key)
            return [number(body[n][k]) for n in names]

        flows = [[number(body[n][header.index(m)]) for m in names] for n in names]
        inputs = None
        if "input" in body:
            inputs = [number(body["input"][header.index(m)]) for m in names]
        living = None
        if "living" in header:
            k = header.index("living")
            living = [body[n][k].strip().lower() in ("yes", "true", "1") for n in names]
        return cls(flows, names=names, input=inputs, export=column("export"),
                   respiration=column("respiration"), stock=column("stock"), living=living,
                   title=settings.pop("title", ""), units=settings.pop("units", None),
                   stock_units=settings.pop("stock units", None), settings=settings)
