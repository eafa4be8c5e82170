import numpy as np
import pytest

import maya_standin as maya


@pytest.fixture(autouse=True)
def fresh_scene():
    maya.reset()
    yield
    maya.reset()


# Unit cube centred at the origin; faces counter-clockwise seen from outside.
CUBE_POINTS = [(x, y, z) for z in (-0.5, 0.5) for y in (-0.5, 0.5) for x in (-0.5, 0.5)]
CUBE_FACES = [[0, 2, 3, 1], [4, 5, 7, 6], [0, 1, 5, 4], [2, 6, 7, 3], [0, 4, 6, 2], [1, 3, 7, 5]]


def uv_sphere(rings, segments, radius=1.0):
    """Latitude-longitude sphere, outward faces: quads, triangles at the poles."""
    points = [(0.0, radius, 0.0)]
    for r in range(1, rings):
        theta = np.pi * r / rings
        for s in range(segments):
            phi = 2 * np.pi * s / segments
            points.append((radius * np.sin(theta) * np.cos(phi), radius * np.cos(theta),
                           -radius * np.sin(theta) * np.sin(phi)))
    points.append((0.0, -radius, 0.0))
    bottom = len(points) - 1

    def at(r, s):
        return 1 + (r - 1) * segments + s % segments

    faces = [[0, at(1, s), at(1, s + 1)] for s in range(segments)]
    faces += [[at(r, s), at(r + 1, s), at(r + 1, s + 1), at(r, s + 1)]
              for r in range(1, rings - 1) for s in range(segments)]
    faces += [[at(rings - 1, s), bottom, at(rings - 1, s + 1)] for s in range(segments)]
    return np.array(points), faces
