#!/usr/bin/env python3
"""The hourly periods of levelpanel-cli periods --every 1h computed with pandas:
read_csv of the files, the time stamps parsed, resample('1h') with Leq (energy mean),
Lmax, Lmin and the quantiles for L10, L50 and L90; five times, printing each run and
the median. With --once: one computation, for timing the whole process from outside.

    pandas_survey.py [--once] FILE...

Only files whose levels are all plain numbers (as the benchmark's) are handled.
"""
import statistics
import sys
import time

import numpy as np
import pandas as pd


def periods(paths):
    frames = [pd.read_csv(p, sep="\t", usecols=[1, 2], header=0, names=["time", "level"])
              for p in paths]
    frame = pd.concat(frames, ignore_index=True)
    frame["time"] = pd.to_datetime(frame["time"], format="%Y/%m/%d %H:%M:%S")
    frame = frame.set_index("time").sort_index()
    frame["energy"] = np.power(10.0, frame["level"] / 10.0)
    hours = frame.resample("1h")
    table = pd.DataFrame({
        "records": hours["level"].count(),
        "leq": 10.0 * np.log10(hours["energy"].mean()),
        "lmax": hours["level"].max(),
        "lmin": hours["level"].min(),
        "l10": hours["level"].quantile(0.9),
        "l50": hours["level"].quantile(0.5),
        "l90": hours["level"].quantile(0.1),
    })
    return table


def main():
    args = sys.argv[1:]
    once = args[:1] == ["--once"]
    if once:
        args = args[1:]
    if not args:
        raise SystemExit("usage: pandas_survey.py [--once] FILE...")
    if once:
        periods(args)
        return
    runs = []
    for run in range(5):
        start = time.perf_counter()
        table = periods(args)
        runs.append((time.perf_counter() - start) * 1000.0)
        print(f"run {run + 1}: {runs[-1]:8.1f} ms")
    print(f"{len(table)} hourly periods, {int(table['records'].sum())} records; first: "
          f"Leq {table['leq'].iloc[0]:.1f} Lmax {table['lmax'].iloc[0]:.1f} "
          f"L90 {table['l90'].iloc[0]:.1f}")
    print(f"pandas read_csv + resample('1h'): median {statistics.median(runs):.1f} ms of 5 runs")


if __name__ == "__main__":
    main()
