#!/usr/bin/env bash
# Compares, log by log, what fragtally-cli writes with what a build that holds
# every line whole writes (reports byte for byte, messages and exit status),
# and prints the peak memory of each run.
#
#   bench/check_long_lines.sh MEGABYTES [REFERENCE_CLI]
#
# Generates the logs of bench/long_line_logs.py with long lines of MEGABYTES MB
# (cached in /tmp). Without REFERENCE_CLI, the reference is built once from
# commit 1bc08ba, the last that read a line whole. Uses build/release (built when
# needed). Exits 1 when any log gives another outcome.
set -u

[[ $# -ge 1 && $1 =~ ^[0-9]+$ ]] || { echo "usage: $0 MEGABYTES [REFERENCE_CLI]" >&2; exit 2; }
mb=$1
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 2

cmake --preset release >/dev/null && cmake --build --preset release -j2 --target fragtally-cli >/dev/null ||
  { echo "release build failed" >&2; exit 2; }
cli=$root/build/release/cli/fragtally-cli

reference=${2:-}
if [[ -z $reference ]]; then
  ref_dir=${TMPDIR:-/tmp}/fragtally-whole-line-reference
  reference=$ref_dir/build/cli/fragtally-cli
  if [[ ! -x $reference ]]; then
    git cat-file -e 1bc08ba^{commit} 2>/dev/null ||
      { echo "commit 1bc08ba is not in this clone: fetch the whole history or give REFERENCE_CLI" >&2; exit 2; }
    rm -rf "$ref_dir" && mkdir -p "$ref_dir/src" || exit 2
    git archive 1bc08ba | tar -x -C "$ref_dir/src" || exit 2
    cmake -S "$ref_dir/src" -B "$ref_dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFRAGTALLY_TESTS=OFF >/dev/null &&
      cmake --build "$ref_dir/build" -j2 --target fragtally-cli >/dev/null || { echo "reference build failed" >&2; exit 2; }
  fi
fi

logs=${TMPDIR:-/tmp}/fragtally-long-lines-$mb
if [[ ! -f $logs/.complete ]]; then
  python3 bench/long_line_logs.py "$logs" "$mb" >/dev/null && touch "$logs/.complete" || exit 2
fi

out=$(mktemp -d "${TMPDIR:-/tmp}/fragtally-long-lines.XXXXXX")
trap 'rm -rf "$out"' EXIT

# Runs a program on a log: its report (if any) in $3, its output and status
# in $3.out; prints the peak memory in KiB.
run() {
  local program=$1 log=$2 report=$3
  /usr/bin/time -f %M -o "$report.rss" "$program" "$log" -o "$report" >"$report.out" 2>&1
  echo "status $?" >>"$report.out"
  sed -i "s|$(dirname "$report")/||g" "$report.out"
  tail -n 1 "$report.rss"  # behind a line on the status, when it is not 0
}

failed=0
printf '%-30s %-8s %12s %12s\n' log outcome "peak KiB" "whole KiB"
for log in "$logs"/*.log; do
  name=$(basename "$log" .log)
  mkdir -p "$out/new" "$out/ref"
  new_rss=$(run "$cli" "$log" "$out/new/$name.htm")
  ref_rss=$(run "$reference" "$log" "$out/ref/$name.htm")
  outcome=same
  if ! cmp -s "$out/new/$name.htm.out" "$out/ref/$name.htm.out"; then
    outcome=DIFFERS
  elif [[ -f $out/ref/$name.htm || -f $out/new/$name.htm ]] && ! cmp -s "$out/new/$name.htm" "$out/ref/$name.htm"; then
    outcome=DIFFERS
  fi
  [[ $outcome == same ]] || failed=1
  printf '%-30s %-8s %12s %12s\n' "$name" "$outcome" "$new_rss" "$ref_rss"
  rm -f "$out"/new/* "$out"/ref/*
done
exit $failed
