"""Plug-in entry and method tables: NodeLoader, exports, pixel types, bucket answer,
extension, the depth AOV, and the four libraries side by side in one process."""

import shutil
import subprocess

import pytest

import arnold_standin as ai
from conftest import DRIVERS, plugin_path

AI_NODE_DRIVER = 0x40
AI_TYPE_NONE = 0xFF

RECORDS = {
    "diffusion": "7.1.4.0",
    "vantrop": "7.1.4.2",
    "panorama": "7.2.0.0",
    "mirelle": "7.1.4.2",
}
PIXEL_TYPES = {
    "diffusion": {ai.FLOAT, ai.RGB, ai.RGBA, ai.VECTOR},
    "vantrop": {ai.FLOAT, ai.RGB, ai.RGBA, ai.VECTOR},
    "panorama": {ai.FLOAT, ai.RGB, ai.RGBA},
    "mirelle": {ai.FLOAT, ai.RGB, ai.RGBA},
}
PARAMETER_COUNTS = {"diffusion": 28, "vantrop": 31, "panorama": 28, "mirelle": 31}


@pytest.mark.parametrize("name", DRIVERS)
def test_node_loader_publishes_one_driver_node_type(plugins, name):
    assert plugins[name].node_loader(0) == (True, {
        "node_type": AI_NODE_DRIVER, "output_type": AI_TYPE_NONE,
        "name": name, "version": RECORDS[name]})
    for index in (1, -1, 2, 2**31 - 1, -2**31):
        assert plugins[name].node_loader(index) == (False, None), index


def test_four_libraries_side_by_side_keep_their_own_tables(plugins):
    # Loaded into one process, each answers with its own name, version and parameters.
    answers = {name: (p.name, p.version, p.node_type, p.output_type, len(p.parameters()))
               for name, p in plugins.items()}
    assert answers == {name: (name, RECORDS[name], AI_NODE_DRIVER, AI_TYPE_NONE,
                              PARAMETER_COUNTS[name]) for name in DRIVERS}
    assert len({p.path for p in plugins.values()}) == 4


@pytest.mark.skipif(shutil.which("nm") is None, reason="nm is not installed")
@pytest.mark.parametrize("name", DRIVERS)
def test_node_loader_is_the_only_export(name):
    table = subprocess.run(["nm", "-D", "--defined-only", plugin_path(name)],
                           check=True, capture_output=True, text=True).stdout
    assert [line.split()[-1] for line in table.splitlines()] == ["NodeLoader"]


@pytest.mark.parametrize("name", DRIVERS)
def test_supports_exactly_its_pixel_types(plugins, name):
    accepted = {code for code in range(256) if plugins[name].supports_pixel_type(code)}
    assert accepted == PIXEL_TYPES[name]


@pytest.mark.parametrize("name", DRIVERS)
def test_needs_bucket_and_extension_are_constants(plugins, name):
    plugin = plugins[name]
    buckets = [(0, 0, 64, 64, 0), (64, 128, 16, 8, 3), (-5, 7, 0, 0, 7)]
    answers = {plugin.needs_bucket(*bucket) for bucket in buckets}
    assert answers == {name == "vantrop"}
    assert plugin.extension() is None


@pytest.mark.parametrize("name", DRIVERS)
def test_method_tables_fill_every_slot_but_the_plugin_hooks(plugins, name):
    assert plugins[name].method_slots() == [
        ("PluginInitialize", False), ("PluginCleanup", False), ("Parameters", True),
        ("Initialize", True), ("Update", True), ("Finish", True),
        ("DriverSupportsPixelType", True), ("DriverExtension", True), ("DriverOpen", True),
        ("DriverNeedsBucket", True), ("DriverPrepareBucket", True),
        ("DriverProcessBucket", True), ("DriverWriteBucket", True), ("DriverClose", True)]


@pytest.mark.parametrize("name", DRIVERS)
def test_initialization_registers_depth_before_the_driver(plugins, name):
    universe = ai.Universe(xres=64, yres=64, camera="persp", color_manager=True)
    universe.create_driver(plugins[name], "aiDriver1")
    assert universe.aovs == ([("Z", ai.FLOAT, 0)] if name == "vantrop" else [])
    universe.create_driver(plugins[name], "aiDriver2")  # registers again, for every node
    registration = ["AiAOVRegister Z 4 0"] if name == "vantrop" else []
    assert universe.setup_calls == (registration + ["AiDriverInitialize aiDriver1 false"]
                                    + registration + ["AiDriverInitialize aiDriver2 false"])


def test_failed_registration_still_initializes_the_driver(plugins):
    universe = ai.Universe(xres=64, yres=64, camera=None, color_manager=False)
    ai.fail("AiAOVRegister")
    try:
        universe.create_driver(plugins["vantrop"], "aiDriver1")
    finally:
        ai.reset_failures()
    assert universe.setup_calls[-1] == "AiDriverInitialize aiDriver1 false"
