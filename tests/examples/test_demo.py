"""The demo end to end: four drivers, the sample receiver, and pictures a person can
trust, checked against the conversions worked out here from the scene's own data."""

import os

import numpy as np
import pytest

import arnold_standin as ai
import demo
import mtoa_callbacks
import scene
from png_writer import read_png

W, H, B = 96, 64, 16


@pytest.fixture(scope="module")
def run(tmp_path_factory):
    out = tmp_path_factory.mktemp("demo")
    mtoa_callbacks.reset()
    status = demo.main(["--plugins", os.environ["KORVANE_PLUGIN_DIR"], "--out", str(out),
                        "--width", str(W), "--height", str(H), "--bucket-size", str(B)])
    summaries = {s["render_start"].node_name: s for s in mtoa_callbacks.summaries}
    outputs, near, far = demo.scene_outputs(ai, W, H)
    frame = {name: data for name, _, data in outputs}
    yield status, summaries, frame, near, far
    mtoa_callbacks.reset()


def quantized(values):
    """Bytes of a (H, W, 3) picture as the drivers quantise it: dithered per pixel."""
    out = np.empty(values.shape, dtype=np.int32)
    for (y, x, c), v in np.ndenumerate(values):
        out[y, x, c] = ai.quantize8bit(x, y, c, float(v), True)
    return out


def picture(summaries, name):
    (path,) = [f for f in summaries["vantropDriver"]["files"] if f.endswith(name + ".png")]
    return read_png(path).astype(np.int32)


def assert_close(actual, expected):
    # The drivers work in float32, this test in float64: a value on a rounding
    # boundary may land one step away.
    assert np.abs(actual - expected).max() <= 1


def test_every_driver_reports_its_render(run):
    status, summaries, *_ = run
    assert status == 0
    assert sorted(summaries) == sorted(t + "Driver" for t in demo.DRIVERS)
    for node_type in demo.DRIVERS:
        summary = summaries[node_type + "Driver"]
        start = summary["render_start"]
        assert start[1:] == ("persp", W, H, 4, False, (W // B) * (H // B), 0, 0, W - 1, H - 1)
        streamed = node_type == "vantrop"
        count = (W // B) * (H // B) if streamed else 0
        assert summary["buckets"] == {"RGBA": count, "Z": count, "N": count}
        assert len(summary["files"]) == (4 if streamed else 0)


def test_beauty_is_composited_over_the_background_colour(run):
    _, summaries, frame, *_ = run
    beauty = frame["RGBA"].astype(np.float64)
    alpha = beauty[..., 3:]
    composite = alpha * beauty[..., :3] + (1.0 - alpha) * np.asarray(demo.BACKGROUND)
    encoded = np.array([[ai.color_transform(list(px) + [1.0], "sRGB")[:3] for px in row]
                        for row in composite])
    assert_close(picture(summaries, "beauty"), quantized(encoded))
    assert_close(picture(summaries, "alpha")[..., 0],
                 np.vectorize(lambda a, x, y: ai.quantize8bit(x, y, 3, a, True))(
                     beauty[..., 3], np.arange(W)[None, :], np.arange(H)[:, None]))
    # The frame has transparent pixels, so the compositing was put to the test.
    assert (frame["RGBA"][..., 3] == 0.0).any()


def test_depth_is_white_near_and_black_far(run):
    _, summaries, frame, near, far = run
    depth = picture(summaries, "depth")
    level = np.clip((frame["Z"].astype(np.float64) - far) / (near - far), 0.0, 1.0)
    assert_close(depth, quantized(np.repeat(level[..., None], 3, axis=2)))
    nearest = np.unravel_index(np.argmin(frame["Z"]), frame["Z"].shape)
    assert depth[nearest].min() >= 250
    assert depth[frame["Z"] == scene.BACKGROUND_DEPTH].max() <= 1


def test_normals_are_mapped_through_the_camera(run):
    _, summaries, frame, *_ = run
    # The camera the scene was cast from, placed in a universe of the test's own.
    universe = ai.Universe(xres=W, yres=H, camera="persp")
    universe.set_camera(matrix=scene.look_at(demo.CAMERA_EYE, demo.CAMERA_TARGET),
                        fov=demo.CAMERA_FOV)
    _, world_to_screen = universe.matrices()
    n = frame["N"].astype(np.float64)
    v = n @ np.asarray(world_to_screen, dtype=np.float64)[:3, :3]
    v /= np.maximum(np.linalg.norm(v, axis=-1, keepdims=True), 1e-30)
    mapped = np.stack([np.clip((v[..., 0] + 1) / 2, 0, 1), np.clip((v[..., 1] + 1) / 2, 0, 1),
                       np.clip(0.5 - v[..., 2] / 2, 0.5, 1)], axis=-1)
    missed = ~n.any(axis=-1)
    mapped[missed] = demo.BACKGROUND
    assert missed.any() and not missed.all()
    assert_close(picture(summaries, "normals"), quantized(mapped))


def test_a_missing_driver_library_fails_the_demo(tmp_path, capsys):
    status = demo.main(["--plugins", str(tmp_path), "--out", str(tmp_path / "out"),
                        "--width", "8", "--height", "8", "--drivers", "vantrop"])
    assert status == 1
    assert "vantrop: cannot load the driver" in capsys.readouterr().out
