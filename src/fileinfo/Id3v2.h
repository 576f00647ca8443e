#pragma once
// ID3v2 (versions 2.2, 2.3 and 2.4), the tag at the start of MPEG audio files.
//   header  "ID3" major(2-4) revision flags size(4, syncsafe: 7 bits a byte)
//   [extended header]  frames...  [padding]  [footer "3DI", 2.4 only]
//   frame   2.2: id(3) size(3)            2.3: id(4) size(4) flags(2)
//           2.4: id(4) size(4, syncsafe) flags(2)
// Only the text frames that fill the entry record are read; every other frame
// (pictures above all) is stepped over by position, never read. Sizes come from
// the file and are never trusted: the walk stays inside the tag and the file,
// moves forward on every step and reads a bounded amount of each frame.
#include <cstdint>
#include <string>
#include <string_view>

#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagText.h"

// The values an ID3v2 tag can give the record, trimmed like ID3v1 fields; empty
// where the tag has no such frame.
struct TId3v2Text {
    std::string Title;    // TIT2 / TT2
    std::string Artist;   // TPE1 / TP1
    std::string Album;    // TALB / TAL
    std::string Comment;  // COMM / COM: the first without a description, else the first described one (not iTunes')
    std::string Year;     // TYER / TYE, else the first four characters of TDRC
    std::string Genre;    // TCON / TCO, numeric references turned into names
};

// Reads the tag at the start of the source; false when there is none.
bool ReadId3v2Tag(IByteSource& source, TId3v2Text& text, const TTagTextCodec& codec);

// "(17)", "17" and "(17)Rock" give the genre table's name for 17; "RX" and "CR"
// (bracketed or not) "Remix" and "Cover"; a number the table lacks gives what
// follows its brackets, or nothing; "((text" gives "(text"; anything else is
// returned as it is.
std::string Id3v2GenreName(const std::string& text);

// Fills the record from both tags of an ".mp3" file: a field the ID3v1 tag left
// empty (`id3v1` is a record that only the ID3v1 reader wrote to) takes the
// ID3v2 value; with `preferId3v2` a non-empty ID3v2 value wins over ID3v1 too.
// Empty values never replace what the record holds (its file-name title).
void MergeMp3Tags(TMP3FileInfo& info, const TMP3FileInfo& id3v1, const TId3v2Text& id3v2, bool preferId3v2);

// Both tags of an open source: the ID3v1 trailer, then the ID3v2 tag when it can
// still give something. True when either tag was found.
bool ReadMp3Tags(IByteSource& source, TMP3FileInfo& info, bool preferId3v2, const TTagTextCodec& codec);

// By file name (Win32 layer): one deny-write open; the ANSI code page's
// conversion with "?" for characters it lacks.
bool ReadMp3Tags(const std::string& fileName, TMP3FileInfo& info, bool preferId3v2);
