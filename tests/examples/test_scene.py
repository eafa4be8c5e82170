import dataclasses

import numpy as np
import pytest

import scene

ONE_SPHERE = scene.Scene(spheres=(scene.Sphere((0.0, 0.0, -5.0), 1.0, (0.8, 0.2, 0.2)),),
                         ground_height=-1.0, shadow_samples=4)


def centre(image):
    return image[image.shape[0] // 2, image.shape[1] // 2]


@pytest.mark.parametrize("camera_to_world", [
    None,
    # The same view from elsewhere: the camera 3 units up and to the side, aimed at the sphere.
    scene.look_at((3.0, 4.0, -5.0), (0.0, 0.0, -5.0)),
])
def test_centre_ray_hits_the_sphere_facing_the_camera(camera_to_world):
    out = scene.render(ONE_SPHERE, 33, 33, 40.0, camera_to_world)
    m = np.identity(4) if camera_to_world is None else camera_to_world
    to_camera = m[3, :3] - (0.0, 0.0, -5.0)
    distance = np.linalg.norm(to_camera)
    assert centre(out["depth"]) == pytest.approx(distance - 1.0, abs=1e-4)
    assert centre(out["normals"]) == pytest.approx(to_camera / distance, abs=1e-4)
    assert centre(out["beauty"])[3] == 1.0


def test_ground_below_horizon_and_background_above():
    out = scene.render(ONE_SPHERE, 40, 30, 60.0)
    top, bottom = (0, 0), (29, 0)
    # Above the horizon nothing is hit: transparent, far, no normal.
    assert out["beauty"][top][3] == 0.0
    assert out["depth"][top] == scene.BACKGROUND_DEPTH
    assert not out["normals"][top].any()
    # The bottom row sees the ground plane one unit below the camera.
    origins, dirs = scene.camera_rays(40, 30, 60.0, np.identity(4))
    d = dirs[0][bottom]
    assert out["depth"][bottom] == pytest.approx(1.0 / -d[1], rel=1e-5)
    assert out["normals"][bottom] == pytest.approx((0.0, 1.0, 0.0))


def test_a_round_ground_ends_at_its_radius():
    disc = dataclasses.replace(ONE_SPHERE, spheres=(), ground_radius=2.0,
                               ground_center=(0.0, -5.0))
    origins = np.zeros((3, 3))
    # Down to the ground at the disc's centre, just inside its edge and just outside.
    targets = np.array([[0.0, -1.0, -5.0], [1.9, -1.0, -5.0], [2.1, -1.0, -5.0]])
    dirs = targets / np.linalg.norm(targets, axis=1)[:, None]
    t, *_, hit = scene.intersect(disc, origins, dirs)
    assert hit.tolist() == [True, True, False]
    assert t[0] == pytest.approx(np.linalg.norm(targets[0]))


def test_outputs_have_the_renderer_shapes_and_types():
    out = scene.render(ONE_SPHERE, 24, 16)
    assert out["beauty"].shape == (16, 24, 4) and out["depth"].shape == (16, 24)
    assert out["normals"].shape == (16, 24, 3)
    assert {a.dtype for a in out.values()} == {np.dtype(np.float32)}
    hit = out["depth"] < scene.BACKGROUND_DEPTH
    lengths = np.linalg.norm(out["normals"], axis=-1)
    assert np.allclose(lengths[hit], 1.0, atol=1e-5) and not lengths[~hit].any()


def test_edges_are_partly_covered_and_keep_the_unpremultiplied_colour():
    # Sky light alone: on the sphere's upper half every sample is at least 0.6 of
    # albedo times ambient, so a colour scaled down by a coverage of half or less
    # would fall below that.
    unlit = dataclasses.replace(ONE_SPHERE, light_intensity=0.0, ambient=1.0)
    out = scene.render(unlit, 64, 64, 40.0)
    alpha = out["beauty"][..., 3]
    upper_edge = (alpha > 0.0) & (alpha <= 0.5) & (np.arange(64)[:, None] < 32)
    assert upper_edge.any()
    assert out["beauty"][..., 0][upper_edge].min() >= 0.6 * 0.8 * (1 - 1e-6)


def test_sphere_casts_a_soft_shadow_on_the_ground():
    lit = scene.Scene(spheres=(), ground_height=-1.0, light_position=(0.0, 5.0, -5.0))
    blocked = scene.Scene(spheres=(scene.Sphere((0.0, 0.0, -5.0), 0.8, (1, 1, 1)),),
                          ground_height=-1.0, light_position=(0.0, 5.0, -5.0))
    origins = np.array([[0.0, 0.0, 0.0], [0.0, 0.0, 0.0]])
    # Rays to the ground right under the sphere and to a point well beside it.
    targets = np.array([[0.0, -1.0, -5.0], [3.0, -1.0, -5.0]])
    dirs = targets / np.linalg.norm(targets, axis=1)[:, None]
    radiance = {}
    for name, s in (("lit", lit), ("blocked", blocked)):
        t, p, n, a, hit = scene.intersect(s, origins, dirs)
        radiance[name] = scene.shade(s, p, n, a, hit)[:, 0]
    assert radiance["blocked"][0] < 0.5 * radiance["lit"][0]
    assert radiance["blocked"][1] == pytest.approx(radiance["lit"][1])


def test_depth_range_ignores_the_background():
    depth = np.array([[2.5, scene.BACKGROUND_DEPTH], [7.0, 3.0]], dtype=np.float32)
    assert scene.depth_range(depth) == (2.5, 7.0)
    assert scene.depth_range(np.full((2, 2), scene.BACKGROUND_DEPTH)) == (0.0, 1.0)
