#!/usr/bin/env python3
"""Draws the application icon: a memo sheet with a blue ink wisp, at 16, 32, 48 and 256 pixels,
each 4 bits per pixel (the 16 standard VGA colours), and writes it as an .ico file."""
import math
import struct
import sys

VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, SILVER, NAVY, BLUE, CYAN, WHITE = 0, 8, 7, 4, 12, 14, 15
TRANSPARENT = None


def wisp_distance(u, v):
    """Distance from (u, v) to the ink stroke: a gentle wave across the lower half of the sheet."""
    best = 1.0
    for i in range(121):
        t = i / 120
        x = 0.22 + 0.56 * t
        y = 0.62 - 0.10 * math.sin(t * 2 * math.pi) - 0.12 * t
        best = min(best, math.hypot(u - x, v - y))
    return best


def pixel(u, v, size):
    """Palette index of the icon at (u, v) in [0, 1)², or TRANSPARENT."""
    edge = 1.5 / size
    left, top, right, bottom = 0.12, 0.06, 0.88, 0.94
    if not (left <= u <= right and top <= v <= bottom):
        return TRANSPARENT
    if u < left + edge or u > right - edge or v < top + edge or v > bottom - edge:
        return GREY
    if wisp_distance(u, v) < max(0.045, 1.2 / size):
        return NAVY if size <= 16 else BLUE
    if size >= 32:
        for line in (0.26, 0.38, 0.80):
            if abs(v - line) < 0.6 / size and left + 0.08 < u < right - 0.08:
                return CYAN if size >= 48 else SILVER
    return WHITE


def icon_image(size):
    indices = [[pixel((x + 0.5) / size, (y + 0.5) / size, size) for x in range(size)]
               for y in range(size)]
    xor_stride = (size * 4 + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         (xor_stride + and_stride) * size, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    xor_rows, and_rows = [], []
    for row in reversed(indices):  # bottom-up, as in every DIB
        nibbles = [0 if i is TRANSPARENT else i for i in row]
        if len(nibbles) % 2:
            nibbles.append(0)
        data = bytes(nibbles[k] << 4 | nibbles[k + 1] for k in range(0, len(nibbles), 2))
        xor_rows.append(data.ljust(xor_stride, b"\0"))
        mask = bytearray(and_stride)
        for x, i in enumerate(row):
            if i is TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(mask))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def main(path):
    sizes = (16, 32, 48, 256)
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
