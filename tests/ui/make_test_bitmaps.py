#!/usr/bin/env python3
"""Writes the toolkit tests' bitmaps and cursor into tests/ui/data/.

Every bitmap is 24-bit with a pixel pattern that the tests recompute
(tests/ui/patterns.h holds the same formulas). Run it again after changing
a pattern and commit the output."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "data")
WHITE = (255, 255, 255)


def pattern(x, y):
    return (2 * x + 1, 2 * y + 1, 60)


def trans(x, y):
    return WHITE if (x + y) % 3 == 0 else (10 + 20 * x, 10 + 20 * y, 200)


def opaque(x, y):
    return (5 + 40 * x, 5 + 50 * y, 100)


def strip(x, y):
    k, u = divmod(x, 13)
    if u == 0 or y == 0 or u == 12 or y == 12:
        return WHITE
    return (30 + 50 * k, 20 + 10 * u, 20 + 10 * y)


def grid(x, y):
    column, u = divmod(x, 26)
    row, v = divmod(y, 26)
    return (10 + 20 * (column + 4 * row), 5 + 9 * u, 5 + 9 * v)


def background(x, y):
    return (40 + 4 * x, 30 + 5 * y, 150)


def corner_white(width, height, rgb):
    def pixel(x, y):
        if x in (0, width - 1) and y in (0, height - 1):
            return WHITE
        return rgb(x, y)
    return pixel


face = corner_white(60, 19, lambda x, y: (250, 4 * x, 12 * y))
pressed = corner_white(60, 19, lambda x, y: (4 * x, 250, 12 * y))


def badge(x, y):
    return (5, 5 + 10 * x, 240 - 10 * y)


def write_bmp(name, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 14 + 40)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(file_header + header + bits)


def write_cursor(name):
    # 32 x 32 monochrome cursor: a filled square with its hot spot at the top-left.
    xor = bytearray()
    and_mask = bytearray()
    for y in range(31, -1, -1):
        inside = 4 <= y < 20
        row_and = 0xFFFFFFFF & ~(0xFFFF0000 >> 4) if inside else 0xFFFFFFFF
        and_mask += struct.pack(">I", row_and)
        xor += struct.pack(">I", 0)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(and_mask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + bytes(xor) + bytes(and_mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 4, 4, len(image), 6 + 16)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(directory + entry + image)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_bmp("pattern100.bmp", 100, 100, pattern)
    write_bmp("trans6x4.bmp", 6, 4, trans)
    write_bmp("odd5x3.bmp", 5, 3, opaque)
    write_bmp("even4x2.bmp", 4, 2, opaque)
    write_bmp("strip52x13.bmp", 52, 13, strip)
    write_bmp("grid104x78.bmp", 104, 78, grid)
    write_bmp("background48x36.bmp", 48, 36, background)
    write_bmp("face60x19.bmp", 60, 19, face)
    write_bmp("pressed60x19.bmp", 60, 19, pressed)
    write_bmp("badge20x19.bmp", 20, 19, badge)
    write_cursor("hand.cur")


if __name__ == "__main__":
    main()
