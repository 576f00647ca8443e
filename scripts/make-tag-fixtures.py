#!/usr/bin/python3
"""Writes the FLAC, Ogg and APE test files of tests/data/tags: the audio from the
Debian encoders (flac, oggenc, opusenc; Speex, which has none there, as a minimal
Ogg container built with mutagen's page writer), the tags from python3-mutagen.
It then reads every file back with mutagen and writes what mutagen reads (the
first value of each key) to tests/data/tags/expected.txt, which the tests
compare against. The files are checked in, so building and testing need none of
these tools; run this again only to change them
(apt-get install python3-mutagen flac vorbis-tools opus-tools).

The 1 MB pictures are zeros, so that git keeps them small."""
import base64
import os
import shutil
import struct
import subprocess
import tempfile

import mutagen
from mutagen.apev2 import APEv2, APEValue, BINARY, TEXT
from mutagen.flac import FLAC, Picture
from mutagen.id3 import ID3, TIT2
from mutagen.ogg import OggPage
from mutagen.oggflac import OggFLAC
from mutagen.oggopus import OggOpus
from mutagen.oggspeex import OggSpeex
from mutagen.oggvorbis import OggVorbis

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "tags")
os.makedirs(out, exist_ok=True)
work = tempfile.mkdtemp()
raw = os.path.join(work, "silence.raw")
with open(raw, "wb") as f:
    f.write(bytes(1600))  # 0.1 s of 16-bit mono silence at 8 kHz
RAW = ["--force-raw-format", "--endian=little", "--sign=signed", "--channels=1", "--bps=16",
       "--sample-rate=8000", "--no-padding"]
PICTURE = bytes(1 << 20)
NO_PADDING = lambda info: 0  # noqa: E731


def path(name):
    return os.path.join(out, name)


def flac(name, ogg=False):
    subprocess.run(["flac", "-s", "-f", *(["--ogg"] if ogg else []), *RAW, "-o", path(name), raw], check=True)
    return path(name)


def oggenc(name):
    subprocess.run(["oggenc", "-Q", "-r", "-B", "16", "-C", "1", "-R", "8000", "-q", "0", "-o", path(name), raw],
                   check=True)
    return path(name)


def opusenc(name):
    subprocess.run(["opusenc", "--quiet", "--raw", "--raw-bits", "16", "--raw-rate", "8000", "--raw-chan", "1",
                    raw, path(name)], check=True)
    return path(name)


def tag(kind, file, items, **save):
    t = kind(file)
    for key, value in items:
        t[key] = value
    t.save(**save)


def patch(source, name, find, replace):
    """A copy with the first occurrence of `find` replaced (same length)."""
    data = open(path(source), "rb").read()
    at = data.index(find)
    data = data[:at] + replace + data[at + len(find):]
    assert len(replace) == len(find)
    open(path(name), "wb").write(data)


JAPANESE = [("TITLE", "日本語のタイトル"), ("ARTIST", ["First", "Second"]), ("ALBUM", "Café"),
            ("COMMENT", "コメント"), ("DATE", "2004-05-06"), ("GENRE", "Rock"), ("COPYRIGHT", "(c) 2004")]

# ---- FLAC
tag(FLAC, flac("japanese.flac"), JAPANESE, padding=NO_PADDING)
# An ID3v2 tag in front of "fLaC" and padding after the comments.
tag(FLAC, flac("id3-padding.flac"), [("TITLE", "Padded"), ("ENCODED-BY", "Encoder tool")],
    padding=lambda info: 1024)
id3 = ID3()
id3.add(TIT2(encoding=3, text=["ID3v2 title"]))
id3.save(path("id3-padding.flac"), v1=0, padding=lambda info: 16)
# A 1 MB picture block before the comments: mutagen writes it after them, so the
# blocks are put in that order here (mutagen reads them in any order).
f = FLAC(flac("picture.flac"))
f["TITLE"] = "After the picture"
p = Picture()
p.type, p.mime, p.data = 3, "image/png", PICTURE
f.add_picture(p)
f.save(padding=NO_PADDING)
data = open(path("picture.flac"), "rb").read()
blocks, at = [], 4
while True:
    head = data[at]
    size = int.from_bytes(data[at + 1:at + 4], "big")
    blocks.append(bytearray(data[at:at + 4 + size]))
    at += 4 + size
    if head & 0x80:
        break
blocks.sort(key=lambda b: {0: 0, 6: 1, 4: 2}.get(b[0] & 0x7F, 3))
for b in blocks:
    b[0] &= 0x7F
blocks[-1][0] |= 0x80
open(path("picture.flac"), "wb").write(b"fLaC" + b"".join(blocks) + data[at:])
# The second comment's length is far more than the block holds.
patch("japanese.flac", "broken.flac", struct.pack("<I", len("ARTIST=First")) + b"ARTIST=",
      struct.pack("<I", 0x7FFFFFF0) + b"ARTIST=")

# ---- Ogg
tag(OggVorbis, oggenc("japanese.ogg"),
    [("TITLE", "日本語のタイトル"), ("ARTIST", ["First", "Second"]), ("DESCRIPTION", "Description"),
     ("COMMENT", "Comment wins"), ("YEAR", "1999"), ("GENRE", "Jazz")])
# A comment packet across three pages: a long value before the title.
tag(OggVorbis, oggenc("three-pages.oga"), [("LYRICS", "long lyrics " * 1100), ("TITLE", "Third page")])
# A 1 MB picture before the title (base64 in the comment packet, hundreds of pages).
p = Picture()
p.type, p.mime, p.data = 3, "image/png", PICTURE
tag(OggVorbis, oggenc("picture.ogg"),
    [("METADATA_BLOCK_PICTURE", base64.b64encode(p.write()).decode("ascii")), ("TITLE", "After the picture")])
tag(OggOpus, opusenc("japanese.opus"), [("TITLE", "オーパス"), ("ARTIST", "Opus artist")])
tag(OggFLAC, flac("flac.oga", ogg=True), [("TITLE", "FLAC in Ogg"), ("ALBUM", "Ogg album")])


# Speex: no encoder in Debian; the identification header, the comment packet
# and one packet of (silent) audio, in pages written by mutagen.
def speex(name, comments):
    header = b"Speex   " + b"1.2.0".ljust(20, b"\0") + struct.pack(
        "<13i", 1, 80, 8000, 0, 4, 1, -1, 160, 0, 1, 0, 0, 0)
    vendor = b"handmade"
    packet = struct.pack("<I", len(vendor)) + vendor + struct.pack("<I", len(comments))
    for c in comments:
        c = c.encode("utf-8")
        packet += struct.pack("<I", len(c)) + c
    pages = []
    for seq, packets in enumerate([[header], [packet], [bytes(20)]]):
        page = OggPage()
        page.serial, page.sequence, page.packets = 0x5EED, seq, packets
        page.first = seq == 0
        page.last = seq == 2
        page.position = 0 if seq < 2 else 160
        pages.append(page.write())
    open(path(name), "wb").write(b"".join(pages))


speex("japanese.spx", ["title=スピークス", "ENCODER=handmade"])
# The second comment's length runs past the end of the file.
patch("japanese.ogg", "broken.ogg", struct.pack("<I", len("ARTIST=First")) + b"ARTIST=",
      struct.pack("<I", 0x00FFFFFF) + b"ARTIST=")


# ---- APE (the reader does not look at the audio: a few bytes stand for it)
def ape(name, items, audio=b"MAC \x96\x0f" + bytes(200)):
    open(path(name), "wb").write(audio)
    t = APEv2()
    for key, value in items:
        t[key] = value
    t.save(path(name))


ape("japanese.ape", [("Title", "日本語のタイトル"), ("Artist", ["First", "Second"]), ("Album", "Café"),
                     ("Comment", "コメント"), ("Year", "1999"), ("Genre", "Rock"), ("Copyright", "(c) 1999")])
# An APE tag before an ID3v1 trailer (mutagen finds it there too).
ape("id3v1.mpc", [("Title", "APE before ID3v1"), ("Encoder", "Encoder tool")], audio=b"MPCK" + bytes(200))
v1 = bytearray(128)
v1[0:3] = b"TAG"
v1[3:3 + 12] = b"ID3v1 title!"
v1[127] = 255
with open(path("id3v1.mpc"), "ab") as f:
    f.write(bytes(v1))
# A 1 MB binary item before the text: mutagen sorts items by size, so the items
# are put in that order here.
ape("picture.wv", [("Cover Art (Front)", APEValue(b"cover.png\0" + PICTURE, BINARY)),
                   ("Title", "After the picture")], audio=b"wvpk" + bytes(200))
data = open(path("picture.wv"), "rb").read()
size = struct.unpack("<I", data[-20:-16])[0]
start = len(data) - size
items, at = [], start
while at < len(data) - 32:
    n = struct.unpack("<I", data[at:at + 4])[0]
    end = data.index(b"\0", at + 8) + 1 + n
    items.append(data[at:end])
    at = end
items.sort(key=len, reverse=True)
open(path("picture.wv"), "wb").write(data[:start] + b"".join(items) + data[-32:])
# The second item's value size runs past the tag.
ape("broken.ape", [("Title", "T"), ("Artist", "A longer artist name")])
patch("broken.ape", "broken.ape", struct.pack("<I", len("A longer artist name")), struct.pack("<I", 0x7FFFFFF0))

# ---- what mutagen reads
FIELDS = [("Title", ["title"]), ("Artist", ["artist"]), ("Album", ["album"]),
          ("Comment", ["comment", "description"]), ("Genre", ["genre"]), ("Year", ["date", "year"]),
          ("Copyright", ["copyright"]), ("Software", ["encoder", "encoded-by"])]
lines = []
for name in sorted(os.listdir(out)):
    if name.startswith("broken") or name == "expected.txt":
        continue
    if name.endswith((".ape", ".mpc", ".wv")):
        tags = APEv2(path(name))
    else:
        tags = mutagen.File(path(name)).tags
    values = {}
    for key in tags.keys():
        v = tags[key]
        if isinstance(v, list):
            first = v[0]
        elif v.kind == TEXT:
            first = str(v).split("\0")[0]
        else:
            continue
        values.setdefault(key.lower(), first)
    assert values.get("title"), name
    for field, keys in FIELDS:
        for k in keys:
            if values.get(k):
                lines.append(f"{name}\t{field}\t{values[k]}")
                break
open(path("expected.txt"), "w", encoding="utf-8").write("\n".join(lines) + "\n")

# The three-page case really spans three pages: the second page holds nothing
# but the middle of the comment packet.
with open(path("three-pages.oga"), "rb") as f:
    pages = [OggPage(f) for _ in range(4)]
assert not pages[1].complete and len(pages[2].packets) == 1 and pages[2].continued and not pages[2].complete
shutil.rmtree(work)
