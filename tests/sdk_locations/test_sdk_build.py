"""The drivers and orvalis built, installed and loaded against SDK-shaped trees given as CMake
settings: they compile against the trees' headers, no stand-in is built or installed, and
the installed libraries load against the trees' libraries, loaded first as a host does."""

import json
import os
import re
import subprocess
import textwrap

import pytest

from conftest import (ARNOLD_STANDIN_TARGETS, DRIVERS, MAYA_LIBRARIES, MAYA_STANDIN_TARGETS,
                      SOURCE, configure, targets)


@pytest.fixture(scope="module")
def built(sdk, tmp_path_factory):
    """The build against the trees, and its installed prefix."""
    build = tmp_path_factory.mktemp("build")
    configured = configure(build, settings={"ARNOLD_LOCATION": sdk / "arnold",
                                            "MAYA_LOCATION": sdk / "maya",
                                            "DEVKIT_LOCATION": sdk / "devkit"})
    assert configured.returncode == 0, configured.stderr
    subprocess.run([os.environ["KORVANE_CMAKE"], "--build", str(build), "--target", *DRIVERS,
                    "orvalis"], check=True, capture_output=True)
    prefix = tmp_path_factory.mktemp("prefix")
    subprocess.run([os.environ["KORVANE_CMAKE"], "--install", str(build), "--prefix",
                    str(prefix)], check=True, capture_output=True)
    return build, prefix, configured.stdout


def included_headers(build):
    """For each object file, the headers its compilation read (Ninja's record)."""
    record = subprocess.run(["ninja", "-C", str(build), "-t", "deps"], check=True,
                            capture_output=True, text=True).stdout
    headers = {}
    for block in record.split("\n\n"):
        lines = block.strip().splitlines()
        if lines and ": #deps" in lines[0]:
            headers[lines[0].split(":")[0]] = [line.strip() for line in lines[1:]]
    return headers


def test_the_sources_read_the_trees_headers(built, sdk):
    build, _, output = built
    assert "Arnold: the SDK in %s (ARNOLD_LOCATION)" % (sdk / "arnold") in output
    assert "Maya: the libraries in %s (MAYA_LOCATION)" % (sdk / "maya/lib") in output
    headers = included_headers(build)
    drivers = {obj: read for obj, read in headers.items() if obj.startswith("drivers/")}
    orvalis = {obj: read for obj, read in headers.items() if obj.startswith("orvalis/")}
    assert drivers and orvalis
    for read in drivers.values():
        assert str(sdk / "arnold/include/ai.h") in read
    for read in orvalis.values():
        assert str(sdk / "devkit/include/maya/MFnMesh.h") in read
    platform = str(SOURCE / "platform")
    assert [path for read in headers.values() for path in read if path.startswith(platform)] == []


def test_no_stand_in_is_built_or_installed(built):
    build, prefix, _ = built
    names = targets(build)
    assert set(DRIVERS) | {"orvalis"} <= names
    assert names & (ARNOLD_STANDIN_TARGETS | MAYA_STANDIN_TARGETS) == set()
    # Every test of the drivers and orvalis drives them through a stand-in.
    # What is left are the tests of the commands' scripts, which need no platform.
    listed = subprocess.run(["ctest", "--test-dir", str(build), "-N"], check=True,
                            capture_output=True, text=True).stdout
    tests = re.findall(r"Test +#\d+: (\S+)", listed)
    assert tests and all(name.startswith("scripts_") for name in tests), tests
    installed = sorted(str(path.relative_to(prefix)) for path in prefix.rglob("*")
                       if path.is_file())
    assert [path for path in installed if not path.startswith("python/")] == \
        sorted("plugins/%s.so" % name for name in DRIVERS)
    assert [re.sub(r"\..*", "", path) for path in installed if path.startswith("python/")] == \
        ["python/orvalis"]


def test_installed_libraries_carry_no_run_path(built):
    _, prefix, _ = built
    for library in list((prefix / "plugins").iterdir()) + list((prefix / "python").iterdir()):
        dynamic = subprocess.run(["readelf", "-d", str(library)], check=True,
                                 capture_output=True, text=True).stdout
        assert "(RUNPATH)" not in dynamic and "(RPATH)" not in dynamic, library


def test_installed_libraries_load_against_the_trees_libraries(built, sdk):
    # As a host does: the platform's libraries are loaded first (kick and Maya's Arnold
    # plug-in load libai; Maya its own), then the drivers and orvalis. The stand-ins'
    # control modules of this build drive them; with the trees' libraries loaded under
    # the same names, they use those too.
    _, prefix, _ = built
    preload = [sdk / "arnold/bin/libai.so"] + [sdk / "maya/lib" / f"lib{name}.so"
                                               for name in MAYA_LIBRARIES]
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("PYTHONPATH", "LD_LIBRARY_PATH")}
    source = textwrap.dedent(f"""
        import ctypes, json, os, sys
        for library in {[str(path) for path in preload]!r}:
            ctypes.CDLL(library, os.RTLD_NOW | os.RTLD_GLOBAL)
        sys.path[:0] = [{str(prefix / "python")!r}, {os.environ["KORVANE_PYTHON_DIR"]!r}]
        import arnold_standin, maya_standin, orvalis
        types = [arnold_standin.load_plugin({str(prefix / "plugins")!r} + "/" + name + ".so")
                 .name for name in {DRIVERS!r}]
        maya_standin.reset()
        orvalis.compute_cam_mask_vtx_colors("", "", "mask", 1, True, True, True)
        mapped = sorted({{line.split()[-1] for line in open("/proc/self/maps")
                         if "/libai" in line or "/libOpenMaya" in line
                         or "/libFoundation" in line}})
        print(json.dumps([types, orvalis.__file__, len(maya_standin.warnings()), mapped]))
    """)
    done = subprocess.run([os.environ["KORVANE_PYTHON_EXECUTABLE"], "-c", source],
                          env=environment, check=True, capture_output=True, text=True)
    types, module, warnings, mapped = json.loads(done.stdout)
    assert types == DRIVERS
    assert module.startswith(str(prefix / "python"))
    assert warnings == 1  # the empty scene's failed look-up, reported through Maya
    assert mapped == sorted(str(path) for path in preload)
