"""Sample receiver of the korvane drivers' Python calls.

The drivers import this module afresh on every call (the import finds it in
sys.modules after the first one, so its state lives on between calls) and call:

- ``render_setup(node_name, camera_name, xres, yres, channels, is_region, bucket_count,
  data_minx, data_miny, data_maxx, data_maxy)`` when a render starts;
- ``receive_bucket(bucket_index, bucket_xo, bucket_yo, bucket_size_x, bucket_size_y,
  channels, bucket_kind, buffer_address)`` once per bucket and output (``vantrop`` only),
  with the address of an 8-bit block that the driver frees right after the call;
- ``render_finished()`` when the render ends.

Each bucket is copied during its call into a full-frame uint8 image of its kind. At the
end of the render the images are written as PNG into `output_dir`, named after the
driver node: <node>_beauty.png, <node>_alpha.png (when the beauty has alpha),
<node>_depth.png and <node>_normals.png; a summary of the render is appended to
`summaries`. A render that received no bucket writes nothing.
"""

import collections
import ctypes
import os
import re

import numpy as np

from png_writer import write_png

# Bucket kinds as the drivers number them, with the output they come from and the
# name of the picture written for them.
KINDS = {1: ("RGBA", "beauty"), 3: ("Z", "depth"), 2: ("N", "normals")}
BEAUTY = 1

RenderStart = collections.namedtuple("RenderStart", [
    "node_name", "camera_name", "xres", "yres", "channels", "is_region", "bucket_count",
    "data_minx", "data_miny", "data_maxx", "data_maxy"])

# Folder the PNGs go to; None means "mtoa_callbacks_output" in the current folder.
output_dir = None
# zlib level of the PNGs: 6 is zlib's default balance of size and time.
png_compression = 6
# One summary per finished render, oldest first (a dict: see render_finished).
summaries = []

_current = None


class _Render:
    """What one render has received so far."""

    def __init__(self, start):
        self.start = start
        self.frames = {}
        self.buckets = dict.fromkeys(KINDS, 0)
        self.ignored = 0

    def frame(self, kind):
        """The frame of a kind, made black (and transparent) on its first bucket: RGB,
        or RGBA when the render start announced 4 channels."""
        frame = self.frames.get(kind)
        if frame is None and kind in KINDS:
            channels = 4 if self.start.channels == 4 else 3
            shape = (max(self.start.yres, 0), max(self.start.xres, 0), channels)
            frame = self.frames[kind] = np.zeros(shape, dtype=np.uint8)
        return frame


def render_setup(node_name, camera_name, xres, yres, channels, is_region, bucket_count,
                 data_minx, data_miny, data_maxx, data_maxy):
    """Starts a render: forgets any unfinished one and keeps the render-start message."""
    global _current
    _current = _Render(RenderStart(node_name, camera_name, xres, yres, channels, is_region,
                                   bucket_count, data_minx, data_miny, data_maxx, data_maxy))


def receive_bucket(bucket_index, bucket_xo, bucket_yo, bucket_size_x, bucket_size_y,
                   channels, bucket_kind, buffer_address):
    """Copies one bucket's block into the frame of its kind; the block dies after the call."""
    render = _current
    if render is None:
        return
    frame = render.frame(bucket_kind)
    if frame is None:
        render.ignored += 1
        return
    render.buckets[bucket_kind] += 1
    height, width, frame_channels = frame.shape
    # The part of the bucket that lies inside the frame; usually all of it.
    x0, y0 = max(bucket_xo, 0), max(bucket_yo, 0)
    x1 = min(bucket_xo + bucket_size_x, width)
    y1 = min(bucket_yo + bucket_size_y, height)
    if x1 <= x0 or y1 <= y0 or channels <= 0:
        return
    size = bucket_size_x * bucket_size_y * channels
    block = np.frombuffer((ctypes.c_ubyte * size).from_address(buffer_address), np.uint8)
    block = block.reshape(bucket_size_y, bucket_size_x, channels)
    c = min(channels, frame_channels)
    frame[y0:y1, x0:x1, :c] = block[y0 - bucket_yo:y1 - bucket_yo,
                                    x0 - bucket_xo:x1 - bucket_xo, :c]


def render_finished():
    """Ends the render: writes its pictures and appends its summary to `summaries`.

    The summary holds ``render_start`` (a RenderStart, or None when no render was set
    up), ``buckets`` (buckets received per output name), ``ignored`` (buckets of an
    unknown kind) and ``files`` (the PNGs written, in kind order).
    """
    global _current
    render, _current = _current, None
    summary = {"render_start": None, "buckets": {name: 0 for name, _ in KINDS.values()},
               "ignored": 0, "files": []}
    summaries.append(summary)
    if render is None:
        return
    summary["render_start"] = render.start
    summary["ignored"] = render.ignored
    for kind, (output, _) in KINDS.items():
        summary["buckets"][output] = render.buckets[kind]
    stem = _file_stem(render.start)
    for kind, (_, picture) in KINDS.items():
        frame = render.frames.get(kind)
        if frame is None or frame.size == 0:
            continue
        # Colour pictures are written opaque, so that a viewer shows the colours the
        # driver made (the beauty already composited over its background); the
        # beauty's alpha, when it has one, becomes a picture of its own. The other
        # kinds' alpha bytes are always opaque.
        _write(summary, stem, picture, frame[..., :3])
        if kind == BEAUTY and frame.shape[2] == 4:
            _write(summary, stem, "alpha", frame[..., 3])


def _write(summary, stem, picture, pixels):
    folder = picture_folder()
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "%s_%s.png" % (stem, picture))
    write_png(path, pixels, png_compression)
    summary["files"].append(path)


def picture_folder():
    return output_dir if output_dir is not None else os.path.join(os.getcwd(),
                                                                  "mtoa_callbacks_output")


def reset():
    """Forgets the current render and every summary."""
    global _current
    _current = None
    del summaries[:]


def _file_stem(start):
    """The driver node's name, made safe as a file name."""
    return re.sub(r"[^A-Za-z0-9_.-]", "_", start.node_name) or "render"
