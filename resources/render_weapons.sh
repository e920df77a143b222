#!/usr/bin/env bash
# Render every resources/weapons/*.svg to a 128x32 baseline JPEG
# (3-component YCbCr, no metadata) next to it, then verify each result.
# Needs: rsvg-convert (librsvg2-bin) and ImageMagick (convert, identify).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dir="$here/weapons"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

for tool in rsvg-convert convert identify; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
done

# No timestamps or other variable data in the output.
export SOURCE_DATE_EPOCH=0

status=0
shopt -s nullglob
svgs=("$dir"/*.svg)
[ ${#svgs[@]} -gt 0 ] || { echo "no SVG files in $dir" >&2; exit 1; }

for svg in "${svgs[@]}"; do
    name="$(basename "$svg" .svg)"
    png="$tmp/$name.png"
    jpg="$dir/$name.jpg"
    rsvg-convert --width 128 --height 32 --background-color '#101010' \
        -o "$png" "$svg"
    convert "$png" -alpha remove -alpha off -background '#101010' \
        -colorspace sRGB -type TrueColor \
        -strip -interlace none -sampling-factor 2x2,1x1,1x1 \
        -quality 85 "JPEG:$jpg"

    # verify: size, colourspace, channel count, baseline (SOF0), no EXIF
    info="$(identify -format '%w %h %[colorspace] %[channels] %[interlace]' "$jpg")"
    read -r w h cs ch il <<<"$info"
    comps="$(python3 - "$jpg" <<'PY'
import sys
d = open(sys.argv[1], 'rb').read()
i, sof, ncomp, exif = 2, None, None, False
while i + 4 <= len(d) and d[i] == 0xFF:
    m = d[i + 1]
    ln = int.from_bytes(d[i + 2:i + 4], 'big')
    if m == 0xE1:
        exif = True
    if 0xC0 <= m <= 0xCF and m not in (0xC4, 0xC8, 0xCC):
        sof, ncomp = m, d[i + 9]
        break
    i += 2 + ln
print('SOF%d' % (sof - 0xC0) if sof is not None else 'none', ncomp, 'exif' if exif else 'noexif')
PY
)"
    read -r sofm ncomp exif <<<"$comps"
    size="$(stat -c %s "$jpg")"
    ok=OK
    [ "$w" = 128 ] && [ "$h" = 32 ] || ok=FAIL
    [ "$cs" = sRGB ] || ok=FAIL
    [ "$sofm" = SOF0 ] && [ "$ncomp" = 3 ] || ok=FAIL
    [ "$il" = None ] || ok=FAIL
    [ "$exif" = noexif ] || ok=FAIL
    printf '%-10s %sx%s %s %s %s comps=%s %s %5d bytes %s\n' \
        "$name" "$w" "$h" "$cs" "$ch" "$sofm" "$ncomp" "$exif" "$size" "$ok"
    [ "$ok" = OK ] || status=1
done
exit $status
