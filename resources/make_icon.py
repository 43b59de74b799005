#!/usr/bin/env python3
"""Draws the runner's icon (a film frame with a play mark) and writes quindle.ico: 32x32 and 16x16, 32-bit."""
import struct
import sys


def pixel(x, y, n):
    s = n / 32.0
    fx, fy = x / s, y / s
    if 2 <= fx < 30 and 5 <= fy < 27:
        if fx < 6 or fx >= 26:  # perforated film edges
            return (30, 30, 30, 255) if int(fy) % 4 < 2 else (230, 230, 230, 255)
        # play triangle
        if 12 <= fx < 22 and abs(fy - 16) < (22 - fx) * 0.55:
            return (250, 250, 250, 255)
        return (200, 60, 30, 255)  # deep orange frame
    return (0, 0, 0, 0)


def image(n):
    rows = []
    for y in reversed(range(n)):  # bottom-up DIB
        rows.append(b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in (pixel(x, y, n) for x in range(n))))
    mask_row = ((n + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + b"\0" * (mask_row * n)


def main(out):
    sizes = [32, 16]
    images = [image(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    open(out, "wb").write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "quindle.ico")
