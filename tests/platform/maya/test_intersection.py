"""MFnMesh::allIntersections through maya_standin.intersect: parameter range,
directions, tolerance, spaces, the acceleration structure and its cache."""
import numpy as np
import pytest

import maya_standin as maya
from conftest import CUBE_FACES, CUBE_POINTS, uv_sphere


def ts(hits):
    return [round(h[0], 5) for h in hits]


@pytest.mark.parametrize("accelerated", [True, False])
@pytest.mark.parametrize("source, direction, max_param, both, expected", [
    ((0, 0, 5), (0, 0, -1), 1000, False, [4.5, 5.5]),
    ((0, 0, 5), (0, 0, -2), 1000, False, [2.25, 2.75]),   # t in lengths of the direction given
    ((0, 0, 5), (0, 0, -1), 5.0, False, [4.5]),          # beyond maxParam
    ((0, 0, 5), (0, 0, -1), 4.5, False, [4.5]),          # exactly at maxParam
    ((0, 0, 5), (0, 0, 1), 1000, False, []),             # pointing away
    ((0, 0, 5), (0, 0, 1), 1000, True, [-4.5, -5.5]),    # both directions
    ((0, 0, 0), (0, 0, 1), 1000, False, [0.5]),          # from inside
    ((0, 0, 0), (0, 0, 1), 0.4, True, []),
    ((0, 0, 0.5), (0, 0, 1), 1000, False, [0.0]),        # source on the surface: t = 0 counts
    ((0.3, 0.3, 5), (0, 0, -1), 1000, False, [4.5, 5.5]),  # on a quad's diagonal: one hit per face
    ((0, 2, 5), (0, 0, -1), 1000, False, []),
    ((0, 0, 5), (0, 0, 0), 1000, False, []),              # no direction
])
def test_cube_hits(accelerated, source, direction, max_param, both, expected):
    maya.create_mesh("cube", CUBE_POINTS, CUBE_FACES)
    hits = maya.intersect("cube", source, direction, max_param=max_param, both_directions=both,
                          accelerated=accelerated)
    assert ts(hits) == expected


def test_hit_records():
    maya.create_mesh("cube", CUBE_POINTS, CUBE_FACES)
    t, face, triangle, point, b1, b2 = maya.intersect("cube", (0.25, -0.25, 5), (0, 0, -1))[0]
    assert (t, face) == (4.5, 1)
    assert point == pytest.approx((0.25, -0.25, 0.5))
    # Face 1 is (4, 5, 7, 6): fan triangle 0 is (4, 5, 7); the point lies there.
    assert triangle == 0
    v0, v1, v2 = (np.array(CUBE_POINTS[i]) for i in (4, 5, 7))
    np.testing.assert_allclose(v0 + b1 * (v1 - v0) + b2 * (v2 - v0), point, atol=1e-6)


@pytest.mark.parametrize("offset, tolerance, hit", [
    (-1e-3, 1e-6, False),
    (-1e-3, 1e-2, True),      # tolerance widens the triangle
    (1e-3, 1e-6, True),
])
def test_tolerance_at_an_edge(offset, tolerance, hit):
    maya.create_mesh("tri", [(0, 0, 0), (1, 0, 0), (0, 1, 0)], [[0, 1, 2]])
    for accelerated in (True, False):
        hits = maya.intersect("tri", (offset, 0.5, 1), (0, 0, -1), tolerance=tolerance,
                              accelerated=accelerated)
        assert bool(hits) == hit


def test_world_and_object_space():
    maya.create_mesh("cube", CUBE_POINTS, CUBE_FACES, translate=(10, 0, 0), rotate=(0, 0, 45))
    assert ts(maya.intersect("cube", (10, 0, 5), (0, 0, -1))) == [4.5, 5.5]
    assert maya.intersect("cube", (0, 0, 5), (0, 0, -1)) == []
    assert ts(maya.intersect("cube", (0, 0, 5), (0, 0, -1), world=False)) == [4.5, 5.5]
    # Rotated 45 degrees about Z, the cube reaches sqrt(0.5) along X in world space.
    assert maya.intersect("cube", (10.69, 0, 5), (0, 0, -1))
    assert not maya.intersect("cube", (10.72, 0, 5), (0, 0, -1))
    hit = maya.intersect("cube", (10, 0, 5), (0, 0, -1))[0]
    assert hit[3] == pytest.approx((10, 0, 0.5))  # hit points come back in the ray's space


def test_face_list_limits_the_query():
    maya.create_mesh("cube", CUBE_POINTS, CUBE_FACES)
    hits = maya.intersect("cube", (0, 0, 5), (0, 0, -1), faces=[0, 2, 3])
    assert [(round(h[0], 5), h[1]) for h in hits] == [(5.5, 0)]


def test_accelerated_and_exhaustive_queries_agree():
    points, faces = uv_sphere(24, 32)
    maya.create_mesh("sphere", points, faces, translate=(0.3, -0.2, 0.1))
    rng = np.random.default_rng(7)
    sources = rng.uniform(-2, 2, size=(300, 3))
    targets = rng.uniform(-0.8, 0.8, size=(300, 3))
    hit_count = 0
    for s, t in zip(sources, targets):
        both = bool(rng.integers(2))
        fast = maya.intersect("sphere", tuple(s), tuple(t - s), both_directions=both)
        slow = maya.intersect("sphere", tuple(s), tuple(t - s), both_directions=both, accelerated=False)
        assert [(h[0], h[1], h[2]) for h in fast] == [(h[0], h[1], h[2]) for h in slow]
        hit_count += len(fast)
    assert hit_count > 300  # most rays pass through the sphere, twice


def test_acceleration_is_built_once_and_rebuilt_after_an_edit():
    plane = [(-1, -1, 0), (1, -1, 0), (1, 1, 0), (-1, 1, 0)]
    maya.create_mesh("plane", plane, [[0, 1, 2, 3]])
    maya.intersect("plane", (0, 0, 1), (0, 0, -1), accelerated=False)
    assert maya.accel_builds("plane") == 0
    for _ in range(3):
        assert ts(maya.intersect("plane", (0, 0, 1), (0, 0, -1))) == [1.0]
    assert maya.accel_builds("plane") == 1

    maya.set_transform("plane", translate=(0, 0, -1))  # placement is not geometry
    assert ts(maya.intersect("plane", (0, 0, 1), (0, 0, -1))) == [2.0]
    assert maya.accel_builds("plane") == 1

    maya.set_points("plane", [(x + 5, y, z) for x, y, z in plane])
    assert maya.intersect("plane", (0, 0, 1), (0, 0, -1)) == []
    assert ts(maya.intersect("plane", (5, 0, 1), (0, 0, -1))) == [2.0]
    assert maya.accel_builds("plane") == 2


def test_injected_failure_and_non_mesh():
    maya.create_mesh("cube", CUBE_POINTS, CUBE_FACES)
    maya.create_camera("cam")
    with pytest.raises(ValueError, match="incompatible"):
        maya.intersect("cam", (0, 0, 5), (0, 0, -1))
    maya.fail("MFnMesh::allIntersections", "no rays today")
    with pytest.raises(ValueError, match="no rays today"):
        maya.intersect("cube", (0, 0, 5), (0, 0, -1))
