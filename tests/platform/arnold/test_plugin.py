"""Loading a driver plug-in and asking it about its node type."""

import os
import subprocess

import pytest

import arnold_standin as ai


def test_node_loader_fills_index_0_and_leaves_other_records_untouched(plugin):
    assert plugin.node_loader(0) == (True, {
        "node_type": 0x40, "output_type": 0xFF, "name": "fakedriver", "version": "7.1.4.0"})
    assert plugin.node_loader(1) == (False, None)
    assert plugin.node_loader(-1) == (False, None)
    assert (plugin.name, plugin.version, plugin.node_type, plugin.output_type) == (
        "fakedriver", "7.1.4.0", 0x40, 0xFF)


def test_parameters_in_declaration_order_with_defaults(plugin):
    assert plugin.parameters() == [
        ("needBuckets", "BOOL", True),
        ("count", "INT", 3),
        ("gain", "FLOAT", 0.5),
        ("label", "STRING", "hello"),
        ("mode", "ENUM", (1, ["first", "second", "third"])),
        ("tint", "RGB", (0.25, 0.5, 1.0)),
        ("meet", "ENUM", (0, ["none", "process", "write"])),
    ]


def test_method_slots_show_the_null_ones(plugin):
    slots = plugin.method_slots()
    assert [name for name, _ in slots] == [
        "PluginInitialize", "PluginCleanup", "Parameters", "Initialize", "Update", "Finish",
        "DriverSupportsPixelType", "DriverExtension", "DriverOpen", "DriverNeedsBucket",
        "DriverPrepareBucket", "DriverProcessBucket", "DriverWriteBucket", "DriverClose"]
    assert [name for name, present in slots if not present] == [
        "PluginInitialize", "PluginCleanup", "Update"]


def test_driver_type_queries(plugin):
    assert [code for code in range(256) if plugin.supports_pixel_type(code)] == [4, 5, 6, 7]
    assert plugin.extension() == ["fake", "fk"]
    with pytest.raises(ValueError):
        plugin.supports_pixel_type(256)


@pytest.mark.parametrize("path, message", [
    ("/nonexistent/driver.so", "cannot load"),
    (os.environ["STANDIN_LIB"], "NodeLoader"),  # a library without the entry
])
def test_load_plugin_failures_raise_oserror(path, message):
    with pytest.raises(OSError, match=message):
        ai.load_plugin(path)


def test_runtime_exports_the_api_and_nothing_else():
    symbols = subprocess.run(["nm", "-DC", "--defined-only", os.environ["STANDIN_LIB"]],
                             check=True, capture_output=True, text=True).stdout.splitlines()
    names = [line.split(" ", 2)[2] for line in symbols if line.strip()]
    assert [n for n in names if not n.startswith(("Ai", "ai_standin::"))] == []
    # The renderer API has C linkage: plain names; the control interface is C++.
    assert [n for n in names if n.startswith("Ai") and "(" in n] == []
    for api in ("AiMalloc", "AiMsgInfo", "AiNodeGetRGB", "AiCreateAtStringData_private",
                "AiOutputIteratorGetNext"):
        assert api in names
    assert any(n.startswith("ai_standin::render(AtNode*, ") for n in names)
