#!/usr/bin/env python3
"""Writes the small bitmaps the targets tests load as resources (data/*.bmp) and the seed corpus of
the bitmap reader's fuzz target (corpus/bitmap/). Run from anywhere; the files are committed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', 'corpus', 'bitmap')

# The zone colours and their scores, in the order the scoring table gives them.
ZONE = [(0, 255, 255), (255, 0, 255), (0, 0, 255), (255, 255, 0), (0, 255, 0), (128, 0, 128),
        (255, 0, 0), (128, 128, 128), (192, 192, 192), (0, 128, 128), (128, 128, 0), (0, 0, 128)]
# 16 entries: the 12 zone colours, white, black, and two colours one step off a zone colour.
PALETTE16 = ZONE + [(255, 255, 255), (0, 0, 0), (0, 255, 254), (127, 0, 128)]


def row_bytes(row, bpp):
    if bpp == 24:
        out = b''.join(bytes((b, g, r)) for (r, g, b) in row)
    elif bpp == 32:
        out = b''.join(bytes((b, g, r, 0)) for (r, g, b) in row)
    elif bpp == 8:
        out = bytes(row)
    elif bpp == 4:
        padded = list(row) + [0] * (len(row) % 2)
        out = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
    elif bpp == 1:
        bits = list(row) + [0] * (-len(row) % 8)
        out = bytes(sum(bits[i + k] << (7 - k) for k in range(8)) for i in range(0, len(bits), 8))
    else:
        raise ValueError(bpp)
    return out + b'\0' * (-len(out) % 4)


def bmp(rows, bpp, palette=(), top_down=False):
    """rows: top row first; palette indices for 1/4/8 bits, (r, g, b) above."""
    height = len(rows)
    width = len(rows[0])
    order = rows if top_down else list(reversed(rows))
    data = b''.join(row_bytes(r, bpp) for r in order)
    table = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, width, -height if top_down else height, 1, bpp, 0, len(data),
                       2835, 2835, len(palette), 0)
    return b'BM' + struct.pack('<IHHI', offset + len(data), 0, 0, offset) + info + table + data


def rle8(width, height, runs):
    """runs: bytes of run-length data, bottom-up."""
    palette = [(i, i, i) for i in range(256)]
    table = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 1, len(runs), 0, 0, 0, 0)
    return b'BM' + struct.pack('<IHHI', offset + len(runs), 0, 0, offset) + info + table + runs


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def zone_index(col, row):
    return (col + 2 * row) % 16


def main():
    os.makedirs(CORPUS, exist_ok=True)
    # A 41 x 31 zone map: palette index (col + 2 row) mod 16, in 4 bits and again in 24 bits.
    zone_rows = [[zone_index(c, r) for c in range(41)] for r in range(31)]
    write(os.path.join(HERE, 'zone16.bmp'), bmp(zone_rows, 4, PALETTE16))
    write(os.path.join(HERE, 'zone24.bmp'), bmp([[PALETTE16[i] for i in row] for row in zone_rows], 24))
    # A 1-bit picture, 24 x 10: black (index 0) frame and diagonal, white elsewhere.
    mono = [[0 if c in (0, 23) or r in (0, 9) or c == 2 * r else 1 for c in range(24)] for r in range(10)]
    write(os.path.join(HERE, 'mono.bmp'), bmp(mono, 1, [(0, 0, 0), (255, 255, 255)]))

    # Seeds: every depth the reader decodes, and a few damaged files.
    small = [[(r * 40, c * 30, 200) for c in range(7)] for r in range(5)]
    write(os.path.join(CORPUS, 'rgb24'), bmp(small, 24))
    write(os.path.join(CORPUS, 'rgb32'), bmp(small, 32))
    write(os.path.join(CORPUS, 'rgb24_topdown'), bmp(small, 24, top_down=True))
    write(os.path.join(CORPUS, 'indexed8'), bmp([[(c * 37 + r) % 256 for c in range(9)] for r in range(4)], 8,
                                                [(i, 255 - i, i // 2) for i in range(256)]))
    write(os.path.join(CORPUS, 'zone4'), bmp(zone_rows, 4, PALETTE16))
    write(os.path.join(CORPUS, 'mono1'), bmp(mono, 1, [(0, 0, 0), (255, 255, 255)]))
    runs = bytes([3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 2, 1, 1, 2, 9, 0, 0, 1])
    write(os.path.join(CORPUS, 'rle8'), rle8(6, 3, runs))
    full = bmp(small, 24)
    write(os.path.join(CORPUS, 'truncated'), full[:len(full) - 9])
    write(os.path.join(CORPUS, 'headers_only'), full[:54])
    huge = bytearray(full)
    struct.pack_into('<ii', huge, 18, 0x7FFFFFFF, -0x7FFFFFFF)
    write(os.path.join(CORPUS, 'huge_size'), bytes(huge))
    low = bytearray(full)
    struct.pack_into('<I', low, 10, 20)
    write(os.path.join(CORPUS, 'offset_in_header'), bytes(low))
    write(os.path.join(CORPUS, 'not_a_bitmap'), b'P6\n7 5\n255\n' + bytes(105))


if __name__ == '__main__':
    main()
