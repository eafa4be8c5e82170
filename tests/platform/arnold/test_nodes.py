"""Nodes, their parameters, the universe's options, AOVs and log routing."""

import threading

import pytest

import arnold_standin as ai
from conftest import texts


def test_new_node_holds_the_defaults_and_runs_initialize(universe, plugin):
    node = universe.create_driver(plugin, "fake1")
    assert node.name == "fake1"
    assert (node["needBuckets"], node["count"], node["gain"], node["label"], node["mode"],
            node["tint"]) == (True, 3, 0.5, "hello", "second", (0.25, 0.5, 1.0))
    assert universe.setup_calls == ["AiAOVRegister Z 4 0", "AiAOVRegister P 7 1",
                                    "AiDriverInitialize fake1 false"]


def test_aovs_are_registered_once_per_name_and_another_type_is_refused(universe, plugin):
    universe.create_driver(plugin, "fake1")
    universe.create_driver(plugin, "fake2")
    assert universe.aovs == [("Z", 4, 0), ("P", 7, 1)]
    assert universe.setup_calls.count("AiAOVRegister Z 4 0") == 2
    refusals = texts(universe, "[ai_standin] AiAOVRegister: AOV 'P' is already registered")
    assert len(refusals) == 2


def test_aov_registration_goes_to_the_universe_being_set_up(plugin):
    first = ai.Universe()
    second = ai.Universe()
    first.create_driver(plugin, "early")
    assert len(first.aovs) == 2 and second.aovs == []


def test_aov_registration_made_to_fail_records_nothing(universe, plugin):
    ai.fail("AiAOVRegister")
    universe.create_driver(plugin, "fake1")
    assert universe.aovs == []
    assert universe.setup_calls == ["AiDriverInitialize fake1 false"]


def test_duplicate_node_name_is_refused(universe, plugin):
    universe.create_driver(plugin, "fake1")
    with pytest.raises(ValueError):
        universe.create_driver(plugin, "fake1")


@pytest.mark.parametrize("param, value, read_back", [
    ("mode", "third", "third"),
    ("mode", 0, "first"),
    ("count", 42, 42),
    ("gain", 2, 2.0),
    ("label", "", ""),
    ("tint", [1, 0, 0.5], (1.0, 0.0, 0.5)),
    ("needBuckets", False, False),
])
def test_set_declared_parameters(node, param, value, read_back):
    node[param] = value
    assert node[param] == read_back


@pytest.mark.parametrize("param, value, error", [
    ("mode", "fourth", ValueError),
    ("mode", 3, ValueError),
    ("mode", -1, ValueError),
    ("count", 1.5, TypeError),
    ("count", True, TypeError),
    ("needBuckets", 1, TypeError),
    ("label", 3, TypeError),
    ("tint", (1, 2), TypeError),
    ("gain", "x", TypeError),
])
def test_set_rejects_values_of_another_type(node, param, value, error):
    before = node[param]
    with pytest.raises(error):
        node[param] = value
    assert node[param] == before


@pytest.mark.parametrize("value, type_name", [
    ((0.1, 0.2, 0.3), "RGB"), (True, "BOOL"), (7, "INT"), (1.5, "FLOAT"), ("text", "STRING"),
])
def test_undeclared_name_becomes_a_user_parameter_typed_by_its_value(node, value, type_name):
    node["extra"] = value
    assert ("extra", type_name) in [(name, kind) for name, kind, _ in node.parameters()]
    assert node["extra"] == (pytest.approx(value) if type_name in ("RGB", "FLOAT") else value)


def test_driver_read_of_a_missing_parameter_gives_zero_and_a_warning(node, universe):
    node.open()
    assert "bgColor 0 0 0" in texts(universe)
    warnings = [text for severity, text in universe.log if severity == "warning"]
    assert warnings == ["[ai_standin] AiNodeGetRGB: node 'fake1' has no parameter 'bgColor'"]
    node["bgColor"] = (0.5, 0.25, 1.0)
    node["mode"] = "third"
    universe.clear_log()
    node.open()
    assert "bgColor 0.5 0.25 1" in texts(universe)
    assert "mode 2 label hello" in texts(universe)  # AiNodeGetInt of an ENUM: its index
    assert [severity for severity, _ in universe.log].count("warning") == 0
    node.close()


def test_missing_parameter_raises_keyerror_in_python(node):
    with pytest.raises(KeyError):
        node["bgColor"]
    assert "bgColor" not in node and "count" in node


def test_options_hold_resolution_camera_and_colour_manager():
    with_all = ai.Universe(xres=320, yres=200, camera="cam1", color_manager=True)
    assert (with_all.options["xres"], with_all.options["yres"]) == (320, 200)
    assert with_all.camera.name == "cam1"
    assert with_all.options["camera"] is not None and with_all.options["color_manager"] is not None
    bare = ai.Universe(camera=None, color_manager=False)
    assert bare.camera is None
    assert bare.options["camera"] is None and bare.options["color_manager"] is None


def test_driver_lines_go_to_the_node_universe_not_the_newest(plugin):
    older = ai.Universe()
    node = older.create_driver(plugin, "fake1")
    newer = ai.Universe()
    older.clear_log()
    node.open()
    node.close()
    assert texts(older, "open ") and texts(older, "close ")
    assert newer.log == []


def test_log_keeps_long_lines_whole(node, universe):
    node["bgColor"] = (1.0, 1.0, 1.0)
    width = 5000
    image = [("RGB", ai.RGB, [[[0.123456789, 0.5, 0.25]] * width])]
    node.write_bucket(0, 0, width, 1, image)
    (line,) = texts(universe, "write ")
    assert len(line.split()) == 7 + 3 * width


def test_concurrent_log_lines_are_all_kept(node, universe):
    bucket = [("Z", ai.FLOAT, [[1.0]])]
    threads = [threading.Thread(target=lambda: [node.write_bucket(0, 0, 1, 1, bucket)
                                                for _ in range(20)]) for _ in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert texts(universe, "write ") == ["write 0 0 1 1 Z 4 1"] * 160
