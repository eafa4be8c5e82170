"""scripts/find-python.sh: a given setting is used or refused (status 1), an unset one is
looked for under pyenv and, where none fits, reported as not found (status 3); each fault
is one line naming the setting."""

import subprocess
import sys

import pytest

from conftest import SOURCE, fake_python


def find(tree, version="3.7", **settings):
    return tree.run([str(tree.root / "scripts" / "find-python.sh"), version], **settings)


@pytest.mark.parametrize("kind, messages", [
    ("empty", ["KORVANE_PYTHON37 is set but empty"]),
    ("missing", ["is not an executable"]),
    ("folder", ["is not an executable"]),
    ("3.9", ["is Python 3.9; set KORVANE_PYTHON37 to a Python 3.7 interpreter"]),
    ("static", ["has no shared libpython (its Py_ENABLE_SHARED is 0)"]),
    ("no library", ["has no shared libpython (", "libpython3.7m.so.1.0 is missing)"]),
    ("no headers", ["has no headers (no Python.h in"]),
    ("static, no headers", ["has no shared libpython", "has no headers"]),
])
def test_a_given_setting_that_does_not_fit_fails_naming_it(tree, kind, messages):
    folder = tree.root / "py"
    python = {
        "empty": lambda: "",
        "missing": lambda: folder / "python3.7",
        "folder": lambda: tree.root,
        "3.9": lambda: fake_python(folder, "3.9"),
        "static": lambda: fake_python(folder, "3.7", shared=False, library=False),
        "no library": lambda: fake_python(folder, "3.7", library=False),
        "no headers": lambda: fake_python(folder, "3.7", headers=False),
        "static, no headers": lambda: fake_python(folder, "3.7", shared=False, headers=False),
    }[kind]()
    done = find(tree, KORVANE_PYTHON37=str(python))
    assert done.returncode == 1
    assert done.stdout == ""
    # one line per fault, each naming the setting: "static, no headers" has two
    lines = done.stderr.splitlines()
    assert len(lines) == (2 if "," in kind else 1)
    assert all(line.startswith("Python 3.7: KORVANE_PYTHON37") for line in lines)
    assert all(message in done.stderr for message in messages)


def test_a_given_interpreter_is_printed_absolute(tree):
    python = fake_python(tree.root / "py", "3.7")
    assert find(tree, KORVANE_PYTHON37=str(python)).stdout == f"{python}\n"
    # taken from the folder the script runs in
    done = find(tree, cwd=tree.home, KORVANE_PYTHON37="../py/bin/python3.7")
    assert (done.returncode, done.stdout) == (0, f"{python}\n")


def test_a_real_interpreter_answers_the_question():
    # The stand-ins answer whatever they are asked; this Python runs the real question.
    # The tests' Python has its shared library and headers (Debian's python3-dev).
    version = "%d.%d" % sys.version_info[:2]
    env = {"PATH": "/usr/bin:/bin", "KORVANE_PYTHON" + version.replace(".", ""): sys.executable}
    done = subprocess.run([str(SOURCE / "scripts" / "find-python.sh"), version], env=env,
                          capture_output=True, text=True, timeout=60)
    assert (done.returncode, done.stderr) == (0, "")
    assert done.stdout == f"{sys.executable}\n"


def test_an_unset_setting_takes_the_newest_fitting_version_under_pyenv(tree):
    versions = tree.pyenv / "versions"
    for name in ("3.7.2", "3.7.10", "3.9.1"):
        fake_python(versions / name, name[:3])
    done = find(tree)
    # 3.7.10 is newer than 3.7.2 (a plain sort puts it first)
    assert (done.returncode, done.stdout) == (0, f"{versions}/3.7.10/bin/python3.7\n")


@pytest.mark.parametrize("installed, message", [
    (None, "Python 3.7 not found under {versions}: set KORVANE_PYTHON37 to a Python 3.7 "
           "interpreter"),
    ("static", "Python 3.7: {versions}/3.7.16/bin/python3.7 has no shared libpython (its "
               "Py_ENABLE_SHARED is 0); build it with --enable-shared (pyenv: "
               "PYTHON_CONFIGURE_OPTS=--enable-shared) or point KORVANE_PYTHON37 at one "
               "that has it"),
])
def test_an_unset_setting_without_a_fitting_python_is_not_found(tree, installed, message):
    versions = tree.pyenv / "versions"
    if installed:
        fake_python(versions / "3.7.16", "3.7", shared=False, library=False)
    done = find(tree)
    assert (done.returncode, done.stdout) == (3, "")
    assert done.stderr == message.format(versions=versions) + "\n"


@pytest.mark.parametrize("args", [[], ["37"], ["3.7", "3.9"]])
def test_usage(tree, args):
    done = tree.run([str(tree.root / "scripts" / "find-python.sh"), *args])
    assert done.returncode == 2 and done.stderr.startswith("usage:")
