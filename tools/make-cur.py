#!/usr/bin/env python3
"""Packs PNG pictures into a Windows icon (.ico) or cursor (.cur) file.

    make-cur.py ico OUT.ico PNG...          one image per PNG (16, 32, 48 ...)
    make-cur.py cur OUT.cur HX HY PNG...    hot spot (HX, HY) in the first
                                            image's pixels, scaled for others

Every image is stored as a 32-bit BGRA device-independent bitmap with its
alpha channel and a 1-bit AND mask (set where the picture is fully
transparent), the form that LoadIcon, LoadCursor, image lists and windres
all read. ImageMagick's convert decodes the PNGs into raw RGBA.
"""
import struct
import subprocess
import sys


def read_rgba(path):
    """Returns (width, height, rows top-down of RGBA bytes)."""
    size = subprocess.run(["convert", path, "-format", "%w %h", "info:"],
                          check=True, capture_output=True, text=True).stdout.split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-alpha", "on", "-depth", "8", "RGBA:-"],
                         check=True, capture_output=True).stdout
    if len(raw) != w * h * 4:
        raise SystemExit(f"make-cur: {path}: expected {w * h * 4} bytes, got {len(raw)}")
    return w, h, [raw[y * w * 4:(y + 1) * w * 4] for y in range(h)]


def dib(w, h, rows):
    """BITMAPINFOHEADER + XOR (BGRA, bottom-up) + AND mask (bottom-up)."""
    xor = bytearray()
    for row in reversed(rows):
        for x in range(w):
            r, g, b, a = row[4 * x:4 * x + 4]
            if a == 0:
                r = g = b = 0  # transparent pixels leave the screen as it is
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x in range(w):
            if row[4 * x + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def pack(kind, pngs, hot=(0, 0)):
    images = [read_rgba(p) for p in pngs]
    base_w = images[0][0]
    out = bytearray(struct.pack("<HHH", 0, 1 if kind == "ico" else 2, len(images)))
    offset = 6 + 16 * len(images)
    blobs = []
    for w, h, rows in images:
        if w > 256 or h > 256:
            raise SystemExit("make-cur: images larger than 256 pixels are not supported")
        data = dib(w, h, rows)
        if kind == "ico":
            f1, f2 = 1, 32  # planes, bit count
        else:
            f1 = hot[0] * w // base_w  # hot spot x, y
            f2 = hot[1] * h // images[0][1]
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, f1, f2, len(data), offset)
        offset += len(data)
        blobs.append(data)
    for b in blobs:
        out += b
    return bytes(out)


def main(argv):
    if len(argv) >= 3 and argv[0] == "ico":
        data = pack("ico", argv[2:])
    elif len(argv) >= 5 and argv[0] == "cur":
        data = pack("cur", argv[4:], (int(argv[2]), int(argv[3])))
    else:
        raise SystemExit(__doc__)
    with open(argv[1], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1:])
