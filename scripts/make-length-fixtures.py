#!/usr/bin/python3
"""Writes the song-length test files of tests/data/lengths, each from an
independent encoder (lame, flac, oggenc, opusenc, speexenc, ffmpeg), or, for
Monkey's Audio, Musepack and the odd MPEG cases, built by hand around real
frames, and reads every length back with python3-mutagen. The lengths go to
tests/data/lengths/expected.txt ("<file> <seconds>", mutagen's length rounded
to the nearest second), which the tests compare against. The files are checked
in, so building and testing need none of these tools; run this again only to
change them (apt-get install lame flac vorbis-tools opus-tools speex ffmpeg
python3-mutagen).

The sound is a few seconds of quiet noise, so that variable-bitrate frames do
vary; lengths are picked away from half seconds, where rounding could go either way."""
import os
import random
import struct
import subprocess
import tempfile

import mutagen
from mutagen.apev2 import APEv2
from mutagen.id3 import ID3, APIC, TIT2

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "lengths")
os.makedirs(out, exist_ok=True)
work = tempfile.mkdtemp()
random.seed(37)


def path(name):
    return os.path.join(out, name)


def wav(seconds, rate=44100):
    """A mono 16-bit WAV of noise whose loudness wanders."""
    name = os.path.join(work, "in-%s-%d.wav" % (seconds, rate))
    n = int(seconds * rate)
    samples = bytearray()
    level = 2000
    for i in range(n):
        if i % 2000 == 0:
            level = random.choice([0, 300, 3000, 9000])
        samples += struct.pack("<h", random.randint(-level, level))
    with open(name, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt ")
        f.write(struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16))
        f.write(b"data" + struct.pack("<I", len(samples)) + samples)
    return name


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


src = wav(4.3)
run("lame", "--quiet", "-m", "m", "-b", "32", "--cbr", src, path("cbr-info.mp3"))
run("lame", "--quiet", "-m", "m", "-V", "6", src, path("vbr-xing.mp3"))
run("lame", "--quiet", "-m", "m", "-b", "32", "--cbr", "-t", src, path("cbr-plain.mp3"))
run("lame", "--quiet", "-m", "m", "-b", "24", "--resample", "22.05", src, path("mpeg2.mp3"))
run("lame", "--quiet", "-m", "m", "-b", "8", "--resample", "8", src, path("mpeg25.mp3"))
run("ffmpeg", "-v", "quiet", "-y", "-i", src, "-c:a", "mp2", "-b:a", "64k", "-f", "mp2", path("layer2.mp3"))

# Tags on both ends of a header-less CBR file: an ID3v2 tag with a 20 KB picture
# in front, APE and ID3v1 behind, none of which is audio (mutagen counts the
# ones behind as audio: its length is 0.4 s longer).
tagged = path("cbr-tagged.mp3")
with open(path("cbr-plain.mp3"), "rb") as f:
    plain = f.read()
with open(tagged, "wb") as f:
    f.write(plain)
ape = APEv2()
ape["Title"] = "APE title"
ape["Comment"] = "x" * 1500
ape.save(tagged)
id3 = ID3()
id3.add(TIT2(encoding=3, text="ID3 title"))
id3.add(APIC(encoding=0, mime="image/png", type=3, desc="", data=bytes(20000)))
id3.save(tagged, v1=2)

# VBRI: the header-less file's first frame carries a Fraunhofer header (36
# bytes in) with the frame count; the frame is silent, so that its bytes may be anything.
frames = 0
pos = 0
while pos + 4 <= len(plain) and plain[pos] == 0xFF:
    size = 144 * 32000 // 44100 + ((plain[pos + 2] >> 1) & 1)
    frames += 1
    pos += size
first = bytearray(plain[:104])
first[4:] = bytes(100)
first[36:54] = b"VBRI" + struct.pack(">HHHII", 1, 0, 50, len(plain), frames - 1)
with open(path("vbri.mp3"), "wb") as f:
    f.write(bytes(first) + plain[104:])

# RIFF RMP3: the plain MPEG data in a "data" chunk, an INFO list after it.
info = b"INFO" + b"INAM" + struct.pack("<I", 6) + b"title\0"
body = b"RMP3" + b"data" + struct.pack("<I", len(plain)) + plain + (b"\0" if len(plain) & 1 else b"")
body += b"LIST" + struct.pack("<I", len(info)) + info
with open(path("riff.rmp"), "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", len(body)) + body)

src8 = wav(3.2, 8000)
run("flac", "-s", "-f", "-o", path("plain.flac"), src8)
run("oggenc", "-Q", "-o", path("vorbis.ogg"), src)
run("opusenc", "--quiet", src, path("opus.opus"))
run("speexenc", "--quiet", src8, path("speex.spx"))
run("ffmpeg", "-v", "quiet", "-y", "-i", src, "-c:a", "aac", "-b:a", "32k", path("aac.m4a"))
run("ffmpeg", "-v", "quiet", "-y", "-i", src, "-c:a", "wmav2", "-b:a", "32k", path("wma.wma"))
run("ffmpeg", "-v", "quiet", "-y", "-i", src8, "-c:a", "wavpack", path("wavpack.wv"))

# Monkey's Audio (a descriptor of version 3990 and an old header of 3970) and
# Musepack SV7 and SV8: headers only, with a few bytes of "frames" after them.
rate, per_frame, final = 44100, 73728 * 4, 12345
descriptor = b"MAC " + struct.pack("<HHIIIIIIII", 3990, 0, 52, 24, 0, 0, 1000, 0, 0, 0) + bytes(16)
header = struct.pack("<HHIIIHHI", 2000, 0, per_frame, final, 3, 16, 2, rate)
with open(path("new.ape"), "wb") as f:
    f.write(descriptor + header + bytes(1000))
old = b"MAC " + struct.pack("<HHHHIIIII", 3970, 2000, 0, 2, rate, 44, 0, 2, final) + bytes(20)
with open(path("old.ape"), "wb") as f:
    f.write(old + bytes(1000))
with open(path("sv7.mpc"), "wb") as f:
    f.write(b"MP+\x17" + struct.pack("<II", 380, 1 << 16) + bytes(20) + bytes(1000))  # 48 kHz


def sv8_number(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def sv8_packet(key, data):
    size = 2 + 1 + len(data)
    return key + sv8_number(size) + data


sh = bytes(4) + b"\x08" + sv8_number(200000) + sv8_number(500) + bytes([0x20 | 0x13, 0x10 | 0x08])
rg = b"\x01" + bytes(8)
with open(path("sv8.mpc"), "wb") as f:
    f.write(b"MPCK" + sv8_packet(b"SH", sh) + sv8_packet(b"RG", rg) + sv8_packet(b"SE", b""))

with open(path("expected.txt"), "w") as f:
    for name in sorted(os.listdir(out)):
        if name == "expected.txt":
            continue
        if name.endswith(".rmp"):
            seconds = mutagen.File(path("cbr-plain.mp3")).info.length  # the same frames
        else:
            seconds = mutagen.File(path(name)).info.length
        f.write("%s %d %.3f\n" % (name, int(seconds + 0.5), seconds))
print(open(path("expected.txt")).read())
