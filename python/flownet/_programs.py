"""Finding and running the programs of the suite. Every analysis is theirs: this module writes
networks for them, runs them, and reads what they write."""

import os
import shutil
import subprocess

PROGRAMS = ("flowanalysis", "flowanalysis2", "flowentry")


class FlownetError(Exception):
    """An error of this module, or of a program of the suite with the program's message; `status`
    is the program's exit status (2: a usage error, a file that cannot be read or written, a record
    that cannot be read; 1: a network that cannot be balanced), None when no program ran."""

    def __init__(self, message, status=None):
        super().__init__(message)
        self.status = status


def _folder(bin):
    return bin or os.environ.get("FLOWNET_BIN", "")


def programs(bin=None):
    """The paths of the three programs, found in `bin`, else in the folder named by the
    environment variable FLOWNET_BIN, else on the PATH. Raises FlownetError when one is missing."""
    folder = _folder(bin)
    found = {}
    for name in PROGRAMS:
        path = os.path.join(folder, name) if folder else shutil.which(name)
        if path and os.path.isfile(path) and os.access(path, os.X_OK):
            found[name] = os.path.realpath(path)
    missing = [name for name in PROGRAMS if name not in found]
    if missing:
        where = f"in {folder}" if folder else "on the PATH"
        raise FlownetError(
            f"the flownet programs were not found {where}: {', '.join(missing)}. Install them "
            "(cmake --install build --prefix DIR puts them in DIR/bin) and put that folder on "
            "the PATH, or name it with the environment variable FLOWNET_BIN or the argument bin.")
    return found


def available(bin=None):
    """True when the three programs are found."""
    try:
        programs(bin)
        return True
    except FlownetError:
        return False


def example(name=None):
    """The path of a bundled network (the examples installed beside the programs), or the list of
    their names."""
    folder = os.path.join(os.path.dirname(os.path.dirname(programs()["flowentry"])), "share",
                          "flownet", "examples")
    if name is None:
        return sorted(f for f in os.listdir(folder) if f.endswith((".dat", ".csv")))
    path = os.path.join(folder, name)
    if not os.path.isfile(path):
        raise FlownetError(f"no bundled network {name} in {folder}")
    return path


def run(program, args):
    """Runs a program of the suite; (status, standard output, standard error). A status of 2 or
    more raises FlownetError with the program's message."""
    done = subprocess.run([programs()[program], *map(str, args)], capture_output=True)
    out = done.stdout.decode("utf-8", "replace")
    err = done.stderr.decode("utf-8", "replace")
    if done.returncode >= 2 or done.returncode < 0:
        raise FlownetError(
            "\n".join(filter(None, [err.rstrip("\n"),
                                    f"{program} ended with status {done.returncode}"])),
            done.returncode)
    return done.returncode, out, err
