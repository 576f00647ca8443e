#pragma once
// FLAC files: [ID3v2 tag] "fLaC" then metadata blocks, each
//   last(1 bit) type(7 bits) length(3, big-endian) data
// up to the one with the last bit. Type 4 is the VORBIS_COMMENT block (without
// the framing bit Ogg Vorbis has); pictures (type 6) and padding are stepped over.
#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagReaders.h"

// Fills the record's fields from the VORBIS_COMMENT block; false when the source
// is no FLAC stream or has no such block.
bool ReadFlacTags(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options);

// Where the data after an ID3v2 tag at the start of the source begins (0 when
// there is none); some taggers put one in front of FLAC and Ogg streams.
std::uint64_t SkipLeadingId3v2(IByteSource& source);
