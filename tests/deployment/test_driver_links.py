"""The driver libraries as deployed with the build's Python: each needs that Python's shared
runtime, so that it loads in a host without Python too, and inside that interpreter its
Python symbols bind to the interpreter's own runtime, never to a second copy."""

import os
import re
import subprocess

import pytest

from conftest import DRIVERS, in_build_python


def plugin_path(name):
    return os.path.join(os.environ["KORVANE_PLUGIN_DIR"], name + ".so")


@pytest.fixture(scope="module")
def python_runtime():
    """The shared runtime library of the build's Python: libpython3.7m.so.1.0 ..."""
    return in_build_python("""
        import json, sysconfig
        print(json.dumps(sysconfig.get_config_var("INSTSONAME")))
    """)


def needed(path):
    """The NEEDED entries of an ELF file, in order."""
    dynamic = subprocess.run(["readelf", "-d", path], check=True, capture_output=True,
                             text=True).stdout
    return re.findall(r"\(NEEDED\)\s+Shared library: \[(.+)\]", dynamic)


@pytest.mark.parametrize("name", DRIVERS)
def test_each_library_needs_the_shared_runtime_of_the_build_python(name, python_runtime):
    assert [entry for entry in needed(plugin_path(name))
            if entry.startswith("libpython")] == [python_runtime]


@pytest.mark.parametrize("name", DRIVERS)
def test_python_symbols_bind_to_the_interpreter_that_loads_the_library(name, tmp_path):
    # The dynamic linker reports every binding it makes while the library loads as the
    # stand-in loads it (RTLD_NOW, RTLD_LOCAL). The interpreter's runtime is the libpython
    # that it maps before any library is loaded, or, where Python is linked in statically
    # (Debian's python3), its own executable.
    report = tmp_path / "bindings"
    runtime = in_build_python(f"""
        import json, os, sys
        mapped = {{os.path.realpath(line.split()[-1]) for line in open("/proc/self/maps")
                   if "/libpython" in line}}
        import arnold_standin
        arnold_standin.load_plugin({plugin_path(name)!r})
        print(json.dumps(mapped.pop() if mapped else os.path.realpath(sys.executable)))
    """, env=dict(os.environ, LD_DEBUG="bindings", LD_DEBUG_OUTPUT=str(report)))

    text = "".join(path.read_text() for path in tmp_path.glob("bindings.*"))
    binding = re.compile(r"binding file (\S+) \[\d+\] to (\S+) \[\d+\]: \w+ symbol `(\w+)'")
    targets = {symbol: target for source, target, symbol in binding.findall(text)
               if source == plugin_path(name) and symbol.startswith(("Py", "_Py"))}
    assert "PyGILState_Ensure" in targets
    assert {os.path.realpath(target) for target in targets.values()} == {runtime}
