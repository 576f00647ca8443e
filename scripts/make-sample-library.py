#!/usr/bin/env python3
"""Writes a small sample library for the demo: MP3 files with ID3v1 tags, some
with only an ID3v2 tag (UTF-16 text: a title longer than ID3v1 can hold,
titles in Japanese, Korean, Greek and Cyrillic), an .m3u playlist and the
host's settings file."""
import os
import struct
import sys

SONGS = [
    ("Morning Velvet", "The Listers", "Soft Rooms", 12),
    ("Blue Corridor", "Anna Reed", "Night Trains", 8),
    ("Paper Lanterns", "Kiyoshi Mori", "Lanterns", 13),
    ("Slow River & Stones", "The Listers", "Soft Rooms", 24),
    ("Last Tram Home", "Anna Reed", "Night Trains", 9),
    ("Fifteen Minutes of Rain", "Orchard", "Weather", 16),
]

UNICODE_SONGS = [
    ("東京の夜", "森 清", "灯"),
    ("서울의 봄", "한 별", "봄"),
    ("Αθήνα τη νύχτα", "Ορχήστρα", "Νύχτα"),
    ("Москва, Sigur Rós", "Orchard", "Weather"),
]


def field(text, size):
    raw = text.encode("latin-1")[:size]
    return raw + b"\0" * (size - len(raw))


def tag(title, artist, album, genre):
    return b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + b"2026" + field("demo", 30) + bytes([genre])


def id3v2(title, artist, album):
    """An ID3v2.3 tag of UTF-16 text frames and some padding."""
    def frame(fid, text):
        body = b"\x01" + "\ufeff".encode("utf-16-le") + text.encode("utf-16-le")
        return fid + len(body).to_bytes(4, "big") + b"\0\0" + body
    data = frame(b"TIT2", title) + frame(b"TPE1", artist) + frame(b"TALB", album) + bytes(256)
    size = bytes((len(data) >> s) & 0x7F for s in (21, 14, 7, 0))
    return b"ID3\x03\0\0" + size + data


def frames(seconds):
    """Two MPEG 1 layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each), the
    first with a Xing header counting the frames of a song this long."""
    xing = b"Xing" + struct.pack(">II", 1, round(seconds * 44100 / 1152))
    first = b"\xff\xfb\x90\x00" + bytes(32) + xing
    return first.ljust(417, b"\0") + b"\xff\xfb\x90\x00".ljust(417, b"\0")


def main(root):
    music = os.path.join(root, "music")
    os.makedirs(music, exist_ok=True)
    names = []
    for i, (title, artist, album, genre) in enumerate(SONGS, 1):
        name = "%02d %s.mp3" % (i, title.replace("&", "and"))
        with open(os.path.join(music, name), "wb") as f:
            f.write(frames(151 + 37 * i))
            f.write(tag(title, artist, album, genre))
        names.append(name)
    name = "07 Seventh Song.mp3"
    with open(os.path.join(music, name), "wb") as f:
        f.write(id3v2("A Title Far Too Long for an ID3v1 Tag", "Orchard", "Weather"))
        f.write(frames(245))
    names.append(name)
    # Titles in scripts no single code page holds: shown as their tags wrote them.
    for i, (title, artist, album) in enumerate(UNICODE_SONGS, 8):
        name = "%02d Song %d.mp3" % (i, i)
        with open(os.path.join(music, name), "wb") as f:
            f.write(id3v2(title, artist, album))
            f.write(frames(150 + 29 * i))
        names.append(name)
    with open(os.path.join(music, "demo.m3u"), "w", newline="\r\n") as f:
        f.write("#EXTM3U\n")
        for n in names:
            f.write(n + "\n")
    print(os.path.join(music, "demo.m3u"))


if __name__ == "__main__":
    main(sys.argv[1])
