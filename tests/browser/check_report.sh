#!/usr/bin/env bash
# Opens the sample report from its folder in headless Chromium and checks what a
# reader sees: every picture loaded at 128x32, the Russian captions decoded.
# Usage: check_report.sh <fragtally-cli> <log>   (prints "N passed, M failed")
set -euo pipefail
cli=$1
log=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/fragtally-browser.XXXXXX)
trap 'rm -rf "$work"' EXIT

"$cli" "$log" -o "$work/report.htm" > /dev/null
cp "$here/report_check.html" "$work/"

# The report declares no character set: the browser has to recognise the
# Windows-1251 text by itself, with an English interface too.
timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
  --disable-component-update --disable-sync --user-data-dir="$work/profile" --lang=en-US \
  --allow-file-access-from-files --virtual-time-budget=10000 --dump-dom "file://$work/report_check.html" \
  2> "$work/chromium.log" | sed -n '/<pre id="result">/,/<\/pre>/p' | sed 's/<[^>]*>//g' > "$work/seen.txt" || true

passed=0
failed=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
expected_captions=$'caption Основная информация\ncaption Статистика битвы\ncaption Статистика убийств(всеми видами оружия)\ncaption Использованное в битве оружие'
check "the page decodes as windows-1251" grep -qx 'charset windows-1251' "$work/seen.txt"
check "the four captions read in Russian" test "$(grep '^caption ' "$work/seen.txt")" = "$expected_captions"
images=$(grep -c '^img ' "$work/seen.txt" || true)
check "the page shows pictures" test "$images" -gt 0
missing=$(grep '^img ' "$work/seen.txt" | grep -v ' loaded 128x32$' || true)
check "every picture loads at 128x32" test -z "$missing"
[ -z "$missing" ] || echo "$missing"
# The weapons of today's servers, pictured since the program carries 26.
for weapon in galil famas; do
  if grep -q -i "with \"$weapon\"" "$log"; then
    check "the $weapon picture is shown" grep -q -x "img $weapon.jpg loaded 128x32" "$work/seen.txt"
  fi
done
if [ "$failed" -gt 0 ]; then echo "--- seen:"; cat "$work/seen.txt"; fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
