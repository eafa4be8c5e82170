"""compute_cam_mask_vtx_colors on a UV sphere of about 1,000,000 vertices, all three
tests on, 10 smoothing sweeps. The split is taken from runs that differ in one switch:
  rest      = frustum + facing, no sweeps (look-ups, tests, iteration, colour set)
  rays      = (frustum + facing + occlusion, no sweeps) - rest
  smoothing = whole call - (frustum + facing + occlusion, no sweeps)"""
import sys
import time

import maya_standin as maya
import meshes
import orvalis

RINGS, SEGMENTS = 1000, 1000          # 999 rings of 1000 vertices and two poles
SWEEPS = 10


def timed(smooth, occlusion):
    start = time.perf_counter()
    orvalis.compute_cam_mask_vtx_colors("sphere", "cam", "mask", smooth, True, occlusion, True)
    return time.perf_counter() - start


def main():
    maya.reset()
    points, faces = meshes.sphere(RINGS, SEGMENTS)
    maya.create_mesh("sphere", points, faces)
    maya.create_camera("cam", translate=(0.0, 0.0, 4.0))
    count = len(points)

    first = timed(SWEEPS, True)                     # builds the mesh's ray grid
    whole = min(timed(SWEEPS, True) for _ in range(3))
    no_sweeps = min(timed(0, True) for _ in range(3))
    rest = min(timed(0, False) for _ in range(3))
    colors = maya.vertex_colors("sphereShape", "mask")
    seen = int((colors[:, 0] > 0).sum())

    print(f"compute_cam_mask_vtx_colors, {count:,} vertices, {len(faces):,} faces, "
          f"all tests, {SWEEPS} sweeps (best of 3, grid already built):")
    print(f"  first call      {first:7.3f} s   (the stand-in builds its ray grid)")
    print(f"  whole call      {whole:7.3f} s   ({count / whole / 1e6:.2f} M vertices/s)")
    print(f"  ray queries     {no_sweeps - rest:7.3f} s")
    print(f"  smoothing       {whole - no_sweeps:7.3f} s")
    print(f"  rest            {rest:7.3f} s")
    print(f"  vertices left with some colour: {seen:,}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
