#!/usr/bin/env bash
# Times the site's folder runs against a base revision: N generated matches of
# a public server (the generator's public-match profile: 30 to 180 KB each,
# their people drawn from one pool) run into an empty folder, then again with
# one log more (dated in the middle of the matches' year), then again with
# nothing changed, then with one more log dated after every other match (what
# a live server adds next); each by the base build and by the working tree's,
# alternating, with the median wall time and peak memory of each
# (bench/time_site_runs.py prints the table).
#
#   bench/site_bench.sh BASE_REV [N] [RUNS] [JOBS]   N default 10000, RUNS 3, JOBS the program's default
#
# Both are built with the `release` preset: the working tree in build/release,
# BASE_REV from `git archive` in $FRAGTALLY_BENCH_DIR (default
# /tmp/fragtally-bench), where the build and the logs stay for the next call.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage() { sed -n '9p' "$0" >&2; exit 2; }
base_rev=${1:-}
count=${2:-10000}
runs=${3:-3}
jobs=${4:-}
[[ -n $base_rev && $count =~ ^[1-9][0-9]*$ && $runs =~ ^[1-9][0-9]*$ && $jobs =~ ^[0-9]*$ ]] || usage
base_sha=$(git -C "$root" rev-parse --verify --quiet "$base_rev^{commit}") || { echo "site_bench: no commit $base_rev" >&2; exit 2; }

say() { echo "site_bench: $*" >&2; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
build() {  # source folder, targets...
  local source=$1; shift
  [[ -f $source/build/release/CMakeCache.txt ]] || (cd "$source" && cmake --preset release "${launcher[@]}" >/dev/null)
  (cd "$source" && nice cmake --build build/release -j2 --target "$@" >/dev/null)
}

dir=${FRAGTALLY_BENCH_DIR:-/tmp/fragtally-bench}
mkdir -p "$dir"
base_source=$dir/site-base-${base_sha:0:12}
if [[ ! -d $base_source ]]; then
  say "unpacking $base_rev into $base_source"
  mkdir -p "$base_source.part"
  git -C "$root" archive "$base_sha" | tar -x -C "$base_source.part"
  mv "$base_source.part" "$base_source"
fi
say "building $base_rev and the working tree"
build "$base_source" fragtally-cli
build "$root" fragtally-cli fragtally_generate_log

key=$(cat "$root"/bench/generate_log.cpp "$root"/bench/log_generator.cpp "$root"/bench/log_generator.h \
      "$root"/bench/player_pool.cpp "$root"/bench/log_clock.cpp "$root"/bench/split_mix.h | sha256sum | cut -c1-12)
logs="$dir/site-$count-$key"
generate() {  # index (also the seed, less one), file
  "$root/build/release/bench/fragtally_generate_log" $((30 + ($1 * 7919) % 151))K $(($1 + 1)) --profile public-match -o "$2"
}
if [[ ! -d $logs ]]; then
  say "generating $count logs in $logs"
  mkdir -p "$logs.part/logs"
  for ((i = 0; i < count; i++)); do
    # Names as a server gives them: L, month, day, a three-digit number.
    generate "$i" "$logs.part/logs/$(printf 'L%02d%02d%03d.log' $((i / 31000 % 12 + 1)) $((i / 1000 % 31 + 1)) $((i % 1000)))"
  done
  # The log the second run finds added: the next seed, a name none of them has.
  generate "$count" "$logs.part/Lnew.log"
  mv "$logs.part" "$logs"
fi

# The newest log: the added one's matches moved to a day after every
# generated match (they all fall in 2025).
if [[ ! -f $logs/Lnext.log ]]; then
  sed -E 's#^L [0-9]{2}/[0-9]{2}/[0-9]{4} #L 01/12/2026 #' "$logs/Lnew.log" > "$logs/Lnext.log.part"
  mv "$logs/Lnext.log.part" "$logs/Lnext.log"
fi
rm -f "$logs/logs/Lnew.log" "$logs/logs/Lnext.log"  # left by a run that was killed
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
say "warming the page cache"
cat "$logs"/logs/* >/dev/null
python3 "$root/bench/time_site_runs.py" --base-cli "$base_source/build/release/cli/fragtally-cli" \
  --new-cli "$root/build/release/cli/fragtally-cli" --base-name "$base_rev" --logs "$logs/logs" \
  --extra "$logs/Lnew.log" --newest "$logs/Lnext.log" --work "$work" --runs "$runs" ${jobs:+--jobs "$jobs"}
