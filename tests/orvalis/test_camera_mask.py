"""compute_cam_mask_vtx_colors on small scenes whose masks are known by hand."""
import numpy as np
import pytest

import orvalis
import meshes
from status_warnings import parse_warning, source_line

WHITE = [1.0, 1.0, 1.0, 1.0]
BLACK = [0.0, 0.0, 0.0, 1.0]


def mask(mesh="mesh1", camera="cam1", color_set="mask", smooth=0, frustum=False,
         occlusion=False, facing=False):
    return orvalis.compute_cam_mask_vtx_colors(mesh, camera, color_set, smooth, frustum,
                                               occlusion, facing)


def colors(scene, shape="mesh1Shape", color_set="mask"):
    return scene.vertex_colors(shape, color_set)


def visible(scene, **kwargs):
    """Per vertex: True for white, False for black; no other colour allowed."""
    got = colors(scene, **kwargs).tolist()
    assert all(c in (WHITE, BLACK) for c in got), got
    return [c == WHITE for c in got]


def progress(camera, mesh, position):
    return ["Computing camera-based mask:", f"\tCamera: {camera}", f"\tMesh: {mesh}",
            "\tCam Pos: %f %f %f" % position]


@pytest.fixture
def plane_scene(scene):
    scene.create_mesh("mesh1", *meshes.grid(3))
    scene.create_camera("cam1", translate=(1, 2, 3))
    return scene


# -- names, fallbacks and progress lines ------------------------------------------------

def test_names_found_need_no_fallback(plane_scene):
    plane_scene.fail("MGlobal::getActiveSelectionList", "selection consulted")
    plane_scene.fail("M3dView::getCamera", "active view consulted")
    assert mask() is None
    assert plane_scene.warnings() == []
    assert plane_scene.infos() == progress("cam1", "mesh1", (1, 2, 3))
    assert plane_scene.color_sets("mesh1Shape") == ["mask"]
    assert plane_scene.current_color_set("mesh1Shape") == "mask"
    assert colors(plane_scene).tolist() == [WHITE] * 9


def test_fallbacks_take_the_selected_shape_and_the_active_camera(plane_scene):
    plane_scene.create_mesh("other", *meshes.grid(2))
    plane_scene.select(["mesh1"])
    plane_scene.set_active_camera("cam1")
    mask(mesh="nothing", camera="")
    lines = plane_scene.infos()
    assert lines[0] == "Computing camera-based mask:"
    assert lines[1].startswith("\tCamera: cam1")            # the view's camera, transform or shape
    assert lines[2:] == ["\tMesh: mesh1Shape", "\tCam Pos: 1.000000 2.000000 3.000000"]
    assert plane_scene.color_sets("other") == []


@pytest.mark.parametrize("mesh_name, selected, shown", [
    pytest.param("mesh1", [], "mesh1", id="transform-by-name-unextended"),
    pytest.param("mesh1Shape", [], "mesh1Shape", id="shape-by-name"),
    pytest.param("|mesh1", [], "mesh1", id="long-path"),
    pytest.param(None, ["mesh1"], "mesh1Shape", id="none-falls-back-to-selection"),
    pytest.param("", ["mesh1"], "mesh1Shape", id="empty-falls-back-to-selection"),
])
def test_mesh_path_as_found(plane_scene, mesh_name, selected, shown):
    plane_scene.select(selected)
    mask(mesh=mesh_name)
    assert plane_scene.infos()[2] == f"\tMesh: {shown}"
    assert len(colors(plane_scene)) == 9


@pytest.mark.parametrize("color_set, stored", [
    pytest.param(b"bytesSet", "bytesSet", id="bytes"),
    pytest.param("cut\0here", "cut", id="embedded-zero"),
])
def test_color_set_name_as_received(plane_scene, color_set, stored):
    mask(color_set=color_set)
    assert plane_scene.color_sets("mesh1Shape") == [stored]
    assert plane_scene.current_color_set("mesh1Shape") == stored


def test_existing_color_set_is_replaced_and_others_kept(plane_scene):
    mask(color_set="keep")
    mask(color_set="mask", frustum=True)                   # camera at (1, 2, 3) sees part
    first = colors(plane_scene).tolist()
    mask(color_set="mask")
    assert sorted(plane_scene.color_sets("mesh1Shape")) == ["keep", "mask"]
    assert plane_scene.current_color_set("mesh1Shape") == "mask"
    assert colors(plane_scene).tolist() == [WHITE] * 9
    assert first != [WHITE] * 9


def test_name_left_by_create_is_the_one_made_current_and_filled(plane_scene):
    mask(color_set="mask")
    before = colors(plane_scene).tolist()
    plane_scene.fail("MFnMesh::deleteColorSet", "kept")     # "mask" stays; create renames
    mask(color_set="mask", frustum=True)
    assert plane_scene.warnings() == []
    renamed = plane_scene.current_color_set("mesh1Shape")
    assert renamed != "mask"
    assert sorted(plane_scene.color_sets("mesh1Shape")) == sorted(["mask", renamed])
    assert colors(plane_scene).tolist() == before
    assert visible(plane_scene, color_set=renamed) != [True] * 9


# -- reported failures ------------------------------------------------------------------

def run_failing(scene, case):
    scene.create_mesh("mesh1", *meshes.grid(2))
    scene.create_camera("cam1")
    scene.set_active_camera("cam1")
    scene.select(["mesh1"])
    if case == "selection":
        scene.fail("MGlobal::getActiveSelectionList", "selection refused")
        mask(mesh="nothing")
    elif case == "empty-selection":
        scene.select([])
        mask(mesh="nothing")
    elif case == "camera":
        scene.set_active_camera(None)
        mask(camera="nothing")
    elif case == "projection":
        mask(camera="mesh1")                               # not a camera
    return scene.warnings()


FAILURE_ROWS = [("selection", "getActiveSelectionList("), ("empty-selection", "getDagPath("),
                ("camera", "getCamera("), ("projection", "projection")]


def test_each_failure_warns_once_with_its_own_increasing_line(scene):
    lines = []
    for case, call in FAILURE_ROWS:
        scene.reset()
        warnings = run_failing(scene, case)
        assert len(warnings) == 1, (case, warnings)
        function, _, line, file = parse_warning(warnings[0])
        assert function == "compute_cam_mask_vtx_colors"
        assert call in source_line(file, line), case
        assert scene.infos() == [], case
        assert scene.color_sets("mesh1Shape") == [], case
        lines.append(line)
    assert lines == sorted(set(lines))


def test_injected_failure_text_reaches_the_warning(scene):
    warnings = run_failing(scene, "selection")
    assert parse_warning(warnings[0])[1] == "selection refused"


# -- the three tests ----------------------------------------------------------------------

# With focal length 18 on the 36 mm film back and aspect 1, a point at distance 10 in
# front of the camera projects to x = X / 10 and y = Y / 10 exactly. Near 1 and far 3
# put projected z = 0 at distance 1.5; near 1 and far 1.25 put z = -5 at distance 2.5.
SQUARE = {"focal_length": 18.0, "aspect": 1.0}


@pytest.mark.parametrize("camera, points, expected", [
    pytest.param(dict(SQUARE, translate=(0, 0, 10)),
                 [(10, 0, 0), (0, -10, 0), (-10, 10, 0)], [True] * 3, id="on-the-bounds"),
    pytest.param(dict(SQUARE, translate=(0, 0, 10)),
                 [(10.001, 0, 0), (0, -10.001, 0), (0, 0, 0)], [False, False, True],
                 id="just-outside"),
    pytest.param(dict(translate=(0, 0, 1.5), near=1.0, far=3.0),
                 [(0, 0, 0), (0, 0, 0.01), (0.1, 0, 0)], [True, False, True], id="z-zero"),
    pytest.param(dict(translate=(0, 0, 2.5), near=1.0, far=1.25),
                 [(0, 0, 0), (0.5, 0, 0), (0, 0.5, 0)], [True] * 3, id="z-minus-five"),
])
def test_frustum_bounds_are_strict_and_z_has_no_lower_bound(scene, camera, points, expected):
    scene.create_mesh("mesh1", np.array(points, float), [[0, 1, 2]])
    scene.create_camera("cam1", **camera)
    mask(frustum=True)
    assert visible(scene) == expected


def test_all_tests_off_gives_white_even_after_smoothing(scene):
    scene.create_mesh("mesh1", *meshes.cube())
    scene.create_camera("cam1", translate=(0, 0, -50))     # behind, facing away
    mask(smooth=3)
    assert colors(scene).tolist() == [WHITE] * 8


@pytest.mark.parametrize("smooth", [0, -1, -2**31])
def test_no_sweeps_at_zero_or_below(scene, smooth):
    scene.create_mesh("mesh1", *meshes.cube())
    scene.create_camera("cam1", translate=(0, 0, 10))
    mask(smooth=smooth, facing=True)
    assert visible(scene) == [k >= 4 for k in range(8)]    # the +z half faces the camera


@pytest.mark.parametrize("camera_y, shown", [(0.0, True), (-0.5, False), (0.5, True)])
def test_facing_keeps_perpendicular_normals(scene, camera_y, shown):
    # A floor facing +y; with the camera level with it, d is exactly 0.
    points = np.array([(0, 0, 0), (1, 0, 0), (0, 0, -1)], float)
    scene.create_mesh("mesh1", points, [[0, 1, 2]])
    scene.create_camera("cam1", translate=(0.25, camera_y, 10))
    mask(facing=True)
    assert visible(scene) == [shown] * 3


def test_occlusion_of_a_cube_hides_its_back_corners(scene):
    scene.create_mesh("mesh1", *meshes.cube())
    scene.create_camera("cam1", translate=(0, 0, 10))
    mask(occlusion=True)
    assert visible(scene) == [k >= 4 for k in range(8)]


def test_occlusion_by_a_nearer_part_of_the_same_mesh(scene):
    # A wide back plane at z = 0 and a small front plane at z = 1, both facing the
    # camera on the axis: only the back vertex behind the front plane is hidden.
    back_points, back_faces = meshes.grid(3, size=8.0)
    front_points, front_faces = meshes.grid(2, size=1.0, z=1.0)
    points = np.vstack([back_points, front_points])
    faces = back_faces + [[i + 9 for i in face] for face in front_faces]
    scene.create_mesh("mesh1", points, faces)
    scene.create_camera("cam1", translate=(0, 0, 10))
    mask(occlusion=True)
    assert visible(scene) == [k != 4 for k in range(9)] + [True] * 4
    scene.create_mesh("other", *meshes.grid(2, size=100.0, z=5.0))
    mask(occlusion=True)                                   # other meshes never occlude
    assert visible(scene) == [k != 4 for k in range(9)] + [True] * 4


def test_sphere_shows_the_cap_facing_the_camera(scene):
    points, faces = meshes.sphere(24, 32)
    scene.create_mesh("mesh1", points, faces)
    camera = np.array([0.0, 0.0, 6.0])
    scene.create_camera("cam1", translate=tuple(camera))
    # On a unit sphere, p sees c when the way to c leaves the surface: (c - p) . p >= 0.
    # Only vertices whose way leaves or enters at a clear angle are judged, since the
    # facets cut the round sphere's grazing rays.
    toward = camera - points
    elevation = np.einsum("ij,ij->i", toward, points) / np.linalg.norm(toward, axis=1)
    clear = np.abs(elevation) > 0.3
    assert 200 < clear.sum() < len(points)
    for switches in ({"occlusion": True}, {"facing": True},
                     {"occlusion": True, "facing": True, "frustum": True}):
        mask(**switches)
        got = np.array(visible(scene))
        assert (got[clear] == (elevation[clear] > 0)).all(), switches


# -- world space ------------------------------------------------------------------------

# A cube and a camera, each moved and turned, so that every position, normal and ray of
# the three tests differs between world space and the mesh's own space.
MESH_PLACE = {"translate": (-4.0, 3.0, -7.0), "rotate": (30.0, -35.0, 20.0)}
CAMERA_PLACE = {"translate": (-1.2, 4.6, -6.4), "rotate": (-20.0, 55.0, 12.0)}


def rotation(degrees):
    """Maya's rotation for row vectors (p x R): about x, then y, then z."""
    (cx, cy, cz), (sx, sy, sz) = np.cos(np.radians(degrees)), np.sin(np.radians(degrees))
    return (np.array([[1, 0, 0], [0, cx, sx], [0, -sx, cx]]) @
            np.array([[cy, 0, -sy], [0, 1, 0], [sy, 0, cy]]) @
            np.array([[cz, sz, 0], [-sz, cz, 0], [0, 0, 1]]))


def placed_cube_masks():
    """The mask of each test for the placed cube, from its corners and faces alone."""
    corners, _ = meshes.cube()                              # half size 1
    mesh_rotation = rotation(MESH_PLACE["rotate"])
    camera = np.array(CAMERA_PLACE["translate"])
    # Focal length 18 on the 36 mm film back, aspect 1: the frame is |x|, |y| <= depth.
    seen = (corners @ mesh_rotation + MESH_PLACE["translate"] - camera) @ \
        rotation(CAMERA_PLACE["rotate"]).T
    frustum = np.abs(seen[:, :2]).max(axis=1) <= -seen[:, 2]
    # In the cube's own frame the faces at corner k face sign(corner k) along each axis,
    # and its vertex normal is their sum. A corner is seen past the (convex) cube when
    # the camera lies outside the plane of one of its faces.
    camera_in_cube = (camera - MESH_PLACE["translate"]) @ mesh_rotation.T
    signs = np.sign(corners)
    facing = (signs * (camera_in_cube - corners)).sum(axis=1) >= 0
    occlusion = (signs * camera_in_cube > 1.0).any(axis=1)
    return {"frustum": frustum, "facing": facing, "occlusion": occlusion}


@pytest.mark.parametrize("switches", [["frustum"], ["facing"], ["occlusion"],
                                      ["frustum", "facing", "occlusion"]])
def test_tests_run_in_world_space(scene, switches):
    scene.create_mesh("mesh1", *meshes.cube(), **MESH_PLACE)
    scene.create_camera("cam1", focal_length=18.0, aspect=1.0, **CAMERA_PLACE)
    masks = placed_cube_masks()
    expected = np.logical_and.reduce([masks[name] for name in switches])
    assert 0 < expected.sum() < 8                          # the scene tells the spaces apart
    mask(**dict.fromkeys(switches, True))
    assert visible(scene) == expected.tolist()
    assert scene.infos()[3] == "\tCam Pos: -1.200000 4.600000 -6.400000"


# -- smoothing ------------------------------------------------------------------------------

def test_one_sweep_over_a_triangle_updates_in_place(scene):
    # Vertex 0 far outside the frame; vertices 1 and 2 in front of the camera.
    points = np.array([(100, 0, 0), (0, 0, 0), (0.5, 0.5, 0)], float)
    scene.create_mesh("mesh1", points, [[0, 1, 2]])
    scene.create_camera("cam1", translate=(0, 0, 10))
    mask(smooth=1, frustum=True)
    got = colors(scene)
    assert got[0].tolist() == BLACK
    assert got[1].tolist() == [np.float32(2.0) / np.float32(3.0)] * 3 + [1.0]
    expected_2 = (np.float32(1.0) + np.float32(2.0) / np.float32(3.0)) / np.float32(3.0)
    assert got[2].tolist() == [expected_2] * 3 + [1.0]
    assert got[1, 0] == pytest.approx(0.6666667) and got[2, 0] == pytest.approx(0.5555556)


def test_dim_vertices_stop_being_averaged(scene):
    # A centre with 100 hidden neighbours falls to 1/101 <= 0.01 in the first sweep
    # and keeps that value in every later sweep.
    scene.create_mesh("mesh1", *meshes.fan(100, 1000.0))
    scene.create_camera("cam1", translate=(0, 0, 10))
    for sweeps in (1, 2, 5):
        mask(smooth=sweeps, frustum=True)
        got = colors(scene)
        assert got[0].tolist() == [np.float32(1.0) / np.float32(101.0)] * 3 + [1.0]
        assert (got[1:] == BLACK).all()


def test_mesh_without_vertices_still_gets_the_empty_set(scene):
    scene.create_mesh("mesh1", np.zeros((0, 3)), [])
    scene.create_camera("cam1")
    mask(smooth=4, frustum=True, occlusion=True, facing=True)
    assert scene.color_sets("mesh1Shape") == ["mask"]
    assert scene.current_color_set("mesh1Shape") == "mask"
    assert colors(scene).shape == (0, 4)
