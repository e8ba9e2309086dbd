"""A build backend of the standard library alone: the flownet module is pure Python, so its wheel
is a zip of its sources and its metadata (PEP 427), and its source distribution a tar of the
folder (PEP 517). pip builds with it without fetching any build tool."""

import base64
import hashlib
import io
import os
import tarfile
import zipfile

NAME = "flownet"
VERSION = "1.1.0"
HERE = os.path.dirname(os.path.abspath(__file__))
METADATA = (
    "Metadata-Version: 2.1\n"
    f"Name: {NAME}\n"
    f"Version: {VERSION}\n"
    "Summary: Ecological flow network analysis with the flownet programs\n"
    "Requires-Python: >=3.9\n"
)


def _sources():
    """The module's files, as (path in the wheel, bytes)."""
    for root, _, files in os.walk(os.path.join(HERE, NAME)):
        for name in sorted(files):
            if name.endswith(".py"):
                path = os.path.join(root, name)
                with open(path, "rb") as f:
                    yield os.path.relpath(path, HERE).replace(os.sep, "/"), f.read()


def _record_line(path, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{path},sha256={digest},{len(data)}"


def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    dist_info = f"{NAME}-{VERSION}.dist-info"
    files = dict(_sources())
    files[f"{dist_info}/METADATA"] = METADATA.encode()
    files[f"{dist_info}/WHEEL"] = (
        b"Wheel-Version: 1.0\nGenerator: flownet build_backend\nRoot-Is-Purelib: true\n"
        b"Tag: py3-none-any\n"
    )
    record = [_record_line(path, data) for path, data in files.items()]
    record.append(f"{dist_info}/RECORD,,")
    wheel = f"{NAME}-{VERSION}-py3-none-any.whl"
    with zipfile.ZipFile(os.path.join(wheel_directory, wheel), "w", zipfile.ZIP_DEFLATED) as z:
        for path, data in files.items():
            z.writestr(path, data)
        z.writestr(f"{dist_info}/RECORD", "\n".join(record) + "\n")
    return wheel


def build_sdist(sdist_directory, config_settings=None):
    base = f"{NAME}-{VERSION}"
    name = f"{base}.tar.gz"
    with tarfile.open(os.path.join(sdist_directory, name), "w:gz") as t:
        for path in ["pyproject.toml", "build_backend.py"]:
            t.add(os.path.join(HERE, path), arcname=f"{base}/{path}")
        for path, data in _sources():
            info = tarfile.TarInfo(f"{base}/{path}")
            info.size = len(data)
            t.addfile(info, io.BytesIO(data))
        info = tarfile.TarInfo(f"{base}/PKG-INFO")
        info.size = len(METADATA.encode())
        t.addfile(info, io.BytesIO(METADATA.encode()))
    return name
