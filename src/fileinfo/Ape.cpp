#include "fileinfo/Ape.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "fileinfo/MpegAudio.h"
#include "fileinfo/TagFields.h"

namespace {

constexpr std::size_t kFooter = 32;
constexpr std::size_t kItemHeader = 8;
constexpr std::size_t kMaxKey = 255;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The footer at `end` - 32; false when there is none there.
bool ReadFooter(IByteSource& source, std::uint64_t end, std::uint8_t (&footer)[kFooter]) {
    return end >= kFooter && ReadFully(source, end - kFooter, footer, kFooter) == kFooter &&
           std::memcmp(footer, "APETAGEX", 8) == 0;
}

}  // namespace

bool ReadApeTags(IByteSource& file, TMP3FileInfo& info, const TTagReadOptions& options) {
    std::uint64_t fileSize = 0;
    if (!file.Size(fileSize)) return false;
    std::uint8_t footer[kFooter];
    std::uint64_t end = fileSize;
    if (!ReadFooter(file, end, footer)) {
        std::uint8_t tag[3];
        if (fileSize < kId3v1Size + kFooter || ReadFully(file, fileSize - kId3v1Size, tag, 3) != 3 ||
            std::memcmp(tag, "TAG", 3) != 0)
            return false;
        end = fileSize - kId3v1Size;
        if (!ReadFooter(file, end, footer)) return false;
    }
    const std::uint32_t version = Le32(footer + 8);
    const std::uint32_t size = Le32(footer + 12);
    const std::uint32_t count = Le32(footer + 16);
    if ((version != 1000 && version != 2000) || size < kFooter || size > end) return false;
    const std::uint64_t itemsEnd = end - kFooter;
    std::uint64_t pos = end - size;

    // Items are small and packed: read the tag a block at a time.
    TBufferedSource source(file);
    TTagFields fields;
    std::string value;
    // Every item moves on by at least its header and a key: the walk ends.
    for (std::uint32_t i = 0; i < count && fields.WantsAny(); ++i) {
        std::uint8_t h[kItemHeader + kMaxKey + 1];
        if (itemsEnd - pos < kItemHeader + 3) break;
        const std::size_t got = std::size_t(std::min<std::uint64_t>(sizeof h, itemsEnd - pos));
        if (ReadFully(source, pos, h, got) != got) break;
        const auto* nul = static_cast<const std::uint8_t*>(std::memchr(h + kItemHeader, 0, got - kItemHeader));
        if (!nul) break;  // no key end where one must be: the sizes went astray
        const std::size_t keyLength = std::size_t(nul - (h + kItemHeader));
        const std::uint64_t valueSize = Le32(h);
        const std::uint32_t itemFlags = Le32(h + 4);
        const std::uint64_t valuePos = pos + kItemHeader + keyLength + 1;
        if (keyLength < 2 || valueSize > itemsEnd - valuePos) break;
        pos = valuePos + valueSize;
        const bool text = version == 1000 || (itemFlags >> 1 & 3) == 0;
        TTagKey key{};
        if (!text || !CommonTagKey(std::string_view(reinterpret_cast<const char*>(h + kItemHeader), keyLength), key) ||
            !fields.Wants(key.Field, key.Rank))
            continue;
        const std::size_t take = std::size_t(std::min<std::uint64_t>(valueSize, kMaxTagValueBytes));
        value.resize(take);
        if (ReadFully(source, valuePos, reinterpret_cast<std::uint8_t*>(value.data()), take) != take) break;
        // Version 1 knew no Unicode: its text is the system's code page.
        fields.Offer(key.Field,
                     version == 1000 ? CodePageTagText(value.substr(0, value.find('\0')), options.Text)
                                     : Utf8TagText(value, options.Text, valueSize > take),
                     key.Rank);
    }
    fields.StoreInto(info);
    return true;
}
