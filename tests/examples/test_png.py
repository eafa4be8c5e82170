import struct
import zlib

import numpy as np
import pytest

from png_writer import encode_png, read_png


@pytest.mark.parametrize("shape, color_type", [
    ((5, 7), 0), ((5, 7, 1), 0), ((5, 7, 2), 4), ((5, 7, 3), 2), ((5, 7, 4), 6), ((1, 1, 4), 6),
])
def test_round_trip_and_header(tmp_path, shape, color_type):
    image = np.random.default_rng(0).integers(0, 256, shape, dtype=np.uint8)
    data = encode_png(image)
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    length, kind = struct.unpack(">I4s", data[8:16])
    assert (length, kind) == (13, b"IHDR")
    assert struct.unpack(">IIBBBBB", data[16:29]) == (shape[1], shape[0], 8, color_type, 0, 0, 0)
    assert struct.unpack(">I", data[29:33])[0] == zlib.crc32(data[12:29])
    assert data.endswith(b"\0\0\0\0IEND" + struct.pack(">I", zlib.crc32(b"IEND")))
    path = tmp_path / "p.png"
    path.write_bytes(data)
    np.testing.assert_array_equal(read_png(str(path)).reshape(shape), image)


@pytest.mark.parametrize("image, error", [
    (np.zeros((4, 4, 3), dtype=np.float32), TypeError),
    (np.zeros((4, 4, 5), dtype=np.uint8), ValueError),
    (np.zeros((4,), dtype=np.uint8), ValueError),
    (np.zeros((0, 4, 3), dtype=np.uint8), ValueError),
])
def test_refuses_what_it_cannot_encode(image, error):
    with pytest.raises(error):
        encode_png(image)


def test_a_damaged_file_is_refused(tmp_path):
    data = bytearray(encode_png(np.zeros((3, 3, 3), dtype=np.uint8)))
    data[40] ^= 0xFF
    path = tmp_path / "bad.png"
    path.write_bytes(bytes(data))
    with pytest.raises(ValueError):
        read_png(str(path))
