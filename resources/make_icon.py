#!/usr/bin/env python3
"""Draws the application icon (a teal shield with a white quill) as quillmarsh.ico.

Run once when the artwork changes; the .ico it writes is kept in the repository.
The icon holds 32x32 and 16x16 images, 32-bit BGRA with an AND mask.
"""
import math
import struct
import sys

TEAL = (0x80, 0x80, 0x00)  # BGR
EDGE = (0x50, 0x50, 0x00)
QUILL = (0xFF, 0xFF, 0xFF)


def inside_shield(u, v):
    """u, v in 0..1 over the image; the shield's outline."""
    if v < 0.08 or v > 0.94:
        return False
    half = 0.40 if v < 0.5 else 0.40 * (1 - ((v - 0.5) / 0.44) ** 1.6)
    return abs(u - 0.5) <= half


def near_quill(u, v):
    # A slanted stroke from the upper right to the lower left, with a split nib at its end.
    ax, ay, bx, by = 0.68, 0.20, 0.36, 0.74
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy)))
    dist = math.hypot(u - (ax + t * dx), v - (ay + t * dy))
    width = 0.035 + 0.05 * math.sin(math.pi * min(t * 1.4, 1.0))
    return dist <= width and t < 0.97


def pixel(size, x, y):
    """BGRA of one pixel, sampled 4x4 for smooth edges."""
    shield = quill = 0
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4) / size
            v = (y + (sy + 0.5) / 4) / size
            if inside_shield(u, v):
                shield += 1
                if near_quill(u, v):
                    quill += 1
    if shield == 0:
        return (0, 0, 0, 0)
    # A darker rim: the pixel is near the outline when a slightly larger shield would differ.
    rim = any(not inside_shield((x + 0.5 + ox) / size, (y + 0.5 + oy) / size)
              for ox, oy in ((-1, 0), (1, 0), (0, -1), (0, 1)))
    base = EDGE if rim else TEAL
    q = quill / shield
    colour = tuple(round(b * (1 - q) + w * q) for b, w in zip(base, QUILL))
    return colour + (round(255 * shield / 16),)


def image(size):
    rows = []
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        rows.append(b"".join(bytes(pixel(size, x, y)) for x in range(size)))
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            if pixel(size, x, y)[3] == 0:
                bits |= 1 << (mask_stride * 8 - 1 - x)
        mask += bits.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + bytes(mask)


def main(path):
    sizes = (32, 16)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "quillmarsh.ico")
