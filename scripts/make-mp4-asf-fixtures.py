#!/usr/bin/python3
"""Writes the MP4 and ASF test files of tests/data/mp4 and tests/data/asf with
Debian's python3-mutagen. No Debian package encodes AAC or WMA, so each file
starts as a minimal container built here (the atoms or objects a player needs
to recognise the format, no audio), mutagen writes the tags into it, and mutagen
must read them back as written. The files are checked in, so building and
testing need neither mutagen nor this script; run it again only to change them
(apt-get install python3-mutagen)."""
import os
import struct
import sys

from mutagen.asf import ASF, ASFByteArrayAttribute, ASFDWordAttribute, ASFUnicodeAttribute
from mutagen.mp4 import MP4, MP4Cover

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data")
MP4_DIR = os.path.join(root, "mp4")
ASF_DIR = os.path.join(root, "asf")
os.makedirs(MP4_DIR, exist_ok=True)
os.makedirs(ASF_DIR, exist_ok=True)
PICTURE = b"\xff\xd8\xff\xe0" + bytes(1 << 20)  # a 1 MB "JPEG"


def check(path, got, want):
    if got != want:
        sys.exit("%s: mutagen reads %r, expected %r" % (path, got, want))


# ---------------------------------------------------------------- MP4

def atom(kind, body):
    return struct.pack(">I", 8 + len(body)) + kind + body


def atom64(kind, body):
    return struct.pack(">I", 1) + kind + struct.pack(">Q", 16 + len(body)) + body


def mp4_container(moov_first=True, moov_64bit=False, mdat_to_end=False):
    mvhd = atom(b"mvhd", bytes(4) + bytes(8) + struct.pack(">II", 44100, 0) +
                struct.pack(">IH", 0x10000, 0x100) + bytes(10) + bytes(36) + bytes(24) + struct.pack(">I", 2))
    # A sample table's worth of bytes the reader has to step over.
    hdlr = atom(b"hdlr", bytes(8) + b"soun" + bytes(12) + b"\x00")
    mdhd = atom(b"mdhd", bytes(12) + struct.pack(">II", 44100, 44100 * 3) + bytes(4))
    stbl = atom(b"stbl", atom(b"stsz", bytes(6000)))
    trak = atom(b"trak", atom(b"tkhd", bytes(84)) + atom(b"mdia", mdhd + hdlr + atom(b"minf", stbl)))
    moov = (atom64 if moov_64bit else atom)(b"moov", mvhd + trak)
    ftyp = atom(b"ftyp", b"M4A \x00\x00\x02\x00M4A mp42isom")
    audio = bytes(2000)
    mdat = (struct.pack(">I", 0) + b"mdat" + audio) if mdat_to_end else atom(b"mdat", audio)
    return ftyp + (moov + mdat if moov_first else mdat + moov)


def mp4_file(name, tags, **layout):
    path = os.path.join(MP4_DIR, name)
    with open(path, "wb") as f:
        f.write(mp4_container(**layout))
    f = MP4(path)
    for key, value in tags:
        f[key] = value
    f.save()
    return path


JAPANESE = [("\xa9nam", ["日本語のタイトル"]), ("\xa9ART", ["アーティスト", "Second artist"]),
            ("\xa9alb", ["Café"]), ("\xa9cmt", ["コメント"]), ("\xa9gen", ["J-Pop"]),
            ("\xa9day", ["2004-05-06"]), ("cprt", ["\u00a9 2004 Label"]), ("\xa9too", ["mutagen"])]
path = mp4_file("japanese.m4a", JAPANESE)
check(path, sorted(MP4(path).tags.items()), sorted(JAPANESE))

# A moov atom with a 64-bit size, the audio as a last atom of size 0, a "gnre"
# number. mutagen writes no "gnre" item (it turns one into "©gen" when reading),
# so a "tmpo" item of the same shape is written and renamed: 18 is the table's
# "Rock" (17, counted from one).
path = mp4_file("size64-last0.m4b", [("\xa9nam", ["Sixty-four"]), ("tmpo", [18])],
                moov_64bit=True, mdat_to_end=True)
with open(path, "r+b") as f:
    data = f.read()
    at = data.index(b"tmpo")
    assert data[at + 4 + 8:at + 4 + 12] == b"\x00\x00\x00\x15"  # data type: integer
    f.seek(at)
    f.write(b"gnre")
    f.seek(at + 4 + 8)
    f.write(b"\x00\x00\x00\x00")  # data type: implicit, as iTunes writes it
check(path, sorted(MP4(path).tags.items()), [("\xa9gen", ["Rock"]), ("\xa9nam", ["Sixty-four"])])

# The 1 MB cover before the comment and the copyright (mutagen sorts those two
# after "covr"), the moov atom behind the audio.
PICTURED = [("\xa9nam", ["Pictured"]), ("covr", [MP4Cover(PICTURE, MP4Cover.FORMAT_JPEG)]),
            ("\xa9cmt", ["After the picture"]), ("cprt", ["Copyright after the picture"])]
path = mp4_file("picture.mp4", PICTURED, moov_first=False)
data = open(path, "rb").read()
assert data.index(b"covr") < data.index(b"\xa9cmt") < data.index(b"cprt")
check(path, MP4(path)["\xa9cmt"], ["After the picture"])

# The year item's size broken (3, less than its own header): what comes before
# it stays readable.
data = bytearray(open(os.path.join(MP4_DIR, "japanese.m4a"), "rb").read())
at = data.index(b"\xa9day") - 4
data[at:at + 4] = struct.pack(">I", 3)
open(os.path.join(MP4_DIR, "broken.m4a"), "wb").write(bytes(data))


# ---------------------------------------------------------------- ASF

def guid(text):
    a, b, c, d, e = text.split("-")
    return struct.pack("<IHH", int(a, 16), int(b, 16), int(c, 16)) + bytes.fromhex(d + e)


HEADER = guid("75B22630-668E-11CF-A6D9-00AA0062CE6C")
FILE_PROPERTIES = guid("8CABDCA1-A947-11CF-8EE4-00C00C205365")
HEADER_EXTENSION = guid("5FBF03B5-A92E-11CF-8EE3-00C00C205365")
DATA = guid("75B22636-668E-11CF-A6D9-00AA0062CE6C")


def asf_object(g, body):
    return g + struct.pack("<Q", 24 + len(body)) + body


def asf_container(extension_first=False):
    props = asf_object(FILE_PROPERTIES, bytes(16) + struct.pack("<QQQQQQIIII", 0, 0, 0, 0, 0, 0, 2, 3200, 3200, 128000))
    objects = [props]
    if extension_first:
        # Reserved GUID and word, then an empty list of extension objects.
        objects.insert(0, asf_object(HEADER_EXTENSION, guid("ABD3D211-A9BA-11cf-8EE6-00C00C205365") +
                                     struct.pack("<HI", 6, 0)))
    body = b"".join(objects)
    header = HEADER + struct.pack("<QIBB", 30 + len(body), len(objects), 1, 2) + body
    data = asf_object(DATA, bytes(16) + struct.pack("<QH", 0, 0x0101))
    return header + data


def asf_file(name, tags, **layout):
    path = os.path.join(ASF_DIR, name)
    with open(path, "wb") as f:
        f.write(asf_container(**layout))
    f = ASF(path)
    for key, value in tags:
        f[key] = value
    f.save()
    return path


def values(f, key):
    return [v.value for v in f[key]]


ASF_JAPANESE = [("Title", ["日本語のタイトル"]), ("Author", ["アーティスト", "Second artist"]),
                ("Description", ["コメント"]), ("Copyright", ["\u00a9 2004 Label"]),
                ("WM/AlbumTitle", ["Café"]), ("WM/Genre", ["J-Pop"]), ("WM/Year", ["2004"]),
                ("WM/ToolName", ["mutagen"])]
path = asf_file("japanese.wma", ASF_JAPANESE)
f = ASF(path)
for key, want in ASF_JAPANESE:
    check(path, values(f, key), want)

# A 1 MB picture (too large for the extended content description, so mutagen
# puts it into the header extension, which stands first here) and a 40 KB one
# among the descriptors, both before the text; the year as a number.
path = asf_file("picture.asf", [
    ("WM/Picture", [ASFByteArrayAttribute(b"\x03" + struct.pack("<I", 40000) + bytes(40000)),
                    ASFByteArrayAttribute(PICTURE)]),
    ("WM/AlbumTitle", ["Album after the pictures"]), ("WM/Year", [ASFDWordAttribute(1999)]),
    ("Title", ["Pictured"])], extension_first=True)
f = ASF(path)
check(path, values(f, "WM/AlbumTitle"), ["Album after the pictures"])
check(path, values(f, "WM/Year"), [1999])
data = open(path, "rb").read()
assert data.index(HEADER_EXTENSION) < data.index(b"W\x00M\x00/\x00A\x00l\x00b")

# The genre descriptor's value length broken (past the object): what comes
# before it stays readable.
data = bytearray(open(os.path.join(ASF_DIR, "japanese.wma"), "rb").read())
at = data.index("WM/Genre\0".encode("utf-16-le")) + len("WM/Genre\0".encode("utf-16-le")) + 2
data[at:at + 2] = struct.pack("<H", 0xFFFF)
open(os.path.join(ASF_DIR, "broken.wma"), "wb").write(bytes(data))
sys.exit(0)
