#!/usr/bin/env bash
# The container image as an admin runs it: built from this repository, run as
# its unprivileged user with a logs folder mounted read-only and the site as a
# volume, following the logs and serving the site on loopback. A log copied
# into the logs folder must come out as a report and an index that are served;
# SIGTERM must end the container with status 0 and no temporary file left.
#
#   tests/container/check_image.sh
#
# Where this machine cannot run a container at all, it says so on one line
# and passes: the stage is skipped, not failed.
set -euo pipefail
cd "$(dirname "$0")/../.."
say() { echo "check_image: $*"; }
fail() { say "FAILED: $*"; exit 1; }
run=(podman --runtime runc run --network host --ulimit nofile=1024:1024 --ulimit nproc=1024:1024)

if ! command -v podman > /dev/null || ! command -v runc > /dev/null; then
  say "skipped: podman or runc is not installed"; exit 0
fi
scripts/build_image.sh fragtally-test
if ! "${run[@]}" --rm --entrypoint /fragtally-cli fragtally-test --version > /dev/null 2>&1; then
  say "skipped: this machine cannot run containers (podman run failed)"; exit 0
fi

scratch=$(mktemp -d /tmp/fragtally-image.XXXXXX)
name=fragtally-check-$$
cleanup() { podman rm -f "$name" > /dev/null 2>&1 || true; rm -rf "$scratch"; }
trap cleanup EXIT
mkdir -p "$scratch/logs" "$scratch/site"
chown 10001:10001 "$scratch/site"   # the image's user, as a volume would be
port=$((20000 + $$ % 20000))

"${run[@]}" -d --name "$name" -v "$scratch/logs:/logs:ro" -v "$scratch/site:/site" fragtally-test \
  --follow /logs -d /site --serve "127.0.0.1:$port" > /dev/null
# The follower starts on an empty folder; a finished log that appears then is
# reported at its closing line.
sleep 1
cp examples/logs/L1205001.log "$scratch/logs/"
for _ in $(seq 60); do
  [[ -f $scratch/site/index.htm ]] && break
  sleep 1
done
[[ -f $scratch/site/index.htm ]] || { podman logs "$name" >&2 || true; fail "no index after 60 s"; }
[[ -f $scratch/site/L1205001.htm ]] || fail "no report of the log"

fetch() { curl --silent --show-error --max-time 10 --fail "http://127.0.0.1:$port$1"; }
fetch / | grep -q '</html>' || fail "/ is not the index"
fetch /L1205001.htm | cmp -s - "$scratch/site/L1205001.htm" || fail "the report served differs from the file"

podman stop --time 30 "$name" > /dev/null
status=$(podman inspect --format '{{.State.ExitCode}}' "$name")
[[ $status == 0 ]] || { podman logs "$name" >&2 || true; fail "exit status $status after SIGTERM"; }
left=$(find "$scratch/site" -name '.fragtally-*.tmp' | wc -l)
[[ $left == 0 ]] || fail "$left temporary files left"
say "image built, report and index served over loopback, stopped cleanly: passed"
