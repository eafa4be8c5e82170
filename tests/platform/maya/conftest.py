import pytest

import maya_standin as maya
import meshes


@pytest.fixture(autouse=True)
def fresh_scene():
    maya.reset()
    yield
    maya.reset()


# Unit cube centred at the origin; faces counter-clockwise seen from outside.
CUBE_POINTS, CUBE_FACES = meshes.cube(0.5)
uv_sphere = meshes.sphere
