#pragma once
// MP4 files (".m4a", ".m4b", ".mp4"): the item list at moov/udta/meta/ilst.
//   atom  size(4, big-endian) type(4) [size(8) when size is 1] data
//         size 0: the atom runs to the end of what holds it (the file, at the top)
//   meta  version/flags(4) { atom }   (some writers leave version/flags out)
//   ilst  one atom per item, named by its key ("©nam", "gnre", "covr", ...), each
//         holding "data" atoms: size "data" type(4) locale(4) value
// The walk follows that one path, so nesting is fixed at six levels; every other
// atom (the sample tables, the audio, pictures) is stepped over by its size and
// never read. Sizes are checked against what holds them; an atom that claims
// more ends the walk after it, keeping what was read.
#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagReaders.h"

// Fills the record's fields from the items ("©gen", else "gnre": the genre
// table's name for its number minus one); false when there is no item list.
bool ReadMp4Tags(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options);
