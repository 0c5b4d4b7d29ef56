#!/usr/bin/env python3
"""Writes the Pen dialog's palette: a 9 x 7 uncompressed 24-bit bitmap, one pixel per colour cell."""
import struct
import sys

ROWS = [
    "000000 202020 404040 606060 808080 A0A0A0 C0C0C0 E0E0E0 FFFFFF",
    "600000 800000 A00000 C00000 E00000 FF0000 FF4040 FF8080 FFC0C0",
    "606000 808000 A0A000 C0C000 E0E000 FFFF00 FFFF40 FFFF80 FFFFC0",
    "006000 008000 00A000 00C000 00E000 00FF00 40FF40 80FF80 C0FFC0",
    "006060 008080 00A0A0 00C0C0 00E0E0 00FFFF 40FFFF 80FFFF C0FFFF",
    "000060 000080 0000A0 0000C0 0000E0 0000FF 4040FF 8080FF C0C0FF",
    "600060 800080 A000A0 C000C0 E000E0 FF00FF FF40FF FF80FF FFC0FF",
]


def main(path):
    width, height = 9, 7
    stride = (width * 3 + 3) // 4 * 4
    pixels = b""
    for row in reversed(ROWS):  # bottom-up
        line = b"".join(bytes.fromhex(c)[::-1] for c in row.split())  # RRGGBB -> B, G, R
        pixels += line.ljust(stride, b"\0")
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main(sys.argv[1])
