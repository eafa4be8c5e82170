"""A small built-in scene and a vectorised numpy ray caster for it.

Three spheres stand on a round ground plane under one soft area light. `render` casts one
ray per pixel centre for depth and normals and a few rays per pixel for the beauty,
and returns what a renderer hands its drivers:

- ``beauty``: float32 (yres, xres, 4), linear radiance in r, g, b (not premultiplied:
  the colour of what covers the pixel) and the pixel's coverage in alpha;
- ``depth``: float32 (yres, xres), the distance from the camera to the first hit along
  the ray through the pixel centre; `BACKGROUND_DEPTH` where the ray hits nothing;
- ``normals``: float32 (yres, xres, 3), the unit world-space normal at that hit;
  (0, 0, 0) where the ray hits nothing.

The camera follows the renderer's conventions: it looks down its local -Z with +Y up,
its horizontal field of view spans the image width, and `camera_to_world` is a 4x4
matrix acting on row vectors (point x matrix, translation in row 3).
"""

from dataclasses import dataclass

import numpy as np

# Depth given to rays that leave the scene, as a renderer gives its "very far"
# (a float32 value, so that it compares equal in the float32 depth picture).
BACKGROUND_DEPTH = float(np.float32(1.0e12))
_HIT_EPSILON = 1.0e-4


@dataclass(frozen=True)
class Sphere:
    center: tuple
    radius: float
    albedo: tuple


@dataclass(frozen=True)
class Scene:
    spheres: tuple
    ground_height: float = -1.0
    # The ground is a disc of this radius around (x, z); None makes it endless.
    ground_radius: float = None
    ground_center: tuple = (0.0, 0.0)
    ground_albedo: tuple = (0.55, 0.55, 0.5)
    # An area light: a disc of `light_radius` around `light_position`.
    light_position: tuple = (-4.0, 6.0, 1.0)
    light_radius: float = 1.2
    light_intensity: float = 1.1
    ambient: float = 0.18
    shadow_samples: int = 12
    # Samples per pixel side for the beauty and its alpha (antialiased edges).
    supersampling: int = 2
    # Distance past which a depth picture may show black: the spheres lie well within.
    view_distance: float = 14.0


def demo_scene():
    """A few spheres on a round ground plane, in front of the origin along -Z."""
    return Scene(spheres=(
        Sphere((-1.35, -0.45, -5.2), 0.55, (0.80, 0.16, 0.12)),
        Sphere((0.25, -0.15, -6.6), 0.85, (0.20, 0.55, 0.25)),
        Sphere((1.55, -0.62, -4.6), 0.38, (0.90, 0.70, 0.20)),
    ), ground_radius=6.5, ground_center=(0.2, -5.6))


def look_at(eye, target, up=(0.0, 1.0, 0.0)):
    """Camera-to-world matrix (row vectors) of a camera at `eye` looking at `target`."""
    eye = np.asarray(eye, dtype=np.float64)
    forward = np.asarray(target, dtype=np.float64) - eye
    forward /= np.linalg.norm(forward)
    right = np.cross(forward, up)
    right /= np.linalg.norm(right)
    true_up = np.cross(right, forward)
    m = np.identity(4)
    m[0, :3], m[1, :3], m[2, :3], m[3, :3] = right, true_up, -forward, eye
    return m


def camera_rays(xres, yres, fov_degrees, camera_to_world, offsets=((0.5, 0.5),)):
    """World-space ray origins and unit directions, shape (len(offsets), yres, xres, 3)."""
    m = np.asarray(camera_to_world, dtype=np.float64)
    half_width = np.tan(np.radians(fov_degrees) / 2.0)
    half_height = half_width * yres / xres
    dirs = []
    for ox, oy in offsets:
        sx = (2.0 * (np.arange(xres) + ox) / xres - 1.0) * half_width
        sy = (1.0 - 2.0 * (np.arange(yres) + oy) / yres) * half_height
        local = np.empty((yres, xres, 3))
        local[..., 0] = sx[None, :]
        local[..., 1] = sy[:, None]
        local[..., 2] = -1.0
        dirs.append(local @ m[:3, :3])
    d = np.stack(dirs)
    d /= np.linalg.norm(d, axis=-1, keepdims=True)
    return np.broadcast_to(m[3, :3], d.shape), d


def _hit_spheres(origins, dirs, spheres):
    """Nearest sphere hit: distance (inf for none) and the sphere's index (-1 for none)."""
    t_best = np.full(dirs.shape[:-1], np.inf)
    which = np.full(dirs.shape[:-1], -1, dtype=np.int32)
    for i, s in enumerate(spheres):
        oc = origins - np.asarray(s.center)
        b = np.einsum("...k,...k", oc, dirs)
        c = np.einsum("...k,...k", oc, oc) - s.radius * s.radius
        disc = b * b - c
        root = np.sqrt(np.maximum(disc, 0.0))
        t = np.where(-b - root > _HIT_EPSILON, -b - root, -b + root)
        t = np.where((disc > 0.0) & (t > _HIT_EPSILON), t, np.inf)
        closer = t < t_best
        t_best = np.where(closer, t, t_best)
        which = np.where(closer, i, which)
    return t_best, which


def _hit_ground(scene, origins, dirs):
    with np.errstate(divide="ignore", invalid="ignore"):
        t = (scene.ground_height - origins[..., 1]) / dirs[..., 1]
    hit = (dirs[..., 1] < 0.0) & (t > _HIT_EPSILON)
    if scene.ground_radius is not None:
        with np.errstate(invalid="ignore"):
            x = origins[..., 0] + t * dirs[..., 0] - scene.ground_center[0]
            z = origins[..., 2] + t * dirs[..., 2] - scene.ground_center[1]
            hit &= x * x + z * z <= scene.ground_radius ** 2
    return np.where(hit, t, np.inf)


def intersect(scene, origins, dirs):
    """Distance, position, unit normal, albedo and hit mask of the first hit of each ray."""
    t_sphere, which = _hit_spheres(origins, dirs, scene.spheres)
    t_ground = _hit_ground(scene, origins, dirs)
    t = np.minimum(t_sphere, t_ground)
    hit = np.isfinite(t)
    on_sphere = hit & (t_sphere <= t_ground)
    position = origins + np.where(hit, t, 0.0)[..., None] * dirs

    normal = np.zeros_like(dirs)
    albedo = np.zeros_like(dirs)
    normal[hit & ~on_sphere] = (0.0, 1.0, 0.0)
    albedo[hit & ~on_sphere] = _ground_albedo(scene, position[hit & ~on_sphere])
    for i, s in enumerate(scene.spheres):
        mask = on_sphere & (which == i)
        normal[mask] = (position[mask] - np.asarray(s.center)) / s.radius
        albedo[mask] = s.albedo
    return t, position, normal, albedo, hit


def _ground_albedo(scene, points):
    """A soft checker, so that the ground reads as a plane receding from the camera."""
    cells = np.floor(points[:, 0]) + np.floor(points[:, 2])
    shade = np.where(cells % 2 == 0, 1.0, 0.8)
    return np.asarray(scene.ground_albedo) * shade[:, None]


def _light_samples(scene):
    """Fixed points on the light's disc (a golden-angle spiral: even, repeatable)."""
    n = max(1, scene.shadow_samples)
    k = np.arange(n) + 0.5
    radius = scene.light_radius * np.sqrt(k / n)
    angle = k * np.pi * (3.0 - np.sqrt(5.0))
    offsets = np.stack([radius * np.cos(angle), np.zeros(n), radius * np.sin(angle)], axis=1)
    return np.asarray(scene.light_position) + offsets


def shade(scene, position, normal, albedo, hit):
    """Linear radiance: ambient plus the area light's diffuse light, with soft shadows."""
    radiance = np.zeros_like(albedo)
    if not hit.any():
        return radiance
    p, n, a = position[hit], normal[hit], albedo[hit]
    direct = np.zeros(len(p))
    samples = _light_samples(scene)
    for point in samples:
        to_light = point - p
        distance = np.linalg.norm(to_light, axis=1)
        l = to_light / distance[:, None]
        lambert = np.maximum(np.einsum("ij,ij->i", n, l), 0.0)
        blocker, _ = _hit_spheres(p + n * 1.0e-3, l, scene.spheres)
        direct += lambert * (blocker >= distance)
    direct *= scene.light_intensity / len(samples)
    # Sky light from above: brighter on upward faces, a little on the others.
    sky = scene.ambient * (0.6 + 0.4 * n[:, 1])
    radiance[hit] = a * (direct + sky)[:, None]
    return radiance


def render(scene, xres, yres, fov_degrees=54.43, camera_to_world=None):
    """Beauty (with alpha), depth and world-space normals of the scene (module docstring)."""
    m = np.identity(4) if camera_to_world is None else np.asarray(camera_to_world)

    origins, dirs = camera_rays(xres, yres, fov_degrees, m)
    t, _, normal, _, hit = intersect(scene, origins[0], dirs[0])
    depth = np.where(hit, t, BACKGROUND_DEPTH).astype(np.float32)
    normals = normal.astype(np.float32)

    n = max(1, scene.supersampling)
    offsets = [((i + 0.5) / n, (j + 0.5) / n) for j in range(n) for i in range(n)]
    origins, dirs = camera_rays(xres, yres, fov_degrees, m, offsets)
    _, position, normal, albedo, hit = intersect(scene, origins, dirs)
    radiance = shade(scene, position, normal, albedo, hit)
    coverage = hit.sum(axis=0)
    beauty = np.zeros((yres, xres, 4), dtype=np.float32)
    # The colour of the covered samples alone: the alpha says how much of the pixel
    # they cover, and the compositing over a background multiplies by it.
    beauty[..., :3] = radiance.sum(axis=0) / np.maximum(coverage, 1)[..., None]
    beauty[..., 3] = coverage / len(offsets)
    return {"beauty": beauty, "depth": depth, "normals": normals}


def depth_range(depth):
    """Nearest and farthest finite hit distances (the background excluded)."""
    hits = depth[depth < BACKGROUND_DEPTH]
    if hits.size == 0:
        return 0.0, 1.0
    return float(hits.min()), float(hits.max())
