"""set_renderview_image: the pixels, rows and region handed to the Render View, the
status warnings of its four calls, and the refusal of images it cannot read."""
import numpy as np
import pytest

import maya_standin as maya
import orvalis
from status_warnings import parse_warning, source_line

SEQUENCE = ["MRenderView::startRender", "MRenderView::updatePixels",
            "MRenderView::refresh", "MRenderView::endRender"]


def srgb_to_linear_255(byte_values):
    """The decode written out independently: float32 normalisation, float64 curve,
    float32 rescale."""
    c = (np.asarray(byte_values, np.float32) / np.float32(255.0)).astype(np.float64)
    linear = np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)
    return linear.astype(np.float32) * np.float32(255.0)


def show(width, height, channels, to_linear, pixels):
    orvalis.set_renderview_image(width, height, channels, to_linear, pixels)
    return maya.render_view_image()


def operations(scene):
    return [op for op, _ in scene.render_view_calls()]


def test_decode_of_every_byte_value_is_bit_exact(scene):
    values = np.arange(256, dtype=np.uint8)
    pixels = np.repeat(values, 3)                       # 256 grey pixels, one row
    got = show(256, 1, 3, True, pixels)[0, :, :3]
    expected = srgb_to_linear_255(values)
    for channel in range(3):
        assert got[:, channel].view(np.uint32).tolist() == expected.view(np.uint32).tolist()


@pytest.mark.parametrize("byte, value", [
    (0, 0.0), (10, 0.77399), (11, 0.85337), (128, 55.0444), (255, 255.0)])
def test_decode_reference_values(scene, byte, value):
    got = show(1, 1, 3, True, np.array([byte] * 3, np.uint8))[0, 0]
    assert got[:3] == pytest.approx([value] * 3, abs=5e-5)
    assert got[3] == 255.0


def test_without_decode_bytes_pass_exactly(scene):
    values = np.arange(256, dtype=np.uint8)
    got = show(256, 1, 3, False, np.repeat(values, 3))[0]
    assert (got[:, :3] == values[:, None].astype(np.float32)).all()


@pytest.mark.parametrize("channels, to_linear", [(3, False), (4, False), (4, True), (5, True),
                                                 (7, False)])
def test_channels_choose_stride_and_alpha(scene, channels, to_linear):
    rng = np.random.default_rng(channels)
    height, width = 3, 5
    pixels = rng.integers(0, 256, (height, width, channels), dtype=np.uint8)
    got = show(width, height, channels, to_linear, pixels.ravel())
    top_first = got[::-1]                               # Maya's row 0 is the bottom
    rgb = pixels[..., :3]
    expected_rgb = srgb_to_linear_255(rgb) if to_linear else rgb.astype(np.float32)
    assert (top_first[..., :3] == expected_rgb).all()
    expected_alpha = pixels[..., 3].astype(np.float32) if channels == 4 else 255.0
    assert (top_first[..., 3] == expected_alpha).all()


def test_large_picture_filled_in_bands_matches_row_for_row(scene):
    # Over a million pixels per band; an odd height splits the rows unevenly.
    height, width = 2049, 2048
    pixels = np.random.default_rng(3).integers(0, 256, (height, width, 4), dtype=np.uint8)
    got = show(width, height, 4, True, pixels)[::-1]
    assert (got[..., :3] == srgb_to_linear_255(pixels[..., :3])).all()
    assert (got[..., 3] == pixels[..., 3]).all()


def test_first_row_of_the_image_is_the_last_row_handed_over(scene):
    pixels = np.array([[200] * 6, [100] * 6], np.uint8)   # 2 x 2, channels 3
    got = show(2, 2, 3, False, pixels)
    assert got.reshape(4, 4).tolist() == [[100.0] * 3 + [255.0]] * 2 + [[200.0] * 3 + [255.0]] * 2


@pytest.mark.parametrize("width, height", [(640, 480), (1, 1)])
def test_one_sequence_over_the_whole_image(scene, width, height):
    orvalis.set_renderview_image(width, height, 4, False, np.zeros((height, width, 4), np.uint8))
    calls = scene.render_view_calls()
    assert [op for op, _ in calls] == SEQUENCE
    start, update, refresh, end = (args for _, args in calls)
    region = (0, width - 1, 0, height - 1)
    assert tuple(start) == (width, height, True, False)
    assert tuple(update) == region + (False, 0, None)
    assert tuple(refresh) == region
    assert tuple(end) == ()
    assert scene.render_view_image().shape == (height, width, 4)


def test_image_is_read_as_dense_pixels_whatever_its_shape(scene):
    rng = np.random.default_rng(1)
    pixels = rng.integers(0, 256, (480, 640, 4), dtype=np.uint8)
    got = show(640, 480, 3, False, pixels)
    expected = pixels.ravel()[:640 * 480 * 3].reshape(480, 640, 3)[::-1]
    assert (got[..., :3] == expected).all()
    assert (show(640, 480, 3, False, pixels.ravel()) == got).all()


def test_strided_image_shows_the_pixels_it_holds(scene):
    rng = np.random.default_rng(2)
    wide = rng.integers(0, 256, (4, 6, 3), dtype=np.uint8)
    every_other_column = wide[:, ::2]
    got = show(3, 4, 3, False, every_other_column)
    assert (got[::-1, :, :3] == every_other_column).all()
    transposed = wide.transpose(1, 0, 2)                # 6 rows of 4, Fortran-like
    got = show(4, 6, 3, False, transposed)
    assert (got[::-1, :, :3] == transposed).all()


@pytest.mark.parametrize("width, height, channels, size, message", [
    (0, 1, 3, 3, "width and height"),
    (1, 0, 3, 3, "width and height"),
    (-4, 2, 3, 24, "width and height"),
    (1, 1, 2, 3, "channels"),
    (1, 1, -3, 3, "channels"),
    (2, 2, 3, 11, "fewer than"),
    (4, 4, 4, 0, "fewer than"),
    (65536, 65536, 3, 12, "fewer than"),               # w * h * c beyond 32 bits
    (2**31 - 1, 2**31 - 1, 2**31 - 1, 12, "fewer than"),
])
def test_unreadable_images_are_refused_before_any_maya_call(scene, width, height, channels,
                                                             size, message):
    with pytest.raises(ValueError, match=message):
        orvalis.set_renderview_image(width, height, channels, False, np.zeros(size, np.uint8))
    assert scene.render_view_calls() == []
    assert scene.warnings() == []


def test_failed_calls_warn_with_their_own_lines_and_the_sequence_goes_on(scene):
    for operation in SEQUENCE:
        scene.fail(operation, f"{operation.split('::')[1]} refused")
    assert orvalis.set_renderview_image(1, 1, 3, False, np.zeros(3, np.uint8)) is None
    assert operations(scene) == SEQUENCE
    warnings = [parse_warning(w) for w in scene.warnings()]
    assert [(f, text) for f, text, _, _ in warnings] == [
        ("set_renderview_image", f"{op.split('::')[1]} refused") for op in SEQUENCE]
    lines = [line for _, _, line, _ in warnings]
    assert lines == sorted(set(lines))
    for (_, _, line, file), operation in zip(warnings, SEQUENCE):
        assert file.endswith("orvalis/orvalis.cpp")
        assert operation.split("::")[1] + "(" in source_line(file, line)


def test_a_failed_start_still_runs_the_other_three_calls(scene):
    scene.fail("MRenderView::startRender", "no Render View")
    orvalis.set_renderview_image(2, 1, 3, False, np.full(6, 9, np.uint8))
    assert operations(scene) == SEQUENCE
    assert len(scene.warnings()) == 1
    assert parse_warning(scene.warnings()[0])[1] == "no Render View"


def test_long_warnings_are_cut_at_2046_characters(scene):
    text = "x" * 3000
    scene.fail("MRenderView::refresh", text)
    orvalis.set_renderview_image(1, 1, 3, False, np.zeros(3, np.uint8))
    (warning,) = scene.warnings()
    prefix = "set_renderview_image() : "
    assert warning == prefix + text[:2046]
