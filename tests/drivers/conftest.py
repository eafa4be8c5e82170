"""Shared fixtures: the four driver libraries, universes, and small mtoa_callbacks receivers
written into a temporary folder for each test."""

import gc
import importlib
import os
import sys
import textwrap
import tracemalloc

import pytest

import arnold_standin as ai

DRIVERS = ("diffusion", "vantrop", "panorama", "mirelle")
PREFIX = "[korvane_disp] "
ERROR = PREFIX + "Error while sending image buffer(s) to python: "

# Records every call; receive_bucket copies its block during the call, as a receiver must.
RECORDING_RECEIVER = """
    import ctypes
    calls = []

    def render_setup(*args):
        calls.append(("render_setup", args))

    def receive_bucket(*args):
        index, xo, yo, size_x, size_y, channels, kind, address = args
        block = ctypes.string_at(address, size_x * size_y * channels)
        calls.append(("receive_bucket", args, block))

    def render_finished(*args):
        calls.append(("render_finished", args))
"""


def plugin_path(name):
    return os.path.join(os.environ["KORVANE_PLUGIN_DIR"], name + ".so")


@pytest.fixture(scope="session")
def plugins():
    return {name: ai.load_plugin(plugin_path(name)) for name in DRIVERS}


@pytest.fixture(autouse=True)
def no_other_receiver(monkeypatch, tmp_path):
    """Only the receiver a test writes is importable: the sample one is taken off the path."""
    monkeypatch.setattr(sys, "path", [str(tmp_path)] + [
        p for p in sys.path if not os.path.exists(os.path.join(p or ".", "mtoa_callbacks.py"))])
    sys.modules.pop("mtoa_callbacks", None)
    importlib.invalidate_caches()
    yield
    sys.modules.pop("mtoa_callbacks", None)


@pytest.fixture
def write_receiver(tmp_path):
    """Writes mtoa_callbacks.py from source and forgets any imported copy of it."""
    def write(source):
        (tmp_path / "mtoa_callbacks.py").write_text(textwrap.dedent(source))
        sys.modules.pop("mtoa_callbacks", None)
        importlib.invalidate_caches()
    return write


@pytest.fixture
def recorder(write_receiver):
    """A recording receiver; returns its list of calls."""
    write_receiver(RECORDING_RECEIVER)
    return importlib.import_module("mtoa_callbacks").calls


def driver_log(universe):
    """The drivers' own log lines as (severity, text)."""
    return [(severity, text) for severity, text in universe.log if text.startswith(PREFIX)]


def assert_steady(run, watched):
    """Runs run(count) 100 times to warm up, then 5,000 times: the reference counts of the
    watched objects must not change, and the traced memory must stay flat."""
    run(100)  # warm up caches of the interpreter and the stand-in
    gc.collect()
    counts = [sys.getrefcount(obj) for obj in watched]
    tracemalloc.start()
    try:
        before = tracemalloc.get_traced_memory()[0]
        run(5000)
        gc.collect()
        grown = tracemalloc.get_traced_memory()[0] - before
    finally:
        tracemalloc.stop()
    assert [sys.getrefcount(obj) for obj in watched] == counts
    assert grown < 64 * 1024
