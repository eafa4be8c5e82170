"""The commands' scripts run on a copy of them in a temporary folder: the package installer
(scripts/deps.sh), cmake and ctest are stubs that record their calls, and the Pythons
are stand-ins, small shell scripts that answer the one question scripts/find-python.sh
asks as a Python of a chosen kind would. Nothing runs in the clone or installs anything.

The scripts see only what the test hands them: PATH without pyenv, a home folder and a
pyenv root of the test's own, and none of the caller's KORVANE_PYTHON* settings."""

import json
import os
import shlex
import shutil
import subprocess
from pathlib import Path

import pytest

SOURCE = Path(os.environ["KORVANE_SOURCE_DIR"])

# The settings that the stubs record from their environment.
RECORDED = ("KORVANE_PYTHON39", "KORVANE_PYTHON37", "ARNOLD_LOCATION", "MAYA_LOCATION",
            "DEVKIT_LOCATION")
RECORDER = """#!/usr/bin/python3
import json, os, sys
with open({log!r}, "a") as log:
    log.write(json.dumps([os.path.basename(sys.argv[0])] + sys.argv[1:] +
                         [{{name: os.environ.get(name) for name in {recorded!r}}}]) + "\\n")
"""


def fake_python(folder, version, shared=True, library=True, headers=True):
    """A stand-in for a Python `version` installed in `folder`, with or without a shared
    libpython (Py_ENABLE_SHARED, or the library file itself) and its headers. Returns
    its path."""
    tag = version + ("m" if version == "3.7" else "")
    lib, include, bin_ = folder / "lib", folder / "include" / f"python{tag}", folder / "bin"
    soname = f"libpython{tag}.so.1.0"
    for path in (lib, include, bin_):
        path.mkdir(parents=True, exist_ok=True)
    if library:
        (lib / soname).touch()
    if headers:
        (include / "Python.h").touch()
    answers = [version, "1" if shared else "0", str(lib), soname if shared else f"libpython{tag}.a",
               str(include)]
    exe = bin_ / f"python{version}"
    exe.write_text("#!/bin/sh\nprintf '%s\\n' " + " ".join(map(shlex.quote, answers)) + "\n")
    exe.chmod(0o755)
    return exe


class Tree:
    """A copy of the Makefile and of some scripts in a temporary folder, with recording
    stubs for scripts/deps.sh, cmake and ctest."""

    def __init__(self, root, scripts):
        self.root = root
        self.log = root / "calls.log"
        self.home = root / "home"
        self.pyenv = root / "pyenv"          # empty: no Python under pyenv
        stubs = root / "stubs"
        for folder in (root / "scripts", self.home, self.pyenv / "versions", stubs):
            folder.mkdir(parents=True)
        shutil.copy(SOURCE / "Makefile", root / "Makefile")
        for name in scripts:
            shutil.copy(SOURCE / "scripts" / name, root / "scripts" / name)
        recorder = RECORDER.format(log=str(self.log), recorded=RECORDED)
        for stub in (root / "scripts" / "deps.sh", stubs / "cmake", stubs / "ctest"):
            stub.write_text(recorder)
            stub.chmod(0o755)
        self.path = f"{stubs}:/usr/bin:/bin"

    def run(self, command, cwd=None, **settings):
        """Runs `command` (a list) with the test's environment plus `settings`; returns
        the finished process, its output as text."""
        env = {"PATH": self.path, "HOME": str(self.home), "PYENV_ROOT": str(self.pyenv),
               "LC_ALL": "C.UTF-8"}
        env.update(settings)
        return subprocess.run(command, cwd=cwd or self.root, env=env, capture_output=True,
                              text=True, timeout=120)

    def calls(self):
        """The stubs' calls in order: (name, arguments, KORVANE_PYTHON39, KORVANE_PYTHON37)."""
        return [(name, args, settings["KORVANE_PYTHON39"], settings["KORVANE_PYTHON37"])
                for name, args, settings in self.recorded()]

    def recorded(self):
        """The stubs' calls in order: (name, arguments, {recorded setting: value or None})."""
        if not self.log.exists():
            return []
        return [(call[0], call[1:-1], call[-1])
                for call in map(json.loads, self.log.read_text().splitlines())]


@pytest.fixture
def tree(tmp_path):
    return Tree(tmp_path / "tree", ["deploy.sh", "test.sh", "find-python.sh", "standins.sh"])
