#!/usr/bin/python3
"""Writes the ID3v2 test files of tests/data/id3v2 with two independent taggers:
Debian's python3-mutagen and the id3v2 command (id3lib). The files are checked
in, so building and testing need neither tool; run this again only to change them
(apt-get install python3-mutagen id3v2)."""
import os
import subprocess
import sys

from mutagen.id3 import ID3, TIT2, TPE1, TALB, COMM, TYER, TDRC, TCON

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "id3v2")
os.makedirs(out, exist_ok=True)
# A little fake audio: one MPEG frame header and silence.
AUDIO = b"\xff\xfb\x90\x00" + bytes(396)


def fresh(name):
    path = os.path.join(out, name)
    with open(path, "wb") as f:
        f.write(AUDIO)
    return path


def mutagen_file(name, version, encoding, frames, v1=0):
    path = fresh(name)
    tag = ID3()
    for frame in frames:
        frame.encoding = encoding
        tag.add(frame)
    tag.save(path, v1=v1, v2_version=version, padding=lambda info: 32)


# 2.3, UTF-16 with byte-order mark, Japanese text, no ID3v1.
mutagen_file("v23-utf16.mp3", 3, 1, [
    TIT2(text=["日本語のタイトル"]), TPE1(text=["アーティスト"]), TALB(text=["Café"]),
    COMM(lang="jpn", desc="", text=["コメント"]), TYER(text=["1999"]), TCON(text=["(17)"])])
# 2.4, UTF-8, with an ID3v1 tag that mutagen writes from the same frames (its
# title cut to 30 bytes, the Japanese letters as "?").
mutagen_file("v24-utf8-v1.mp3", 4, 3, [
    TIT2(text=["UTF-8 日本語 title longer than thirty bytes"]), TPE1(text=["Artist"]),
    COMM(lang="eng", desc="description", text=["Comment text"]),
    TDRC(text=["2004-05-06"]), TCON(text=["17"])], v1=2)
# 2.4, UTF-16 big-endian; two artists (the first counts); genre "(17)Rock".
mutagen_file("v24-utf16be.mp3", 4, 2, [
    TIT2(text=["BE タイトル"]), TPE1(text=["First", "Second"]), TALB(text=["Album BE"]),
    TCON(text=["(17)Rock"])])
# 2.4, UTF-16 with byte-order mark.
mutagen_file("v24-utf16.mp3", 4, 1, [TIT2(text=["UTF-16 日本"]), TCON(text=["Synthwave"])])

# id3lib: 2.3 with ISO-8859-1 text (bytes as they are), with and without ID3v1.
for name, flags in (("id3lib-v23.mp3", ["-2"]), ("id3lib-v23-v1.mp3", [])):
    path = fresh(name)
    subprocess.run(["id3v2", *flags, "-t", "Caf\u00e9 id3lib title", "-a", "id3lib artist",
                    "-A", "id3lib album", "-y", "2001", "-g", "17", "-c", "id3lib comment", path],
                   check=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
sys.exit(0)
