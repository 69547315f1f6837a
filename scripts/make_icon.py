#!/usr/bin/env python3
"""Draws the program icon (a drive dial with a sine wave) as a 32x32 PNG inside
an .ico file. Pure standard library, so it runs anywhere."""
import math
import struct
import sys
import zlib

SIZE = 32


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    r = math.hypot(x - cx, y - cy)
    if r > 15.5:
        return (0, 0, 0, 0)
    if r > 13.5:
        return (30, 60, 110, 255)
    wave = cy - 7 * math.sin((x - 3) / (SIZE - 6) * 2 * math.pi)
    if 4 <= x <= SIZE - 5 and abs(y - wave) < 1.4:
        return (255, 200, 40, 255)
    return (40, 110, 190, 255)


def png():
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(image):
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return head + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico(png()))
