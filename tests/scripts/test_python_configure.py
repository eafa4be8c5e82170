"""How a configure of this project takes its Python, in build folders of the test's own
(the drivers alone, which is enough for the Python the build finds): an empty
Python3_EXECUTABLE stops it, a build pointed at another interpreter takes that one at
once, and the presets' settings are all used."""

import os
import re
import subprocess

import pytest

from conftest import SOURCE

OPTIONS = ["-G", os.environ.get("KORVANE_CMAKE_GENERATOR", "Ninja"), "-DKORVANE_TESTS=OFF",
           "-DKORVANE_DEPLOYMENT_TESTS=OFF", "-DKORVANE_BENCH=OFF", "-DKORVANE_TRELLISK=OFF",
           "-DKORVANE_ORVALIS=OFF", "-DPYBIND11_FINDPYTHON=ON"]
# The environment of the run without what the sanitizer build adds for its interpreter.
ENV = {key: value for key, value in os.environ.items()
       if key not in ("LD_PRELOAD", "ASAN_OPTIONS", "UBSAN_OPTIONS")}


def configure(build, *settings):
    done = subprocess.run([os.environ.get("KORVANE_CMAKE", "cmake"), "-S", str(SOURCE), "-B",
                           str(build), *OPTIONS, *settings], env=ENV, capture_output=True,
                          text=True, timeout=300)
    return done.returncode, " ".join((done.stdout + done.stderr).split())


def cached(build, name):
    match = re.search(rf"^{name}:[A-Z]+=(.*)$", (build / "CMakeCache.txt").read_text(), re.M)
    return match and match.group(1)


@pytest.fixture(scope="module")
def other_python():
    """An interpreter with its shared library and headers other than Debian's (pyenv's 3.9
    or 3.7, or the settings that name them)."""
    for version in ("3.9", "3.7"):
        done = subprocess.run([str(SOURCE / "scripts" / "find-python.sh"), version], env=ENV,
                              capture_output=True, text=True)
        if done.returncode == 0:
            return version, done.stdout.strip()
    pytest.skip("no Python 3.9 or 3.7 here")


@pytest.fixture(scope="module")
def build(tmp_path_factory):
    """A build for Debian's Python, given the setting the presets give every build."""
    build = tmp_path_factory.mktemp("build")
    status, output = configure(build, "-DPython3_EXECUTABLE=/usr/bin/python3",
                               "-DKORVANE_TEST_PYTHON=/usr/bin/python3")
    assert status == 0, output
    return build, output


def test_the_settings_of_the_presets_are_used_without_the_tests(build):
    assert "Manually-specified variables were not used" not in build[1]


def test_an_empty_python_stops_the_configure_naming_the_settings(build):
    status, output = configure(build[0], "-DPython3_EXECUTABLE=")
    assert status != 0
    assert ("Python3_EXECUTABLE is empty: set KORVANE_PYTHON39 or KORVANE_PYTHON37 for the "
            "presets py3.9 and py3.7 (scripts/find-python.sh finds one)") in output
    assert "Found Python3" not in output


def test_a_build_pointed_at_another_python_takes_it_at_once(build, other_python):
    build = build[0]
    version, python = other_python
    # No version set: the one found first is not held against the next interpreter.
    status, output = configure(build, f"-DPython3_EXECUTABLE={python}")
    assert status == 0, output
    assert f"/libpython{version}" in cached(build, "_Python3_LIBRARY_RELEASE")
    assert cached(build, "PYTHON_MODULE_EXTENSION").startswith(
        ".cpython-" + version.replace(".", ""))
    # A version that is set still stops a build that finds another one.
    status, output = configure(build, f"-DPython3_EXECUTABLE={python}",
                               "-DKORVANE_PYTHON_VERSION=3.1")
    assert status != 0 and f"The build is set to Python 3.1, but found Python {version}" in output
