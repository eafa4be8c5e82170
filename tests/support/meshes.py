"""Meshes for the Maya stand-in's and orvalis's tests and benchmarks. Faces wind
counter-clockwise seen from the side their normal points to."""
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
    """A UV sphere: a pole at each end, `rings` - 1 rings of `segments` vertices, from the
    top down; triangles at the poles, quads between the rings."""
    theta = np.pi * np.arange(1, rings) / rings
    phi = 2 * np.pi * np.arange(segments) / segments
    ring_points = np.stack([np.outer(np.sin(theta), np.cos(phi)),
                            np.repeat(np.cos(theta)[:, None], segments, axis=1),
                            -np.outer(np.sin(theta), np.sin(phi))], axis=-1).reshape(-1, 3)
    points = radius * np.vstack([[0.0, 1.0, 0.0], ring_points, [0.0, -1.0, 0.0]])
    bottom = len(points) - 1
    s = np.arange(segments)
    s1 = (s + 1) % segments
    faces = [[0, 1 + a, 1 + b] for a, b in zip(s.tolist(), s1.tolist())]
    for ring in range(rings - 2):
        top, low = 1 + ring * segments, 1 + (ring + 1) * segments
        faces += np.stack([top + s, low + s, low + s1, top + s1], axis=1).tolist()
    last = 1 + (rings - 2) * segments
    faces += [[last + a, bottom, last + b] for a, b in zip(s.tolist(), s1.tolist())]
    return points, faces


def fan(rim_count, rim_radius):
    """Vertex 0 at the origin joined by an edge to each of `rim_count` rim vertices."""
    angles = 2 * np.pi * np.arange(rim_count) / rim_count
    rim = [(rim_radius * np.cos(a), rim_radius * np.sin(a), 0.0) for a in angles]
    faces = [[0, 1 + i, 1 + (i + 1) % rim_count] for i in range(rim_count)]
    return np.array([(0.0, 0.0, 0.0)] + rim, float), faces
