#!/usr/bin/env bash
# Runs the native fragtally-cli under valgrind on the sample log and fails on
# any memory error or leak (still-reachable blocks included).
#
#   tests/valgrind_cli.sh [PATH-TO-fragtally-cli [LOG]]
#
# Without a path it uses the native preset's build, building it when needed;
# LOG defaults to examples/sample.log. Two runs: the log to a report (exit 0
# expected), and a missing log (exit 1 expected: the failure path must be as
# clean as the good one).
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/native/cli/fragtally-cli}
log=${2:-$root/examples/sample.log}
if [[ $# -eq 0 ]]; then
  cd "$root" || exit 2
  [[ -f build/native/build.ninja ]] || cmake --preset native >/dev/null || exit 2
  cmake --build --preset native -j2 --target fragtally-cli >/dev/null || { echo "native build failed" >&2; exit 2; }
fi
[[ -x $cli ]] || { echo "no fragtally-cli at $cli" >&2; exit 2; }
[[ -f $log ]] || { echo "no log at $log" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fragtally-valgrind.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

# Valgrind's own findings exit with 99 in the failure-path run, where the
# program's exit 1 is the expected outcome.
run() {
  local expected=$1 error_exit=$2 name=$3
  shift 3
  valgrind --error-exitcode="$error_exit" --leak-check=full --errors-for-leak-kinds=all \
    --show-leak-kinds=all --track-origins=yes --log-file="$work/$name.valgrind" \
    "$cli" "$@" >"$work/$name.out" 2>"$work/$name.err"
  local status=$?
  if [[ $status != "$expected" ]]; then
    echo "FAIL $name: exit $status, expected $expected" >&2
    cat "$work/$name.err" "$work/$name.valgrind" >&2
    failed=1
  else
    echo "ok   $name: $(grep -E 'ERROR SUMMARY' "$work/$name.valgrind" | sed 's/^==[0-9]*== //')"
  fi
}

mkdir "$work/out"
run 0 1 sample "$log" -o "$work/out/report.htm"
if [[ $failed == 0 ]]; then
  if ! tail -c 16 "$work/out/report.htm" | grep -q '</body></html>'; then
    echo "FAIL sample: the report is not whole" >&2
    failed=1
  fi
fi
run 1 99 missing-log "$work/missing.log" -o "$work/out/other.htm"
if [[ -e $work/out/other.htm ]]; then
  echo "FAIL missing-log: a report was written" >&2
  failed=1
fi

exit $failed
