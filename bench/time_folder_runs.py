#!/usr/bin/env python3
"""Times fragtally-cli over a folder of many generated logs.

Each round runs, in turn: the folder into an empty output folder with -j1, the
same with -j2, then -j2 again into the folder the last run filled (nothing
changed: every log up to date). Prints the median/min/max wall time, the median
peak RSS and the byte rate of each, the -j1/-j2 ratio, and, when --single is
given, the byte rate of fragtally-cli on that one large log for comparison.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

GNU_TIME = "/usr/bin/time"


def timed(argv, rss_path):
    start = time.perf_counter()
    code = subprocess.call([GNU_TIME, "-f", "%M", "-o", rss_path, "--"] + argv,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    with open(rss_path, encoding="ascii", errors="replace") as out:
        words = out.read().split()
    rss = int(words[-1]) / 1024.0 if words and words[-1].isdigit() else float("nan")
    return code, wall, rss


def folder_bytes(folder):
    return sum(e.stat().st_size for e in os.scandir(folder) if e.is_file())


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--logs", required=True, help="the folder of logs")
    parser.add_argument("--work", required=True, help="scratch folder for the outputs")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--single", help="one large log to compare the byte rate with")
    args = parser.parse_args()

    total = folder_bytes(args.logs)
    count = sum(1 for e in os.scandir(args.logs) if e.name.lower().endswith(".log"))
    rss_path = os.path.join(args.work, "rss.txt")
    results = {"cold -j1": [], "cold -j2": [], "second run -j2": [], "single log": []}
    for round_number in range(args.runs):
        for jobs in ("1", "2"):
            # A new folder each time, removed only at the end: ext4 makes new
            # files slowly for a while after many have been deleted, which
            # would time the last run's clean-up rather than this run.
            out = os.path.join(args.work, f"out-{round_number}-j{jobs}")
            code, wall, rss = timed([args.cli, args.logs, "-d", out, "-j", jobs], rss_path)
            if code != 0:
                sys.exit(f"fragtally-cli -j{jobs} exited with {code}")
            results["cold -j" + jobs].append((wall, rss))
        code, wall, rss = timed([args.cli, args.logs, "-d", out, "-j", "2"], rss_path)
        results["second run -j2"].append((wall, rss))
        if args.single:
            # The folder runs' outputs may have pushed it out of the page cache.
            with open(args.single, "rb") as warm:
                while warm.read(1 << 24):
                    pass
            code, wall, rss = timed([args.cli, args.single, "-o", os.path.join(args.work, "single.htm")], rss_path)
            results["single log"].append((wall, rss))

    print(f"{count} logs, {total / 1e6:.1f} MB in all; {args.runs} rounds; medians")
    print(f"{'run':<16} {'wall s':>8} {'min':>8} {'max':>8} {'MB/s':>8} {'peak MiB':>9}")
    medians = {}
    for name, samples in results.items():
        if not samples:
            continue
        walls = [w for w, _ in samples]
        median = statistics.median(walls)
        medians[name] = median
        size = os.path.getsize(args.single) if name == "single log" else total
        print(f"{name:<16} {median:8.3f} {min(walls):8.3f} {max(walls):8.3f} {size / 1e6 / median:8.1f} "
              f"{statistics.median(r for _, r in samples):9.1f}")
    print(f"-j1 / -j2: {medians['cold -j1'] / medians['cold -j2']:.2f}")
    if "single log" in medians:
        single_rate = os.path.getsize(args.single) / medians["single log"]
        print(f"-j1 byte rate / single-log byte rate: {total / medians['cold -j1'] / single_rate:.2f}")


if __name__ == "__main__":
    main()
