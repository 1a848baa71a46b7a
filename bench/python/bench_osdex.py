"""Figures of the Python module on the simulated board: a loop of register writes, and a
channel's display memory read back and written. Prints the median of a few runs of each.

    PYTHONPATH=build/python /usr/bin/python3 bench/python/bench_osdex.py
"""

import statistics
import time

import numpy as np

import osdex

WRITES = 1_000_000
RUNS = 5


def median_seconds(work, runs=RUNS):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    with osdex.open("sim") as board:
        write = board.write

        def writes():
            for i in range(WRITES):
                write(23, i & 255)

        seconds = median_seconds(writes, runs=3)
        print(f"write(int, int) loop:      {WRITES / seconds / 1e6:6.2f} M writes/s")

        def named_writes():
            for i in range(WRITES // 10):
                write("ch1.HOFFSET", i & 255)

        seconds = median_seconds(named_writes, runs=3)
        print(f"write(name, int) loop:     {WRITES / 10 / seconds / 1e6:6.2f} M writes/s")

        levels = (np.arange(512 * 712).reshape(512, 712) % 16).astype(np.uint8)
        print(f"memory(ch):                {median_seconds(lambda: board.memory(3)):6.3f} s")
        load = median_seconds(lambda: board.load_memory(3, levels))
        print(f"load_memory(ch, levels):   {load:6.3f} s (every quad different)")
        blank = np.zeros((512, 712), np.uint8)
        load = median_seconds(lambda: board.load_memory(3, blank))
        print(f"load_memory(ch, zeros):    {load:6.3f} s")
        print(f"monitor(ch):               {median_seconds(lambda: board.monitor(3)):6.3f} s")


if __name__ == "__main__":
    main()
