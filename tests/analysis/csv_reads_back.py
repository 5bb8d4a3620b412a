#!/usr/bin/env python3
"""Reads logdump's --csv output back with Python's csv module, as a spreadsheet would.

usage: csv_reads_back.py LOGDUMP LOGFILE SCRATCH_DIR

The log is one of model 9 (RPM) with whole-second times: the CSV must have a column per
active series, one row per distinct time of a record that was plotted as a reading (a
record more than two seconds after the last plotted second is drawn as a gap of zero
points instead, which are no readings and add no row), and each cell the value the log
recorded for that time (the last record of several).
"""
import csv
import os
import subprocess
import sys


def main():
    logdump, log, scratch = sys.argv[1:4]
    out = os.path.join(scratch, "visible.csv")
    subprocess.run([logdump, "--csv", out, log], check=True, stdout=subprocess.DEVNULL)
    with open(out, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    header, body = rows[0], rows[1:]
    assert header[0] == "Time", header
    # Model 9 records RPM 1, RPM 1 %, RPM 2, RPM 2 % (fields 6 to 9 of its lines).
    wanted = ["RPM 1 (rpm)", "RPM 1(%)", "RPM 2 (rpm)", "RPM 2 (%)"]
    columns = [header.index(name) for name in wanted]
    expected = {}
    last_plotted = None
    with open(log, encoding="ascii") as f:
        for line in f:
            fields = line.rstrip("\r\n").split(",")
            h, m, s = (int(v) for v in fields[2].split(":"))
            second = h * 3600 + m * 60 + s
            if last_plotted is None:
                last_plotted = second
            if last_plotted + 2 >= second:
                expected[fields[2]] = [float(v) for v in fields[5:9]]
            last_plotted = second
    assert len(body) == len(expected), (len(body), len(expected))
    times = [row[0] for row in body]
    assert times == sorted(times), "rows are not in time order"
    for row in body:
        assert len(row) == len(header), row
        assert row[0].endswith(".000"), row[0]
        values = expected[row[0][:8]]
        for column, value in zip(columns, values):
            got = float(row[column])
            # The cell reads back as the float the import made of the log's text.
            assert abs(got - value) <= abs(value) * 1e-6, (row[0], header[column], got, value)
        for column, cell in enumerate(row[1:], start=1):
            if column not in columns:
                assert cell == "", (row[0], header[column], cell)
    print(f"{len(body)} rows, {len(header)} columns read back")


if __name__ == "__main__":
    main()
