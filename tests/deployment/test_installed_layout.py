"""The build installed as a user deploys it: plugins/, python/ and lib/ under one prefix,
each library finding the runtimes it needs in lib/ through its run path, in the build's
interpreter."""

import os
import subprocess

import pytest

from conftest import DRIVERS, in_build_python

ORVALIS = os.environ.get("KORVANE_ORVALIS") == "ON"


@pytest.fixture(scope="module")
def prefix(tmp_path_factory):
    prefix = tmp_path_factory.mktemp("installed")
    subprocess.run([os.environ["KORVANE_CMAKE"], "--install", os.environ["KORVANE_BUILD_DIR"],
                    "--prefix", str(prefix)], check=True, capture_output=True)
    return prefix


def test_each_folder_holds_its_libraries(prefix):
    assert sorted(os.listdir(prefix / "plugins")) == sorted(name + ".so" for name in DRIVERS)
    assert "libai.so" in os.listdir(prefix / "lib")
    modules = [name.split(".")[0] for name in os.listdir(prefix / "python")]
    assert ("orvalis" in modules) == ORVALIS


def test_installed_libraries_load_from_the_prefix_alone(prefix):
    # Neither the build folder nor a search path: only the run paths lead to lib/.
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("PYTHONPATH", "LD_LIBRARY_PATH")}
    names = in_build_python(f"""
        import json, sys
        sys.path.insert(0, {str(prefix / "python")!r})
        import arnold_standin
        names = [arnold_standin.load_plugin({str(prefix / "plugins")!r} + "/" + name + ".so").name
                 for name in {DRIVERS!r}]
        if {ORVALIS!r}:
            import orvalis
            names.append(orvalis.__version__)
        print(json.dumps(names))
    """, env=environment)
    assert names == DRIVERS + (["dev"] if ORVALIS else [])
