#pragma once
// Song lengths read from the files themselves, in whole seconds rounded to the
// nearest; -1 when the file does not tell (another type, a damaged header).
//   MPEG audio  the first frame whose next frame is valid too; frames from a
//               Xing/Info or VBRI header in it, else the audio bytes (the file
//               less ID3v2, ID3v1, APE and Lyrics3 tags) by the frame's bitrate
//   RIFF RMP3   the same over the "data" chunk
//   FLAC        STREAMINFO's samples / rate (0 samples: unknown)
//   Ogg         the last granule of the first stream (less Opus's pre-skip) / the
//               rate of its identification header
//   MP4         mvhd duration / timescale
//   ASF         File Properties' play duration less its preroll
//   Monkey's Audio, Musepack SV7/SV8, WavPack: their stream headers
// Every size and count is checked against the source before it is used: no
// allocation, and a bounded number of reads, whatever the bytes say.
#include <cstdint>

#include "fileinfo/ByteSource.h"

enum class TTagReader;

// The length of `kind`'s files; -1 for kinds without one.
int ReadSongLength(IByteSource& source, TTagReader kind);

int ReadMpegLength(IByteSource& source);
int ReadRiffMpegLength(IByteSource& source);
int ReadFlacLength(IByteSource& source);
int ReadOggLength(IByteSource& source);
int ReadMp4Length(IByteSource& source);
int ReadAsfLength(IByteSource& source);
// Monkey's Audio, Musepack or WavPack, told apart by their first bytes.
int ReadApeFamilyLength(IByteSource& source);

// count / rate seconds, rounded to the nearest; -1 for a zero rate or a length
// beyond what the list can show (a damaged header).
int RoundedSeconds(std::uint64_t count, std::uint64_t rate);
