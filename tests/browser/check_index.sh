#!/usr/bin/env bash
# Opens the pages of a site in headless Chromium at 360 and 1280 pixels wide
# and checks what a reader meets on each: the page itself never scrolls
# sideways (wide tables scroll inside their boxes), every link leads to a file
# that exists, the text decodes as UTF-8, and a column header of the index
# sorts its table, the site's header marks the page the reader is on. The
# pages checked: the index, the rating page, the awards page, the maps page,
# the first pages of the whole ranking, the newest and the oldest month's
# matches (these and the index sort their tables by a script) and a few
# players' pages, which need no script at all.
# The logs are built into a Russian site and an English one (--lang en), whose
# pages are checked alike, with an English match page besides; every page
# must say its site's language.
# Usage: check_index.sh <fragtally-cli> <logs folder>   (builds DIR with -d, then checks its pages)
#        check_index.sh --index DIR                     (checks DIR's pages as they are)
# Prints "N passed, M failed"; exit status 0 when all passed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/fragtally-browser.XXXXXX)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
check() {  # description, command...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

look() {  # page (from the site's folder): what the harness saw, in $work/seen.txt
  timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$work/profile" --lang=en-US \
    --allow-file-access-from-files --virtual-time-budget=10000 --dump-dom "file://$harness?page=$1" \
    2> "$work/chromium.log" | sed -n '/<pre id="result">/,/<\/pre>/p' | sed 's/<[^>]*>//g' > "$work/seen.txt" || true
  # The dump is HTML: the link paths come back with their characters escaped.
  sed -i 's/&amp;/\&/g; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g' "$work/seen.txt"
}

# Checks the pages of the site in $site, written in $lang.
check_site() {
  [ -f "$site/index.htm" ] || { echo "FAILED: no index.htm in $site"; failed=$((failed + 1)); return; }
  # The harness sits beside the index to read the pages (same origin for file pages).
  harness="$site/.index_check.html"
  cp "$here/index_check.html" "$harness"
  pages=(index.htm)
  [ -f "$site/rating.htm" ] && pages+=(rating.htm)
  [ -f "$site/awards.htm" ] && pages+=(awards.htm)
  # The whole ranking's first pages and the newest and oldest months' matches.
  while IFS= read -r page; do pages+=("$page"); done < <(ls "$site" | grep -E '^ranking(-p[0-9]+)?\.htm$' | sort -V | head -n 3)
  while IFS= read -r page; do pages+=("$page"); done < <(ls "$site" | grep -E '^matches-.*\.htm$' | sed -n '1p;$p' | sort -u)
  [ -f "$site/maps.htm" ] && pages+=(maps.htm)
  # A match's page in a site of another language than Russian is the site's own
  # UTF-8 page (the Russian one is the fixed Windows-1251 report, not checked here).
  match=""
  if [ "$lang" != ru ]; then
    match=$(ls "$site" | grep '\.htm$' | grep -Ev '^(index|rating|awards|maps|ranking(-p[0-9]+)?|matches-.*)\.htm$' | head -n 1)
    [ -n "$match" ] && pages+=("$match")
  fi
  if [ -d "$site/players" ]; then
    while IFS= read -r page; do pages+=("players/$page"); done < <(ls "$site/players" | grep '\.htm$' | head -n 3)
  fi
  for page in "${pages[@]}"; do
    look "$page"
    check "$page is in the site's language ($lang)" grep -q "^lang $lang\$" "$work/seen.txt"
    check "$page decodes as UTF-8 at both widths" test "$(grep -c '^charset UTF-8$' "$work/seen.txt")" -eq 2
    check "$page: no sideways scroll of the page at 360 px" grep -q '^width 360 fits ' "$work/seen.txt"
    check "$page: no sideways scroll of the page at 1280 px" grep -q '^width 1280 fits ' "$work/seen.txt"
    links=$(grep -c '^link ' "$work/seen.txt" || true)
    check "$page has links" test "$links" -gt 0
    broken=""
    while IFS= read -r target; do
      [ -f "$target" ] || broken+="$target"$'\n'
    done < <(sed -n 's/^link //p' "$work/seen.txt")
    check "every link of $page leads to a file that exists" test -z "$broken"
    [ -z "$broken" ] || printf '%s' "$broken" | sort -u | sed 's/^/missing: /'
    # Only the pages of long tables sort them by a script; the rest need none.
    case $page in
      index.htm | ranking*.htm | matches-*.htm) ;;
      *) check "$page has no script" grep -q '^scripts 0$' "$work/seen.txt" ;;
    esac
    # A match page links back to the index, outside the site's header.
    if [ "$page" != "$match" ]; then
      check "$page marks where the reader is in the site's header" grep -q '^current ' "$work/seen.txt"
    fi
    if grep -q '^sorted ' "$work/seen.txt"; then
      check "a column header of $page sorts its table" grep -q '^sorted yes$' "$work/seen.txt"
    fi
    if [ "$failed" -gt 0 ]; then echo "--- seen on $page:"; grep -v '^link ' "$work/seen.txt"; fi
  done
  echo "pages ($lang): ${pages[*]}"
}

site="$work/site"
lang=ru
if [ "${1:-}" = --index ]; then
  cp -R "$2" "$site"
  lang=$(sed -n 's/.*<html lang="\([a-z]*\)">.*/\1/p' "$site/index.htm" | head -n 1)
  check_site
else
  "$1" "$2" -d "$site" > /dev/null
  check_site
  # The same logs as an English site: every page again, and a match's page.
  site="$work/site-en"
  lang=en
  "$1" "$2" -d "$site" --lang en > /dev/null
  check_site
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
