#!/usr/bin/env bash
# The listener under a steady stream on loopback: one source sends RATE lines
# a second for SECONDS seconds; every line must reach the raw log. Prints the
# lines sent and kept, the listener's CPU time per line and its peak memory.
#
#   bench/live_listen_bench.sh [RATE [SECONDS]]   defaults: 50000 lines a second, 10 seconds
#
# Builds the `native` preset (build/native) when needed. The lines are those of
# tests/live/stream_match.log without its first and last line, sent round and
# round, so the whole run is one server log (refreshed every 10 s as by
# default; $FRAGTALLY_BENCH_LISTEN_OPTIONS adds options, e.g. "--refresh 86400" to
# time the receiving alone). Needs cmake, ninja, g++, GNU time (/usr/bin/time) and coreutils.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/native"
rate=${1:-50000}
seconds=${2:-10}
lines=$((rate * seconds))
port=${FRAGTALLY_BENCH_PORT:-27599}

say() { echo "live_listen_bench: $*" >&2; }

if [[ ! -x "$build/cli/fragtally-cli" || ! -x "$build/tests/fragtally_send_log" ]]; then
  say "building build/native"
  cmake --preset native >/dev/null
  cmake --build --preset native --target fragtally-cli fragtally_send_log >/dev/null
fi

work=$(mktemp -d /tmp/fragtally-live-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
sed '1d;$d' "$root/tests/live/stream_match.log" > "$work/middle.log"

/usr/bin/time -v -o "$work/time.txt" "$build/cli/fragtally-cli" --listen "127.0.0.1:$port" -d "$work/out" \
  ${FRAGTALLY_BENCH_LISTEN_OPTIONS:-} 2> "$work/activity.txt" &
listener=$!
for _ in $(seq 100); do
  grep -q "listening on" "$work/activity.txt" 2>/dev/null && break
  sleep 0.05
done
grep -q "listening on" "$work/activity.txt" || { say "the listener did not start"; cat "$work/activity.txt" >&2; exit 1; }

say "sending $lines lines at $rate a second"
"$build/tests/fragtally_send_log" "$work/middle.log" "127.0.0.1:$port" --rate "$rate" --lines "$lines" >&2
sleep 2
# The listener's own process, under time: the one whose parent is time.
kill -TERM "$(pgrep -P "$listener")"
wait "$listener" || { say "the listener failed"; cat "$work/activity.txt" >&2; exit 1; }

kept=$(cat "$work"/out/logs/*.log | wc -l)
cpu=$(awk -F': ' '/User time/ {u=$2} /System time/ {s=$2} END {printf "%.2f", u + s}' "$work/time.txt")
peak=$(awk -F': ' '/Maximum resident/ {printf "%.1f", $2 / 1024}' "$work/time.txt")
per_line=$(awk -v c="$cpu" -v n="$lines" 'BEGIN {printf "%.2f", c / n * 1e6}')
echo "lines sent:      $lines ($rate a second for $seconds s)"
echo "lines kept:      $kept"
echo "lost:            $((lines - kept))"
echo "listener CPU:    $cpu s (user + system), $per_line µs a line"
echo "peak memory:     $peak MB (maximum resident set)"
tail -n 3 "$work/activity.txt" | sed 's/^/activity:        /'
[[ $kept -eq $lines ]]
