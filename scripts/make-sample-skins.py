#!/usr/bin/env python3
"""Writes the sample skins of the release into a folder:
  Velvet Night/  a skin configuration file (.wsc) with its two pictures;
  HostSkin/      what a player skin folder carries: VelvetLister.txt and its picture.
The pictures are drawn here (24-bit BMP), so the release needs no binary sources."""
import math
import os
import struct
import sys


def bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


KEY = (8, 10, 28)  # the top-left colour: transparent in the foreground, and the list's shadow colour


def moon(x, y):
    """A crescent moon and three stars on the key colour."""
    cx, cy, r = 90, 80, 60
    d = math.hypot(x - cx, y - cy)
    d2 = math.hypot(x - (cx + 28), y - (cy - 18))
    if d <= r and d2 > r * 0.85:
        shade = int(40 * (d / r))
        return (236 - shade, 224 - shade, 170 - shade)
    for sx, sy in ((30, 30), (150, 150), (40, 140)):
        if abs(x - sx) + abs(y - sy) <= 3:
            return (250, 250, 220)
    return KEY


def night_tile(x, y):
    """A quiet diagonal weave, dark blue."""
    v = 22 + (6 if (x + y) % 16 < 8 else 0) + (3 if (x - y) % 16 < 2 else 0)
    return (v // 3, v // 2, v + 18)


def velvet(x, y):
    """A red velvet ribbon for the host-skin sample."""
    if 20 <= y <= 100 and abs((x - 80) - (y - 60) // 2) < 18:
        return (150 + (y % 20) * 3, 20, 40)
    return (255, 255, 255)


WSC = """; VelvetLister skin configuration: "Velvet Night".
; Open it from VelvetLister's eject button, or drop it on the playlist window.
[VelvetLister Plug-in]
Font.Face=Arial
Font.Point=10
Font.Style.Bold=0
Font.Style.Italic=0
Font.Color.Play=255.210.90
Font.Color.Select=120.200.255
Font.Color.Normal=215.215.230
Font.Color.Shadow=8.10.28
Option.WatermarkSkin.FG=night-moon.bmp
Option.WatermarkSkin.BG=night-tile.bmp
Layout.Winamp.Equalizer=below
Layout.Winamp.Equalizer.Offset.X=0
Layout.Winamp.Equalizer.Offset.Y=0
Layout.Winamp.Equalizer.Zorder=0
; Used only when the options "Window position/size override by WSC" are on.
Window.Position.X=400
Window.Position.Y=120
Window.Size.Width=360
Window.Size.Height=420
"""

HOST_TXT = """; VelvetLister.txt in a player skin folder: applied whenever the player uses this skin.
[VelvetLister Plug-in]
Font.Color.Play=#C00030
Font.Color.Select=00:60:C0
Font.Color.Normal=40.40.40
Option.WatermarkSkin.FG=velvet-ribbon.bmp
Option.WatermarkSkin.BG=
Layout.Winamp.Equalizer=inherit
"""


def crlf(text):
    return text.replace("\n", "\r\n").encode("ascii")


def main(out):
    night = os.path.join(out, "Velvet Night")
    host = os.path.join(out, "HostSkin")
    os.makedirs(night, exist_ok=True)
    os.makedirs(host, exist_ok=True)
    bmp(os.path.join(night, "night-moon.bmp"), 180, 180, moon)
    bmp(os.path.join(night, "night-tile.bmp"), 32, 32, night_tile)
    with open(os.path.join(night, "Velvet Night.wsc"), "wb") as f:
        f.write(crlf(WSC))
    bmp(os.path.join(host, "velvet-ribbon.bmp"), 160, 120, velvet)
    with open(os.path.join(host, "VelvetLister.txt"), "wb") as f:
        f.write(crlf(HOST_TXT))


if __name__ == "__main__":
    main(sys.argv[1])
