"""Small meshes for the camera-mask tests. Faces wind counter-clockwise seen from
the side their normal points to."""
import numpy as np


def grid(n, size=2.0, z=0.0):
    """An n x n vertex grid in the plane z, centred on the axis, facing +z."""
    coords = np.linspace(-size / 2, size / 2, n)
    points = [(x, y, z) for y in coords for x in coords]
    faces = [[r * n + c, r * n + c + 1, (r + 1) * n + c + 1, (r + 1) * n + c]
             for r in range(n - 1) for c in range(n - 1)]
    return np.array(points, float), faces


def cube(half=1.0):
    """Vertex k has x = bit 0, y = bit 1, z = bit 2 (0 meaning -half)."""
    points = np.array([[(k >> axis & 1) * 2 - 1 for axis in range(3)] for k in range(8)],
                      float) * half
    faces = [[0, 2, 3, 1], [4, 5, 7, 6],        # -z, +z
             [0, 1, 5, 4], [2, 6, 7, 3],        # -y, +y
             [0, 4, 6, 2], [1, 3, 7, 5]]        # -x, +x
    return points, faces


def sphere(rings, segments, radius=1.0):
    """A UV sphere: a pole at each end, `rings` - 1 rings of `segments` vertices."""
    points = [(0.0, radius, 0.0)]
    for ring in range(1, rings):
        theta = np.pi * ring / rings
        for s in range(segments):
            phi = 2 * np.pi * s / segments
            points.append((radius * np.sin(theta) * np.cos(phi), radius * np.cos(theta),
                           -radius * np.sin(theta) * np.sin(phi)))
    points.append((0.0, -radius, 0.0))
    bottom = len(points) - 1

    def at(ring, s):
        return 1 + (ring - 1) * segments + s % segments

    faces = [[0, at(1, s), at(1, s + 1)] for s in range(segments)]
    for ring in range(1, rings - 1):
        faces += [[at(ring, s), at(ring + 1, s), at(ring + 1, s + 1), at(ring, s + 1)]
                  for s in range(segments)]
    faces += [[at(rings - 1, s), bottom, at(rings - 1, s + 1)] for s in range(segments)]
    return np.array(points, float), faces


def fan(rim_count, rim_radius):
    """Vertex 0 at the origin joined by an edge to each of `rim_count` rim vertices."""
    angles = 2 * np.pi * np.arange(rim_count) / rim_count
    rim = [(rim_radius * np.cos(a), rim_radius * np.sin(a), 0.0) for a in angles]
    faces = [[0, 1 + i, 1 + (i + 1) % rim_count] for i in range(rim_count)]
    return np.array([(0.0, 0.0, 0.0)] + rim, float), faces
