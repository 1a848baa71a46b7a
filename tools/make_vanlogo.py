#!/usr/bin/env python3
"""Draws the test pattern's logo, ui/VANLOGO1A.BMP: a 24-bit bitmap in grey steps that the
luma mapping turns into distinct OSD levels, with the word OSDEX in a 5 x 7 block font.

Usage: tools/make_vanlogo.py [output path]   (default: ui/VANLOGO1A.BMP beside this folder)
"""
import os
import struct
import sys

WIDTH, HEIGHT = 400, 64

# 5 x 7 glyphs, one string per row, '#' set.
GLYPHS = {
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "X": ["#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"],
}


def grey(level):
    """The screen colour of OSD level 1..15: grey 16 (level + 1), capped at 255."""
    v = min(255, 16 * (level + 1))
    return (v, v, v)


def draw():
    # Start transparent (pure blue in the program's pictures: level 0).
    pixels = [[(0, 0, 255)] * WIDTH for _ in range(HEIGHT)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(HEIGHT, y1)):
            for x in range(max(0, x0), min(WIDTH, x1)):
                pixels[y][x] = colour

    # A dark plate with a bright frame.
    fill(0, 0, WIDTH, HEIGHT, grey(15))
    fill(3, 3, WIDTH - 3, HEIGHT - 3, grey(2))
    # A ramp of the fifteen grey levels on the left.
    for level in range(1, 16):
        fill(8 + (level - 1) * 6, 8, 8 + level * 6, HEIGHT - 8, grey(level))
    # The word, scale 6, in white with a grey shadow.
    scale, x = 6, 110
    for letter in "OSDEX":
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    px, py = x + col * scale, 11 + row * scale
                    fill(px + 2, py + 2, px + scale + 2, py + scale + 2, grey(7))
                    fill(px, py, px + scale, py + scale, grey(15))
        x += 6 * scale + 2
    return pixels


def write_bmp(path, pixels):
    row_size = (WIDTH * 3 + 3) & ~3
    image_size = row_size * HEIGHT
    header = struct.pack("<2sIHHI", b"BM", 54 + image_size, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, image_size, 3780, 3780, 0, 0)
    body = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for r, g, b in pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        body += row
    # Written beside the target and moved over it, so a failed run leaves the old logo whole.
    temp = path + ".part"
    with open(temp, "wb") as f:
        f.write(header + info + body)
    os.replace(temp, path)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "ui", "VANLOGO1A.BMP")
    write_bmp(out, draw())
