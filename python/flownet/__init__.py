"""flownet: the analyses of the flownet programs (flowanalysis, flowanalysis2, flowentry) from
Python. The module holds no analysis of its own: it writes networks for the installed programs,
runs them, and reads their JSON results.

    import flownet
    reef = flownet.analyse(flownet.example("oyster.dat"))
    reef.compartments[["name", "throughput", "effectiveTrophicLevel"]]
"""

from ._programs import FlownetError, available, example, programs
from .analyse import Results, analyse
from .entry import balance, check
from .files import read, write
from .network import Network

__all__ = ["FlownetError", "Network", "Results", "analyse", "available", "balance", "check",
           "example", "programs", "read", "write"]
__version__ = "1.1.0"
