#!/usr/bin/env bash
# Compares every output of two builds of the program on the same logs: the
# reports, records, pictures, index and cache of folder runs at -j1 and -j2,
# the single-log form with --json, and what each run prints. A change that is
# meant to keep behaviour shows no difference.
#
#   tests/compare_outputs.sh BASE_REV [GENERATED_LOGS]
#
# BASE_REV (a commit) is built in a worktree of its own with the `release`
# preset, the working tree with the same preset; GENERATED_LOGS (default 300)
# made-up logs join the golden logs, examples/ and the real logs beside the
# project (../shared/real-logs, when it is there). Prints "same" or the
# differences and exits 1.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
base_rev=${1:?usage: tests/compare_outputs.sh BASE_REV [GENERATED_LOGS]}
generated=${2:-300}
say() { echo "compare_outputs: $*" >&2; }

work=$(mktemp -d /tmp/fragtally-compare.XXXXXX)
trap 'git -C "$root" worktree remove --force "$work/base-tree" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

build_tree() {  # source folder
  (cd "$1" && cmake --preset release >/dev/null &&
     cmake --build --preset release -j2 --target fragtally-cli fragtally_generate_log >/dev/null)
}

say "building $base_rev and the working tree"
git -C "$root" worktree add --detach "$work/base-tree" "$base_rev" >/dev/null 2>&1
build_tree "$work/base-tree"
build_tree "$root"
base_cli=$work/base-tree/build/release/cli/fragtally-cli
new_cli=$root/build/release/cli/fragtally-cli

# The logs, in one folder each kind, at paths both builds read alike.
logs=$work/logs
mkdir -p "$logs/golden" "$logs/examples" "$logs/real" "$logs/generated"
for dir in "$root"/tests/golden/*/; do
  [[ -f $dir/input.log ]] && cp "$dir/input.log" "$logs/golden/$(basename "$dir").log"
done
cp "$root"/examples/sample.log "$root"/examples/logs/*.log "$logs/examples/"
[[ -d $root/../shared/real-logs ]] && cp "$root"/../shared/real-logs/*.log "$logs/real/"
for ((i = 0; i < generated; i++)); do
  "$root/build/release/bench/fragtally_generate_log" $((4 + i % 60))K $((i + 1)) \
    -o "$logs/generated/$(printf 'L%02d%02d%03d.log' $((i % 12 + 1)) $((i % 28 + 1)) $((i % 7)))" 2>/dev/null || true
done

# Runs one build's every form into a fixed folder, then keeps what it wrote.
run_all() {  # cli, result folder
  local cli=$1 result=$2 out=$work/out
  mkdir -p "$result"
  for jobs in 1 2; do
    rm -rf "$out"
    "$cli" "$logs/golden" "$logs/examples" "$logs/real" "$logs/generated" -d "$out" -j "$jobs" \
      > "$result/folder-j$jobs.stdout" 2> "$result/folder-j$jobs.stderr" || echo "status $?" >> "$result/folder-j$jobs.stderr"
    # A second run over the same logs: every log up to date.
    "$cli" "$logs/golden" "$logs/examples" "$logs/real" "$logs/generated" -d "$out" -j "$jobs" \
      > "$result/again-j$jobs.stdout" 2> "$result/again-j$jobs.stderr" || echo "status $?" >> "$result/again-j$jobs.stderr"
    mv "$out" "$result/folder-j$jobs"
  done
  for log in "$logs"/golden/*.log "$logs"/examples/*.log "$logs"/real/*.log; do
    rm -rf "$out" && mkdir -p "$out"
    local name=$(basename "$(dirname "$log")")-$(basename "$log" .log)
    (cd "$out" && "$cli" "$log" --json > "$result/$name.stdout" 2> "$result/$name.stderr") ||
      echo "status $?" >> "$result/$name.stderr"
    mv "$out" "$result/$name"
  done
}

say "running $base_rev"
run_all "$base_cli" "$work/base"
say "running the working tree"
run_all "$new_cli" "$work/new"

# index.cache, site.cache and tally.cache hold files' modification times, which
# differ from run to run by nature; what they gave shows in index.htm, which is
# compared.
if diff -r -x index.cache -x site.cache -x tally.cache "$work/base" "$work/new" > "$work/differences"; then
  echo same
else
  head -c 20000 "$work/differences"
  exit 1
fi
