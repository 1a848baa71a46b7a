"""`osdex read NAME` against `osdex read ADDR`, each as a whole process on the simulated
board: the median wall time of RUNS runs of each, interleaved.

    /usr/bin/python3 bench/python/bench_osdex_read.py build/cli/osdex
"""

import statistics
import subprocess
import sys
import time

RUNS = 41


def run_seconds(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    osdex = sys.argv[1] if len(sys.argv) > 1 else "osdex"
    by_name = [osdex, "--port", "sim", "read", "ch1.HOFFSET"]
    by_address = [osdex, "--port", "sim", "read", "23"]
    names, addresses = [], []
    for _ in range(RUNS):
        names.append(run_seconds(by_name))
        addresses.append(run_seconds(by_address))
    print(f"osdex read ch1.HOFFSET: median {statistics.median(names) * 1e3:6.2f} ms")
    print(f"osdex read 23:          median {statistics.median(addresses) * 1e3:6.2f} ms")


if __name__ == "__main__":
    main()
