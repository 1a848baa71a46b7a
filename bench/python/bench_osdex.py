"""Figures of the Python module on the simulated board: a loop of register writes, and a
channel's display memory read back and written. Prints the median of a few runs of each, in
wall time and in this process's CPU time (which builds beside it on the machine do not
stretch).

    PYTHONPATH=build/python /usr/bin/python3 bench/python/bench_osdex.py
"""

import statistics
import time

import numpy as np

import osdex

WRITES = 1_000_000
RUNS = 5


def median_seconds(work, runs=RUNS):
    """The median wall and CPU seconds of runs calls of work."""
    wall, cpu = [], []
    for _ in range(runs):
        start, start_cpu = time.perf_counter(), time.process_time()
        work()
        wall.append(time.perf_counter() - start)
        cpu.append(time.process_time() - start_cpu)
    return statistics.median(wall), statistics.median(cpu)


def rate(count, seconds):
    wall, cpu = seconds
    return f"{count / wall / 1e6:6.2f} M/s (CPU time: {count / cpu / 1e6:6.2f} M/s)"


def duration(seconds):
    wall, cpu = seconds
    return f"{wall:6.3f} s (CPU time: {cpu:6.3f} s)"


def main():
    with osdex.open("sim") as board:
        write = board.write

        def writes():
            for i in range(WRITES):
                write(23, i & 255)

        print(f"write(int, int) loop:      {rate(WRITES, median_seconds(writes, runs=3))}")

        def named_writes():
            for i in range(WRITES // 10):
                write("ch1.HOFFSET", i & 255)

        print(f"write(name, int) loop:     {rate(WRITES // 10, median_seconds(named_writes, runs=3))}")

        levels = (np.arange(512 * 712).reshape(512, 712) % 16).astype(np.uint8)
        blank = np.zeros((512, 712), np.uint8)
        print(f"memory(ch):                {duration(median_seconds(lambda: board.memory(3)))}")
        load = median_seconds(lambda: board.load_memory(3, levels))
        print(f"load_memory(ch, levels):   {duration(load)}, every quad different")
        load = median_seconds(lambda: board.load_memory(3, blank))
        print(f"load_memory(ch, zeros):    {duration(load)}")
        print(f"monitor(ch):               {duration(median_seconds(lambda: board.monitor(3)))}")


if __name__ == "__main__":
    main()
