#!/usr/bin/env python3
"""Write a 32x32, 4-bit (16-colour) Windows .ico from a 32x32 PNG.

Usage: make_icon.py INPUT.png OUTPUT.ico

Every pixel is mapped (no dithering, so the result is deterministic) to the
nearest of the 16 standard VGA colours; pixels with alpha below 128 become
transparent through the AND mask. Only the Python standard library is used.
"""
import struct
import sys
import zlib

SIZE = 32

# The 16 standard VGA colours, in the usual palette order.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]


def read_png_rgba(path):
    """Decode an 8-bit, non-interlaced RGB or RGBA PNG into rows of RGBA tuples."""
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError('not a PNG file: %s' % path)
    pos, idat, hdr = 8, b'', None
    while pos < len(data):
        length, ctype = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if ctype == b'IHDR':
            hdr = struct.unpack('>IIBBBBB', body)
        elif ctype == b'IDAT':
            idat += body
        elif ctype == b'IEND':
            break
    width, height, depth, colour, _, _, interlace = hdr
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError('unsupported PNG (need 8-bit RGB/RGBA, not interlaced)')
    bpp = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev, i = [], bytearray(stride), 0
    for _ in range(height):
        ftype, line = raw[i], bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if ftype == 1:
                line[x] = (line[x] + a) & 0xFF
            elif ftype == 2:
                line[x] = (line[x] + b) & 0xFF
            elif ftype == 3:
                line[x] = (line[x] + (a + b) // 2) & 0xFF
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 0xFF
        prev = line
        px = []
        for x in range(width):
            q = line[x * bpp:(x + 1) * bpp]
            px.append((q[0], q[1], q[2], q[3] if bpp == 4 else 255))
        rows.append(px)
    return width, height, rows


def nearest(rgb):
    r, g, b = rgb
    best = min(range(16), key=lambda k: ((VGA[k][0] - r) ** 2 + (VGA[k][1] - g) ** 2
                                         + (VGA[k][2] - b) ** 2, k))
    return best


def build_ico(rows):
    # XOR (colour) bitmap: 4 bits per pixel, bottom-up, 16 bytes per row.
    xor = bytearray()
    # AND mask: 1 bit per pixel (1 = transparent), bottom-up, 4 bytes per row.
    mask = bytearray()
    for row in reversed(rows):
        idx = []
        bits = 0
        for x, (r, g, b, a) in enumerate(row):
            if a < 128:
                idx.append(0)
                bits |= 1 << (31 - x)
            else:
                idx.append(nearest((r, g, b)))
        for x in range(0, SIZE, 2):
            xor.append((idx[x] << 4) | idx[x + 1])
        mask += struct.pack('>I', bits)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in VGA)
    # BITMAPINFOHEADER; the height counts the colour bitmap and the mask.
    bih = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 4, 0,
                      len(xor) + len(mask), 0, 0, 16, 0)
    image = bih + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, rows = read_png_rgba(sys.argv[1])
    if (width, height) != (SIZE, SIZE):
        sys.exit('input must be %dx%d, got %dx%d' % (SIZE, SIZE, width, height))
    with open(sys.argv[2], 'wb') as out:
        out.write(build_ico(rows))


if __name__ == '__main__':
    main()
