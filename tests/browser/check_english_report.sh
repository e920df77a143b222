#!/usr/bin/env bash
# Opens the English page of a log, written as a site's page, in headless
# Chromium at 360 and 1280 pixels wide and checks what a reader meets: the page
# decodes as UTF-8 and says it is English, never scrolls sideways (wide tables
# scroll inside their own boxes, each in sight), shows the four English
# captions and every picture at 128x32, and its link back to the index leads
# to the index.
# Usage: check_english_report.sh <fragtally_english_page> <log with kills>   (prints "N passed, M failed")
set -euo pipefail
tool=$1
log=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/fragtally-browser.XXXXXX)
trap 'rm -rf "$work"' EXIT

site="$work/site"
mkdir -p "$site"
"$tool" "$log" "$site"
# The index the page links back to; its content is not what is checked here.
echo '<!DOCTYPE html><title>index</title>' > "$site/index.htm"
cp "$here/english_report_check.html" "$site/.english_report_check.html"

timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" --lang=ru-RU \
  --allow-file-access-from-files --virtual-time-budget=10000 --dump-dom "file://$site/.english_report_check.html" \
  2> "$work/chromium.log" | sed -n '/<pre id="result">/,/<\/pre>/p' | sed 's/<[^>]*>//g' > "$work/seen.txt" || true
sed -i 's/&amp;/\&/g; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g' "$work/seen.txt"

passed=0
failed=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
expected_captions=$'caption Match summary\ncaption Team figures\ncaption Who killed whom (all weapons)\ncaption Weapons used in the battle'
check "the page decodes as UTF-8 at both widths" test "$(grep -c '^charset UTF-8$' "$work/seen.txt")" -eq 2
check "the page says it is English" test "$(grep -c '^lang en$' "$work/seen.txt")" -eq 2
check "no sideways scroll of the page at 360 px" grep -q '^width 360 fits ' "$work/seen.txt"
check "no sideways scroll of the page at 1280 px" grep -q '^width 1280 fits ' "$work/seen.txt"
check "four tables at each width" test "$(grep -c '^table ' "$work/seen.txt")" -eq 8
check "every table within the page's width" test -z "$(grep '^table ' "$work/seen.txt" | grep -v ' inside ' || true)"
check "the four captions read in English" test "$(grep '^caption ' "$work/seen.txt")" = "$expected_captions"
images=$(grep -c '^img ' "$work/seen.txt" || true)
check "the page shows pictures" test "$images" -gt 0
missing=$(grep '^img ' "$work/seen.txt" | grep -v ' loaded 128x32$' || true)
check "every picture loads at 128x32" test -z "$missing"
[ -z "$missing" ] || echo "$missing"
check "the page links back to the index" test "$(sed -n 's/^link //p' "$work/seen.txt")" = "$site/index.htm"
if [ "$failed" -gt 0 ]; then echo "--- seen:"; cat "$work/seen.txt"; fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
