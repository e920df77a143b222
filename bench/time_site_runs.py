#!/usr/bin/env python3
"""Times the folder runs of a site over many logs, two builds side by side.

Each round runs, for the base build and the build under test in turn (the
order swapped every round, so neither always meets a warmer machine):
  first run    the folder into an empty output folder;
  one log more the same output folder after one log was added to the folder;
  unchanged    the same again, nothing changed;
  newest       with --newest, the same after one more log, dated after every
               other match (what a live server adds next).
The logs added are taken out again before the next first run. Prints, per run,
the median wall time of each build, their ratio and the median peak RSS.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

GNU_TIME = "/usr/bin/time"
RUNS = ("first run", "one log more", "unchanged", "newest")


def timed(argv, rss_path):
    start = time.perf_counter()
    code = subprocess.call([GNU_TIME, "-f", "%M", "-o", rss_path, "--"] + argv,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    with open(rss_path, encoding="ascii", errors="replace") as out:
        words = out.read().split()
    rss = int(words[-1]) / 1024.0 if words and words[-1].isdigit() else float("nan")
    return code, wall, rss


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--base-cli", required=True)
    parser.add_argument("--new-cli", required=True)
    parser.add_argument("--base-name", default="base")
    parser.add_argument("--logs", required=True, help="the folder of logs")
    parser.add_argument("--extra", required=True, help="the log added for the second run")
    parser.add_argument("--newest", help="the log added for the fourth run, dated after every other")
    parser.add_argument("--work", required=True, help="scratch folder for the outputs")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--jobs", help="passed as -j to every run")
    args = parser.parse_args()

    count = sum(1 for e in os.scandir(args.logs) if e.name.lower().endswith(".log"))
    total = sum(e.stat().st_size for e in os.scandir(args.logs) if e.is_file())
    rss_path = os.path.join(args.work, "rss.txt")
    runs = RUNS if args.newest else RUNS[:3]
    extras = {"one log more": args.extra, "newest": args.newest}
    added = {run: os.path.join(args.logs, os.path.basename(extras[run])) for run in runs if run in extras}
    if len(set(added.values())) != len(added):
        sys.exit("the logs added need names of their own")
    for path in added.values():
        if os.path.exists(path):
            sys.exit(f"{path} is already in the logs folder")
    jobs = ["-j", args.jobs] if args.jobs else []
    builds = {"base": args.base_cli, "new": args.new_cli}
    results = {(build, run): [] for build in builds for run in runs}
    try:
        for round_number in range(args.runs):
            order = ("base", "new") if round_number % 2 == 0 else ("new", "base")
            for build in order:
                # A new folder each time, removed only at the end: ext4 makes new
                # files slowly for a while after many have been deleted.
                out = os.path.join(args.work, f"{build}-{round_number}")
                argv = [builds[build], args.logs, "-d", out] + jobs
                for run in runs:
                    if run in added:
                        shutil.copyfile(extras[run], added[run])
                    # Every run begins with the disk settled: the files the run
                    # before wrote (a first run's are 20,000) would otherwise
                    # still be on their way to the disk, and this run's
                    # flushes would wait for them.
                    os.sync()
                    code, wall, rss = timed(argv, rss_path)
                    if code != 0:
                        sys.exit(f"{build} build, {run}: fragtally-cli exited with {code}")
                    results[(build, run)].append((wall, rss))
                    print(f"round {round_number + 1}, {build:>4}, {run:<12} {wall:8.2f} s {rss:8.1f} MiB",
                          file=sys.stderr)
                for path in added.values():
                    os.remove(path)
    finally:
        for path in added.values():
            if os.path.exists(path):
                os.remove(path)

    print(f"{count} logs, {total / 1e6:.1f} MB; base {args.base_name}; {args.runs} rounds; medians")
    print(f"{'run':<13} {'base s':>8} {'new s':>8} {'new/base':>9} {'base MiB':>9} {'new MiB':>9}")
    for run in runs:
        base = statistics.median(w for w, _ in results[("base", run)])
        new = statistics.median(w for w, _ in results[("new", run)])
        base_rss = statistics.median(r for _, r in results[("base", run)])
        new_rss = statistics.median(r for _, r in results[("new", run)])
        print(f"{run:<13} {base:8.2f} {new:8.2f} {new / base:9.2f} {base_rss:9.1f} {new_rss:9.1f}")


if __name__ == "__main__":
    main()
