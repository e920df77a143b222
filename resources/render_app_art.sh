#!/usr/bin/env bash
# Render the application icon (fragtally.svg -> fragtally.ico, one 32x32
# 16-colour image) and the button picture (button.svg -> button.bmp,
# 64x128, 24 bits per pixel, uncompressed), then verify both.
# Needs: rsvg-convert (librsvg2-bin), ImageMagick (convert, identify), python3.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export SOURCE_DATE_EPOCH=0

# --- icon -------------------------------------------------------------
rsvg-convert --width 32 --height 32 -o "$tmp/icon.png" "$here/fragtally.svg"
python3 "$here/make_icon.py" "$tmp/icon.png" "$here/fragtally.ico"

# --- button -----------------------------------------------------------
rsvg-convert --width 64 --height 128 --background-color '#d4d0c8' \
    -o "$tmp/button.png" "$here/button.svg"
convert "$tmp/button.png" -alpha remove -alpha off -background '#d4d0c8' \
    -colorspace sRGB -type TrueColor -compress None -strip \
    "BMP3:$here/button.bmp"

# --- verification -----------------------------------------------------
python3 - "$here/fragtally.ico" "$here/button.bmp" <<'PY'
import struct, sys
ico, bmp = (open(p, 'rb').read() for p in sys.argv[1:3])
ok = True

res, typ, count = struct.unpack('<HHH', ico[:6])
w, h, ncol, _, planes, bits, size, off = struct.unpack('<BBBBHHII', ico[6:22])
hdr = struct.unpack('<IiiHHI', ico[off:off + 20])
good = (res, typ, count) == (0, 1, 1) and (w, h, ncol, bits) == (32, 32, 16, 4) \
    and hdr[0] == 40 and hdr[1:3] == (32, 64) and hdr[4] == 4 and hdr[5] == 0 \
    and off + size == len(ico)
print('fragtally.ico: images=%d %dx%d bColorCount=%d wBitCount=%d header=%d bytes=%d %s'
      % (count, w, h, ncol, bits, hdr[0], len(ico), 'OK' if good else 'FAIL'))
ok &= good

magic = bmp[:2]
fsize, _, pix = struct.unpack('<I4sI', bmp[2:14])
bsize, bw, bh, bplanes, bbits, comp = struct.unpack('<IiiHHI', bmp[14:34])
good = magic == b'BM' and bsize == 40 and (bw, bh) == (64, 128) and bbits == 24 \
    and comp == 0 and fsize == len(bmp) and len(bmp) - pix == 64 * 3 * 128
print('button.bmp: %dx%d %d bpp compression=%d infoheader=%d %s bytes=%d %s'
      % (bw, abs(bh), bbits, comp, bsize, 'bottom-up' if bh > 0 else 'top-down',
         len(bmp), 'OK' if good else 'FAIL'))
ok &= good
sys.exit(0 if ok else 1)
PY
identify "$here/fragtally.ico" "$here/button.bmp"
