#!/usr/bin/env python3
"""Draws the plug-in's icon: src/resources/velvetlister.ico.

The record of the watermark logo reduced to an icon: a black vinyl disc with a
velvet-red label and a gold V, at 16, 32 and 48 pixels, 32 bits per pixel with
an alpha channel (and the 1-bit mask older systems read). The label is drawn
larger than on the logo so that it still reads at 16 pixels. Standard library
only:

    python3 scripts/make-icon.py [output.ico]
"""
import math
import os
import struct
import sys

SIZES = (16, 32, 48)
SUB = 6  # samples per pixel along each axis

DISC_R = 0.48   # of the icon's size, centred
LABEL_R = 0.24
RING_W = 0.025
HOLE_R = 0.035


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / l2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return math.sqrt(qx * qx + qy * qy)


def shade(x, y):
    """Colour at (x, y) in unit coordinates (centre 0, 0; y down), or None outside."""
    r = math.hypot(x, y)
    if r > DISC_R:
        return None
    if r < HOLE_R:
        return None  # the spindle hole shows what lies behind
    a = math.atan2(y, x)
    if r > LABEL_R + RING_W:
        groove = 0.5 + 0.5 * math.sin(r * 140.0)
        base = 20 + 8 * groove
        sheen = max(0.0, math.cos(2 * (a + 0.75))) ** 6
        c = (base + 80 * sheen, base + 72 * sheen, base + 90 * sheen)
        if r > DISC_R - 0.03:
            c = mix(c, (96, 92, 108), 0.8)
        return c
    if r > LABEL_R:
        return (212, 172, 68)  # gold ring round the label
    light = (-x - y) / (LABEL_R * 1.414)
    c = mix((104, 8, 34), (196, 40, 74), 0.45 + 0.45 * light - 0.25 * (r / LABEL_R) ** 2)
    vd = min(seg_dist(x, y, -0.13, -0.12, 0.0, 0.14), seg_dist(x, y, 0.0, 0.14, 0.13, -0.12))
    if vd < 0.035:
        return mix((250, 214, 112), (176, 128, 36), (y + 0.12) / 0.26)
    return c


def render(size):
    """Rows top-down of (b, g, r, a), straight (not premultiplied) alpha."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc, hits = [0.0, 0.0, 0.0], 0
            for sy in range(SUB):
                for sx in range(SUB):
                    x = (px + (sx + 0.5) / SUB) / size - 0.5
                    y = (py + (sy + 0.5) / SUB) / size - 0.5
                    c = shade(x, y)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (min(255, int(round(v / hits))) for v in acc)
                row.append((b, g, r, int(round(255.0 * hits / (SUB * SUB)))))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER (double height), bottom-up BGRA, AND mask."""
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(p) for row in reversed(rows) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_ico(path):
    images = [icon_image(s) for s in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)
    print(f"wrote {path}: {', '.join(f'{s} x {s}' for s in SIZES)}, 32 bits")


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, '..', 'src', 'resources', 'velvetlister.ico')
    write_ico(os.path.normpath(sys.argv[1] if len(sys.argv) > 1 else default))
