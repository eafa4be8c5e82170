"""Trees laid out like the installed platforms, made from this build's stand-ins, and
configures of the project against them.

    arnold/include/ai.h ...          the Arnold SDK (ARNOLD_LOCATION)
    arnold/bin/libai.so
    maya/lib/libOpenMaya.so ...      Maya (MAYA_LOCATION)
    devkit/include/maya/MFnMesh.h    the devkit (DEVKIT_LOCATION)

The headers are the stand-ins' own, without ai_standin.h, which only the stand-in has;
the libraries are the stand-ins' as installed, which find one another beside them."""

import os
import shutil
import subprocess
from pathlib import Path

import pytest

SOURCE = Path(os.environ["KORVANE_SOURCE_DIR"])
DRIVERS = ["diffusion", "vantrop", "panorama", "mirelle"]
MAYA_LIBRARIES = ["Foundation", "OpenMaya", "OpenMayaUI", "OpenMayaRender"]
LOCATIONS = ("ARNOLD_LOCATION", "MAYA_LOCATION", "DEVKIT_LOCATION")
# What the stand-ins build: none of it may be built against an SDK.
ARNOLD_STANDIN_TARGETS = {"ai", "arnold_standin"}
MAYA_STANDIN_TARGETS = set(MAYA_LIBRARIES) | {"maya_standin"}


@pytest.fixture(scope="module")
def sdk(tmp_path_factory):
    """The three trees; returns the folder that holds them."""
    root = tmp_path_factory.mktemp("sdk")
    installed = root / "installed"
    subprocess.run([os.environ["KORVANE_CMAKE"], "--install", os.environ["KORVANE_BUILD_DIR"],
                    "--prefix", str(installed)], check=True, capture_output=True)

    (root / "arnold/bin").mkdir(parents=True)
    shutil.copytree(SOURCE / "platform/arnold/include", root / "arnold/include",
                    ignore=shutil.ignore_patterns("ai_standin.h"))
    shutil.copy2(installed / "lib/libai.so", root / "arnold/bin")

    (root / "maya/lib").mkdir(parents=True)
    for name in MAYA_LIBRARIES:
        shutil.copy2(installed / "lib" / f"lib{name}.so", root / "maya/lib")
    shutil.copytree(SOURCE / "platform/maya/include", root / "devkit/include")
    shutil.rmtree(installed)
    return root


def configure(build, settings=None, environment=None, extra=(), cwd=None):
    """Configures the project into `build`, with the locations given as CMake settings
    (`settings`) and as environment variables (`environment`) and none inherited, from the
    folder `cwd`; returns the finished process, which may have failed."""
    env = {key: value for key, value in os.environ.items() if key not in LOCATIONS}
    env.update(environment or {})
    command = [os.environ["KORVANE_CMAKE"], "-S", str(SOURCE), "-B", str(build), "-G", "Ninja",
               "-DCMAKE_CXX_COMPILER=" + os.environ["KORVANE_CXX"],
               "-DPython3_EXECUTABLE=" + os.environ["KORVANE_PYTHON_EXECUTABLE"],
               "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON",
               "-DKORVANE_WERROR=ON", "-DKORVANE_TRELLISK=OFF", "-DKORVANE_TESTS=ON",
               "-DKORVANE_BENCH=ON", *extra]
    command += ["-D%s=%s" % item for item in (settings or {}).items()]
    return subprocess.run(command, env=env, cwd=cwd, capture_output=True, text=True)


def targets(build):
    """The names of the targets of a configured build."""
    listing = subprocess.run([os.environ["KORVANE_CMAKE"], "--build", str(build), "--target",
                              "help"], check=True, capture_output=True, text=True).stdout
    return {line.split(":")[0].strip() for line in listing.splitlines() if ": " in line}
