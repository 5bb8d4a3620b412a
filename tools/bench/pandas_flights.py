#!/usr/bin/env python3
"""pandas_flights: the yardstick of the benchmark's flight library rows.

Reads every engine monitor log (model 1 lines, no header) under a folder with pandas,
splits each file's lines into flights where the time of day jumps forward by more than
300 seconds (across midnight counting on), and computes per flight the count, minimum,
maximum and mean of each value column, as a plain pandas script would.

    pandas_flights.py FOLDER
"""
import pathlib
import sys

import numpy as np
import pandas as pd

GAP = 300
TIME = 2
# The value columns of a model 1 line (fields 10, 12, 14 and 16 are unused).
VALUES = [5, 6, 7, 8, 9, 11, 13, 15, 17, 18, 19, 20, *range(21, 33), 33, 34]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: pandas_flights.py FOLDER")
    flights = 0
    for path in sorted(pathlib.Path(sys.argv[1]).rglob("*")):
        if not path.is_file() or path.suffix.lower() != ".csv":
            continue
        frame = pd.read_csv(path, header=None, usecols=[TIME, *VALUES])
        when = pd.to_datetime(frame[TIME], format="%H:%M:%S")
        second = (when.dt.hour * 3600 + when.dt.minute * 60 + when.dt.second).to_numpy()
        step = np.diff(second, prepend=second[:1]) % 86400
        flight = np.cumsum(step > GAP)
        figures = frame[VALUES].groupby(flight).agg(["count", "min", "max", "mean"])
        flights += len(figures)
    print(f"flights={flights}")


if __name__ == "__main__":
    main()
