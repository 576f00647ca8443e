#pragma once
// Ogg files: pages of
//   "OggS" version(0) flags granule(8) serial(4) sequence(4) crc(4)
//   segments(1) lacing values(segments) data
// where a lacing value below 255 ends a packet, so that one packet may run
// across many pages. The tags are the comment packet of the first logical
// stream (the serial of the first page):
//   Vorbis  packet 0 "\x01vorbis...", packet 1 "\x03vorbis" comment [framing]
//   Opus    packet 0 "OpusHead",      packet 1 "OpusTags" comment
//   Speex   packet 0 "Speex   ",      packet 1 comment
//   FLAC    packet 0 "\x7FFLAC" ...,  then one metadata block a packet, each
//           with its 4-byte block header; the VORBIS_COMMENT block (type 4)
// Pages of other streams are stepped over; only page headers are read on the way
// to the comment and through the values that are skipped.
#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagReaders.h"

// Fills the record's fields from the comment packet; false when the source is
// no Ogg stream of those four codecs or its comment packet cannot be found.
bool ReadOggTags(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options);
