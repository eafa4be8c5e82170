"""Runs trellisk as a process in a folder that stands for the user's profile.

By default the native build (KORVANE_BIN_DIR/trellisk) runs with USERPROFILE
set to a temporary folder. With TRELLISK_RUNNER=wine the Windows build
(TRELLISK_EXE) runs under Wine (scripts/test-windows.sh), and only the tests
marked `wine` run. Wine sets USERPROFILE itself to C:\\users\\<user>: the
fixture `trellisk` runs in the prefix WINEPREFIX, whose profile folder is
TRELLISK_WINE_HOME on this side; the fixture `wide_trellisk` in the prefix
TRELLISK_WINE_WIDE_PREFIX of a user whose name the ANSI code page (1252)
cannot hold, with the profile folder TRELLISK_WINE_WIDE_HOME; the fixture
`cp932_trellisk` in the first prefix with the ANSI code page 932 (Japanese),
which Wine takes from the locale ja_JP.UTF-8 compiled into the folder
TRELLISK_WINE_JA_LOCPATH.
"""
import os
import shutil
import subprocess
import tempfile
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
    def __init__(self, home: Path, command: list, env: dict, windows: bool, encoding=None):
        self.home = home
        self.windows = windows
        # How text reaches maya.env and the output: the ANSI code page of the
        # Wine runs, or the bytes of the arguments as they are.
        self.encoding = encoding or ("cp1252" if windows else "utf-8")
        self.program = command[-1]
        self._command = command
        self._env = env

    def encode(self, text: str) -> bytes:
        return text.encode(self.encoding)

    def narrow(self, text: str) -> str:
        """`text` as a printed line reads (see _lines): on Windows a character
        that the code page cannot hold is a "?"."""
        return text.encode(self.encoding, errors="replace").decode("latin-1")

    def env_file(self, version="2024") -> Path:
        return self.home / "Documents" / "maya" / version / "maya.env"

    def version_dir(self, version="2024") -> Path:
        folder = self.env_file(version).parent
        folder.mkdir(parents=True, exist_ok=True)
        return folder

    def printed_path(self, version="2024") -> str:
        if self.windows:
            path = "C:\\users\\%s\\Documents\\maya\\%s\\maya.env" % (self.home.name, version)
        else:
            path = str(self.env_file(version))
        return self.narrow(path)

    def header(self, mode, name, value, version="2024") -> list:
        """The lines printed once the arguments have passed their tests."""
        return ["4 arguments",
                "Maya env file path: " + self.printed_path(version),
                "Mode: " + mode,
                "Env var name: " + self.narrow(name),
                "Env var value: " + self.narrow(value)]

    def start(self, *args, env=None, unset=(), wrapper=(), **popen) -> subprocess.Popen:
        """Starts the program; `wrapper` is a command that runs it in its turn."""
        full_env = dict(self._env, **(env or {}))
        for name in unset:
            full_env.pop(name, None)
        return subprocess.Popen(list(wrapper) + self._command + list(args), env=full_env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, **popen)

    def run(self, *args, **options) -> Result:
        result = finish(self.start(*args, **options))
        if self.windows and not result.lines:
            # Wine itself failed to start the program (seen once in some thousands of
            # runs). The program prints its first line before it does anything else, so
            # a run that printed nothing did nothing, and is made once more.
            result = finish(self.start(*args, **options))
        return result


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


def wine_maya_folder(home: Path, prefix: Path) -> Path:
    """Documents/maya of a Wine profile, which the tests empty. A new profile's
    Documents is a link to the Linux home folder, whose maya folder holds a
    Maya user's settings: a profile whose Documents is a link, or leads out of
    the prefix, is refused before anything is removed."""
    prefix = prefix.resolve()
    documents = home / "Documents"
    if documents.is_symlink() or prefix not in documents.resolve().parents:
        raise RuntimeError("the Wine profile's Documents (%s) leads out of the prefix %s: "
                           "the tests refuse to touch it" % (documents, prefix))
    return documents / "maya"


def remove_maya_folder(home: Path, prefix: Path):
    maya = wine_maya_folder(home, prefix)
    if maya.is_symlink():
        raise RuntimeError("%s is a link: the tests refuse to touch it" % maya)
    shutil.rmtree(maya, ignore_errors=True)  # never follows a link inside


def run_in_wine(prefix: Path, home: Path, env=None, encoding=None):
    """A Trellisk for the profile `home` of the Wine prefix `prefix`, with its
    maya folder emptied before and after the test."""
    remove_maya_folder(home, prefix)
    env = dict(os.environ, WINEPREFIX=str(prefix), **(env or {}))
    wine = os.environ.get("TRELLISK_WINE", "wine")
    yield Trellisk(home, [wine, os.environ["TRELLISK_EXE"]], env, windows=True, encoding=encoding)
    remove_maya_folder(home, prefix)


def run_native(home: Path):
    home.mkdir(exist_ok=True)
    exe = Path(os.environ["KORVANE_BIN_DIR"]) / "trellisk"
    yield Trellisk(home, [str(exe)], dict(os.environ, USERPROFILE=str(home)), windows=False)


@pytest.fixture
def trellisk(tmp_path):
    if WINE:
        yield from run_in_wine(Path(os.environ["WINEPREFIX"]),
                               Path(os.environ["TRELLISK_WINE_HOME"]))
    else:
        yield from run_native(tmp_path)


# A user name that the ANSI code page cannot hold, and its best-fit look-alike,
# which names another user's folder.
WIDE_USER, LOOKALIKE_USER = "Łukasz", "Lukasz"


@pytest.fixture
def wide_trellisk(tmp_path):
    """A profile folder named after WIDE_USER (C:\\users\\Łukasz under Wine)."""
    if WINE:
        yield from run_in_wine(Path(os.environ["TRELLISK_WINE_WIDE_PREFIX"]),
                               Path(os.environ["TRELLISK_WINE_WIDE_HOME"]),
                               env={"USER": WIDE_USER, "LOGNAME": WIDE_USER})
    else:
        yield from run_native(tmp_path / WIDE_USER)


@pytest.fixture
def cp932_trellisk(tmp_path):
    """Under Wine, the ANSI code page 932, where the second byte of a character
    can be "\\" or an ASCII letter; Wine takes it from the locale of the Wine
    command alone. Natively, the bytes of the arguments (UTF-8) as ever."""
    if WINE:
        yield from run_in_wine(Path(os.environ["WINEPREFIX"]),
                               Path(os.environ["TRELLISK_WINE_HOME"]),
                               env={"LOCPATH": os.environ["TRELLISK_WINE_JA_LOCPATH"],
                                    "LC_ALL": "ja_JP.UTF-8"},
                               encoding="cp932")
    else:
        yield from run_native(tmp_path)


# The user that the tests run the program as, next to root: nobody.
NOBODY = 65534


def as_nobody(umask=0o022) -> dict:
    """Options of Trellisk.start that run the program as the user nobody, with
    no group of root's, and with `umask`."""
    return dict(user=NOBODY, group=NOBODY, extra_groups=[], umask=umask)


@pytest.fixture
def public_trellisk(trellisk):
    """A Trellisk whose profile folder, and a copy of the program, lie in a new
    folder that every user can reach (a test's own folder is root's alone), for
    the tests that run the program as another user. Needs root, natively."""
    if WINE or os.geteuid() != 0:
        pytest.skip("needs root to run the program as another user")
    base = Path(tempfile.mkdtemp(prefix="trellisk-"))
    try:
        base.chmod(0o755)
        exe = base / "trellisk"
        shutil.copy(trellisk.program, exe)
        home = base / "home"
        home.mkdir()
        yield Trellisk(home, [str(exe)], dict(trellisk._env, USERPROFILE=str(home)),
                       windows=False)
    finally:
        for p in [base, *base.rglob("*")]:
            if not p.is_symlink():  # a link's chmod would change what it leads to
                p.chmod(0o755)
        shutil.rmtree(base)
