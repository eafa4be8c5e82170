"""The locations as CMake settings and as environment variables, one platform without the
other, and locations that hold no such SDK."""

import json
import re
import shutil

import pytest

from conftest import ARNOLD_STANDIN_TARGETS, MAYA_STANDIN_TARGETS, SOURCE, configure, targets


def include_folders(build, folder):
    """The include folders of the compilations of the sources in `folder` (drivers,
    orvalis)."""
    commands = json.loads((build / "compile_commands.json").read_text())
    return {path for command in commands if command["file"].startswith(str(SOURCE / folder))
            for path in re.findall(r"(?:-isystem |-I)(\S+)", command["command"])}


# Which trees each case gives, as settings (-D) or in the environment, by their paths
# relative to the folder of the trees, where the configure runs, so that a relative one
# is taken from there; missing or empty: the stand-in. (Absolute ones: test_sdk_build.)
CASES = {
    "relative ones from the folder cmake runs in": ({"MAYA_LOCATION": "./maya"},
                                                    {"ARNOLD_LOCATION": "arnold",
                                                     "DEVKIT_LOCATION": "devkit/"}),
    "all in the environment": ({}, {"ARNOLD_LOCATION": "arnold", "MAYA_LOCATION": "maya",
                                    "DEVKIT_LOCATION": "devkit"}),
    "Arnold alone": ({"ARNOLD_LOCATION": "arnold"}, {}),
    "Maya alone, its headers in the installation": ({}, {"MAYA_LOCATION": "maya-with-include"}),
    "a setting before the environment": ({"ARNOLD_LOCATION": "arnold"},
                                         {"ARNOLD_LOCATION": "nowhere"}),
    "an empty one is not given": ({"MAYA_LOCATION": ""}, {"ARNOLD_LOCATION": ""}),
}


@pytest.mark.parametrize("settings, environment", CASES.values(), ids=CASES.keys())
def test_each_platform_follows_its_own_location(sdk, tmp_path, settings, environment):
    maya_with_include = sdk / "maya-with-include"
    if not maya_with_include.exists():
        shutil.copytree(sdk / "maya", maya_with_include, symlinks=True)
        shutil.copytree(sdk / "devkit/include", maya_with_include / "include")

    done = configure(tmp_path, settings, environment, cwd=sdk)
    assert done.returncode == 0, done.stderr
    given = {**environment, **settings}
    arnold = given.get("ARNOLD_LOCATION")
    maya = given.get("MAYA_LOCATION")
    devkit = given.get("DEVKIT_LOCATION", maya)

    names = targets(tmp_path)
    for folder, given_include, standin_include, standin_targets, standin_test in (
            ("drivers", arnold and sdk / arnold / "include", "platform/arnold/include",
             ARNOLD_STANDIN_TARGETS, "driver_arithmetic_test"),
            ("orvalis", maya and sdk / devkit / "include", "platform/maya/include",
             MAYA_STANDIN_TARGETS, "maya_runtime_test")):
        includes = include_folders(tmp_path, folder)
        if given_include:
            assert str(given_include) in includes
            assert names & standin_targets == set() and standin_test not in names
        else:
            assert str(SOURCE / standin_include) in includes
            assert standin_targets <= names
    # One line says which platform is built against, and what is left out.
    assert ("Arnold: the SDK in" in done.stdout) == bool(arnold)
    assert ("Maya: the libraries in" in done.stdout) == bool(maya)


# A location that holds no such SDK: the one line that names the setting and what is
# missing. Paths are relative to the folder of the trees.
WRONG = {
    "Arnold: nothing": ({"ARNOLD_LOCATION": "empty"},
                        "ARNOLD_LOCATION is {empty}, which holds no Arnold SDK: missing "
                        "include/ai.h, bin/libai.so"),
    "Arnold: no library": ({"ARNOLD_LOCATION": "arnold-headers"},
                           "ARNOLD_LOCATION is {arnold_headers}, which holds no Arnold SDK: "
                           "missing bin/libai.so"),
    "Maya: the Arnold SDK": ({"MAYA_LOCATION": "arnold"},
                             "MAYA_LOCATION is {arnold}, which holds no Maya installation: "
                             "missing lib/libFoundation.so, lib/libOpenMaya.so, "
                             "lib/libOpenMayaUI.so, lib/libOpenMayaRender.so"),
    "Maya: no headers, no devkit": ({"MAYA_LOCATION": "maya"},
                                    "MAYA_LOCATION (DEVKIT_LOCATION not set) is {maya}, which "
                                    "holds no Maya devkit: missing include/maya/MFnMesh.h"),
    "devkit: the Arnold SDK": ({"MAYA_LOCATION": "maya", "DEVKIT_LOCATION": "arnold"},
                               "DEVKIT_LOCATION is {arnold}, which holds no Maya devkit: "
                               "missing include/maya/MFnMesh.h"),
    "devkit without Maya": ({"DEVKIT_LOCATION": "devkit"},
                            "DEVKIT_LOCATION is {devkit}, but MAYA_LOCATION is not set: set "
                            "it to the Maya installation, whose lib/ holds Maya's libraries"),
}


@pytest.mark.parametrize("settings, message", WRONG.values(), ids=WRONG.keys())
def test_a_location_without_its_sdk_stops_the_configure(sdk, tmp_path, settings, message):
    (sdk / "empty").mkdir(exist_ok=True)
    if not (sdk / "arnold-headers").exists():
        shutil.copytree(sdk / "arnold/include", sdk / "arnold-headers/include")
    done = configure(tmp_path / "build", environment={key: str(sdk / value)
                                                     for key, value in settings.items()})
    assert done.returncode != 0
    expected = message.format(empty=sdk / "empty", arnold_headers=sdk / "arnold-headers",
                              arnold=sdk / "arnold", maya=sdk / "maya", devkit=sdk / "devkit")
    assert expected in [line.strip() for line in done.stderr.splitlines()]
    assert not (tmp_path / "build/build.ninja").exists()
