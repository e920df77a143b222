#!/usr/bin/env bash
# Takes a picture of the site for the docs: the bundled sample logs run into a
# fresh folder with -d, and one of its pages shot in headless Chromium, 1280
# wide.
#
#   tests/browser/take_index_screenshot.sh FRAGTALLY_CLI [OUT_PNG [PAGE [HEIGHT]]]
#
# OUT_PNG defaults to docs/index.png of the source tree, PAGE (a path in the
# site's folder) to index.htm, HEIGHT to 1640 pixels.
set -euo pipefail
if [[ $# -lt 1 || ! -x $1 ]]; then
  echo "usage: $0 FRAGTALLY_CLI [OUT_PNG]" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${2:-$source_dir/docs/index.png}
page=${3:-index.htm}
height=${4:-1640}
work=$(mktemp -d /tmp/fragtally-shot.XXXXXX)
trap 'rm -rf "$work"' EXIT

"$1" "$source_dir/examples/logs" -d "$work/site" > /dev/null
[ -f "$work/site/$page" ] || { echo "no $page written" >&2; exit 1; }
timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" --hide-scrollbars \
  --window-size=1280,"$height" --screenshot="$work/index.png" "file://$work/site/$page" 2> "$work/chromium.log"
mv "$work/index.png" "$out"
echo "$out"
