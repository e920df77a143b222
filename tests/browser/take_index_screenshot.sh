#!/usr/bin/env bash
# Takes the picture of the index for the docs: the bundled sample logs run into a
# fresh folder with -d, and its index.htm shot in headless Chromium, 1280 wide.
#
#   tests/browser/take_index_screenshot.sh FRAGTALLY_CLI [OUT_PNG]
#
# OUT_PNG defaults to docs/index.png of the source tree.
set -euo pipefail
if [[ $# -lt 1 || ! -x $1 ]]; then
  echo "usage: $0 FRAGTALLY_CLI [OUT_PNG]" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${2:-$source_dir/docs/index.png}
work=$(mktemp -d /tmp/fragtally-shot.XXXXXX)
trap 'rm -rf "$work"' EXIT

"$1" "$source_dir/examples/logs" -d "$work/site" > /dev/null
[ -f "$work/site/index.htm" ] || { echo "no index.htm written" >&2; exit 1; }
# The page's height for this folder, with the footer in view.
timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" --hide-scrollbars \
  --window-size=1280,1180 --screenshot="$work/index.png" "file://$work/site/index.htm" 2> "$work/chromium.log"
mv "$work/index.png" "$out"
echo "$out"
