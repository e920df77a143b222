#!/usr/bin/env python3
"""Times fragtally-cli against `wc -l` and `grep -c killed` on one log.

Runs the three programs in turns, RUNS rounds (the order rotates each round so
that none always runs right after another), and prints, as plain text, the
median/min/max wall time and the median peak RSS of each, and the ratios that
the speed target is stated in. Wall time comes from a monotonic clock around
posix_spawn .. wait4 (of GNU time, which adds about a millisecond), peak RSS
from GNU time's %M.
"""

import argparse
import datetime
import os
import platform
import statistics
import sys
import time

GNU_TIME = "/usr/bin/time"


def spawn_and_wait(argv, stdout_path, rss_path):
    # Peak RSS comes from GNU time, not from this process's wait4: a child that
    # Python spawns or forks starts out with Python's own RSS as its high-water
    # mark, while the child that GNU time forks starts from that small program.
    wrapped = [GNU_TIME, "-f", "%M", "-o", rss_path, "--"] + argv
    actions = [(os.POSIX_SPAWN_OPEN, 1, stdout_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)]
    start = time.perf_counter()
    pid = os.posix_spawn(wrapped[0], wrapped, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    with open(rss_path, encoding="ascii", errors="replace") as out:
        # The last line; a first one tells of an exit status other than 0.
        words = out.read().split()
    rss_mib = int(words[-1]) / 1024.0 if words and words[-1].isdigit() else float("nan")
    # wait4's times include those of the children GNU time waited for.
    return code, wall, usage.ru_utime + usage.ru_stime, rss_mib


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as info:
            for line in info:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


def memory_gib():
    try:
        with open("/proc/meminfo", encoding="ascii") as info:
            for line in info:
                if line.startswith("MemTotal:"):
                    return int(line.split()[1]) / (1024 * 1024)
    except (OSError, ValueError):
        pass
    return 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", required=True, help="the fragtally-cli binary")
    parser.add_argument("--log", required=True)
    parser.add_argument("--work", required=True, help="folder for the report and captured outputs")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--label", default="", help="what the log is, for the heading")
    parser.add_argument("--revision", default="", help="source revision, for the heading")
    args = parser.parse_args()

    if not os.access(GNU_TIME, os.X_OK):
        sys.stderr.write(f"time_runs: {GNU_TIME} is missing (Debian package 'time')\n")
        return 1
    report = os.path.join(args.work, "report.htm")
    programs = [
        ("fragtally-cli", [args.cli, args.log, "-o", report], (0,)),
        ("wc -l", ["wc", "-l", args.log], (0,)),
        ("grep -c killed", ["grep", "-c", "killed", args.log], (0, 1)),  # 1: no line matched
    ]
    outputs = {name: os.path.join(args.work, name.split()[0] + ".out") for name, _, _ in programs}
    results = {name: [] for name, _, _ in programs}

    for round_index in range(args.runs):
        shift = round_index % len(programs)
        for name, argv, good in programs[shift:] + programs[:shift]:
            code, wall, cpu, rss = spawn_and_wait(argv, outputs[name], os.path.join(args.work, "rss.out"))
            if code not in good:
                sys.stderr.write(f"time_runs: {' '.join(argv)} exited with {code}\n")
                return 1
            results[name].append((wall, cpu, rss))
            sys.stderr.write(f"  round {round_index + 1}/{args.runs}: {name:<15} {wall:8.3f} s  {rss:7.1f} MiB\n")

    def first_number(name):
        with open(outputs[name], encoding="ascii", errors="replace") as out:
            words = out.read().split()
        return int(words[0]) if words and words[0].isdigit() else -1

    size = os.path.getsize(args.log)
    machine_date = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    lines = [
        f"Fragtally benchmark: {args.label or os.path.basename(args.log)}, {args.runs} run(s) of each program "
        "in turns, warm page cache",
        f"log:      {args.log}",
        f"          {size:,} bytes, {first_number('wc -l'):,} lines, "
        f"{first_number('grep -c killed'):,} lines containing \"killed\"",
        f"machine:  {cpu_model()}, {os.cpu_count()} cores (nproc {len(os.sched_getaffinity(0))}), "
        f"{memory_gib():.1f} GiB RAM, Linux {platform.release()}",
        f"date:     {machine_date}" + (f", revision {args.revision}" if args.revision else ""),
        "",
        f"{'program':<16}{'median s':>10}{'min s':>9}{'max s':>9}{'MB/s':>8}{'cpu s':>9}{'peak RSS MiB':>14}",
    ]
    medians = {}
    cpu_medians = {}
    for name, _, _ in programs:
        walls = [wall for wall, _, _ in results[name]]
        median = statistics.median(walls)
        medians[name] = median
        cpu = statistics.median(cpu for _, cpu, _ in results[name])
        cpu_medians[name] = cpu
        rss = statistics.median(rss for _, _, rss in results[name])
        rate = size / 1e6 / median if median > 0 else float("inf")
        lines.append(f"{name:<16}{median:>10.3f}{min(walls):>9.3f}{max(walls):>9.3f}{rate:>8.0f}{cpu:>9.3f}{rss:>14.1f}")
    lines.append("")
    for other, target in (("grep -c killed", "  (target: at most 1.50x, peak RSS at most 64 MB)"), ("wc -l", "")):
        ratio = medians["fragtally-cli"] / medians[other] if medians[other] > 0 else float("inf")
        lines.append(f"fragtally-cli / {other + ':':<16}{ratio:6.2f}x{target}")
    # On a machine shared with other work the wall times wander; the processor
    # times (user + system) show what each program itself spent.
    grep_cpu = cpu_medians["grep -c killed"]
    cpu_ratio = cpu_medians["fragtally-cli"] / grep_cpu if grep_cpu > 0 else float("inf")
    lines.append(f"{'by cpu s, cli / grep -c killed:':<32}{cpu_ratio:6.2f}x")
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
