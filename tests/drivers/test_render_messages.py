"""Render start and end: the render_setup message, the log lines, and the Python call
pattern on its success and failure paths (missing module or function, raising receivers,
receivers that appear mid-render), with no references or memory kept."""

import importlib
import sys

import pytest

import arnold_standin as ai
from conftest import DRIVERS, ERROR, PREFIX, assert_steady, driver_log

START_LINES = [("info", PREFIX + "Sending render start to python"),
               ("info", PREFIX + "Render start sent to python")]
CLOSE_LINE = ("info", PREFIX + "driver_close")


@pytest.fixture(params=DRIVERS)
def make_node(request, plugins):
    """Makes a universe and a driver node of each node type in turn."""
    def make(xres=640, yres=480, camera="persp", name="aiDriver1"):
        universe = ai.Universe(xres=xres, yres=yres, camera=camera, color_manager=True)
        node = universe.create_driver(plugins[request.param], name)
        universe.clear_log()
        return universe, node
    return make


def test_render_start_and_end_reach_python(make_node, recorder):
    universe, node = make_node(name="drv:main|aiDriver1")
    node.open(data_window=(0, 0, 639, 479), bucket_size=64)
    node.close()
    assert recorder == [
        ("render_setup", ("drv:main|aiDriver1", "persp", 640, 480, 3, False, 80, 0, 0, 639, 479)),
        ("render_finished", ())]
    assert [type(a) for a in recorder[0][1]] == [str, str] + [int] * 3 + [bool] + [int] * 5
    assert driver_log(universe) == START_LINES + [CLOSE_LINE]


@pytest.mark.parametrize("alpha_mode, channels", [
    ("none", 3), ("fromRGBA", 4), ("dichotomousImageSeg", 4), (1, 4), (0, 3)])
def test_channels_follow_alpha_mode(make_node, recorder, alpha_mode, channels):
    _, node = make_node()
    node["alphaMode"] = alpha_mode
    node.open(data_window=(0, 0, 639, 479), bucket_size=64)
    assert recorder[0][1][4] == channels


# Resolution 640 x 480. bucket_count is the number of buckets covering the window.
@pytest.mark.parametrize("window, bucket_size, is_region, bucket_count", [
    ((0, 0, 639, 479), 64, False, 80),
    ((0, 0, 639, 99), 64, True, 20),       # the truncating formula would give 25
    ((0, 0, 99, 99), 64, True, 4),         # ... and 3
    ((100, 50, 739, 529), 64, False, 80),  # full size at another place
    ((-10, 0, 639, 479), 64, True, 88),    # wider than the resolution
    ((0, 0, 639, 480), 64, True, 80),      # taller
    ((5, 5, 5, 5), 16, True, 1),
    ((0, 0, 639, 479), 1000, False, 1),
    ((-2**31, -2**31, 2**31 - 1, 2**31 - 1), 1, True, 2**64),  # exact beyond 64 bits
])
def test_region_flag_and_bucket_count(make_node, recorder, window, bucket_size, is_region,
                                      bucket_count):
    _, node = make_node()
    node.open(data_window=window, bucket_size=bucket_size)
    assert recorder[0][1][5:] == (is_region, bucket_count) + window


def test_no_camera_sends_an_empty_camera_name(make_node, recorder):
    _, node = make_node(camera=None)
    node.open(data_window=(0, 0, 639, 479))
    assert recorder[0][1][1] == ""


def test_missing_module_is_logged_and_the_render_goes_on(make_node):
    universe, node = make_node()
    node.open(data_window=(0, 0, 639, 479))
    node.close()
    error = ("error", ERROR + "Could not import module")
    assert driver_log(universe) == [START_LINES[0], error, START_LINES[1], CLOSE_LINE, error]


def test_missing_function_is_logged_and_the_other_still_called(make_node, write_receiver):
    write_receiver("""
        calls = []
        def render_finished():
            calls.append("render_finished")
    """)
    universe, node = make_node()
    node.open(data_window=(0, 0, 639, 479))
    node.close()
    assert importlib.import_module("mtoa_callbacks").calls == ["render_finished"]
    error = ("error", ERROR + "Could not find function")
    assert driver_log(universe) == [START_LINES[0], error, START_LINES[1], CLOSE_LINE]


def test_a_node_name_that_is_not_utf8_makes_no_call(make_node, recorder):
    universe, node = make_node(name=b"aiDriver\xff")  # render_setup's name cannot be made
    node.open(data_window=(0, 0, 639, 479))
    node.close()  # no Python error was left set: the next call goes through
    assert recorder == [("render_finished", ())]
    error = ("error", ERROR + "Could not build arguments")
    assert driver_log(universe) == [START_LINES[0], error, START_LINES[1], CLOSE_LINE]


def test_broken_module_counts_as_not_importable(make_node, write_receiver):
    write_receiver("raise RuntimeError('broken receiver')\n")
    universe, node = make_node()
    node.open(data_window=(0, 0, 639, 479))  # no Python error may be left set
    assert ("error", ERROR + "Could not import module") in driver_log(universe)


@pytest.mark.parametrize("raised", ["ValueError('bad frame')", "KeyboardInterrupt()",
                                    "SystemExit(3)"])  # shown without ending the process
def test_raising_receiver_shows_its_traceback_and_the_render_goes_on(
        make_node, write_receiver, capfd, monkeypatch, raised):
    unraisable = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: unraisable.append(repr(u.exc_value)))
    monkeypatch.delattr(sys, "last_value", raising=False)
    write_receiver(f"""
        calls = []
        def render_setup(*args):
            raise {raised}
        def render_finished():
            calls.append("render_finished")
    """)
    universe, node = make_node()
    node.open(data_window=(0, 0, 639, 479))
    node.close()
    assert importlib.import_module("mtoa_callbacks").calls == ["render_finished"]
    assert driver_log(universe) == START_LINES + [CLOSE_LINE]  # no line of the driver's own
    assert raised.split("(")[0] in capfd.readouterr().err + "".join(unraisable)
    assert not hasattr(sys, "last_value")  # no frame of the call is kept alive


def test_receiver_added_between_open_and_close_is_found(make_node, write_receiver):
    universe, node = make_node()
    node.open(data_window=(0, 0, 639, 479))
    write_receiver("""
        calls = []
        def render_setup(*args):
            calls.append("render_setup")
    """)
    module = importlib.import_module("mtoa_callbacks")
    node.close()  # finds the module, not the function yet
    module.render_finished = lambda: module.calls.append("render_finished")
    node.close()  # nothing was cached: the function added since is found
    assert module.calls == ["render_finished"]
    assert [line for line in driver_log(universe) if line[0] == "error"] == [
        ("error", ERROR + "Could not import module"),
        ("error", ERROR + "Could not find function")]


def test_no_references_or_memory_kept_after_many_calls(make_node, write_receiver):
    write_receiver("""
        probe = object()
        def render_setup(*args):
            return probe
        def render_finished(*args):
            return probe
    """)
    module = importlib.import_module("mtoa_callbacks")
    universe, node = make_node()
    watched = [module, module.render_setup, module.render_finished, module.probe]

    def run(count):
        for _ in range(count):
            node.open(data_window=(0, 0, 639, 479))
            node.close()

    assert_steady(run, watched)  # 10,000 calls


def test_failure_paths_keep_no_module_reference(make_node, write_receiver):
    write_receiver("""
        def render_setup(*args):
            raise ValueError("always")
    """)
    module = importlib.import_module("mtoa_callbacks")
    universe, node = make_node()
    node.open(data_window=(0, 0, 639, 479))
    count = sys.getrefcount(module)
    for _ in range(200):
        node.open(data_window=(0, 0, 639, 479))  # raises inside render_setup
        node.close()  # render_finished is missing
    assert sys.getrefcount(module) == count
