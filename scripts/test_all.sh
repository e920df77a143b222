#!/usr/bin/env bash
# Runs every test: the native suite, the report in a real browser, the Windows
# build's suite and end-to-end run under wine, the packages as shipped, the
# sanitizer build, valgrind, a bounded fuzzing run and the benchmark smoke run.
# Installs what is missing.
# Ends with "stages: N passed, M failed"; exits non-zero when a stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

scripts/install_deps.sh test || { echo "stages: 0 passed, 1 failed"; exit 1; }

# Wine keeps its state in a prefix of its own, made afresh for this run.
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d /tmp/fragtally-wine.XXXXXX)}
export WINEDEBUG=-all
# No mono or gecko install prompts, and a crash fails instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
jobs=2
fuzz_seconds=${FRAGTALLY_FUZZ_SECONDS:-60}

passed=0
failed=0
failures=()
stage() {  # name, command...
  local name=$1; shift
  echo
  echo "=== $name"
  local started=$SECONDS
  if "$@"; then
    passed=$((passed + 1))
    echo "=== $name: passed ($((SECONDS - started)) s)"
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "=== $name: FAILED ($((SECONDS - started)) s)"
  fi
}

build() { cmake --preset "$1" > /dev/null && cmake --build --preset "$1" -j "$jobs"; }

stage "native build" build native
stage "native tests" ctest --preset native
stage "report in a browser" tests/browser/check_report.sh build/native/cli/fragtally-cli examples/sample.log
stage "index in a browser" tests/browser/check_index.sh build/native/cli/fragtally-cli examples/logs
stage "English report in a browser" tests/browser/check_english_report.sh build/native/tests/fragtally_english_page examples/sample.log
stage "fragtally-cli under valgrind" tests/valgrind_cli.sh build/native/cli/fragtally-cli examples/sample.log
stage "windows build" build mingw
stage "windows tests under wine" ctest --preset mingw
stage "packages" scripts/check_packages.sh
stage "container image" tests/container/check_image.sh
stage "sanitizer build" build sanitize
stage "sanitizer tests" ctest --preset sanitize
stage "fuzzing (${fuzz_seconds} s per target)" fuzz/run_fuzzers.sh "$fuzz_seconds"
stage "benchmark smoke run" bench/run_bench.sh --smoke

echo
[ "$failed" -eq 0 ] || printf 'failed stage: %s\n' "${failures[@]}"
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
