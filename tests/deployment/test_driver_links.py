"""The driver libraries as deployed: each needs the shared Python runtime, so that it loads
in a host without Python too, and in an interpreter that is linked statically its Python
symbols still bind to that interpreter."""

import os
import re
import subprocess
import sys
import sysconfig
import textwrap

import pytest

from conftest import DRIVERS, plugin_path

PYTHON_RUNTIME = sysconfig.get_config_var("INSTSONAME")  # libpython3.11.so.1.0 here


def needed(path):
    """The NEEDED entries of an ELF file, in order."""
    dynamic = subprocess.run(["readelf", "-d", path], check=True, capture_output=True,
                             text=True).stdout
    return re.findall(r"\(NEEDED\)\s+Shared library: \[(.+)\]", dynamic)


@pytest.mark.parametrize("name", DRIVERS)
def test_each_library_needs_the_shared_python_runtime(name):
    assert PYTHON_RUNTIME in needed(plugin_path(name))


@pytest.mark.parametrize("name", DRIVERS)
def test_python_symbols_bind_to_the_statically_linked_interpreter(name, tmp_path):
    # This interpreter carries Python itself: it needs no Python runtime library.
    assert not [entry for entry in needed(sys.executable) if entry.startswith("libpython")]
    # The dynamic linker reports every binding it makes while the library loads as the
    # tests load it (arnold_standin: RTLD_NOW, RTLD_LOCAL).
    load = textwrap.dedent(f"""
        import arnold_standin
        arnold_standin.load_plugin({plugin_path(name)!r})
    """)
    environment = dict(os.environ, LD_DEBUG="bindings",
                       LD_DEBUG_OUTPUT=str(tmp_path / "bindings"))
    subprocess.run([sys.executable, "-c", load], check=True, env=environment)
    report = "".join(path.read_text() for path in tmp_path.glob("bindings.*"))

    binding = re.compile(r"binding file (\S+) \[\d+\] to (\S+) \[\d+\]: \w+ symbol `(\w+)'")
    targets = {symbol: target for source, target, symbol in binding.findall(report)
               if source == plugin_path(name) and symbol.startswith(("Py", "_Py"))}
    assert "PyGILState_Ensure" in targets
    assert {os.path.realpath(target) for target in targets.values()} == {
        os.path.realpath(sys.executable)}
