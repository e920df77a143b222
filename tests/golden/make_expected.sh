#!/usr/bin/env bash
# Builds tests/golden/<case>/expected.htm from the hand-written
# tests/golden/<case>/expected.utf8.html of every case (or of the cases named
# on the command line).  It only changes encoding and line ends:
#   1. iconv -f UTF-8 -t CP1251   (fails on any character CP1251 lacks)
#   2. LF -> CR LF on every line, the last one included; no BOM.
# Any problem stops the script with a message and a non-zero exit status,
# and no partial expected.htm is left behind.
set -euo pipefail
export LC_ALL=C

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

die() { echo "make_expected.sh: ERROR: $*" >&2; exit 1; }

if [ "$#" -gt 0 ]; then
    cases=("$@")
else
    cases=()
    for d in */; do
        [ -f "${d}expected.utf8.html" ] && cases+=("${d%/}")
    done
fi
[ "${#cases[@]}" -gt 0 ] || die "no case with an expected.utf8.html found in $here"

for c in "${cases[@]}"; do
    src="$c/expected.utf8.html"
    out="$c/expected.htm"
    [ -f "$src" ] || die "$src not found"
    [ -s "$src" ] || die "$src is empty"
    if grep -q $'\r' "$src"; then die "$src contains a CR byte (it must use LF line ends)"; fi
    [ "$(tail -c 1 "$src" | od -An -tx1 | tr -d ' ')" = "0a" ] || die "$src does not end with LF"
    if [ "$(head -c 3 "$src" | od -An -tx1 | tr -d ' ')" = "efbbbf" ]; then die "$src starts with a BOM"; fi

    tmp=$(mktemp "$c/.expected.htm.XXXXXX")
    trap 'rm -f "$tmp" "$tmp.cp"' EXIT
    if ! iconv -f UTF-8 -t CP1251 "$src" > "$tmp.cp"; then
        die "iconv could not convert $src to CP1251 (invalid UTF-8 or a character CP1251 lacks)"
    fi
    # LF -> CR LF, every line including the last.
    awk '{ printf "%s\r\n", $0 }' "$tmp.cp" > "$tmp" || die "line end conversion failed for $src"
    rm -f "$tmp.cp"

    src_lines=$(wc -l < "$src")
    out_crlf=$(grep -c $'\r$' "$tmp" || true)
    [ "$src_lines" -eq "$out_crlf" ] || die "$out: $out_crlf CR LF lines, expected $src_lines"

    chmod 644 "$tmp"
    mv -f "$tmp" "$out"
    trap - EXIT
    echo "$out: $src_lines lines"
done
