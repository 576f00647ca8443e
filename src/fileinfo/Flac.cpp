#include "fileinfo/Flac.h"

#include <algorithm>
#include <cstring>

#include "fileinfo/VorbisComment.h"

namespace {
constexpr std::uint8_t kVorbisCommentBlock = 4;
constexpr std::uint8_t kInvalidBlock = 127;
}  // namespace

std::uint64_t SkipLeadingId3v2(IByteSource& source) {
    std::uint8_t h[10];
    if (ReadFully(source, 0, h, 10) != 10 || std::memcmp(h, "ID3", 3) != 0) return 0;
    for (int i = 6; i < 10; ++i)
        if (h[i] & 0x80) return 0;
    const std::uint64_t size = std::uint64_t(h[6]) << 21 | std::uint64_t(h[7]) << 14 | std::uint64_t(h[8]) << 7 | h[9];
    const bool footer = h[3] == 4 && (h[5] & 0x10);
    return 10 + size + (footer ? 10 : 0);
}

bool ReadFlacTags(IByteSource& file, TMP3FileInfo& info, const TTagReadOptions& options) {
    // Block headers are small and close together: a block of the file at a time.
    TBufferedSource source(file);
    std::uint64_t fileSize = 0;
    if (!source.Size(fileSize)) return false;
    std::uint64_t pos = SkipLeadingId3v2(source);
    std::uint8_t magic[4];
    if (pos > fileSize || ReadFully(source, pos, magic, 4) != 4 || std::memcmp(magic, "fLaC", 4) != 0) return false;
    pos += 4;
    // Every block moves on by at least its 4 header bytes: the walk ends.
    for (;;) {
        std::uint8_t h[4];
        if (fileSize - pos < 4 || ReadFully(source, pos, h, 4) != 4) return false;
        const std::uint8_t type = h[0] & 0x7F;
        const std::uint64_t length = std::uint64_t(h[1]) << 16 | std::uint64_t(h[2]) << 8 | h[3];
        const std::uint64_t data = pos + 4;
        if (type == kInvalidBlock) return false;
        if (type == kVorbisCommentBlock) {
            // A block cut short by the end of the file still gives what it holds.
            TRangeStream stream(source, data, data + std::min(length, fileSize - data));
            TTagFields fields;
            const bool found = ReadVorbisComment(stream, fields, options.Text);
            fields.StoreInto(info);
            return found;
        }
        if ((h[0] & 0x80) || length > fileSize - data) return false;
        pos = data + length;
    }
}
