"""Renders and direct driver calls: the bucket grid, the samples each bucket
receives, the host's serialisation, the windows handed to DriverOpen."""

import threading

import numpy as np
import pytest

import arnold_standin as ai
from conftest import texts


def frame_outputs(xres, yres):
    """Outputs whose samples encode their own pixel and channel."""
    y, x = np.mgrid[0:yres, 0:xres].astype(np.float32)
    code = y * 1000 + x
    rgba = np.stack([code, code + 0.25, code + 0.5, code + 0.75], axis=-1)
    return [("RGBA", ai.RGBA, rgba), ("Z", ai.FLOAT, code), ("N", ai.VECTOR, rgba[..., :3])]


def written_buckets(universe):
    """(xo, yo, sx, sy, name, type, samples) of every "write" line."""
    result = []
    for line in texts(universe, "write "):
        fields = line.split()
        xo, yo, sx, sy = map(int, fields[1:5])
        samples = np.array(fields[7:], dtype=np.float32)
        result.append((xo, yo, sx, sy, fields[5], int(fields[6]), samples))
    return result


@pytest.mark.parametrize("window, bucket_size", [
    (None, 4),            # full 10 x 7 frame, clipped last row and column
    ((3, 2, 8, 5), 4),    # window not on the bucket lattice of the frame
    ((9, 6, 9, 6), 64),   # a single pixel
    ((0, 0, 9, 6), 1),
])
def test_render_writes_exactly_the_buckets_covering_the_window(universe, node, window, bucket_size):
    outputs = frame_outputs(10, 7)
    written = universe.render(node, outputs, data_window=window, bucket_size=bucket_size, threads=3)
    x0, y0, x1, y1 = window or (0, 0, 9, 6)
    grid = ai.bucket_grid((x0, y0, x1, y1), bucket_size)
    assert written == len(grid)
    assert grid[0][:2] == (x0, y0)
    buckets = written_buckets(universe)
    assert sorted({b[:4] for b in buckets}) == sorted(grid)
    coverage = np.zeros((7, 10), int)
    for xo, yo, sx, sy, name, pixel_type, samples in buckets:
        array = dict((n, a) for n, _, a in outputs)[name]
        expected = array[yo:yo + sy, xo:xo + sx].reshape(-1)
        np.testing.assert_array_equal(samples, expected, err_msg=f"{name} at {xo},{yo}")
        if name == "Z":
            coverage[yo:yo + sy, xo:xo + sx] += 1
    window_mask = np.zeros((7, 10), int)
    window_mask[y0:y1 + 1, x0:x1 + 1] = 1
    np.testing.assert_array_equal(coverage, window_mask)
    # Outputs reach each bucket in the order given.
    assert [b[4:6] for b in buckets[:3]] == [("RGBA", 6), ("Z", 4), ("N", 7)]


def test_render_opens_with_full_display_window_and_closes(universe, node):
    universe.render(node, frame_outputs(10, 7), data_window=(2, 1, 5, 4), bucket_size=16)
    opened = texts(universe, "open ")
    assert opened == ["open display 0 0 9 6 data 2 1 5 4 bucket 16 outputs RGBA:6 Z:4 N:7"]
    assert texts(universe)[-1].startswith("close ")


def close_counts(universe):
    """The fake's closing report: the most prepare or write calls inside the driver at
    once, and the most process calls."""
    serial, process = map(int, texts(universe, "close ")[0].split()[2::2])
    return serial, process


def test_render_serialises_prepare_and_write_and_runs_process_in_parallel(plugin):
    universe = ai.Universe(xres=64, yres=64)
    node = universe.create_driver(plugin, "fake1")
    node["meet"] = "process"  # each process call waits until a second one is inside
    universe.render(node, [("Z", ai.FLOAT, np.zeros((64, 64), np.float32))],
                    bucket_size=8, threads=8)
    serial, process = close_counts(universe)
    assert serial == 1
    assert process >= 2


def test_direct_write_bucket_calls_from_python_threads_run_concurrently(universe, node):
    bucket = [("Z", ai.FLOAT, np.zeros((2, 2), np.float32))]
    node["meet"] = "write"  # each write waits until a second one is inside
    node.open()
    threads = [threading.Thread(target=lambda: [node.write_bucket(0, 0, 2, 2, bucket)
                                                for _ in range(5)]) for _ in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    node.close()
    serial, _ = close_counts(universe)
    assert serial >= 2


def test_buckets_not_needed_are_not_written(universe, node):
    node["needBuckets"] = False
    assert universe.render(node, frame_outputs(10, 7), bucket_size=4) == 0
    assert texts(universe, "write ") == []


def test_unknown_pixel_type_hands_k_floats_per_pixel(universe, node):
    samples = np.arange(2 * 3 * 2, dtype=np.float32).reshape(2, 3, 2)
    node.write_bucket(5, 1, 3, 2, [("odd", 99, samples)])
    (line,) = texts(universe, "write ")
    assert line == "write 5 1 3 2 odd 99"


def test_empty_bucket_and_converted_arrays(universe, node):
    node.write_bucket(0, 0, 0, 0, [("RGBA", ai.RGBA, np.empty((0, 0, 4)))])
    assert texts(universe, "write ") == ["write 0 0 0 0 RGBA 6"]
    universe.clear_log()
    # float64, non-contiguous: converted to contiguous float32
    rgb = np.arange(24, dtype=np.float64).reshape(2, 4, 3)[:, ::2]
    node.write_bucket(0, 0, 2, 2, [("RGB", ai.RGB, rgb)])
    values = [float(v) for v in texts(universe, "write ")[0].split()[7:]]
    assert values == rgb.reshape(-1).tolist()


@pytest.mark.parametrize("outputs, message", [
    ([("Z", ai.FLOAT, np.zeros((2, 3)))], "2 x 3 pixels"),
    ([("RGBA", ai.RGBA, np.zeros((2, 2, 3)))], "shape"),
    ([("N", ai.VECTOR, np.zeros((2, 2)))], "shape"),
    ([("Z", ai.FLOAT, "not an array")], ""),
    ([("Z", ai.FLOAT)], "name, pixel type, array"),
    ([("Z", "4", np.zeros((2, 2)))], "pixel type must be an int"),
    ([("Z", 2**40, np.zeros((2, 2)))], "32-bit"),
])
def test_write_bucket_validates_outputs(node, outputs, message):
    with pytest.raises((ValueError, TypeError), match=message):
        node.write_bucket(0, 0, 2, 2, outputs)


@pytest.mark.parametrize("kwargs", [
    {"data_window": (0, 0, 10, 6)},   # beyond the frame
    {"data_window": (5, 0, 4, 6)},    # empty
    {"data_window": (0, 0, 4)},
    {"bucket_size": 0},
    {"threads": 0},
])
def test_render_validates_its_arguments(universe, node, kwargs):
    with pytest.raises(ValueError):
        universe.render(node, frame_outputs(10, 7), **kwargs)
    assert texts(universe, "open ") == []


def test_render_rejects_frames_of_another_size(universe, node):
    with pytest.raises(ValueError):
        universe.render(node, frame_outputs(7, 10))


def test_driver_allocations_are_counted(universe, node):
    before = universe.allocations_outstanding
    node.open()
    assert universe.allocations_outstanding == before + 1
    node.close()
    assert universe.allocations_outstanding == before


def test_allocations_are_counted_per_universe_and_freed_to_their_owner(plugin):
    first, second = ai.Universe(), ai.Universe()
    opened = first.create_driver(plugin, "fake1")
    other = second.create_driver(plugin, "fake2")
    opened.open()  # the fake keeps one block from open to close, whichever node closes
    assert (first.allocations_outstanding, second.allocations_outstanding) == (1, 0)
    other.close()
    assert (first.allocations_outstanding, second.allocations_outstanding) == (0, 0)


def test_failure_injection_of_the_allocator(universe, node):
    ai.fail("AiMalloc")
    node.open()  # the fake's block is not allocated
    assert universe.allocations_outstanding == 0
    node.close()
    with pytest.raises(ValueError):
        ai.fail("AiNothing")


def driver_matrices(universe):
    fields = texts(universe, "matrices ")[-1].split()
    values = np.array(fields[2:], dtype=np.float32).reshape(2, 4, 4)
    return fields[1] == "1", values[0], values[1]


def test_driver_gets_the_matrices_of_its_own_universe(plugin):
    placed = ai.Universe()
    placed.set_camera(position=(1, 2, 5), look_at=(1, 2, 0), fov=90)
    node = placed.create_driver(plugin, "fake1")
    ai.Universe(camera=None)  # newer, without a camera
    node.open()
    found, world_to_camera, world_to_screen = driver_matrices(placed)
    assert found
    expected = placed.matrices()
    np.testing.assert_allclose(world_to_camera, expected[0], atol=1e-6)
    np.testing.assert_allclose(world_to_screen, expected[1], atol=1e-6)
    node.close()


def test_without_camera_or_when_made_to_fail_the_matrices_are_identities(plugin):
    bare = ai.Universe(camera=None)
    node = bare.create_driver(plugin, "fake1")
    node.open()
    found, world_to_camera, world_to_screen = driver_matrices(bare)
    assert not found
    np.testing.assert_array_equal(world_to_camera, np.eye(4))
    np.testing.assert_array_equal(world_to_screen, np.eye(4))
    placed = ai.Universe()
    node = placed.create_driver(plugin, "fake2")
    ai.fail("AiDriverGetMatrices")
    node.open()
    found, _, world_to_screen = driver_matrices(placed)
    assert not found
    np.testing.assert_array_equal(world_to_screen, np.eye(4))
