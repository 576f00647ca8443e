#pragma once
// Which reader fills a new entry's record: one table from the file's extension
// (ASCII case ignored) to its reader. Every reader has the same form: it takes
// an open byte source and fills only the record's fields it found non-empty,
// so the file-name title stays when the tag has none. The result says whether a
// tag was found; callers ignore it.
#include <string>
#include <string_view>

#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagText.h"

enum class TTagReader { None, Id3v1, RiffInfo, Flac, Ogg, Ape, Mp4, Asf };

struct TTagReadOptions {
    TTagTextCodec Text;             // how tag text becomes the record's
    bool PreferId3v2 = false;       // ".mp3": a non-empty ID3v2 value wins over ID3v1
};

using TTagReadFunction = bool (*)(IByteSource& source, TMP3FileInfo& info, const TTagReadOptions& options);

struct TTagReaderEntry {
    const char* Extension;  // dot included, lower case
    TTagReader Kind;
    TTagReadFunction Read;
};

// The table's row for an extension (dot included), or nullptr: no reader, the
// record keeps its file-name fields.
const TTagReaderEntry* FindTagReader(std::string_view extension);

// By file name (Win32 layer): opened for reading with others allowed to read but
// not write, Unicode text in the ANSI code page ("?" for what it lacks).
bool ReadTagsOfFile(const std::string& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2);
// The same by the host's wide name, which names the file where the 8-bit one may not.
bool ReadTagsOfFile(const std::wstring& fileName, const TTagReaderEntry& reader, TMP3FileInfo& info,
                    bool preferId3v2);
