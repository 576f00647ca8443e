#include "fileinfo/AsfTags.h"

#include <algorithm>
#include <cstring>

#include "fileinfo/SongLength.h"
#include "fileinfo/TagFields.h"

namespace {

using TGuid = std::uint8_t[16];
// As stored: the first three groups little-endian.
constexpr TGuid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr TGuid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                       0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr TGuid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                               0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};

constexpr TGuid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};

constexpr std::uint64_t kObjectHeader = 24;
constexpr std::uint64_t kHeaderObjectSize = 30;
// More objects than any header holds; a header of empty objects ends here.
constexpr int kMaxObjects = 4096;

std::uint16_t U16LE(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t U32LE(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint64_t U64LE(const std::uint8_t* p) { return std::uint64_t(U32LE(p + 4)) << 32 | U32LE(p); }

// Reads forward through [pos, end); the first read that does not fit spends it.
class TCursor {
public:
    TCursor(IByteSource& source, std::uint64_t pos, std::uint64_t end) : source_(source), pos_(pos), end_(end) {}
    std::uint64_t Left() const { return end_ - pos_; }
    bool Read(std::uint8_t* out, std::size_t n) {
        if (n > Left() || ReadFully(source_, pos_, out, n) != n) return Spend();
        pos_ += n;
        return true;
    }
    bool Skip(std::uint64_t n) {
        if (n > Left()) return Spend();
        pos_ += n;
        return true;
    }
    bool U16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!Read(b, 2)) return false;
        v = U16LE(b);
        return true;
    }
    // A value of `n` bytes, of which at most the cap is read.
    bool Bytes(std::uint64_t n, std::string& out) {
        if (n > Left()) return Spend();
        out.resize(std::size_t(std::min<std::uint64_t>(n, kMaxTagValueBytes)));
        return Read(reinterpret_cast<std::uint8_t*>(out.data()), out.size()) && Skip(n - out.size());
    }

private:
    bool Spend() {
        pos_ = end_;
        return false;
    }
    IByteSource& source_;
    std::uint64_t pos_, end_;
};

void ReadContentDescription(TCursor object, TTagFields& fields, const TTagTextCodec& codec) {
    std::uint8_t lengths[10];
    if (!object.Read(lengths, sizeof lengths)) return;
    static constexpr TInfoField kFields[] = {TInfoField::Title, TInfoField::Artist, TInfoField::Copyright,
                                             TInfoField::Comment};
    std::string text;
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        const std::uint16_t length = U16LE(lengths + 2 * i);
        if (!fields.Wants(kFields[i])) {
            if (!object.Skip(length)) return;
            continue;
        }
        if (!object.Bytes(length, text)) return;
        fields.Offer(kFields[i], Utf16LeTagText(text, codec));
    }
}

// Numbers are shown as decimal text; booleans and byte arrays (pictures) are not
// text at all.
std::string DescriptorValue(std::uint16_t type, const std::string& v, const TTagTextCodec& codec) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(v.data());
    std::uint64_t n;
    switch (type) {
    case 0: return Utf16LeTagText(v, codec);
    case 3: if (v.size() != 4) return {}; n = U32LE(p); break;
    case 4: if (v.size() != 8) return {}; n = U64LE(p); break;
    case 5: if (v.size() != 2) return {}; n = U16LE(p); break;
    default: return {};
    }
    return std::to_string(n);
}

struct TName {
    const char* Name;
    std::size_t Length;  // in bytes as stored: UTF-16LE with its NUL
    TInfoField Field;
};
constexpr TName kNames[] = {{"WM/AlbumTitle", 28, TInfoField::Album},
                            {"WM/Genre", 18, TInfoField::Genre},
                            {"WM/Year", 16, TInfoField::Year},
                            {"WM/ToolName", 24, TInfoField::Software}};
constexpr std::size_t kLongestName = 28;

// The wanted name stored in these bytes (UTF-16LE), or nullptr.
const TName* NameOf(const std::uint8_t* name, std::size_t length) {
    for (const TName& k : kNames) {
        if (k.Length != length || name[length - 1] != 0 || name[length - 2] != 0) continue;
        bool same = true;
        for (std::size_t i = 0; k.Name[i] && same; ++i)
            same = name[2 * i] == std::uint8_t(k.Name[i]) && name[2 * i + 1] == 0;
        if (same) return &k;
    }
    return nullptr;
}

void ReadExtendedContentDescription(TCursor object, TTagFields& fields, const TTagTextCodec& codec) {
    std::uint16_t count;
    if (!object.U16(count)) return;
    std::string value;
    for (unsigned i = 0; i < count; ++i) {
        std::uint16_t nameLength, type, valueLength;
        std::uint8_t name[kLongestName];
        const TName* wanted = nullptr;
        if (!object.U16(nameLength)) return;
        if (nameLength <= kLongestName) {
            // Only names as long as a wanted one are read at all.
            if (!object.Read(name, nameLength)) return;
            wanted = NameOf(name, nameLength);
        } else if (!object.Skip(nameLength)) {
            return;
        }
        if (!object.U16(type) || !object.U16(valueLength)) return;
        if (!wanted || type == 1 || !fields.Wants(wanted->Field)) {
            // Pictures and other byte arrays are stepped over, never read.
            if (!object.Skip(valueLength)) return;
            continue;
        }
        if (!object.Bytes(valueLength, value)) return;
        fields.Offer(wanted->Field, DescriptorValue(type, value, codec));
    }
}

}  // namespace

bool ReadAsfTags(IByteSource& file, TMP3FileInfo& info, const TTagReadOptions& options) {
    const TTagTextCodec& codec = options.Text;
    // Object headers and descriptors are small and close together.
    TBufferedSource source(file);
    std::uint64_t fileSize = 0;
    std::uint8_t h[kHeaderObjectSize];
    if (!source.Size(fileSize) || ReadFully(source, 0, h, sizeof h) != sizeof h ||
        std::memcmp(h, kHeaderObject, 16) != 0)
        return false;
    const std::uint64_t headerEnd = std::min(U64LE(h + 16), fileSize);
    TTagFields fields;
    std::uint64_t pos = kHeaderObjectSize;
    for (int n = 0; n < kMaxObjects && pos < headerEnd && headerEnd - pos >= kObjectHeader; ++n) {
        std::uint8_t o[kObjectHeader];
        if (ReadFully(source, pos, o, sizeof o) != sizeof o) break;
        const std::uint64_t size = U64LE(o + 16);
        if (size < kObjectHeader) break;
        // An object that claims more than the header holds is read as far as it
        // goes, and nothing after it is trusted.
        const bool cut = size > headerEnd - pos;
        const std::uint64_t end = cut ? headerEnd : pos + size;
        TCursor object(source, pos + kObjectHeader, end);
        if (std::memcmp(o, kContentDescription, 16) == 0) ReadContentDescription(object, fields, codec);
        else if (std::memcmp(o, kExtendedContentDescription, 16) == 0)
            ReadExtendedContentDescription(object, fields, codec);
        if (cut) break;
        pos = end;
    }
    fields.StoreInto(info);
    return true;
}

int ReadAsfLength(IByteSource& file) {
    TBufferedSource source(file);
    std::uint64_t fileSize = 0;
    std::uint8_t h[kHeaderObjectSize];
    if (!source.Size(fileSize) || ReadFully(source, 0, h, sizeof h) != sizeof h ||
        std::memcmp(h, kHeaderObject, 16) != 0)
        return -1;
    const std::uint64_t headerEnd = std::min(U64LE(h + 16), fileSize);
    std::uint64_t pos = kHeaderObjectSize;
    for (int n = 0; n < kMaxObjects && pos < headerEnd && headerEnd - pos >= kObjectHeader; ++n) {
        // File Properties: id(16) size(8) date(8) packets(8) play(8) send(8) preroll(8) ...
        std::uint8_t o[kObjectHeader + 64];
        if (ReadFully(source, pos, o, kObjectHeader) != kObjectHeader) break;
        const std::uint64_t size = U64LE(o + 16);
        if (size < kObjectHeader || size > headerEnd - pos) break;
        if (std::memcmp(o, kFileProperties, 16) == 0) {
            if (size < sizeof o || ReadFully(source, pos, o, sizeof o) != sizeof o) return -1;
            const std::uint64_t play = U64LE(o + 64), preroll = U64LE(o + 80);
            // 100 ns units against a preroll in milliseconds.
            if (preroll > play / 10000) return -1;
            return RoundedSeconds(play - preroll * 10000, 10000000);
        }
        pos += size;
    }
    return -1;
}
