#!/usr/bin/env python3
"""Writes a 32-bit BMP (BITMAPINFOHEADER, BI_RGB, bottom-up) from raw RGBA.

LoadImage(LR_CREATEDIBSECTION) keeps the fourth byte, so image lists get the
alpha channel; fully transparent pixels carry a white colour so that a plain
BitBlt of the bitmap still looks right on a light background.
usage: rgba2bmp.py WIDTH HEIGHT IN.rgba OUT.bmp
"""
import struct
import sys


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    raw = open(sys.argv[3], "rb").read()
    if len(raw) != width * height * 4:
        sys.exit("rgba2bmp: expected %d bytes, got %d" % (width * height * 4, len(raw)))
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b, a = raw[(y * width + x) * 4:(y * width + x) * 4 + 4]
            if a == 0:
                r = g = b = 255
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(sys.argv[4], "wb") as out:
        out.write(header + info + pixels)


if __name__ == "__main__":
    main()
