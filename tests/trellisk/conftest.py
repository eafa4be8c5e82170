"""Runs trellisk as a process in a folder that stands for the user's profile.

By default the native build (KORVANE_BIN_DIR/trellisk) runs with USERPROFILE
set to a temporary folder. With TRELLISK_RUNNER=wine the Windows build
(TRELLISK_EXE) runs under Wine in the prefix WINEPREFIX; Wine sets USERPROFILE
itself to C:\\users\\<user>, which is TRELLISK_WINE_HOME on this side. Only the
tests marked `wine` run then.
"""
import os
import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path

import pytest

WINE = os.environ.get("TRELLISK_RUNNER") == "wine"


def pytest_configure(config):
    config.addinivalue_line("markers", "wine: also run on the Windows build under Wine")


def pytest_collection_modifyitems(config, items):
    if not WINE:
        return
    skip = pytest.mark.skip(reason="native build only")
    for item in items:
        if "wine" not in item.keywords:
            item.add_marker(skip)


@dataclass
class Result:
    status: int
    lines: list  # standard output, one entry per line
    stderr: str


def files_in(folder: Path) -> list:
    return sorted(p.name for p in folder.iterdir())


# The lock file that every run on maya.env leaves beside it.
LOCK = "maya.env.lock"


def _lines(raw: bytes) -> list:
    text = raw.decode("latin-1")
    if WINE:  # the console's text mode turns every line end into CR LF
        text = text.replace("\r\n", "\n")
    assert text == "" or text.endswith("\n"), "every message ends with a line end"
    return text.split("\n")[:-1]


class Trellisk:
    def __init__(self, home: Path, command: list, env: dict, windows: bool):
        self.home = home
        self.windows = windows
        self.program = command[-1]
        self._command = command
        self._env = env

    def env_file(self, version="2024") -> Path:
        return self.home / "Documents" / "maya" / version / "maya.env"

    def version_dir(self, version="2024") -> Path:
        folder = self.env_file(version).parent
        folder.mkdir(parents=True, exist_ok=True)
        return folder

    def printed_path(self, version="2024") -> str:
        if self.windows:
            return "C:\\users\\%s\\Documents\\maya\\%s\\maya.env" % (self.home.name, version)
        return str(self.env_file(version))

    def header(self, mode, name, value, version="2024") -> list:
        """The lines printed once the arguments have passed their tests."""
        return ["4 arguments",
                "Maya env file path: " + self.printed_path(version),
                "Mode: " + mode,
                "Env var name: " + name,
                "Env var value: " + value]

    def start(self, *args, env=None, unset=(), wrapper=(), **popen) -> subprocess.Popen:
        """Starts the program; `wrapper` is a command that runs it in its turn."""
        full_env = dict(self._env, **(env or {}))
        for name in unset:
            full_env.pop(name, None)
        return subprocess.Popen(list(wrapper) + self._command + list(args), env=full_env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, **popen)

    def run(self, *args, **options) -> Result:
        return finish(self.start(*args, **options))


def with_call_log(env=None) -> dict:
    """Environment additions that preload the recorder of file calls
    (tests/trellisk/call_log.c) into the program; `env` holds its settings."""
    preload = " ".join(filter(None, [os.environ.get("LD_PRELOAD"),
                                     os.environ["TRELLISK_CALL_LOG"]]))
    return dict(env or {}, LD_PRELOAD=preload)


def finish(process: subprocess.Popen, timeout=60) -> Result:
    """Waits for a started run and collects what it printed."""
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.communicate()
        raise
    return Result(process.returncode, _lines(out), err.decode("latin-1"))


def wine_maya_folder(home: Path) -> Path:
    """Documents/maya of a Wine profile, which the tests empty. A new profile's
    Documents is a link to the Linux home folder, whose maya folder holds a
    Maya user's settings: a profile whose Documents is a link, or leads out of
    the prefix, is refused before anything is removed."""
    prefix = Path(os.environ["WINEPREFIX"]).resolve()
    documents = home / "Documents"
    if documents.is_symlink() or prefix not in documents.resolve().parents:
        raise RuntimeError("the Wine profile's Documents (%s) leads out of the prefix %s: "
                           "the tests refuse to touch it" % (documents, prefix))
    return documents / "maya"


def remove_maya_folder(home: Path):
    maya = wine_maya_folder(home)
    if maya.is_symlink():
        raise RuntimeError("%s is a link: the tests refuse to touch it" % maya)
    shutil.rmtree(maya, ignore_errors=True)  # never follows a link inside


@pytest.fixture
def trellisk(tmp_path):
    if WINE:
        home = Path(os.environ["TRELLISK_WINE_HOME"])
        remove_maya_folder(home)
        env = dict(os.environ)
        wine = os.environ.get("TRELLISK_WINE", "wine")
        yield Trellisk(home, [wine, os.environ["TRELLISK_EXE"]], env, windows=True)
        remove_maya_folder(home)
        return
    exe = Path(os.environ["KORVANE_BIN_DIR"]) / "trellisk"
    env = dict(os.environ, USERPROFILE=str(tmp_path))
    yield Trellisk(tmp_path, [str(exe)], env, windows=False)
