#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/: the first lines of
every example log in samples/ and hand-made hostile lines, each with the small header its
target reads first (see fuzz_targets.h). Run by hand after changing a target's header."""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CORPUS = os.path.join(HERE, "corpus")

DEFAULT_RECORD = bytes([0] * 14 + [1] * 41)
M1 = ("1,12/05/2024,{t},12345,487,13.9,2411,41.6,2397,41.3,0,60.7,0,42.7,0,55.7,0,80.0,"
      "662.8,7.1,28.3,647,658,672,682,84,89,90,94,66,67,68,71,5.6,80.0")


def sample_heads(lines=12):
    heads = {}
    for name in sorted(os.listdir(os.path.join(ROOT, "samples"))):
        if name.endswith(".csv"):
            with open(os.path.join(ROOT, "samples", name), "rb") as f:
                heads[name[:-4]] = b"".join(f.readlines()[:lines])
    return heads


def hostile_logs():
    rnd = random.Random(7)
    logs = {
        "noise": bytes(rnd.randrange(256) for _ in range(400)),
        "nul_bytes": M1.format(t="10:00:00").encode().replace(b",", b",\0", 3) + b"\n"
        + b"\0" * 40 + b"\n" + M1.format(t="10:00:01").encode() + b"\n",
        "only_commas": b",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\n" * 3,
        "nan_inf_huge": "\n".join(
            ",".join(["1", "12/05/2024", "10:00:0%d" % i] + [v] * 33)
            for i, v in enumerate(["nan", "inf", "-inf", "1e39", "-1e39", "0x1p128",
                                   "infinity", "nan(123)", "1e-50", "2147483648"])).encode() + b"\n",
        "back_and_forth": b"".join(
            ("7,12/05/2024,%s,120.5\n" % ("00:00:00" if i % 2 == 0 else "23:59:59")).encode()
            for i in range(8)),
        "empty": b"",
        "blank_lines": b"\n\n\r\n" + M1.format(t="10:00:00").encode() + b"\n\n\n",
        "crlf_at_999": b"7,d,10:00:00," + b"1" * (998 - len("7,d,10:00:00,")) + b"\r\n"
        + b"7,d,10:00:01,2\r\n",
        "long_line": b"7,d,10:00:00," + b"9" * 2100 + b"\n7,d,10:00:01,3\n",
        "lone_cr": b"7,d,10:00:00,1\r7,d,10:00:01,2\r",
        "long_fields": ("7," + "D" * 150 + "," + "1" * 120 + ",5\n").encode(),
        "model_ids": b"".join(("%s,d,10:00:00,1,2,3\n" % m).encode() for m in
                              ["0", "14", "-1", "2147483648", "99999999999999999999", "+7",
                               " 7", "7x", "x7", "0x7"]),
        "time_texts": b"".join(("7,d,%s,1\n" % t).encode() for t in
                               ["10", "10:00", " 10 : 00 : 05 ", "12:00:00 AM", "1:00 pm",
                                "23:59:59.9995", "12/05/2024 10:00:00", "10:00:05.999",
                                "0:0:0", "23:59:59"]),
        "bad_time": b"7,d,10:00:00,1\n7,d,25:00:00,2\n",
        "apostrophes": b"7,12'05,10:00:00,1\n7,d,10:00':01,2\n",
        "huge_date": b"7,d,99999/99999/99999 10:00,1\n7,d,12/31/9999 23:59:59,2\n",
        "every_model": b"".join(
            ("%d,12/05/2024,10:00:%02d,%s\n" % (m, m, ",".join(["1.5"] * 34))).encode()
            for m in range(1, 14)),
        "midnight": b"".join(("9,d,%s,1,2,3,4,5,6\n" % t).encode()
                             for t in ["23:59:58", "23:59:59", "00:00:00", "00:00:01"]),
    }
    return logs


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    logs = dict(sample_heads())
    logs.update(hostile_logs())
    settings_variants = [bytes([255]), bytes([55]) + DEFAULT_RECORD,
                         bytes([20]) + bytes([1, 1, 1, 3, 7, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 0, 1, 0, 1, 0])]
    for i, (name, log) in enumerate(sorted(logs.items())):
        settings = settings_variants[i % len(settings_variants)]
        write("import", name, settings + bytes([i * 11 % 256]) + log)
        steps = bytes([4, 0, 30, 20, 0, 1, 90, 70, 0, 2, 90, 70, 0, 3, 0, 0, 253])
        write("chart", name, bytes([120, 90]) + settings + steps + log)

    for i, text in enumerate([b"10:00:05", b" 10 : 00 : 05 ", b"10:00", b"10", b"10:00:05\t",
                              b"25:00:00", b"10-00-05", b"12:30:15.250", b"12:00 AM", b"pm 1:05",
                              b"12/05/2024 10:00:00", b"31.12.99 23:59", b"2024-05-12",
                              b"23:59:59.9995", b"9999999999:0", b"0:0:0.999", b"\xe6\x99\x82"]):
        write("time_field", "text%02d" % i, bytes([i * 7 % 256, i * 13 % 256]) + text)

    write("settings", "default", DEFAULT_RECORD)
    write("settings", "empty", b"")
    write("settings", "short20", DEFAULT_RECORD[:20])
    write("settings", "long60", DEFAULT_RECORD + b"\x05" * 5)
    write("settings", "odd_codes", bytes([5, 255, 2, 3, 7, 1, 1, 1, 1, 2, 1, 1, 1, 1]) + bytes([2] * 41))


if __name__ == "__main__":
    main()
