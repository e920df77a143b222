#!/usr/bin/env bash
# Runs every libFuzzer target for a bounded time.
#
#   fuzz/run_fuzzers.sh SECONDS [--parallel] [TARGET...]
#
# TARGET is pipeline, number or kill_line (default: all three, one after the
# other; --parallel runs them at the same time). Builds the fuzz preset when
# needed. Each target fuzzes a working copy of its committed seeds in a temp
# folder, so the committed corpus never grows. Exits 1 on any finding (crash,
# sanitizer report, leak, timeout, out of memory) and keeps the temp folder,
# printing where the reproducer is; removes it otherwise (FUZZ_KEEP=1 keeps it,
# with each target's log and grown corpus).
set -u

usage() { echo "usage: $0 SECONDS [--parallel] [pipeline|number|kill_line]..." >&2; exit 2; }
[[ $# -ge 1 && $1 =~ ^[0-9]+$ && $1 -gt 0 ]] || usage
seconds=$1
shift
parallel=0
targets=()
for arg in "$@"; do
  case $arg in
    --parallel) parallel=1 ;;
    pipeline|number|kill_line) targets+=("$arg") ;;
    *) usage ;;
  esac
done
[[ ${#targets[@]} -gt 0 ]] || targets=(pipeline number kill_line)

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 2
if [[ ! -f build/fuzz/build.ninja ]]; then
  cmake --preset fuzz >/dev/null || exit 2
fi
cmake --build --preset fuzz -j2 >/dev/null || { echo "fuzz build failed" >&2; exit 2; }

# Longest input per target: a log of a few hundred lines, one line, one number.
declare -A max_len=([pipeline]=65536 [kill_line]=16384 [number]=64)

work=$(mktemp -d "${TMPDIR:-/tmp}/fragtally-fuzz.XXXXXX")
pids=()
cleanup_children() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
}
trap 'cleanup_children; exit 130' INT TERM

run_target() {
  local target=$1 dir=$work/$1
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp fuzz/corpus/"$target"/* "$dir/corpus/"
  "build/fuzz/fuzz/fuzz_$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="${max_len[$target]}" \
    -dict=fuzz/log.dict -print_final_stats=1 -artifact_prefix="$dir/artifacts/" \
    "$dir/corpus" >"$dir/fuzz.log" 2>&1
  echo $? >"$dir/exit_code"
}

for target in "${targets[@]}"; do
  echo "fuzz_$target: ${seconds} s ..."
  if [[ $parallel == 1 ]]; then
    run_target "$target" &
    pids+=($!)
  else
    run_target "$target"
  fi
done
wait

findings=0
for target in "${targets[@]}"; do
  dir=$work/$target
  code=$(cat "$dir/exit_code" 2>/dev/null || echo "?")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/fuzz.log")
  units=$(find "$dir/corpus" -type f | wc -l)
  echo "fuzz_$target: exit $code, ${execs:-?} executions, ${rate:-?} exec/s, corpus $units inputs"
  reproducers=$(find "$dir/artifacts" -type f 2>/dev/null)
  if [[ $code != 0 || -n $reproducers ]]; then
    findings=1
    echo "FINDING in fuzz_$target (log: $dir/fuzz.log)" >&2
    grep -m 5 -E '^(==[0-9]+==ERROR|SUMMARY|invariant broken|readInteger and the reference)' "$dir/fuzz.log" >&2
    for file in $reproducers; do
      echo "  reproducer: $file  (rerun: $root/build/fuzz/fuzz/fuzz_$target $file)" >&2
    done
  fi
done

if [[ $findings == 0 ]]; then
  if [[ ${FUZZ_KEEP:-0} == 1 ]]; then echo "fuzzing: logs and corpora kept in $work"; else rm -rf "$work"; fi
  echo "fuzzing: no findings"
  exit 0
fi
echo "fuzzing: findings kept in $work" >&2
exit 1
