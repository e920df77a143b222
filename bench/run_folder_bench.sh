#!/usr/bin/env bash
# Times a folder run: N generated logs of 30 to 180 KB (the size of real maps)
# into an empty output folder at -j1 and -j2, and a second run with nothing
# changed, beside the byte rate on one large log.
#
#   bench/run_folder_bench.sh [N] [RUNS]   N default 10000, RUNS default 3
#
# Builds the `release` preset when needed. The logs are kept in
# $FRAGTALLY_BENCH_DIR (default /tmp/fragtally-bench), so a second call does not
# make them again; the large log is the 1 GiB one of bench/run_bench.sh when it
# is there.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/release"
count=${1:-10000}
runs=${2:-3}
[[ $count =~ ^[1-9][0-9]*$ && $runs =~ ^[1-9][0-9]*$ ]] || { sed -n '6p' "$0" >&2; exit 2; }

say() { echo "run_folder_bench: $*" >&2; }

[[ -f "$build/CMakeCache.txt" ]] || (cd "$root" && cmake --preset release >/dev/null)
(cd "$root" && cmake --build --preset release -j2 --target fragtally-cli fragtally_generate_log >/dev/null)

dir=${FRAGTALLY_BENCH_DIR:-/tmp/fragtally-bench}
key=$(cat "$root"/bench/generate_log.cpp "$root"/bench/log_generator.cpp "$root"/bench/log_generator.h \
      "$root"/bench/log_clock.cpp "$root"/bench/split_mix.h | sha256sum | cut -c1-12)
logs="$dir/folder-$count-$key"
if [[ ! -d $logs ]]; then
  say "generating $count logs in $logs"
  mkdir -p "$logs.part"
  for ((i = 0; i < count; i++)); do
    # Names as a server gives them: L, month, day, a three-digit number.
    name=$(printf 'L%02d%02d%03d.log' $((i / 31000 % 12 + 1)) $((i / 1000 % 31 + 1)) $((i % 1000)))
    "$build/bench/fragtally_generate_log" $((30 + (i * 7919) % 151))K $((i + 1)) -o "$logs.part/$name"
  done
  mv "$logs.part" "$logs"
fi

single=()
large=$(ls "$dir"/log-1G-seed1-"$key".log 2>/dev/null | head -n 1 || true)
[[ -n $large ]] && single=(--single "$large")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
say "warming the page cache"
cat "$logs"/* >/dev/null
python3 "$root/bench/time_folder_runs.py" --cli "$build/cli/fragtally-cli" --logs "$logs" --work "$work" \
  --runs "$runs" "${single[@]}"
