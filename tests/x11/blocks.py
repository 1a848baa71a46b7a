#!/usr/bin/env python3
"""Device pixels of a screenshot for the real-X suite's scale pass.

blocks.py origin FILE X Y W H
    Prints "x y", the top-left screen pixel of the picture inside the window rectangle: the
    first row with a long run of the picture's level-0 blue.
blocks.py even FILE X Y K N
    Checks that N x N picture pixels from screen pixel (X, Y) are K x K blocks of one colour
    each, alternating as a one-pixel checkerboard; prints what it found, exit 1 otherwise.
    The blocks may start up to K - 1 pixels further right and down (a picture scrolled by a
    part of a block); then one block less is checked each way.
"""
import subprocess
import sys

BLUE = (0, 0, 255)


def read(path, x, y, w, h):
    """The rectangle as rows of (r, g, b), through ImageMagick's binary PPM."""
    data = subprocess.run(["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                           "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    rows = []
    for row in range(height):
        start = pos + row * width * 3
        line = data[start:start + width * 3]
        rows.append([tuple(line[i:i + 3]) for i in range(0, len(line), 3)])
    return rows


def origin(path, x, y, w, h):
    rows = read(path, x, y, w, h)
    for row_index, row in enumerate(rows):
        run = 0
        for column, pixel in enumerate(row):
            run = run + 1 if pixel == BLUE else 0
            if run == 200:
                print(x + column - 199, y + row_index)
                return 0
    print("no picture found", file=sys.stderr)
    return 1


def blocks_at(rows, dx0, dy0, k, n):
    """None when the n x n blocks from (dx0, dy0) of the rows are an even checkerboard,
    else what is wrong."""
    first = rows[dy0][dx0]
    other = rows[dy0][dx0 + k]
    if first == other:
        return f"no checkerboard: {first} beside {other}"
    for dy in range(k * n):
        for dx in range(k * n):
            want = first if ((dx // k) + (dy // k)) % 2 == 0 else other
            got = rows[dy0 + dy][dx0 + dx]
            if got != want:
                return f"pixel +{dx0 + dx},+{dy0 + dy} is {got}, want {want}"
    return None


def even(path, x, y, k, n):
    rows = read(path, x, y, k * n, k * n)
    problem = blocks_at(rows, 0, 0, k, n)
    if problem is None:
        print(f"{n} x {n} picture pixels at {x},{y} as even {k} x {k} blocks")
        return 0
    for dy in range(k):
        for dx in range(k):
            if blocks_at(rows, dx, dy, k, n - 1) is None:
                print(f"{n - 1} x {n - 1} picture pixels at {x + dx},{y + dy} as even "
                      f"{k} x {k} blocks")
                return 0
    print(f"at {x},{y} with {k} x {k} blocks: {problem}")
    return 1


def main(argv):
    if len(argv) == 7 and argv[1] == "origin":
        return origin(argv[2], *map(int, argv[3:7]))
    if len(argv) == 7 and argv[1] == "even":
        return even(argv[2], *map(int, argv[3:7]))
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
