#!/usr/bin/env python3
"""Draws the built-in watermark logo: src/resources/velvetlister-logo.bmp.

A velvet-red record label on a black vinyl disc, with the product name under it,
177 x 200 pixels, 256 colours. The top-left pixel (254, 251, 240) is the picture's
transparent colour, so every pixel outside the drawing has exactly that colour and
every pixel of the drawing differs from it; edges are antialiased only inside the
drawing, never towards the transparent colour (that would leave a pale halo over a
background image). Standard library only, so the build needs nothing else:

    python3 scripts/make-logo.py [output.bmp]
"""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 177, 200
KEY = (254, 251, 240)
SUB = 4  # samples per pixel along each axis

DISC_C = (88.5, 84.0)
DISC_R = 80.0
LABEL_R = 29.0
HOLE_R = 3.2


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    l2 = dx * dx + dy * dy
    t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / l2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return math.sqrt(qx * qx + qy * qy)


# The name, as strokes of a small hand-made script face. Coordinates: x-height 1,
# baseline 0, y up; each glyph is (advance, [polyline, ...]).
def arc(cx, cy, rx, ry, a0, a1, n=14):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


GLYPHS = {
    'V': (0.95, [[(0.0, 1.45), (0.47, 0.0), (0.95, 1.45)]]),
    'L': (0.8, [[(0.08, 1.45), (0.08, 0.0), (0.78, 0.0)]]),
    'e': (0.8, [[(0.06, 0.5), (0.74, 0.5)] + arc(0.4, 0.5, 0.36, 0.5, 0, 315)]),
    'l': (0.3, [[(0.12, 1.5), (0.12, 0.12), (0.28, 0.0)]]),
    'v': (0.78, [[(0.0, 1.0), (0.39, 0.0), (0.78, 1.0)]]),
    't': (0.55, [[(0.2, 1.35), (0.2, 0.14), (0.34, 0.0), (0.52, 0.04)], [(0.0, 1.0), (0.5, 1.0)]]),
    'i': (0.3, [[(0.12, 1.0), (0.12, 0.0)], [(0.12, 1.33), (0.12, 1.36)]]),
    's': (0.7, [[(0.64, 0.86)] + arc(0.36, 0.76, 0.3, 0.24, 30, 190, 8) + arc(0.36, 0.26, 0.32, 0.26, 90, -160, 10)]),
    'r': (0.62, [[(0.08, 0.0), (0.08, 1.0)], [(0.08, 0.58)] + arc(0.42, 0.52, 0.34, 0.46, 170, 60, 8)]),
}
NAME = "VelvetLister"
TRACKING = 0.2
SLANT = 0.22
XHEIGHT = 11.0
BASELINE = 193.5
STROKE = 2.3


def name_segments():
    advance = sum(GLYPHS[c][0] for c in NAME) + TRACKING * (len(NAME) - 1)
    x0 = (WIDTH - advance * XHEIGHT) / 2.0 - 1.0
    segs, pen = [], 0.0
    for c in NAME:
        adv, strokes = GLYPHS[c]
        for line in strokes:
            pts = [(x0 + (pen + x + SLANT * y) * XHEIGHT, BASELINE - y * XHEIGHT) for x, y in line]
            segs += [(a[0], a[1], b[0], b[1]) for a, b in zip(pts, pts[1:])]
        pen += adv + TRACKING
    return segs


SEGS = name_segments()
TEXT_BOX = (min(min(s[0], s[2]) for s in SEGS) - 3, min(min(s[1], s[3]) for s in SEGS) - 3,
            max(max(s[0], s[2]) for s in SEGS) + 3, max(max(s[1], s[3]) for s in SEGS) + 3)


def shade(x, y):
    """Colour of the drawing at a sample point, or None where it is transparent."""
    # The name, in dark velvet with a lighter top.
    if TEXT_BOX[0] <= x <= TEXT_BOX[2] and TEXT_BOX[1] <= y <= TEXT_BOX[3]:
        d = min(seg_dist(x, y, *s) for s in SEGS)
        if d <= STROKE / 2:
            return mix((170, 30, 62), (96, 8, 32), (y - (BASELINE - 16)) / 18.0)
    dx, dy = x - DISC_C[0], y - DISC_C[1]
    r = math.hypot(dx, dy)
    if r > DISC_R or r < HOLE_R:
        return None
    a = math.atan2(dy, dx)
    if r > LABEL_R + 1.6:
        # Vinyl: fine grooves, a wider gap every few turns, two soft reflections and a rim.
        groove = 0.5 + 0.5 * math.sin(r * 2.6)
        base = 22 + 7 * groove
        if abs(r - 52.0) < 1.2 or abs(r - 68.0) < 1.2:
            base = 14
        sheen = max(0.0, math.cos(2 * (a + 0.75))) ** 6
        glow = 0.6 * max(0.0, math.cos(2 * (a + 0.75) + 0.35)) ** 14
        c = (base + 70 * sheen + 60 * glow, base + 62 * sheen + 50 * glow, base + 78 * sheen + 64 * glow)
        if r > DISC_R - 1.8:
            c = mix(c, (92, 88, 104), 0.8)
        return c
    if r > LABEL_R:
        return (212, 172, 68)  # gold ring round the label
    # The label: velvet crimson, lit from the upper left, with a gold V.
    light = (-dx - dy) / (LABEL_R * 1.414)
    c = mix((104, 8, 34), (196, 40, 74), 0.45 + 0.45 * light - 0.25 * (r / LABEL_R) ** 2)
    vd = min(seg_dist(x, y, DISC_C[0] - 11, DISC_C[1] - 12, DISC_C[0], DISC_C[1] + 13),
             seg_dist(x, y, DISC_C[0], DISC_C[1] + 13, DISC_C[0] + 11, DISC_C[1] - 12))
    if vd < 2.6 and r > HOLE_R + 1.4:
        return mix((250, 214, 112), (176, 128, 36), (y - DISC_C[1] + 12) / 25.0)
    if r < HOLE_R + 1.4:
        return (236, 226, 200)  # spindle ring
    return c


def render():
    pixels = []
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            acc, hits = [0.0, 0.0, 0.0], 0
            for sy in range(SUB):
                for sx in range(SUB):
                    c = shade(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits * 2 <= SUB * SUB:
                row.append(KEY)  # mostly outside: transparent
            else:
                row.append(tuple(int(round(v / hits)) for v in acc))
        pixels.append(row)
    return pixels


def median_cut(colours, count):
    """Splits the colour population into `count` boxes; returns each box's mean."""
    boxes = [list(colours)]
    while len(boxes) < count:
        best, axis, spread = None, 0, -1
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[ch] for c in box]
                s = max(vals) - min(vals)
                if s > spread:
                    best, axis, spread = i, ch, s
        if best is None or spread == 0:
            break
        box = sorted(boxes.pop(best), key=lambda c: c[axis])
        mid = len(box) // 2
        boxes += [box[:mid], box[mid:]]
    means = []
    for box in boxes:
        n = len(box)
        means.append(tuple(int(round(sum(c[i] for c in box) / n)) for i in range(3)))
    return means


def quantise(pixels):
    drawn = [c for row in pixels for c in row if c != KEY]
    palette = [KEY]
    for m in median_cut(drawn, 255):
        if m == KEY:  # a drawn pixel must never come out transparent
            m = (KEY[0] - 1, KEY[1], KEY[2])
        palette.append(m)
    while len(palette) < 256:
        palette.append((0, 0, 0))
    cache = {}

    def nearest(c):
        if c == KEY:
            return 0
        if c not in cache:
            cache[c] = min(range(1, 256), key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
        return cache[c]

    return palette, [[nearest(c) for c in row] for row in pixels]


def write_bmp(path, palette, indices):
    stride = (WIDTH + 3) & ~3
    data = b''.join(bytes(row) + b'\0' * (stride - WIDTH) for row in reversed(indices))  # bottom-up
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pal + data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'src', 'resources', 'velvetlister-logo.bmp')
    palette, indices = quantise(render())
    assert indices[0][0] == 0 and palette[0] == KEY
    write_bmp(out, palette, indices)
    print(f"wrote {out}: {WIDTH} x {HEIGHT}, {len(set(i for r in indices for i in r))} colours used")


if __name__ == '__main__':
    main()
