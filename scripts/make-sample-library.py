#!/usr/bin/env python3
"""Writes a small sample library for the demo: MP3 files with ID3v1 tags, an
.m3u playlist and the host's settings file."""
import os
import sys

SONGS = [
    ("Morning Velvet", "The Listers", "Soft Rooms", 12),
    ("Blue Corridor", "Anna Reed", "Night Trains", 8),
    ("Paper Lanterns", "Kiyoshi Mori", "Lanterns", 13),
    ("Slow River & Stones", "The Listers", "Soft Rooms", 24),
    ("Last Tram Home", "Anna Reed", "Night Trains", 9),
    ("Fifteen Minutes of Rain", "Orchard", "Weather", 16),
]


def field(text, size):
    raw = text.encode("latin-1")[:size]
    return raw + b"\0" * (size - len(raw))


def tag(title, artist, album, genre):
    return b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + b"2026" + field("demo", 30) + bytes([genre])


def main(root):
    music = os.path.join(root, "music")
    os.makedirs(music, exist_ok=True)
    names = []
    for i, (title, artist, album, genre) in enumerate(SONGS, 1):
        name = "%02d %s.mp3" % (i, title.replace("&", "and"))
        with open(os.path.join(music, name), "wb") as f:
            f.write(b"\xff\xfb\x90\x00" * 64)
            f.write(tag(title, artist, album, genre))
        names.append(name)
    with open(os.path.join(music, "demo.m3u"), "w", newline="\r\n") as f:
        f.write("#EXTM3U\n")
        for n in names:
            f.write(n + "\n")
    print(os.path.join(music, "demo.m3u"))


if __name__ == "__main__":
    main(sys.argv[1])
