#pragma once
// APE tags (version 2, and version 1 without a header) at the end of Monkey's
// Audio, Musepack and WavPack files, or just before an ID3v1 trailer:
//   items...  footer "APETAGEX" version(4) size(4) items(4) flags(4) reserved(8)
// (little-endian; size counts the items and the footer, not an optional header
// in front). An item is
//   value size(4) flags(4) key (ASCII, 2-255 bytes) NUL value
// Version 2 values are UTF-8 text when flags bits 1-2 are 0 (else binary or a
// link: skipped unread); several values of one item are separated by NULs.
#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagReaders.h"

// Fills the record's fields from the tag's items; false when the source ends in
// no APE tag (before an ID3v1 trailer or not).
bool ReadApeTags(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options);
