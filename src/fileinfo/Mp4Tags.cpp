#include "fileinfo/Mp4Tags.h"

#include <algorithm>
#include <cstring>

#include "fileinfo/MpegAudio.h"
#include "fileinfo/SongLength.h"
#include "fileinfo/TagFields.h"

namespace {

constexpr std::uint32_t Type(const char (&t)[5]) {
    return std::uint32_t(std::uint8_t(t[0])) << 24 | std::uint32_t(std::uint8_t(t[1])) << 16 |
           std::uint32_t(std::uint8_t(t[2])) << 8 | std::uint32_t(std::uint8_t(t[3]));
}
constexpr std::uint32_t kCopyrightSign = 0xA9;  // "©", as the item keys store it in one byte
constexpr std::uint32_t Item(const char (&t)[4]) {
    return kCopyrightSign << 24 | std::uint32_t(std::uint8_t(t[0])) << 16 | std::uint32_t(std::uint8_t(t[1])) << 8 |
           std::uint32_t(std::uint8_t(t[2]));
}

std::uint32_t U32BE(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint64_t U64BE(const std::uint8_t* p) { return std::uint64_t(U32BE(p)) << 32 | U32BE(p + 4); }

// More atoms side by side than any real file holds at one level (a long film's
// tracks, a tag's items); a file of tiny atoms ends the walk here, not at its end.
constexpr int kMaxSiblings = 4096;

struct TAtom {
    std::uint32_t Type = 0;
    std::uint64_t Data = 0;  // first byte after the header
    std::uint64_t End = 0;   // cut to the end of what holds it
    bool Cut = false;        // claimed more than that
};

// The children of one atom (or of the file), in order.
class TAtomWalk {
public:
    TAtomWalk(IByteSource& source, std::uint64_t begin, std::uint64_t end)
        : source_(source), pos_(begin), end_(end) {}

    // The next child; false at the end, at a damaged header, or after a child
    // that ran past the end.
    bool Next(TAtom& atom) {
        if (done_ || end_ - pos_ < 8 || ++count_ > kMaxSiblings) return false;
        std::uint8_t h[16];
        if (ReadFully(source_, pos_, h, 8) != 8) return Stop();
        std::uint64_t size = U32BE(h);
        std::uint64_t header = 8;
        if (size == 1) {
            if (end_ - pos_ < 16 || ReadFully(source_, pos_ + 8, h + 8, 8) != 8) return Stop();
            size = U64BE(h + 8);
            header = 16;
        } else if (size == 0) {
            size = end_ - pos_;
        }
        if (size < header) return Stop();
        atom.Type = U32BE(h + 4);
        atom.Data = pos_ + header;
        atom.Cut = size > end_ - pos_;
        atom.End = atom.Cut ? end_ : pos_ + size;
        pos_ = atom.End;
        done_ = atom.Cut;
        return true;
    }

    // The first child of this type.
    bool Find(std::uint32_t type, TAtom& atom) {
        while (Next(atom))
            if (atom.Type == type) return true;
        return false;
    }

private:
    bool Stop() {
        done_ = true;
        return false;
    }
    IByteSource& source_;
    std::uint64_t pos_, end_;
    int count_ = 0;
    bool done_ = false;
};

struct TKey {
    std::uint32_t Item;
    TInfoField Field;
    int Rank;  // "gnre" only when there is no "©gen"
};
constexpr TKey kKeys[] = {
    {Item("nam"), TInfoField::Title, 0},       {Item("ART"), TInfoField::Artist, 0},
    {Item("alb"), TInfoField::Album, 0},       {Item("cmt"), TInfoField::Comment, 0},
    {Item("gen"), TInfoField::Genre, 0},       {Type("gnre"), TInfoField::Genre, 1},
    {Item("day"), TInfoField::Year, 0},        {Type("cprt"), TInfoField::Copyright, 0},
    {Item("too"), TInfoField::Software, 0},
};

// Data types of a "data" atom.
constexpr std::uint32_t kUtf8 = 1, kUtf16 = 2, kImplicit = 0, kInteger = 21;

// The first value of an item as text; empty for values of other kinds.
std::string ItemValue(IByteSource& source, const TAtom& item, const TKey& key, const TTagTextCodec& codec,
                      std::string& bytes) {
    TAtomWalk walk(source, item.Data, item.End);
    TAtom data;
    // A value cut short by the end of the file or its item is not shown in part.
    if (!walk.Find(Type("data"), data) || data.Cut || data.End - data.Data < 8) return {};
    std::uint8_t h[8];
    if (ReadFully(source, data.Data, h, 8) != 8) return {};
    const std::uint32_t kind = U32BE(h) & 0xFFFFFF;  // the top byte is a version
    const std::uint64_t length = data.End - data.Data - 8;
    if (key.Item == Type("gnre")) {
        std::uint8_t n[2];
        if ((kind != kImplicit && kind != kInteger) || length != 2 || ReadFully(source, data.Data + 8, n, 2) != 2)
            return {};
        const int number = n[0] << 8 | n[1];
        return number >= 1 && number <= kGenreCount ? GenreNames[std::size_t(number - 1)] : std::string();
    }
    if (kind != kUtf8 && kind != kUtf16) return {};
    bytes.resize(std::size_t(std::min<std::uint64_t>(length, kMaxTagValueBytes)));
    const std::size_t got = ReadFully(source, data.Data + 8, reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    if (got != bytes.size()) return {};
    const bool cutShort = length > bytes.size();
    if (kind == kUtf8) return Utf8TagText(bytes, codec, cutShort);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);  // big-endian
    return Utf16LeTagText(bytes, codec, cutShort);
}

// Where meta's children begin: after version and flags, unless the writer left
// them out and a child's header stands there.
std::uint64_t MetaChildren(IByteSource& source, const TAtom& meta) {
    std::uint8_t h[8];
    if (meta.End - meta.Data >= 8 && ReadFully(source, meta.Data, h, 8) == 8 && U32BE(h) != 0 &&
        std::memcmp(h + 4, "hdlr", 4) == 0)
        return meta.Data;
    return meta.Data + 4;
}

bool FindPath(IByteSource& source, std::uint64_t size, TAtom& ilst) {
    TAtom moov, udta, meta;
    if (!TAtomWalk(source, 0, size).Find(Type("moov"), moov)) return false;
    if (!TAtomWalk(source, moov.Data, moov.End).Find(Type("udta"), udta)) return false;
    if (!TAtomWalk(source, udta.Data, udta.End).Find(Type("meta"), meta) || meta.End - meta.Data < 4) return false;
    return TAtomWalk(source, MetaChildren(source, meta), meta.End).Find(Type("ilst"), ilst);
}

}  // namespace

bool ReadMp4Tags(IByteSource& file, TMP3FileInfo& info, const TTagReadOptions& options) {
    const TTagTextCodec& codec = options.Text;
    // Atom headers are small and mostly close together: read a block at a time.
    TBufferedSource source(file);
    std::uint64_t size = 0;
    TAtom ilst;
    if (!source.Size(size) || !FindPath(source, size, ilst)) return false;
    TTagFields fields;
    std::string bytes;
    TAtomWalk items(source, ilst.Data, ilst.End);
    TAtom item;
    while (fields.WantsAny() && items.Next(item)) {
        const TKey* key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                       [&](const TKey& k) { return k.Item == item.Type; });
        if (key != std::end(kKeys) && fields.Wants(key->Field, key->Rank))
            fields.Offer(key->Field, ItemValue(source, item, *key, codec, bytes), key->Rank);
    }
    fields.StoreInto(info);
    return true;
}

int ReadMp4Length(IByteSource& file) {
    TBufferedSource source(file);
    std::uint64_t size = 0;
    TAtom moov, mvhd;
    if (!source.Size(size) || !TAtomWalk(source, 0, size).Find(Type("moov"), moov) ||
        !TAtomWalk(source, moov.Data, moov.End).Find(Type("mvhd"), mvhd))
        return -1;
    // Version 0: times, scale and duration of 32 bits; version 1: 64-bit times and duration.
    std::uint8_t h[32];
    const std::size_t n = std::size_t(std::min<std::uint64_t>(sizeof h, mvhd.End - mvhd.Data));
    if (n < 20 || ReadFully(source, mvhd.Data, h, n) != n) return -1;
    if (h[0] == 0) {
        const std::uint32_t duration = U32BE(h + 16);
        return duration == 0xFFFFFFFFu ? -1 : RoundedSeconds(duration, U32BE(h + 12));
    }
    if (h[0] != 1 || n < 32) return -1;
    const std::uint64_t duration = U64BE(h + 24);
    return duration == ~std::uint64_t{0} ? -1 : RoundedSeconds(duration, U32BE(h + 20));
}
