"""The sample receiver, called as the drivers call it: blocks lent by address."""

import ctypes
import os

import numpy as np
import pytest

import mtoa_callbacks as receiver
from png_writer import read_png

RGBA, N, Z = 1, 2, 3


@pytest.fixture(autouse=True)
def fresh_receiver(tmp_path, monkeypatch):
    receiver.reset()
    monkeypatch.setattr(receiver, "output_dir", str(tmp_path / "out"))
    yield
    receiver.reset()


def start_render(xres, yres, channels, name="vantropDriver", window=None):
    minx, miny, maxx, maxy = window or (0, 0, xres - 1, yres - 1)
    receiver.render_setup(name, "persp", xres, yres, channels, window is not None, 0,
                          minx, miny, maxx, maxy)


def lend(index, xo, yo, block, kind):
    """Calls receive_bucket with a block that is scribbled over right after the call,
    as the driver's next output overwrites it and the driver then frees it."""
    sy, sx, channels = block.shape
    buffer = (ctypes.c_ubyte * max(block.size, 1)).from_buffer_copy(
        block.tobytes() or b"\0")
    receiver.receive_bucket(index, xo, yo, sx, sy, channels, kind, ctypes.addressof(buffer))
    ctypes.memset(buffer, 0xAB, len(buffer))


def stream(image, kind, bucket_size, origin=(0, 0)):
    """Streams an image as the buckets of a window starting at `origin`; returns the count."""
    h, w = image.shape[:2]
    count = 0
    for y in range(0, h, bucket_size):
        for x in range(0, w, bucket_size):
            lend(count, origin[0] + x, origin[1] + y, image[y:y + bucket_size, x:x + bucket_size],
                 kind)
            count += 1
    return count


def random_image(h, w, channels, seed):
    return np.random.default_rng(seed).integers(0, 256, (h, w, channels), dtype=np.uint8)


@pytest.mark.parametrize("channels", [3, 4])
def test_buckets_are_assembled_into_one_picture_per_kind(channels):
    images = {kind: random_image(50, 70, channels, kind) for kind in (RGBA, Z, N)}
    start_render(70, 50, channels)
    for kind, image in images.items():
        # 16 does not divide 70 or 50: the last row and column of buckets are clipped.
        assert stream(image, kind, 16) == 20
    receiver.render_finished()

    summary = receiver.summaries[-1]
    assert summary["buckets"] == {"RGBA": 20, "Z": 20, "N": 20}
    assert summary["render_start"].node_name == "vantropDriver"
    # Colour pictures are opaque RGB; the beauty's alpha is a grey picture of its own.
    expected = [("beauty", images[RGBA][..., :3])]
    if channels == 4:
        expected.append(("alpha", images[RGBA][..., 3:]))
    expected += [("depth", images[Z][..., :3]), ("normals", images[N][..., :3])]
    names = [os.path.basename(f) for f in summary["files"]]
    assert names == ["vantropDriver_%s.png" % picture for picture, _ in expected]
    for path, (_, pixels) in zip(summary["files"], expected):
        np.testing.assert_array_equal(read_png(path), pixels)


def test_a_region_fills_its_window_and_leaves_the_rest_black():
    start_render(40, 30, 4, window=(10, 5, 29, 24))
    part = random_image(20, 20, 4, 1)
    stream(part, RGBA, 8, origin=(10, 5))
    receiver.render_finished()
    beauty, alpha = (read_png(f) for f in receiver.summaries[-1]["files"])
    picture = np.concatenate([beauty, alpha], axis=2)
    np.testing.assert_array_equal(picture[5:25, 10:30], part)
    picture[5:25, 10:30] = 0
    assert not picture.any()
    assert receiver.summaries[-1]["render_start"].is_region is True


@pytest.mark.parametrize("xo, yo, sx, sy", [
    (-4, -4, 8, 8),      # sticks out above and to the left
    (12, 6, 8, 8),       # sticks out below and to the right
    (40, 0, 8, 8),       # lies wholly outside
    (0, 0, 0, 8),        # no pixel at all
    (0, 0, 8, 0),
])
def test_buckets_outside_the_frame_are_clipped(xo, yo, sx, sy):
    start_render(16, 10, 3)
    block = random_image(sy, sx, 3, 2)
    lend(0, xo, yo, block, N)
    receiver.render_finished()
    expected = np.zeros((10, 16, 3), dtype=np.uint8)
    x0, y0 = max(xo, 0), max(yo, 0)
    x1, y1 = min(xo + sx, 16), min(yo + sy, 10)
    if x1 > x0 and y1 > y0:
        expected[y0:y1, x0:x1] = block[y0 - yo:y1 - yo, x0 - xo:x1 - xo]
    summary = receiver.summaries[-1]
    assert summary["buckets"]["N"] == 1
    np.testing.assert_array_equal(read_png(summary["files"][0]), expected)


@pytest.mark.parametrize("announced, sent, kept", [(3, 4, 3), (4, 3, 3), (0, 4, 3), (9, 4, 3)])
def test_blocks_whose_channels_differ_from_the_render_start(announced, sent, kept):
    # The frame follows the render start (RGB unless it said 4); a block of another
    # width still lands pixel for pixel, with the channels both have.
    start_render(8, 8, announced)
    block = random_image(8, 8, sent, 6)
    lend(0, 0, 0, block, N)
    receiver.render_finished()
    (path,) = receiver.summaries[-1]["files"]
    np.testing.assert_array_equal(read_png(path)[..., :kept], block[..., :kept])


def test_a_render_without_buckets_writes_nothing(tmp_path):
    start_render(64, 64, 4, name="diffusionDriver")
    receiver.render_finished()
    summary = receiver.summaries[-1]
    assert summary["files"] == [] and summary["buckets"] == {"RGBA": 0, "Z": 0, "N": 0}
    assert not (tmp_path / "out").exists()


def test_unknown_kinds_and_buckets_outside_a_render_are_ignored():
    block = random_image(4, 4, 4, 3)
    lend(0, 0, 0, block, RGBA)          # before any render_setup
    receiver.render_finished()          # an end without a start
    assert receiver.summaries[-1]["render_start"] is None
    start_render(4, 4, 4)
    lend(1, 0, 0, block, 7)
    receiver.render_finished()
    assert receiver.summaries[-1]["ignored"] == 1
    assert receiver.summaries[-1]["files"] == []


def test_a_new_render_start_drops_an_unfinished_render():
    start_render(8, 8, 3, name="first")
    lend(0, 0, 0, random_image(8, 8, 3, 4), RGBA)
    start_render(8, 8, 3, name="second")
    receiver.render_finished()
    summary = receiver.summaries[-1]
    assert summary["render_start"].node_name == "second"
    assert summary["buckets"]["RGBA"] == 0 and summary["files"] == []


def test_node_names_cannot_lead_files_out_of_the_folder(tmp_path):
    start_render(4, 4, 3, name="../../evil/name")
    lend(0, 0, 0, random_image(4, 4, 3, 5), Z)
    receiver.render_finished()
    (path,) = receiver.summaries[-1]["files"]
    assert os.path.dirname(path) == str(tmp_path / "out")
    assert os.path.basename(path) == ".._.._evil_name_depth.png"
