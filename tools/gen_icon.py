#!/usr/bin/env python3
"""Draws the program icon (resources/lumenvik.ico): a white magnifying glass
on a rounded blue square, 32-bit colour with alpha, at the sizes Windows asks
for at the common display scalings: the small icon (16 at 100 %) and the
large one (32 at 100 %) at 100, 125, 150 and 200 % (16, 20, 24, 32, 40, 48,
64), so no common scaling gets a stretched image. Pure standard library and
pure arithmetic, so the output is the same byte for byte on every run.

Usage: tools/gen_icon.py [output.ico]   (default: resources/lumenvik.ico)
"""
import math
import os
import struct
import sys

SIZES = (16, 20, 24, 32, 40, 48, 64)
BLUE = (0x1E, 0x6F, 0xD9)
WHITE = (0xFF, 0xFF, 0xFF)


def coverage(inside, x, y, samples=4):
    """Fraction of the pixel (x, y) for which inside(px, py) holds."""
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def draw(size):
    s = float(size)
    radius = s * 0.2

    def in_square(px, py):
        # Rounded square filling the icon.
        cx = min(max(px, radius), s - radius)
        cy = min(max(py, radius), s - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2

    lens_c, lens_r, ring = (s * 0.42, s * 0.42), s * 0.24, max(1.5, s * 0.09)

    def in_glass(px, py):
        d = math.hypot(px - lens_c[0], py - lens_c[1])
        if abs(d - lens_r) <= ring / 2:
            return True
        # The handle: a thick segment from the ring towards the lower right.
        ax, ay = lens_c[0] + lens_r * 0.7071, lens_c[1] + lens_r * 0.7071
        bx, by = s * 0.84, s * 0.84
        vx, vy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - (ax + t * vx), py - (ay + t * vy)) <= ring * 0.75

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            a = coverage(in_square, x, y)
            g = coverage(in_glass, x, y)
            rgb = tuple(round(BLUE[k] * (1 - g) + WHITE[k] * g) for k in range(3))
            row.append((rgb, round(255 * a)))
        rows.append(row)
    return rows


def image_entry(size):
    """A DIB icon image: header, BGRA rows bottom-up, 1-bit AND mask."""
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for (r, g, b), a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources", "lumenvik.ico")
    images = [image_entry(s) for s in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, img in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        data += img
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
