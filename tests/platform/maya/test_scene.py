"""The scene through maya_standin: matrices, the camera's projection, the
vertex iterator, and the checks on what a test hands in."""
import math

import numpy as np
import pytest

import maya_standin as maya
from conftest import CUBE_FACES, CUBE_POINTS


def project(camera, world_point):
    """World point -> normalised device coordinates, Maya's way (row vectors)."""
    p = np.append(world_point, 1.0) @ np.linalg.inv(maya.world_matrix(camera))
    clip = p @ maya.projection_matrix(camera).astype(np.float64)
    return clip[:3] / clip[3]


def test_world_matrix_is_row_vector_with_rotations_x_then_y_then_z():
    maya.create_camera("cam", translate=(1, 2, 3), rotate=(0, 90, 0))
    m = maya.world_matrix("cam")
    np.testing.assert_allclose(m[3], [1, 2, 3, 1])
    # The view direction -Z turns to -X under +90 degrees about Y.
    np.testing.assert_allclose(np.array([0, 0, -1, 0]) @ m, [-1, 0, 0, 0], atol=1e-12)
    # The shape's inclusive matrix is its transform's.
    np.testing.assert_array_equal(maya.world_matrix("camShape"), m)

    maya.create_mesh("m", [(0, 1, 0)], [], rotate=(90, 0, 90))
    # x first: +Y -> +Z, which z then leaves alone (z first would give -X).
    np.testing.assert_allclose(maya.vertices("m")["position"][0], [0, 0, 1], atol=1e-12)


def test_projection_is_opengl_with_z_terms_negated():
    near, far, focal, aspect = 0.5, 200.0, 50.0, 1.25
    maya.create_camera("cam", focal_length=focal, near=near, far=far, aspect=aspect)
    # glFrustum from the 36 mm film back seen at the near plane.
    right = near * 18.0 / focal
    top = right / aspect
    gl = np.array([[near / right, 0, 0, 0],
                   [0, near / top, 0, 0],
                   [0, 0, -(far + near) / (far - near), -2 * far * near / (far - near)],
                   [0, 0, -1, 0]])
    expected = gl.T.copy()
    expected[2, 2] *= -1
    expected[3, 2] *= -1
    p = maya.projection_matrix("cam")
    assert p.dtype == np.float32
    np.testing.assert_allclose(p, expected, rtol=1e-6)


@pytest.mark.parametrize("point, expected", [
    ((0, 0, -0.5), (0, 0, 1)),                   # near plane centre
    ((0, 0, -200), (0, 0, -1)),                  # far plane centre
    ((10 * 18 / 50, 0, -10), (1, 0, None)),      # right edge of the film
    ((0, -10 * 18 / 50 / 1.25, -10), (0, -1, None)),  # bottom edge
])
def test_projected_points(point, expected):
    maya.create_camera("cam", translate=(3, -1, 2), rotate=(20, -30, 10),
                       focal_length=50, near=0.5, far=200, aspect=1.25)
    world = np.append(point, 1.0) @ maya.world_matrix("cam")
    ndc = project("cam", world[:3])
    for got, want in zip(ndc, expected):
        if want is not None:
            assert got == pytest.approx(want, abs=1e-5)


def test_cube_vertices_in_order_with_outward_normals_and_neighbours():
    maya.create_mesh("cube", CUBE_POINTS, CUBE_FACES, translate=(5, 0, 0))
    v = maya.vertices("cube")
    assert v["index"] == list(range(8))
    np.testing.assert_allclose(v["position"], np.array(CUBE_POINTS) + (5, 0, 0))
    # A corner's normal is the average of its three face normals: outward along the diagonal.
    np.testing.assert_allclose(v["normal"], np.sign(CUBE_POINTS) / math.sqrt(3), atol=1e-12)
    assert v["connected"][0] == [1, 2, 4]
    assert v["connected"][7] == [3, 5, 6]


def test_world_normals_follow_the_transform():
    # One triangle, counter-clockwise seen from +Z, turned +90 degrees about X.
    maya.create_mesh("tri", [(0, 0, 0), (1, 0, 0), (0, 1, 0), (3, 3, 3)], [[0, 1, 2]], rotate=(90, 0, 0))
    v = maya.vertices("tri")
    np.testing.assert_allclose(v["normal"][:3], [(0, -1, 0)] * 3, atol=1e-12)
    # A vertex outside every face has no normal and no neighbours.
    np.testing.assert_array_equal(v["normal"][3], [0, 0, 0])
    assert v["connected"][3] == []


def test_normal_averages_unit_face_normals_not_areas():
    # A big face up (+Z) and a small face towards +X share vertices 0 and 1.
    maya.create_mesh("fold", [(0, 0, 0), (0, 1, 0), (-10, 0, 0), (0, 0, -0.1)],
                     [[0, 1, 2], [0, 3, 1]])
    n = maya.vertices("fold")["normal"][0]
    np.testing.assert_allclose(n, np.array([1, 0, 1]) / math.sqrt(2), atol=1e-12)


@pytest.mark.parametrize("make, message", [
    (lambda: maya.create_mesh("a", [(0, 0, 0)] * 3, [[0, 1, 3]]), "does not exist"),
    (lambda: maya.create_mesh("a", [(0, 0, 0)] * 3, [[0, 1]]), "at least 3"),
    (lambda: maya.create_mesh("a", [(0, 0)], []), "shape"),
    (lambda: maya.create_mesh("a", [(0, 0, float("nan"))], []), "finite"),
    (lambda: maya.create_camera("a", near=1.0, far=1.0), "near < far"),
    (lambda: maya.create_camera("cam"), "exists already"),
    (lambda: maya.create_mesh("camShape", [], []), "exists already"),
    (lambda: maya.create_mesh("a|b", [], []), "'|'"),
    (lambda: maya.select(["nothing"]), "no object"),
    (lambda: maya.set_active_camera("box"), "not a camera"),
    (lambda: maya.color_sets("cam"), "not a mesh"),
    (lambda: maya.vertex_colors("box", "none"), "no colour set"),
    (lambda: maya.set_points("box", [(0, 0, 0)]), "vertex count"),
    (lambda: maya.fail("MRenderView::start", "x"), "can be made to fail"),
])
def test_bad_requests_raise_value_error(make, message):
    maya.create_camera("cam")
    maya.create_mesh("box", CUBE_POINTS, CUBE_FACES)
    with pytest.raises(ValueError, match=message):
        make()


def test_reset_forgets_everything():
    maya.create_mesh("box", CUBE_POINTS, CUBE_FACES)
    maya.create_camera("cam")
    maya.select(["box"])
    maya.set_active_camera("cam")
    maya.set_render_view_available(False)
    maya.fail("MFnCamera::projectionMatrix", "no")
    maya.reset()
    with pytest.raises(ValueError):
        maya.world_matrix("box")
    maya.create_camera("cam")  # the name is free again, and nothing fails
    assert maya.projection_matrix("cam").shape == (4, 4)
    assert maya.render_view_calls() == [] and maya.render_view_image() is None
    assert maya.warnings() == [] and maya.infos() == []
