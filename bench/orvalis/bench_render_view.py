"""set_renderview_image of a 3840 x 2160 RGBA image with the sRGB decode, against
(a) the same conversion in numpy and (b) the memory-bound floor (rv_pixel_floor).

The stand-in's Render View copies the pixels it is given, as Maya's does. The
module's own share is timed with updatePixels made to fail (the stand-in then keeps
nothing); the full call, copy included, is shown beside it."""
import os
import subprocess
import sys
import time

import numpy as np

import maya_standin as maya
import orvalis

WIDTH, HEIGHT = 3840, 2160
RUNS = 7


def best_ms(function):
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        function()
        times.append(time.perf_counter() - start)
    return min(times) * 1e3


def numpy_decode_table():
    c = (np.arange(256, dtype=np.float32) / np.float32(255.0)).astype(np.float64)
    linear = np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)
    return linear.astype(np.float32) * np.float32(255.0)


def numpy_conversion(image, table):
    """What a script would write: table look-up, flip, float32 RGBA."""
    flipped = image.reshape(HEIGHT, WIDTH, 4)[::-1]
    out = np.empty((HEIGHT, WIDTH, 4), np.float32)
    out[..., :3] = table[flipped[..., :3]]
    out[..., 3] = flipped[..., 3]
    return out


def floor_ms():
    program = os.path.join(os.environ["KORVANE_BUILD_DIR"], "bin", "orvalis_rv_pixel_floor")
    figures = dict(line.split() for line in
                   subprocess.run([program], check=True, capture_output=True,
                                  text=True).stdout.splitlines())
    return float(figures["floor_fill_copy_ms"]), float(figures["floor_fill_ms"])


def main():
    image = np.random.default_rng(0).integers(0, 256, WIDTH * HEIGHT * 4, dtype=np.uint8)
    table = numpy_decode_table()

    maya.reset()
    full = best_ms(lambda: orvalis.set_renderview_image(WIDTH, HEIGHT, 4, True, image))
    shown = maya.render_view_image()
    assert np.array_equal(shown, numpy_conversion(image, table))  # both bottom row first

    maya.reset()
    maya.fail("MRenderView::updatePixels", "benchmark: keep nothing")
    own = best_ms(lambda: orvalis.set_renderview_image(WIDTH, HEIGHT, 4, True, image))
    maya.reset()

    in_numpy = best_ms(lambda: numpy_conversion(image, table))
    fill_copy, fill = floor_ms()

    print(f"set_renderview_image {WIDTH}x{HEIGHT} RGBA, to_linear, best of {RUNS}:")
    print(f"  orvalis, own share (Render View keeps nothing) {own:8.1f} ms")
    print(f"  orvalis, whole call with the Render View copy  {full:8.1f} ms")
    print(f"  (a) numpy: look-up, flip, float32 RGBA          {in_numpy:8.1f} ms"
          f"   -> orvalis {in_numpy / own:.1f}x faster (whole call {in_numpy / full:.1f}x)")
    print(f"  (b) floor: fill + copy of RV_PIXEL              {fill_copy:8.1f} ms"
          f"   -> orvalis at {own / fill_copy:.2f}x of it (whole call {full / fill_copy:.2f}x)")
    print(f"      floor: fill alone                           {fill:8.1f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
