"""A small PNG writer for the picture scripts: 8-bit RGB or RGBA, every row filtered "Up".

The scripts that draw the committed pictures share it, so a picture only changes when its drawing does.
"""
import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
COLOUR_TYPES = {3: 2, 4: 6}  # channels per pixel -> PNG colour type (2 = RGB, 6 = RGBA)


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode(width, height, rows, channels=3):
    """Returns the PNG bytes of `rows`: `height` byte strings of `width` x `channels` (3 or 4) bytes each."""
    if channels not in COLOUR_TYPES:
        raise ValueError("a PNG here has 3 (RGB) or 4 (RGBA) channels, not %r" % channels)
    rows = list(rows)
    if len(rows) != height or any(len(row) != width * channels for row in rows):
        raise ValueError("the rows do not make a %d x %d picture of %d channels" % (width, height, channels))
    # Filter "Up" (2): smooth pictures compress well as row differences.
    filtered = []
    previous = bytes(width * channels)
    for row in rows:
        filtered.append(bytes([2]) + bytes((a - b) & 0xFF for a, b in zip(row, previous)))
        previous = row
    header = struct.pack(">IIBBBBB", width, height, 8, COLOUR_TYPES[channels], 0, 0, 0)
    return (SIGNATURE + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(b"".join(filtered), 9))
            + _chunk(b"IEND", b""))


def write(path, width, height, rows, channels=3):
    """Writes the picture of `rows` (as for encode) to `path`."""
    with open(path, "wb") as out:
        out.write(encode(width, height, rows, channels))
