#!/usr/bin/env python3
"""Draws the program's icon: a monitor whose blue screen (the program's colour for level 0,
transparent) carries an on-screen label and a row of luma bars. One list of shapes gives
both files, so that the SVG and the 48 px PNG always show the same picture.

Usage: tools/make_icon.py [folder]   (default: packaging/icons/ beside this folder)
Writes osdex-eval-kit.svg and osdex-eval-kit-48.png.
"""
import os
import struct
import sys
import zlib

SIZE = 48
SAMPLES = 8  # per pixel and axis, for smooth rounded corners

# (x, y, width, height, corner radius, colour), painted in this order on a 48 x 48 grid.
BARS = ["#ffffff", "#d4d4d4", "#a8a8a8", "#7c7c7c", "#505050", "#262626"]
SHAPES = (
    [
        (14, 39, 20, 4, 2, "#263238"),  # foot
        (21, 34, 6, 6, 0, "#455a64"),  # neck
        (2, 5, 44, 31, 4, "#263238"),  # bezel
        (5, 8, 38, 25, 1, "#1e3ce0"),  # screen: level 0 shows the video, drawn blue
        (8, 11, 18, 7, 0, "#ffffff"),  # the label's white box
    ]
    + [(10 + 3 * i, 13, 2, 3, 0, "#101010") for i in range(5)]  # its characters
    + [(9 + 5 * i, 21, 5, 9, 0, c) for i, c in enumerate(BARS)]  # luma bars, 15 down to 2
)


def inside(shape, px, py):
    x, y, w, h, r, _ = shape
    if px < x or py < y or px >= x + w or py >= y + h:
        return False
    if r == 0:
        return True
    # Outside a corner's quarter circle only in the corner squares.
    cx = min(max(px, x + r), x + w - r)
    cy = min(max(py, y + r), y + h - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def rgb(colour):
    return tuple(int(colour[i : i + 2], 16) for i in (1, 3, 5))


def render():
    rows = []
    for j in range(SIZE):
        row = bytearray([0])  # PNG filter: none
        for i in range(SIZE):
            total = [0, 0, 0]
            covered = 0
            for sj in range(SAMPLES):
                for si in range(SAMPLES):
                    px = i + (si + 0.5) / SAMPLES
                    py = j + (sj + 0.5) / SAMPLES
                    top = None
                    for shape in SHAPES:
                        if inside(shape, px, py):
                            top = shape
                    if top:
                        covered += 1
                        for k, v in enumerate(rgb(top[5])):
                            total[k] += v
            n = SAMPLES * SAMPLES
            if covered:
                row += bytes(round(t / covered) for t in total)
            else:
                row += b"\0\0\0"
            row.append(round(255 * covered / n))
        rows.append(bytes(row))
    return b"".join(rows)


def png(pixels):
    def chunk(kind, data):
        return (
            struct.pack(">I", len(data))
            + kind
            + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        )

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(pixels, 9))
        + chunk(b"IEND", b"")
    )


def svg():
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">',
        "  <title>Osdex Evaluation Kit</title>",
    ]
    for x, y, w, h, r, colour in SHAPES:
        corner = f' rx="{r}"' if r else ""
        lines.append(
            f'  <rect x="{x}" y="{y}" width="{w}" height="{h}"{corner} fill="{colour}"/>'
        )
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "osdex-eval-kit.svg"), "w") as out:
        out.write(svg())
    with open(os.path.join(folder, "osdex-eval-kit-48.png"), "wb") as out:
        out.write(png(render()))


if __name__ == "__main__":
    main()
