#!/usr/bin/env python3
"""Shows a picture as a person with deuteranopia (or protanopia) sees it, to check the colours of
the trace by phase:  tools/cvdcheck.py SCREENSHOT.png OUT.png [protan]

The simulation is Machado, Oliveira and Fernandes (2009) at full severity, applied in linear RGB.
Reads the picture through ImageMagick ("convert FILE ppm:-"); writes a PNG with Python alone."""
import struct
import subprocess
import sys
import zlib

MATRICES = {
    "deutan": ((0.367322, 0.860646, -0.227968), (0.280085, 0.672501, 0.047413), (-0.011820, 0.042940, 0.968881)),
    "protan": ((0.152286, 1.052583, -0.204868), (0.114503, 0.786281, 0.099216), (-0.003882, -0.048116, 1.051998)),
}


def linear(c):
    c /= 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def encoded(c):
    c = min(1.0, max(0.0, c))
    return round(255 * (12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055))


def read_ppm(path):
    data = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # P6 width height maxval, comments skipped
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def write_png(path, width, height, rgb):
    rows = b"".join(b"\0" + rgb[y * width * 3:(y + 1) * width * 3] for y in range(height))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    source, target = sys.argv[1], sys.argv[2]
    m = MATRICES[sys.argv[3] if len(sys.argv) > 3 else "deutan"]
    width, height, pixels = read_ppm(source)
    seen = {}
    out = bytearray(len(pixels))
    for i in range(0, width * height * 3, 3):
        key = pixels[i:i + 3]
        if key not in seen:
            lin = [linear(v) for v in key]
            seen[key] = bytes(encoded(sum(m[r][c] * lin[c] for c in range(3))) for r in range(3))
        out[i:i + 3] = seen[key]
    write_png(target, width, height, bytes(out))


if __name__ == "__main__":
    main()
