"""The module as Python sees it: attributes, signatures, argument conversion, exports."""
import ctypes
import os
import re
import subprocess
import sys
import textwrap

import numpy as np
import pytest

import orvalis

SET_IMAGE_DOC = ("set_renderview_image(arg0: int, arg1: int, arg2: int, arg3: bool, "
                 "arg4: numpy.ndarray[numpy.uint8]) -> None\n")
MASK_DOC = ("compute_cam_mask_vtx_colors(arg0: str, arg1: str, arg2: str, arg3: int, "
            "arg4: bool, arg5: bool, arg6: bool) -> None\n")


def test_module_attributes_and_signature_lines():
    assert orvalis.__doc__ is None
    assert orvalis.__version__ == "dev"
    assert type(orvalis.__version__) is str
    assert orvalis.set_renderview_image.__doc__ == SET_IMAGE_DOC
    assert orvalis.compute_cam_mask_vtx_colors.__doc__ == MASK_DOC
    public = {name for name in vars(orvalis) if not name.startswith("__")}
    assert public == {"set_renderview_image", "compute_cam_mask_vtx_colors"}


def test_library_exports_exactly_the_four_symbols():
    path = orvalis.__file__
    out = subprocess.run(["nm", "-D", "--defined-only", path], check=True,
                         capture_output=True, text=True).stdout
    names = {line.split()[-1] for line in out.splitlines() if line.strip()}
    assert names == {"PyInit_orvalis", "set_renderview_image", "MApiVersion",
                     "ADSK_PLUGIN_SIGNATURE"}
    library = ctypes.CDLL(path)
    assert ctypes.c_char_p(ctypes.addressof(
        ctypes.c_char.in_dll(library, "MApiVersion"))).value == b"20220400"


def test_library_links_the_four_maya_libraries():
    out = subprocess.run(["readelf", "-d", orvalis.__file__], check=True,
                         capture_output=True, text=True).stdout
    needed = set(re.findall(r"\(NEEDED\)\s+Shared library: \[(.+?)\]", out))
    assert {"libFoundation.so", "libOpenMaya.so", "libOpenMayaUI.so",
            "libOpenMayaRender.so"} <= needed


def image(width=2, height=2, channels=3):
    return np.zeros(width * height * channels, np.uint8)


GOOD_IMAGE_ARGS = (2, 2, 3, False, image())


@pytest.mark.parametrize("args, kwargs", [
    pytest.param(GOOD_IMAGE_ARGS[:4], {}, id="four-arguments"),
    pytest.param(GOOD_IMAGE_ARGS + (1,), {}, id="six-arguments"),
    pytest.param(GOOD_IMAGE_ARGS[:4], {"image": image()}, id="keyword-image"),
    pytest.param(GOOD_IMAGE_ARGS, {"width": 2}, id="extra-keyword"),
    pytest.param((2.0,) + GOOD_IMAGE_ARGS[1:], {}, id="float-width"),
    pytest.param((2, np.float64(2.0)) + GOOD_IMAGE_ARGS[2:], {}, id="numpy-float64-height"),
    pytest.param((2**31,) + GOOD_IMAGE_ARGS[1:], {}, id="width-above-int32"),
    pytest.param((2, -2**31 - 1) + GOOD_IMAGE_ARGS[2:], {}, id="height-below-int32"),
    pytest.param((2, 2, "3", False, image()), {}, id="str-channels"),
    pytest.param((2, 2, 3, "yes", image()), {}, id="str-to-linear"),
    pytest.param((2, 2, 3, "", image()), {}, id="empty-str-to-linear"),
    pytest.param((2, 2, 3, [1], image()), {}, id="list-to-linear"),
    pytest.param((2, 2, 3, False, "pixels"), {}, id="str-image"),
    pytest.param((2, 2, 3, False, object()), {}, id="object-image"),
])
def test_refused_render_view_arguments_raise_type_error(scene, args, kwargs):
    with pytest.raises(TypeError, match="incompatible function arguments"):
        orvalis.set_renderview_image(*args, **kwargs)
    assert scene.render_view_calls() == []


@pytest.mark.parametrize("args, kwargs", [
    pytest.param(("m", "c", "s", 0, True, True), {}, id="six-arguments"),
    pytest.param(("m", "c", "s", 0, True, True, True, 1), {}, id="eight-arguments"),
    pytest.param(("m", "c", "s", 0, True, True), {"facing_test": True}, id="keyword"),
    pytest.param(("m", 5, "s", 0, True, True, True), {}, id="int-camera"),
    pytest.param(("m", "c", ["s"], 0, True, True, True), {}, id="list-color-set"),
    pytest.param(("\ud800", "c", "s", 0, True, True, True), {}, id="lone-surrogate"),
    pytest.param(("m", "c", "s", 1.0, True, True, True), {}, id="float-iterations"),
    pytest.param(("m", "c", "s", 0, "on", True, True), {}, id="str-frustum"),
    pytest.param(("m", "c", "s", 0, True, (), True), {}, id="tuple-occlusion"),
])
def test_refused_mask_arguments_raise_type_error(scene, args, kwargs):
    with pytest.raises(TypeError, match="incompatible function arguments"):
        orvalis.compute_cam_mask_vtx_colors(*args, **kwargs)
    assert scene.warnings() == [] and scene.infos() == []


@pytest.mark.parametrize("width, height, to_linear, expected", [
    pytest.param(True, 1, False, (1, 1, 0.0), id="true-is-one"),
    pytest.param(np.int32(2), 1, False, (2, 1, 0.0), id="numpy-int32"),
    pytest.param(np.float32(2.9), 1, False, (2, 1, 0.0), id="numpy-float32-truncated"),
    pytest.param(1, 1, None, (1, 1, 0.0), id="none-is-false"),
    pytest.param(1, 1, 0.5, (1, 1, 1.0), id="half-is-true"),
    pytest.param(1, 1, np.array([1]), (1, 1, 1.0), id="one-element-array-is-true"),
])
def test_accepted_render_view_arguments(scene, width, height, to_linear, expected):
    # Every byte is 1: the decode of byte 1 is far below 1.0, so red tells to_linear.
    pixels = np.ones(2 * 1 * 3, np.uint8)
    assert orvalis.set_renderview_image(width, height, 3, to_linear, pixels) is None
    start = next(args for op, args in scene.render_view_calls() if op.endswith("startRender"))
    assert tuple(start[:2]) == expected[:2]
    red = scene.render_view_image()[0, 0, 0]
    assert (red == 1.0) == (expected[2] == 0.0)


@pytest.mark.parametrize("given, expected", [
    pytest.param([[[1, 2, 3]]], [1, 2, 3], id="nested-lists"),
    pytest.param(np.array([1.9, 2.2, 255.0], np.float64), [1, 2, 255], id="float-cast"),
    pytest.param(np.array([[1, 2, 3]], np.int64), [1, 2, 3], id="int64-cast"),
    pytest.param(np.ma.masked_array(np.array([7, 8, 9], np.uint8)), [7, 8, 9],
                 id="ndarray-subclass"),
])
def test_image_conversion(scene, given, expected):
    orvalis.set_renderview_image(1, 1, 3, False, given)
    assert scene.render_view_image()[0, 0].tolist() == [*expected, 255.0]


NO_NUMPY = textwrap.dedent("""
    import sys
    sys.modules["numpy"] = None          # every import of numpy now fails
    import orvalis
    assert orvalis.compute_cam_mask_vtx_colors("m", "c", "s", 0, 1, 1, 1) is None
    # numpy is asked for before any argument is converted, whatever the values.
    for args in ((1, 1, 3, False, b"abc"), (1, 1, 3, False, None), (1, 1, 3, False, [[1, 2, 3]]),
                 ("x", 1.5, None, "no", object())):
        try:
            orvalis.set_renderview_image(*args)
        except ImportError as error:
            assert "numpy" in str(error), error
        else:
            raise AssertionError("no ImportError")
    try:
        orvalis.set_renderview_image(1, 1, 3, False)
    except TypeError:
        pass
    else:
        raise AssertionError("no TypeError")
    # Once numpy can be imported, the next call makes it ready, and it then stays ready.
    del sys.modules["numpy"]
    import maya_standin
    orvalis.set_renderview_image(1, 1, 3, False, [[1, 2, 3]])
    sys.modules["numpy"] = None
    orvalis.set_renderview_image(1, 1, 3, False, [[4, 5, 6]])
    del sys.modules["numpy"]
    assert maya_standin.render_view_image().tolist() == [[[4.0, 5.0, 6.0, 255.0]]]
    print("ok")
""")


def test_without_numpy_only_the_image_function_fails():
    result = subprocess.run([sys.executable, "-c", NO_NUMPY], capture_output=True,
                            text=True, env=os.environ, timeout=60)
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == "ok"
