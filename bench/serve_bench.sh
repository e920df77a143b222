#!/usr/bin/env bash
# The site server under load on loopback: ApacheBench (Debian's apache2-utils)
# fetches one 100 KB report over CONNECTIONS keep-alive connections, ROUNDS
# times; prints each round's requests a second, their median, the server's
# processor time a request and its peak memory over all rounds (GNU time).
#
#   bench/serve_bench.sh [ROUNDS [REQUESTS [CONNECTIONS]]]
#   defaults: 5 rounds of 50,000 requests over 64 connections
#
# Builds the `release` preset (build/release) when needed; $FRAGTALLY_CLI
# names another fragtally-cli. Needs ab, GNU time (/usr/bin/time) and coreutils.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-5}
requests=${2:-50000}
connections=${3:-64}
port=${FRAGTALLY_BENCH_PORT:-28599}
cli=${FRAGTALLY_CLI:-$root/build/release/cli/fragtally-cli}

say() { echo "serve_bench: $*" >&2; }

if [[ ! -x "$cli" ]]; then
  say "building build/release"
  cmake --preset release >/dev/null
  cmake --build --preset release --target fragtally-cli >/dev/null
fi

work=$(mktemp -d /tmp/fragtally-serve-bench.XXXXXX)
server=
program=
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null
  [[ -n "$server" ]] && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/site"
# A report-sized page: 100 KB of Windows-1251 text, as a report is.
{ printf '<html>\n<body bgcolor="#000000" text="#FFFFFF">\n'
  head -c 102300 /dev/zero | tr '\0' '\352'
  printf '\n</body>\n</html>\n'; } > "$work/site/report.htm"

/usr/bin/time -f "%M" -o "$work/time.txt" "$cli" --serve "127.0.0.1:$port" -d "$work/site" 2> "$work/activity.txt" &
server=$!
for _ in $(seq 100); do
  grep -q "serving" "$work/activity.txt" 2>/dev/null && break
  sleep 0.05
done
grep -q "serving" "$work/activity.txt" || { cat "$work/activity.txt" >&2; exit 1; }
# GNU time passes no signal on: the program itself is stopped at the end.
program=$(pgrep -P "$server")

rates=()
for round in $(seq "$rounds"); do
  ab -q -k -n "$requests" -c "$connections" "http://127.0.0.1:$port/report.htm" > "$work/ab.txt" 2>&1
  failed=$(awk '/^Failed requests:/ {print $3}' "$work/ab.txt")
  rate=$(awk '/^Requests per second:/ {print $4}' "$work/ab.txt")
  [[ "$failed" == 0 ]] || { cat "$work/ab.txt" >&2; say "round $round: $failed requests failed"; exit 1; }
  say "round $round: $rate requests a second"
  rates+=("$rate")
done
# The server's processor time (user and system, in clock ticks) over all rounds.
ticks=$(awk '{print $14 + $15}' "/proc/$program/stat")
kill -TERM "$program"
wait "$server" || true
server=
program=
median=$(printf '%s\n' "${rates[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}')
echo "requests a second, median of $rounds rounds of $requests over $connections connections: $median"
echo "server processor time a request: $(awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v n=$((rounds * requests)) 'BEGIN {printf "%.0f", t / hz / n * 1e6}') µs"
echo "server peak memory: $(($(cat "$work/time.txt" | tail -1) / 1024)) MiB"
