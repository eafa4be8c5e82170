"""The quantiser, the output colour transform and the camera matrices."""

import math

import numpy as np
import pytest

import arnold_standin as ai


@pytest.mark.parametrize("value, byte", [
    (0.0, 0), (1.0, 255), (-3.0, 0), (7.0, 255), (math.inf, 255), (-math.inf, 0),
    (math.nan, 0),
])
@pytest.mark.parametrize("dither", [False, True])
def test_quantize_range_ends_and_nan(value, byte, dither):
    assert all(ai.quantize8bit(x, y, c, value, dither) == byte
               for x in range(4) for y in range(4) for c in range(4))


def test_quantize_without_dither_rounds_to_nearest():
    values = np.linspace(0, 1, 1001, dtype=np.float32)
    assert [ai.quantize8bit(5, 9, 2, float(v), False) for v in values] == \
        list(np.floor(values * 255 + 0.5).astype(int))


def test_quantize_dither_is_an_ordered_pattern_that_averages_to_the_value():
    for value in (0.2, 0.5013, 0.77777, 0.999):
        for channel in range(4):
            block = np.array([[ai.quantize8bit(x, y, channel, value, True) for x in range(4)]
                              for y in range(4)])
            assert np.abs(block - value * 255).max() <= 1
            assert abs(block.mean() - value * 255) <= 1 / 16 + 1e-6
    # The pattern depends on position and channel, and nothing else: negative
    # coordinates follow the same period, and the same call gives the same byte.
    value = 0.5  # 127.5: the offsets decide between 127 and 128
    first = [ai.quantize8bit(x, 3, 0, value, True) for x in range(-8, 8)]
    assert len(set(first)) == 2 and first[:4] == first[4:8] == first[8:12]
    assert [ai.quantize8bit(x, 3, 0, value, True) for x in range(-8, 8)] == first
    assert [ai.quantize8bit(x, 3, 1, value, True) for x in range(-8, 8)] != first


def srgb(c):
    return 12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055


@pytest.mark.parametrize("linear", [0.0, 0.001, 0.0031308, 0.18, 0.5, 1.0, 2.0, -0.25])
def test_srgb_output_transform_encodes_rgb_and_keeps_alpha(linear):
    r, g, b, a = ai.color_transform((linear, 0.5, 0.0, 0.3), "sRGB")
    assert r == pytest.approx(srgb(linear), rel=1e-5, abs=1e-7)
    assert (g, b, a) == (pytest.approx(0.7353569), 0.0, pytest.approx(0.3))


def test_linear_space_leaves_the_pixel_and_unknown_space_is_refused():
    assert ai.color_transform((0.2, 0.4, 0.6, 0.8), "linear") == pytest.approx((0.2, 0.4, 0.6, 0.8))
    with pytest.raises(ValueError):
        ai.color_transform((0.2, 0.4, 0.6, 0.8), "ACEScg")


def project(matrix, point):
    p = np.append(np.asarray(point, np.float64), 1.0) @ matrix
    return p[:3] / p[3]


def test_default_camera_at_origin_looks_down_minus_z():
    world_to_camera, world_to_screen = ai.Universe().matrices()
    np.testing.assert_array_equal(world_to_camera, np.eye(4))
    half_width = math.tan(math.radians(54.43) / 2)
    centre = project(world_to_screen, (0, 0, -3))
    edge = project(world_to_screen, (half_width * 3, -half_width * 3, -3))
    np.testing.assert_allclose(centre[:2], (0, 0), atol=1e-6)
    np.testing.assert_allclose(edge[:2], (1, -1), atol=1e-5)
    # Normals through the upper 3x3: one facing the camera comes out as -Z.
    facing = np.array([0, 0, 1.0]) @ world_to_screen[:3, :3]
    assert facing[2] < 0 and facing[0] == facing[1] == 0


def test_placed_camera():
    u = ai.Universe()
    u.set_camera(position=(0, 0, 5), look_at=(0, 0, 0), fov=90)
    world_to_camera, world_to_screen = u.matrices()
    np.testing.assert_allclose(project(world_to_camera, (0, 0, 5)), (0, 0, 0), atol=1e-6)
    np.testing.assert_allclose(project(world_to_camera, (0, 0, 0)), (0, 0, -5), atol=1e-6)
    np.testing.assert_allclose(project(world_to_screen, (5, 0, 0))[:2], (1, 0), atol=1e-5)
    u.set_camera(position=(0, 0, 0), look_at=(1, 0, 0))  # turned to look down +X
    world_to_camera, _ = u.matrices()
    np.testing.assert_allclose(project(world_to_camera, (2, 0, 0)), (0, 0, -2), atol=1e-6)
    camera_to_world = np.eye(4, dtype=np.float32)
    camera_to_world[3, :3] = (4, 5, 6)
    u.set_camera(matrix=camera_to_world)
    np.testing.assert_allclose(u.matrices()[0] @ camera_to_world, np.eye(4), atol=1e-6)


@pytest.mark.parametrize("kwargs", [
    {"position": (1, 1, 1), "look_at": (1, 1, 1)},
    {"position": (0, 0, 0), "look_at": (0, 5, 0)},   # view along up
    {"fov": 180},
    {"matrix": np.eye(3)},
])
def test_set_camera_rejects_degenerate_placements(kwargs):
    with pytest.raises(ValueError):
        ai.Universe().set_camera(**kwargs)


def test_set_camera_without_camera_is_refused():
    with pytest.raises(ValueError):
        ai.Universe(camera=None).set_camera(position=(0, 0, 1))
