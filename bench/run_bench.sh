#!/usr/bin/env bash
# Times fragtally-cli on a large generated log against `wc -l` and
# `grep -c killed` on the same file (the speed target is stated against grep).
#
#   bench/run_bench.sh SIZE [RUNS]   SIZE like 100M or 1G (powers of 1024), RUNS default 5
#   bench/run_bench.sh --smoke       quick check for CI: builds, runs everything once on
#                                    a 4 MiB log, no timing judged; exit 0 when all ran
#
# Builds the `release` preset (build/release) when needed. Logs are kept in
# $FRAGTALLY_BENCH_DIR (default /tmp/fragtally-bench), named by size, seed
# ($FRAGTALLY_BENCH_SEED, default 1) and a hash of the generator's sources, so
# that a changed generator makes a new log. The table goes to standard output,
# progress to standard error. Needs cmake, ninja, g++, libbenchmark-dev,
# python3, time (GNU time, for peak RSS), grep and coreutils.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/release"
seed=${FRAGTALLY_BENCH_SEED:-1}

usage() {
  echo "usage:" >&2
  sed -n '5,7p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

say() { echo "run_bench: $*" >&2; }

build_release() {
  local targets=(fragtally-cli fragtally_generate_log fragtally_interpret_line_bench "$@")
  local output
  output=$(mktemp)
  say "building ${targets[*]} (release preset)"
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    (cd "$root" && cmake --preset release) >"$output" 2>&1 || { cat "$output" >&2; rm -f "$output"; exit 1; }
  fi
  (cd "$root" && cmake --build --preset release -j2 --target "${targets[@]}") >"$output" 2>&1 ||
    { cat "$output" >&2; rm -f "$output"; exit 1; }
  rm -f "$output"
}

# The commit measured, and whether tracked files differed from it. No index
# refresh is written: others may be working in the same tree.
revision() {
  local commit
  commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null) || { echo unknown; return; }
  if GIT_OPTIONAL_LOCKS=0 git -C "$root" diff --quiet HEAD -- 2>/dev/null; then
    echo "$commit"
  else
    echo "$commit with local changes"
  fi
}

# Runs fragtally-cli, wc and grep on $1 in turns, $2 rounds, and prints the table.
time_programs() {
  local log=$1 runs=$2 work=$3 label=$4
  python3 "$root/bench/time_runs.py" --cli "$build/cli/fragtally-cli" --log "$log" --work "$work" \
    --runs "$runs" --label "$label" --revision "$(revision)"
}

smoke() {
  build_release fragtally_log_generator_test
  smoke_work=$(mktemp -d)
  trap 'rm -rf "$smoke_work"' EXIT
  local work=$smoke_work
  local generate="$build/bench/fragtally_generate_log"

  say "generating a 4 MiB log twice"
  "$generate" 4M "$seed" -o "$work/a.log"
  "$generate" 4M "$seed" >"$work/b.log"
  cmp -s "$work/a.log" "$work/b.log" || { say "the generator gave two different logs for one seed"; exit 1; }
  local size
  size=$(stat -c %s "$work/a.log")
  ((size > 0 && size <= 4 * 1024 * 1024)) || { say "generated log has $size bytes"; exit 1; }

  "$build/bench/fragtally_log_generator_test" --gtest_brief=1

  time_programs "$work/a.log" 1 "$work" "smoke, 4 MiB generated log"
  [[ -s "$work/report.htm" ]] || { say "fragtally-cli wrote no report"; exit 1; }

  "$build/bench/fragtally_interpret_line_bench" --benchmark_min_time=0.01
  say "smoke: every program ran"
}

measure() {
  local size=$1 runs=$2
  [[ $size =~ ^[0-9]+[KMG]?$ ]] || usage
  [[ $runs =~ ^[1-9][0-9]*$ ]] || usage
  build_release

  local dir=${FRAGTALLY_BENCH_DIR:-/tmp/fragtally-bench}
  mkdir -p "$dir"
  local key
  key=$(cat "$root"/bench/generate_log.cpp "$root"/bench/log_generator.cpp "$root"/bench/log_generator.h \
        "$root"/bench/log_clock.cpp "$root"/bench/split_mix.h | sha256sum | cut -c1-12)
  local log="$dir/log-$size-seed$seed-$key.log"
  if [[ ! -f $log ]]; then
    # Logs of an older generator for the same size and seed are of no more use.
    rm -f "$dir/log-$size-seed$seed-"*.log
    say "generating $log"
    "$build/bench/fragtally_generate_log" "$size" "$seed" -o "$log.part"
    mv "$log.part" "$log"
  fi

  # The report comes with its weapon pictures: they get a folder of their own.
  mkdir -p "$dir/run"
  say "warming the page cache"
  cat "$log" >/dev/null
  time_programs "$log" "$runs" "$dir/run" "$size generated log (seed $seed)"
}

case ${1:-} in
  --smoke) [[ $# -eq 1 ]] || usage; smoke ;;
  "" | -h | --help) usage ;;
  *) [[ $# -le 2 ]] || usage; measure "$1" "${2:-5}" ;;
esac
