#!/usr/bin/env python3
"""pandas_picture: the yardstick of the benchmark's "file to picture" row.

Reads an engine monitor log (model 1 lines, no header) with pandas and draws its 26
value columns against the time of day of each line, in time order as the viewer plots
them, with matplotlib's Agg backend into a 794 x 499 pixel PNG, as a plain pandas +
matplotlib script would.

    pandas_picture.py LOGFILE OUT.png
"""
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.dates as mdates  # noqa: E402  (after choosing the backend)
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pandas as pd  # noqa: E402

# A model 1 line: model id, date (DD/MM/YYYY), time of day (HH:MM:SS), hobbs,
# maintenance, then 30 fields, of which 10, 12, 14 and 16 are unused.
TIME = 2
VALUES = {
    5: "Volts", 6: "RPM 1", 7: "RPM 1(%)", 8: "RPM 2", 9: "RPM 2 (%)",
    11: "Analog 1", 13: "Analog 2", 15: "Analog 3", 17: "Analog 4",
    18: "MAP", 19: "Current", 20: "CJC",
    **{21 + i: f"TC{i + 1}" for i in range(12)},
    33: "Fuel Flow 1", 34: "Fuel Level (Calc)",
}
WIDTH, HEIGHT, DPI = 794, 499, 100


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: pandas_picture.py LOGFILE OUT.png")
    frame = pd.read_csv(sys.argv[1], header=None, usecols=[TIME, *VALUES])
    # The times of day on one day (a log that crosses midnight wraps round), in order.
    when = pd.to_datetime(frame[TIME], format="%H:%M:%S").to_numpy()
    order = np.argsort(when, kind="stable")
    x = when[order]

    figure, axes = plt.subplots(figsize=(WIDTH / DPI, HEIGHT / DPI), dpi=DPI)
    for column, title in VALUES.items():
        axes.plot(x, frame[column].to_numpy()[order], linewidth=1, label=title)
    axes.xaxis.set_major_formatter(mdates.DateFormatter("%H:%M"))
    figure.legend(loc="lower center", ncol=6, fontsize=6)
    figure.subplots_adjust(left=0.08, right=0.98, top=0.97, bottom=0.33)
    figure.savefig(sys.argv[2], dpi=DPI)


if __name__ == "__main__":
    main()
