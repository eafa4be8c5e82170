"""vantrop's bucket streaming: the bucket messages, the 8-bit blocks (expected bytes from the
stand-in's quantiser and colour transform), the bucket counter, failures, whole renders,
concurrent writes and leaks."""

import importlib
import threading

import numpy as np
import pytest

import arnold_standin as ai
from conftest import ERROR, PREFIX, RECORDING_RECEIVER, assert_steady, driver_log

BEAUTY, NORMALS, DEPTH = 1, 2, 3
F32 = np.float32


@pytest.fixture
def universe():
    return ai.Universe(xres=32, yres=16, camera=None, color_manager=True)


@pytest.fixture
def node(plugins, universe):
    node = universe.create_driver(plugins["vantrop"], "aiDriver1")
    node.open(data_window=(0, 0, 31, 15), bucket_size=8)
    universe.clear_log()
    return node


def buckets(calls):
    """The receive_bucket calls as (message without the address, block bytes)."""
    return [(c[1][:7], c[2]) for c in calls if c[0] == "receive_bucket"]


def quantized(colors, alpha, xo, yo):
    """Expected block: float colours (h, w, 3) and alpha (h, w, or None for 3 channels)."""
    h, w = colors.shape[:2]
    block = []
    for row in range(h):
        for col in range(w):
            x, y = xo + col, yo + row
            block += [ai.quantize8bit(x, y, c, float(colors[row, col, c]), True) for c in range(3)]
            if alpha is not None:
                block.append(ai.quantize8bit(x, y, 3, float(alpha[row, col]), True))
    return bytes(block)


def read_samples(pixel_type, data, bg):
    """Working colours and sample alpha, as the driver reads them."""
    if pixel_type == ai.FLOAT:
        return np.repeat(data[..., None], 3, axis=2), np.ones(data.shape, F32)
    if pixel_type == ai.RGBA:
        a = data[..., 3:4]
        return a * data[..., :3] + (F32(1) - a) * np.asarray(bg, F32), data[..., 3]
    return data, np.ones(data.shape[:2], F32)


def beauty(colors, alpha):
    h, w = colors.shape[:2]
    return np.array([[ai.color_transform([*colors[r, c], alpha[r, c]], "sRGB")[:3]
                      for c in range(w)] for r in range(h)], F32)


def depth(colors, near=F32(10), far=F32(0)):
    return np.clip((colors - near) / (far - near), 0, 1)


def normal_colors(normals):
    """Screen-space normals (..., 3), not yet of unit length, as colours."""
    unit = normals / np.linalg.norm(normals, axis=-1, keepdims=True)
    return np.stack([np.clip((unit[..., 0] + 1) * F32(0.5), 0, 1),
                     np.clip((unit[..., 1] + 1) * F32(0.5), 0, 1),
                     np.clip(F32(0.5) - unit[..., 2] * F32(0.5), 0.5, 1)], axis=-1)


def test_one_bucket_of_each_kind_gives_the_expected_blocks(node, recorder):
    rng = np.random.default_rng(7)
    rgba = rng.uniform(0, 1, (4, 5, 4)).astype(F32)
    z = rng.uniform(-2, 12, (4, 5)).astype(F32)
    n = rng.normal(size=(4, 5, 3)).astype(F32)
    bg = (0.25, 0.5, 0.75)
    node["bgColor"] = bg
    node["alphaMode"] = "fromRGBA"
    node.write_bucket(8, 4, 5, 4,
                      [("RGBA", ai.RGBA, rgba), ("Z", ai.FLOAT, z), ("N", ai.VECTOR, n)])

    colors, alpha = read_samples(ai.RGBA, rgba, bg)
    depths = read_samples(ai.FLOAT, z, bg)[0]
    ones = np.ones((4, 5), F32)
    message = (0, 8, 4, 5, 4, 4)
    assert buckets(recorder) == [
        (message + (BEAUTY,), quantized(beauty(colors, alpha), alpha, 8, 4)),
        (message + (DEPTH,), quantized(depth(depths), ones, 8, 4)),
        (message + (NORMALS,), quantized(normal_colors(n), ones, 8, 4))]  # identity matrices


def test_outputs_share_one_number_and_one_block_in_iterator_order(node, recorder):
    one = np.ones((2, 2), F32)
    three, four = np.ones((2, 2, 3), F32), np.ones((2, 2, 4), F32)
    outputs = [("N", ai.VECTOR, three), ("rgba", ai.RGBA, four), ("Z", ai.FLOAT, one),
               ("Z1", ai.FLOAT, one), ("N ", ai.VECTOR, three), ("RGBA", ai.RGBA, four),
               ("depth", ai.FLOAT, one)]
    node.write_bucket(0, 0, 2, 2, outputs)
    calls = [c[1] for c in recorder if c[0] == "receive_bucket"]
    assert [(c[0], c[6]) for c in calls] == [(0, NORMALS), (0, DEPTH), (0, BEAUTY)]
    assert len({c[7] for c in calls}) == 1


def test_bucket_numbers_count_calls_from_each_open(plugins, universe, node, recorder):
    z = [("Z", ai.FLOAT, np.zeros((1, 1), F32))]
    node.write_bucket(0, 0, 1, 1, z)
    node.write_bucket(1, 0, 1, 1, [("other", ai.FLOAT, np.zeros((1, 1), F32))])  # nothing sent
    node.write_bucket(2, 0, 1, 1, z)
    node.close()  # leaves the counter alone
    other = universe.create_driver(plugins["vantrop"], "aiDriver2")
    other.write_bucket(3, 0, 1, 1, z)  # one counter for all vantrop nodes
    other.open(data_window=(0, 0, 31, 15), bucket_size=8)
    node.write_bucket(4, 0, 1, 1, z)
    assert [(m[0], m[1]) for m, _ in buckets(recorder)] == [(0, 0), (2, 2), (3, 3), (0, 4)]


@pytest.mark.parametrize("pixel_type, data", [
    (ai.FLOAT, np.full((1, 2), 0.5, F32)),
    (ai.RGB, np.full((1, 2, 3), 0.5, F32)),
    (ai.VECTOR, np.full((1, 2, 3), 0.5, F32)),
    (ai.RGBA, np.array([[[0.5, 0.5, 0.5, 0.25], [0.5, 0.5, 0.5, 1.0]]], F32)),
])
@pytest.mark.parametrize("alpha_mode", ["none", "fromRGBA", "dichotomousImageSeg"])
def test_alpha_byte_follows_alpha_mode_and_sample_alpha(node, recorder, pixel_type, data,
                                                        alpha_mode):
    node["alphaMode"] = alpha_mode
    node.write_bucket(3, 5, 2, 1, [("RGBA", pixel_type, data)])
    [(message, block)] = buckets(recorder)
    channels = 3 if alpha_mode == "none" else 4
    assert message[5] == channels and len(block) == 2 * channels
    if channels == 4:
        alpha = data[0, :, 3] if pixel_type == ai.RGBA else [1.0, 1.0]
        assert [block[3], block[7]] == [ai.quantize8bit(3 + i, 5, 3, float(a), True)
                                        for i, a in enumerate(alpha)]


@pytest.mark.parametrize("bg_color", [None, (0.2, 0.4, 0.6)])
def test_rgba_is_composited_over_bg_color_before_the_transform(node, recorder, bg_color):
    if bg_color is not None:
        node["bgColor"] = bg_color
    rgba = np.array([[[0.9, 0.1, 0.3, 0.0], [0.9, 0.1, 0.3, 1.0]]], F32)
    node.write_bucket(0, 0, 2, 1, [("RGBA", ai.RGBA, rgba)])
    bg = bg_color or (0.0, 0.0, 0.0)  # no bgColor on the node: black
    colors = np.array([[bg, [0.9, 0.1, 0.3]]], F32)
    assert buckets(recorder)[0][1] == quantized(beauty(colors, rgba[..., 3]), None, 0, 0)


@pytest.mark.parametrize("near, far, values, expected", [
    (10.0, 0.0, [0, 5, 10, 20, -1], [1, 0.5, 0, 0, 1]),   # the defaults: near white, far black
    (2.0, 6.0, [3, 2, 6, 7], [0.25, 0, 1, 1]),
    (3.0, 3.0, [3, 4, 2], [0, 1, 0]),                      # an empty range gives no NaN
])
def test_depth_is_normalised_between_min_and_max_depth(node, recorder, near, far, values, expected):
    node["minDepth"], node["maxDepth"] = near, far
    node.write_bucket(4, 2, len(values), 1, [("Z", ai.FLOAT, np.array([values], F32))])
    colors = np.repeat(np.array(expected, F32)[None, :, None], 3, axis=2)
    assert buckets(recorder)[0][1] == quantized(colors, None, 4, 2)


def test_normals_map_to_colours_and_zero_shows_bg_color(node, recorder):
    node["bgColor"] = (0.1, 0.2, 0.3)
    normals = np.array([[[0, 0, -1], [0, 0, 1], [1, 0, 0], [0, -2, 0], [0, 0, 0]]], F32)
    node.write_bucket(0, 1, 5, 1, [("N", ai.VECTOR, normals)])
    colors = np.array([[[0.5, 0.5, 1], [0.5, 0.5, 0.5], [1, 0.5, 0.5], [0.5, 0, 0.5],
                        [0.1, 0.2, 0.3]]], F32)
    assert buckets(recorder)[0][1] == quantized(colors, None, 0, 1)


def test_normals_go_through_the_world_to_screen_matrix(plugins, recorder):
    universe = ai.Universe(xres=64, yres=32, camera="persp", color_manager=True)
    universe.set_camera(position=(1, 2, 3), look_at=(0, 0, -5), fov=60)
    node = universe.create_driver(plugins["vantrop"], "aiDriver1")
    normal = np.array([0.6, 0.8, 0.0], F32)
    node.write_bucket(0, 0, 1, 1, [("N", ai.VECTOR, normal.reshape(1, 1, 3))])
    world_to_screen = universe.matrices()[1]  # row vectors: v * M, no translation
    color = normal_colors(normal @ world_to_screen[:3, :3])
    assert buckets(recorder)[0][1] == quantized(color.reshape(1, 1, 3), None, 0, 0)


def test_failed_matrices_leave_normals_untransformed(plugins, recorder):
    universe = ai.Universe(xres=64, yres=32, camera="persp", color_manager=True)
    universe.set_camera(position=(1, 2, 3), look_at=(0, 0, -5), fov=60)
    node = universe.create_driver(plugins["vantrop"], "aiDriver1")
    ai.fail("AiDriverGetMatrices")
    try:
        node.write_bucket(0, 0, 1, 1, [("N", ai.VECTOR, np.array([[[1, 0, 0]]], F32))])
    finally:
        ai.reset_failures()
    assert buckets(recorder)[0][1] == quantized(np.array([[[1, 0.5, 0.5]]], F32), None, 0, 0)


def test_without_a_colour_manager_the_default_one_is_used(plugins, recorder):
    universe = ai.Universe(xres=8, yres=8, camera=None, color_manager=False)
    node = universe.create_driver(plugins["vantrop"], "aiDriver1")
    rgba = np.array([[[0.2, 0.5, 0.8, 1.0]]], F32)
    node.write_bucket(0, 0, 1, 1, [("RGBA", ai.RGBA, rgba)])
    assert buckets(recorder)[0][1] == quantized(beauty(rgba[..., :3], rgba[..., 3]), None, 0, 0)


@pytest.mark.parametrize("size_x, size_y", [(0, 4), (4, 0), (0, 0)])
def test_empty_bucket_still_sends_each_matching_output(node, recorder, universe, size_x, size_y):
    outputs = [("RGBA", ai.RGBA, np.zeros((size_y, size_x, 4), F32)),
               ("Z", ai.FLOAT, np.zeros((size_y, size_x), F32))]
    node.write_bucket(0, 0, size_x, size_y, outputs)
    assert buckets(recorder) == [((0, 0, 0, size_x, size_y, 3, BEAUTY), b""),
                                 ((0, 0, 0, size_x, size_y, 3, DEPTH), b"")]
    assert universe.allocations_outstanding == 0


def test_missing_receiver_logs_each_output_and_the_count_goes_on(node, universe, write_receiver):
    outputs = [("RGBA", ai.RGBA, np.zeros((2, 2, 4), F32)), ("Z", ai.FLOAT, np.zeros((2, 2), F32)),
               ("albedo", ai.RGB, np.zeros((2, 2, 3), F32))]
    node.write_bucket(0, 0, 2, 2, outputs)
    node.write_bucket(2, 0, 2, 2, outputs)
    error = ("error", ERROR + "Could not import module")
    progress = ("info", PREFIX + "driver_write_bucket")
    assert driver_log(universe) == [progress, error, error] * 2
    assert universe.allocations_outstanding == 0

    write_receiver(RECORDING_RECEIVER)  # appears mid-render: the next bucket finds it
    node.write_bucket(4, 0, 1, 1, [("Z", ai.FLOAT, np.zeros((1, 1), F32))])
    assert buckets(importlib.import_module("mtoa_callbacks").calls)[0][0][0] == 2


def test_a_raising_receiver_still_gets_the_next_outputs(node, universe, write_receiver, capfd):
    write_receiver("""
        kinds = []
        def receive_bucket(index, xo, yo, sx, sy, channels, kind, address):
            kinds.append(kind)
            if kind == 1:
                raise RuntimeError("beauty refused")
    """)
    outputs = [("RGBA", ai.RGBA, np.zeros((1, 1, 4), F32)), ("Z", ai.FLOAT, np.zeros((1, 1), F32))]
    node.write_bucket(0, 0, 1, 1, outputs)
    assert importlib.import_module("mtoa_callbacks").kinds == [BEAUTY, DEPTH]
    assert "beauty refused" in capfd.readouterr().err
    assert [line for line in driver_log(universe) if line[0] == "error"] == []


def test_failed_allocation_sends_nothing_and_still_counts(node, universe, recorder):
    z = [("Z", ai.FLOAT, np.zeros((2, 2), F32))]
    ai.fail("AiMalloc")
    try:
        node.write_bucket(0, 0, 2, 2, z)
    finally:
        ai.reset_failures()
    node.write_bucket(2, 0, 2, 2, z)
    assert [m[0] for m, _ in buckets(recorder)] == [1]
    assert driver_log(universe)[:2] == [("info", PREFIX + "driver_write_bucket"),
                                        ("error", ERROR + "Could not allocate bucket buffer")]
    assert universe.allocations_outstanding == 0


@pytest.mark.parametrize("window, bucket_size",
                         [(None, 8), ((3, 2, 28, 12), 8), ((5, 5, 5, 5), 64)])
def test_a_render_streams_every_pixel_of_the_window_once(plugins, recorder, window, bucket_size):
    universe = ai.Universe(xres=30, yres=14, camera=None, color_manager=True)
    node = universe.create_driver(plugins["vantrop"], "aiDriver1")
    ys, xs = np.mgrid[0:14, 0:30].astype(F32)
    z = xs * F32(0.25) + ys * F32(0.125)  # every pixel its own depth, 0 .. 9
    universe.render(node, [("Z", ai.FLOAT, z), ("RGBA", ai.RGBA, np.ones((14, 30, 4), F32))],
                    data_window=window, bucket_size=bucket_size, threads=4)

    x0, y0, x1, y1 = window or (0, 0, 29, 13)
    setup = recorder[0][1]
    received = buckets(recorder)
    assert sorted(m[0] for m, _ in received if m[6] == DEPTH) == list(range(setup[6]))
    got = np.full((14, 30, 3), -1)
    for (index, xo, yo, sx, sy, channels, kind), block in received:
        if kind == DEPTH:
            assert (got[yo:yo + sy, xo:xo + sx] == -1).all(), "a pixel was sent twice"
            got[yo:yo + sy, xo:xo + sx] = np.frombuffer(block, np.uint8).reshape(sy, sx, 3)
    want = np.frombuffer(quantized(depth(np.repeat(z[..., None], 3, axis=2))[y0:y1 + 1, x0:x1 + 1],
                                   None, x0, y0), np.uint8).reshape(y1 - y0 + 1, x1 - x0 + 1, 3)
    assert (got[y0:y1 + 1, x0:x1 + 1] == want).all()
    assert (got == -1).sum() == 3 * (30 * 14 - want.shape[0] * want.shape[1])
    assert recorder[-1] == ("render_finished", ())
    assert universe.allocations_outstanding == 0


def test_concurrent_writes_never_share_or_skip_a_number(node, write_receiver):
    write_receiver("""
        numbers = []
        def receive_bucket(index, *rest):
            numbers.append(index)
    """)
    z = [("Z", ai.FLOAT, np.zeros((1, 1), F32))]

    def write_many():
        for i in range(2000):
            node.write_bucket(i % 32, 0, 1, 1, z)

    threads = [threading.Thread(target=write_many) for _ in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert sorted(importlib.import_module("mtoa_callbacks").numbers) == list(range(16000))


def test_no_references_or_memory_kept_after_many_buckets(node, universe, write_receiver):
    write_receiver("""
        probe = object()
        def receive_bucket(*args):
            return probe
    """)
    module = importlib.import_module("mtoa_callbacks")
    watched = [module, module.receive_bucket, module.probe]
    outputs = [("RGBA", ai.RGBA, np.zeros((2, 2, 4), F32)),
               ("N", ai.VECTOR, np.zeros((2, 2, 3), F32))]

    def run(count):
        for _ in range(count):
            node.write_bucket(0, 0, 2, 2, outputs)

    assert_steady(run, watched)  # 10,000 calls
    assert universe.allocations_outstanding == 0
