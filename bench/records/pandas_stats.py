#!/usr/bin/env python3
"""The figures of levelpanel-cli stats (0.1 dB classes) computed with pandas read_csv
and numpy, five times; prints each run, the median and the figures. With --once: one
computation, for timing the whole process from outside.

    pandas_stats.py [--once] FILE

Only files whose levels are all plain numbers (as the benchmark file) are handled:
marked, under- and over-range texts are not read by these rules.
"""
import statistics
import sys
import time

import numpy as np
import pandas as pd


def figures(path):
    frame = pd.read_csv(path, sep="\t", usecols=[0, 1, 2], header=0)
    levels = frame.iloc[:, 2].to_numpy()
    if levels.dtype.kind != "f":
        raise SystemExit("pandas_stats.py: the level column is not all plain numbers")
    n = len(levels)
    leq = 10.0 * np.log10(np.mean(np.power(10.0, levels / 10.0)))
    # Classes of 0.1 dB, halves to even; 145 dB and more in the top class.
    classes = np.rint(levels * 10.0).astype(np.int64)
    classes[levels >= 145.0] = 1450
    running = np.cumsum(np.bincount(classes, minlength=1451))
    k = np.arange(1, 101)
    # Ln for n = 100 - k: the first class whose running count passes the threshold.
    first = np.searchsorted(running, n / 100.0 * (k - 1) + n / 200.0, side="right")
    ln = {100 - kk: cls / 10.0 for kk, cls in zip(k, first)}
    return n, leq, levels.max(), levels.min(), ln[10], ln[50], ln[90]


def main():
    args = sys.argv[1:]
    once = args[:1] == ["--once"]
    if once:
        args = args[1:]
    if len(args) != 1:
        raise SystemExit("usage: pandas_stats.py [--once] FILE")
    if once:
        figures(args[0])
        return
    runs = []
    for run in range(5):
        start = time.perf_counter()
        result = figures(args[0])
        runs.append((time.perf_counter() - start) * 1000.0)
        print(f"run {run + 1}: {runs[-1]:8.1f} ms")
    n, leq, lmax, lmin, l10, l50, l90 = result
    print(f"Records {n}  Leq {leq:.1f}  Lmax {lmax:.1f}  Lmin {lmin:.1f}  "
          f"L10 {l10:.1f}  L50 {l50:.1f}  L90 {l90:.1f}")
    print(f"pandas read_csv + numpy: median {statistics.median(runs):.1f} ms of 5 runs")


if __name__ == "__main__":
    main()
