#include "fileinfo/VorbisComment.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The longest key looked for is "DESCRIPTION": a key that has no "=" within
// this many bytes is none of ours.
constexpr std::size_t kKeyPeek = 16;

bool ReadLe32(TByteStream& stream, std::uint32_t& v) {
    std::uint8_t b[4];
    if (!stream.Read(b, 4)) return false;
    v = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return true;
}

}  // namespace

bool TRangeStream::Read(std::uint8_t* out, std::size_t n) {
    if (n > end_ - pos_ || ReadFully(source_, pos_, out, n) != n) {
        pos_ = end_;
        return false;
    }
    pos_ += n;
    return true;
}

bool TRangeStream::Skip(std::uint64_t n) {
    if (n > end_ - pos_) {
        pos_ = end_;
        return false;
    }
    pos_ += n;
    return true;
}

bool ReadVorbisComment(TByteStream& stream, TTagFields& fields, const TTagTextCodec& codec) {
    std::uint32_t vendor = 0, count = 0;
    if (!ReadLe32(stream, vendor) || vendor > stream.Left() || !stream.Skip(vendor) || !ReadLe32(stream, count))
        return false;
    std::string value;
    // Each comment takes at least its four length bytes, so a lying count ends
    // with the bytes.
    for (std::uint32_t i = 0; i < count && fields.WantsAny(); ++i) {
        std::uint32_t length = 0;
        if (!ReadLe32(stream, length) || length > stream.Left()) break;
        std::uint8_t peek[kKeyPeek];
        const std::size_t peeked = std::min<std::size_t>(length, kKeyPeek);
        if (!stream.Read(peek, peeked)) break;
        const auto* eq = static_cast<const std::uint8_t*>(std::memchr(peek, '=', peeked));
        TTagKey key{};
        if (!eq || !CommonTagKey(std::string_view(reinterpret_cast<const char*>(peek), std::size_t(eq - peek)), key) ||
            !fields.Wants(key.Field, key.Rank)) {
            if (!stream.Skip(length - peeked)) break;
            continue;
        }
        const std::size_t keyLength = std::size_t(eq - peek) + 1;
        const std::uint64_t valueLength = length - keyLength;
        const std::size_t take = std::size_t(std::min<std::uint64_t>(valueLength, kMaxTagValueBytes));
        value.assign(reinterpret_cast<const char*>(peek) + keyLength, std::min(take, peeked - keyLength));
        const std::size_t more = take - value.size();
        if (more) {
            const std::size_t had = value.size();
            value.resize(take);
            if (!stream.Read(reinterpret_cast<std::uint8_t*>(value.data()) + had, more)) break;
        }
        fields.Offer(key.Field, Utf8TagText(value, codec, valueLength > take), key.Rank);
        if (!stream.Skip(valueLength - take)) break;
    }
    return true;
}
