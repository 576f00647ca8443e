#!/usr/bin/python3
"""Writes the Unicode title test files of tests/data/unicode: small songs from
tests/data retagged by python3-mutagen (ID3v2.3 UTF-16, ID3v2.4 UTF-8 and
UTF-16BE, FLAC and Ogg Vorbis comments, MP4), one title per script, and
titles.txt ("file<TAB>title", UTF-8) with what each tag holds."""
import os
import shutil
import sys

from mutagen.flac import FLAC
from mutagen.id3 import ID3, TIT2, TPE1
from mutagen.mp4 import MP4
from mutagen.oggvorbis import OggVorbis

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data")
OUT = os.path.join(ROOT, "unicode")

TITLES = [
    ("japanese", "東京の夜"),
    ("korean", "서울의 봄"),
    ("greek", "Αθήνα τη νύχτα"),
    ("cyrillic", "Москва"),
    ("vietnamese", "Hà Nội mùa thu"),
    ("latin", "Beyoncé, Sigur Rós, Mötley Crüe"),
    ("emoji", "Song \U0001F3B5 night"),
]

MP3_BASE = os.path.join(ROOT, "lengths", "mpeg25.mp3")
OTHER_BASES = [(".flac", os.path.join(ROOT, "tags", "japanese.flac")),
               (".ogg", os.path.join(ROOT, "tags", "japanese.ogg")),
               (".m4a", os.path.join(ROOT, "mp4", "japanese.m4a"))]
ID3_FORMS = [(3, 1), (4, 3), (4, 2)]  # (version, encoding): UTF-16, UTF-8, UTF-16BE


def write_mp3(path, title, k):
    shutil.copyfile(MP3_BASE, path)
    version, encoding = ID3_FORMS[k % len(ID3_FORMS)]
    tags = ID3()
    tags.add(TIT2(encoding=encoding, text=[title]))
    tags.add(TPE1(encoding=encoding, text=["Artist " + str(k)]))
    tags.save(path, v2_version=version)


def write_other(path, base, title):
    shutil.copyfile(base, path)
    if path.endswith(".flac"):
        tags = FLAC(path)
    elif path.endswith(".ogg"):
        tags = OggVorbis(path)
    else:
        tags = MP4(path)
        tags.delete()
        tags["\xa9nam"] = [title]
        tags.save()
        return
    tags.delete()
    tags["title"] = [title]
    tags.save()


def main():
    if os.path.isdir(OUT):
        shutil.rmtree(OUT)
    os.makedirs(OUT)
    lines = []
    for k, (name, title) in enumerate(TITLES):
        mp3 = name + ".mp3"
        write_mp3(os.path.join(OUT, mp3), title, k)
        lines.append(mp3 + "\t" + title)
        ext, base = OTHER_BASES[k % len(OTHER_BASES)]
        other = name + ext
        write_other(os.path.join(OUT, other), base, title)
        lines.append(other + "\t" + title)
    # Read back by mutagen: what the files hold, not what was asked for.
    checked = []
    for line in lines:
        name, title = line.split("\t")
        path = os.path.join(OUT, name)
        if name.endswith(".mp3"):
            got = str(ID3(path)["TIT2"].text[0])
        elif name.endswith(".m4a"):
            got = MP4(path)["\xa9nam"][0]
        else:
            got = (FLAC(path) if name.endswith(".flac") else OggVorbis(path))["title"][0]
        if got != title:
            sys.exit("%s holds %r, not %r" % (name, got, title))
        checked.append(name + "\t" + got)
    with open(os.path.join(OUT, "titles.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(checked) + "\n")


if __name__ == "__main__":
    main()
