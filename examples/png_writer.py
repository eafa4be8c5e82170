"""Minimal PNG encoding and decoding of 8-bit images with zlib and struct alone."""

import struct
import zlib

import numpy as np

_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# PNG colour types by channels per pixel: grey, grey+alpha, RGB, RGBA.
_COLOR_TYPES = {1: 0, 2: 4, 3: 2, 4: 6}


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def encode_png(image, level=6):
    """PNG bytes of a uint8 array of shape (height, width) or (height, width, 1..4)."""
    pixels = np.asarray(image)
    if pixels.dtype != np.uint8:
        raise TypeError("PNG pixels must be uint8, not %s" % pixels.dtype)
    if pixels.ndim == 2:
        pixels = pixels[..., None]
    if pixels.ndim != 3 or pixels.shape[2] not in _COLOR_TYPES:
        raise ValueError("PNG pixels must be (height, width[, 1..4]), not %s" % (pixels.shape,))
    height, width, channels = pixels.shape
    if width == 0 or height == 0:
        raise ValueError("a PNG image needs at least one pixel")
    # Every scanline starts with its filter type; 0 is "none".
    rows = np.zeros((height, 1 + width * channels), dtype=np.uint8)
    rows[:, 1:] = pixels.reshape(height, width * channels)
    header = struct.pack(">IIBBBBB", width, height, 8, _COLOR_TYPES[channels], 0, 0, 0)
    return (_SIGNATURE + _chunk(b"IHDR", header)
            + _chunk(b"IDAT", zlib.compress(rows.tobytes(), level)) + _chunk(b"IEND", b""))


def write_png(path, image, level=6):
    with open(path, "wb") as f:
        f.write(encode_png(image, level))


def read_png(path):
    """Decodes the PNGs that `encode_png` writes (8-bit, no interlace, filter type 0)."""
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(_SIGNATURE):
        raise ValueError("not a PNG file: %s" % path)
    pos, idat, header = len(_SIGNATURE), b"", None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if crc != zlib.crc32(kind + body):
            raise ValueError("bad CRC in chunk %r of %s" % (kind, path))
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, color_type = header[:4]
    channels = {v: k for k, v in _COLOR_TYPES.items()}[color_type]
    if depth != 8:
        raise ValueError("only 8-bit PNGs are read")
    rows = np.frombuffer(zlib.decompress(idat), dtype=np.uint8).reshape(height, -1)
    if rows[:, 0].any():
        raise ValueError("only PNGs without scanline filters are read")
    return rows[:, 1:].reshape(height, width, channels).copy()
