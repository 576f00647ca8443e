#pragma once
// The INFO list of RIFF files whose form type is "RMP3" (MPEG audio in RIFF).
// Layout: "RIFF" size "RMP3" { chunk }...; a chunk is id(4) size(4, little-endian)
// data, padded to an even length; the list "LIST" size "INFO" holds sub-chunks of
// zero-terminated text ("INAM", "IART", ...). The INFO list may sit anywhere after
// the form type, even after the audio data or outside the RIFF chunk.
#include <cstdint>
#include <string>

#include "fileinfo/ByteSource.h"
#include "fileinfo/MP3FileInfo.h"
#include "fileinfo/TagText.h"

// Four-character code, first character in the lowest byte.
constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

struct TRiffChunk {
    std::uint32_t Id = 0;
    std::uint32_t Size = 0;        // as written in the file; never trusted on its own
    std::uint64_t DataOffset = 0;  // first byte after the size field
    std::uint32_t Type = 0;        // form or list type ("RIFF" and "LIST" only)
};

// A chunk walker over a source of known size. Every search only moves forward by
// at least the 8 header bytes, so it ends on any sizes, zero, odd or garbage.
class TRiffReader {
public:
    explicit TRiffReader(IByteSource& source);
    bool Ok() const { return ok_; }
    std::uint64_t FileSize() const { return fileSize_; }

    // The chunk at offset 0, with its form type.
    bool EnterFirstChunk(TRiffChunk& chunk);
    // The first chunk with this id whose header starts in [from, end) and whose data
    // start fits before end. For "RIFF"/"LIST" ids a non-zero `type` must match the
    // chunk's type as well. A chunk that has to be skipped but whose padded data
    // runs past `end` ends the search.
    bool FindChunk(std::uint64_t from, std::uint64_t end, std::uint32_t id, std::uint32_t type,
                   TRiffChunk& chunk);
    // Where the chunk's data ends, cut to the end of the file.
    std::uint64_t DataEnd(const TRiffChunk& chunk) const;

    IByteSource& Source() { return source_; }

private:
    IByteSource& source_;
    std::uint64_t fileSize_ = 0;
    bool ok_ = false;
};

// The trimmed text of sub-chunk `id` of the INFO list, searched from `listStart`
// (the first byte after "INFO") up to the end of the list; empty when absent.
// The text ends at the first NUL or at the end of the sub-chunk, the list or the
// bytes that could be read, whichever comes first, and keeps at most 64 KiB.
std::string ReadInfoSubchunk(TRiffReader& riff, const TRiffChunk& list, std::uint64_t listStart,
                             std::uint32_t id);

// Fills the record's fields from the INFO list; false when the source is not an
// "RMP3" RIFF file or has no INFO list. Only non-empty values are stored.
bool ReadRiffInfoTag(IByteSource& source, TMP3FileInfo& info, const TTagTextCodec& codec = {});

// By file name (Win32 layer): opened for buffered reading, deny-write.
bool ReadRiffInfoTag(const std::string& fileName, TMP3FileInfo& info);
