#pragma once
// ASF files (".wma", ".asf"): the Content Description and Extended Content
// Description objects of the header object at the start of the file.
//   object  GUID(16) size(8, little-endian, header included) data
//   header  GUID size count(4) reserved(2) { object }
//   content description  five lengths(2 each: title, author, copyright,
//           description, rating) and then those strings, UTF-16LE
//   extended content description  count(2) { name length(2) name(UTF-16LE)
//           value type(2) value length(2) value }
// Lengths are in bytes, a terminating NUL included. Every other object (the
// header extension with its large pictures, the stream properties, the audio)
// is stepped over by its size and never read.
#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagReaders.h"

// Fills the record's fields from both objects; false when the source does not
// start with an ASF header object.
bool ReadAsfTags(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options);
