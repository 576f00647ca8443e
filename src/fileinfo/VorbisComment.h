#pragma once
// The Vorbis comment block, as FLAC files and the Ogg codecs carry it:
//   vendor_length(4, little-endian) vendor  count(4)  { length(4) "KEY=value" }...
// Values are UTF-8. The block is read as a forward-only stream, because in Ogg
// it may run across many pages; a value whose key is not wanted (a picture
// above all) is stepped over, never read.
#include <cstdint>

#include "fileinfo/ByteSource.h"
#include "fileinfo/TagFields.h"
#include "fileinfo/TagText.h"

// Bytes read front to back.
class TByteStream {
public:
    virtual ~TByteStream() = default;
    // Exactly `n` bytes, or false.
    virtual bool Read(std::uint8_t* out, std::size_t n) = 0;
    virtual bool Skip(std::uint64_t n) = 0;
    // At most this many bytes can still come.
    virtual std::uint64_t Left() const = 0;
};

// The bytes [begin, end) of a source.
class TRangeStream : public TByteStream {
public:
    TRangeStream(IByteSource& source, std::uint64_t begin, std::uint64_t end)
        : source_(source), pos_(begin), end_(end < begin ? begin : end) {}
    bool Read(std::uint8_t* out, std::size_t n) override;
    bool Skip(std::uint64_t n) override;
    std::uint64_t Left() const override { return end_ - pos_; }
private:
    IByteSource& source_;
    std::uint64_t pos_, end_;
};

// Offers every wanted comment to `fields` (keys of CommonTagKey); stops at the
// first length that does not fit what is left, keeping what came before it, and
// as soon as no field wants a value any more. False when not even the vendor
// string and the count could be read.
bool ReadVorbisComment(TByteStream& stream, TTagFields& fields, const TTagTextCodec& codec);
