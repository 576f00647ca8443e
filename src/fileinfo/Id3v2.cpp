#include "fileinfo/Id3v2.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "fileinfo/MpegAudio.h"
#include "fileinfo/TagText.h"

namespace {

constexpr std::size_t kHeaderSize = 10;
// A text frame is read up to this many bytes: far more than any title needs, and
// a lying size costs no more than this.
constexpr std::size_t kMaxTextFrameBytes = 64 * 1024;

std::uint32_t Syncsafe(const std::uint8_t* p, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 7 | (p[i] & 0x7Fu);
    return v;
}
std::uint32_t BigEndian(const std::uint8_t* p, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}
bool IsSyncsafe(const std::uint8_t* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] & 0x80) return false;
    return true;
}

// Drops the 0x00 that unsynchronisation put after every 0xFF.
std::vector<std::uint8_t> Resync(const std::uint8_t* p, std::size_t n) {
    std::vector<std::uint8_t> out;
    out.reserve(n);
    bool afterFF = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!(afterFF && p[i] == 0)) out.push_back(p[i]);
        afterFF = p[i] == 0xFF;
    }
    return out;
}

// The tag's data as a forward-only stream of bytes. Plain tags map straight onto
// the source, so skipping is only arithmetic; a tag written with tag-wide
// unsynchronisation (2.2, 2.3) has to be decoded on the way, so skipping reads.
class TTagStream {
public:
    TTagStream(IByteSource& source, std::uint64_t begin, std::uint64_t end, bool unsync)
        : source_(source), raw_(begin), end_(end), unsync_(unsync) {}

    std::uint64_t Position() const { return pos_; }
    // How many bytes are left at most (exactly, for a plain tag).
    std::uint64_t Left() const { return end_ - raw_ + (rawLength_ - rawNext_); }
    bool Unsync() const { return unsync_; }

    // Exactly `n` bytes, or false (and the stream is spent).
    bool Read(std::uint8_t* out, std::size_t n) {
        if (!unsync_) {
            if (n > end_ - raw_ || ReadFully(source_, raw_, out, n) != n) return Fail();
            raw_ += n;
            pos_ += n;
            return true;
        }
        for (std::size_t i = 0; i < n; ++i)
            if (!NextDecoded(out[i])) return Fail();
        return true;
    }

    bool Skip(std::uint64_t n) {
        if (!unsync_) {
            if (n > end_ - raw_) return Fail();
            raw_ += n;
            pos_ += n;
            return true;
        }
        std::uint8_t b;
        for (std::uint64_t i = 0; i < n; ++i)
            if (!NextDecoded(b)) return Fail();
        return true;
    }

private:
    bool Fail() {
        raw_ = end_;
        rawNext_ = rawLength_ = 0;
        return false;
    }
    bool NextDecoded(std::uint8_t& b) {
        for (;;) {
            if (rawNext_ == rawLength_) {
                const std::size_t want = std::size_t(std::min<std::uint64_t>(sizeof rawBlock_, end_ - raw_));
                rawLength_ = want ? ReadFully(source_, raw_, rawBlock_, want) : 0;
                rawNext_ = 0;
                raw_ += rawLength_;
                if (rawLength_ == 0) return false;
            }
            const std::uint8_t c = rawBlock_[rawNext_++];
            const bool dropped = afterFF_ && c == 0;
            afterFF_ = c == 0xFF;
            if (dropped) continue;
            b = c;
            ++pos_;
            return true;
        }
    }

    IByteSource& source_;
    std::uint64_t raw_;  // next source position not yet fetched
    std::uint64_t end_;
    std::uint64_t pos_ = 0;
    bool unsync_;
    bool afterFF_ = false;
    std::uint8_t rawBlock_[512];
    std::size_t rawNext_ = 0, rawLength_ = 0;
};

// Asks the underlying source for its size once: both tags need it, and for a
// file each question is a system call.
class TSizeOnce : public IByteSource {
public:
    explicit TSizeOnce(IByteSource& inner) : inner_(inner) { known_ = inner_.Size(size_); }
    bool Size(std::uint64_t& size) override {
        size = size_;
        return known_;
    }
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override {
        return inner_.ReadAt(position, buffer, count);
    }
private:
    IByteSource& inner_;
    std::uint64_t size_ = 0;
    bool known_ = false;
};

// ---- text

bool IsUtf16(std::uint8_t encoding) { return encoding == 1 || encoding == 2; }

// Where the first string of this encoding that starts at `from` ends (its
// terminator included); n when it is not terminated.
std::size_t AfterFirstString(std::uint8_t encoding, const std::uint8_t* p, std::size_t n, std::size_t from) {
    if (IsUtf16(encoding)) {
        for (std::size_t i = from; i + 1 < n; i += 2)
            if (p[i] == 0 && p[i + 1] == 0) return i + 2;
        return n;
    }
    const void* nul = from < n ? std::memchr(p + from, 0, n - from) : nullptr;
    return nul ? std::size_t(static_cast<const std::uint8_t*>(nul) - p) + 1 : n;
}

// The length of the first value: up to its terminator, or all of it (an odd
// last byte of UTF-16 text dropped).
std::size_t FirstValueLength(std::uint8_t encoding, const std::uint8_t* p, std::size_t n) {
    if (IsUtf16(encoding)) {
        for (std::size_t i = 0; i + 1 < n; i += 2)
            if (p[i] == 0 && p[i + 1] == 0) return i;
        return n & ~std::size_t(1);
    }
    const void* nul = std::memchr(p, 0, n);
    return nul ? std::size_t(static_cast<const std::uint8_t*>(nul) - p) : n;
}

// The first value of an encoded string, cut to `maxChars` characters, as the
// record's text, trimmed. Encoding 0 is taken as the system's code page: many
// taggers stored it there.
std::string FirstValue(std::uint8_t encoding, const std::uint8_t* p, std::size_t n, const TTagTextCodec& codec,
                       std::size_t maxChars = std::size_t(-1)) {
    const std::size_t length = n == 0 ? 0 : FirstValueLength(encoding, p, n);
    if (encoding == 0) {
        return CodePageTagText(std::string_view(reinterpret_cast<const char*>(p), std::min(length, maxChars)), codec);
    }
    std::u16string text;
    if (encoding == 3) {
        text = Utf8ToUtf16(p, length);
    } else {
        bool bigEndian = encoding == 2;
        std::size_t i = 0;
        if (length >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
            bigEndian = p[0] == 0xFE;
            i = 2;
        }
        // Encoding 1 without its byte-order mark is taken as little-endian, as
        // the writers that leave the mark out wrote it.
        for (; i + 1 < length; i += 2)
            text.push_back(bigEndian ? char16_t(p[i] << 8 | p[i + 1]) : char16_t(p[i + 1] << 8 | p[i]));
        FixSurrogates(text);
    }
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    if (text.size() > maxChars) text.resize(maxChars);
    return text.empty() ? std::string() : TrimTagText(codec(text));
}

// ---- frames

enum class TField { None, Title, Artist, Album, Comment, Year, RecordingTime, Genre };

TField FieldOf(const std::uint8_t* id, bool v22) {
    struct TId {
        const char* v22;
        const char* v23;
        TField field;
    };
    static constexpr TId kIds[] = {
        {"TT2", "TIT2", TField::Title}, {"TP1", "TPE1", TField::Artist}, {"TAL", "TALB", TField::Album},
        {"COM", "COMM", TField::Comment}, {"TYE", "TYER", TField::Year},  {"", "TDRC", TField::RecordingTime},
        {"TCO", "TCON", TField::Genre},
    };
    for (const TId& k : kIds) {
        const char* want = v22 ? k.v22 : k.v23;
        const std::size_t n = v22 ? 3 : 4;
        if (std::strlen(want) == n && std::memcmp(id, want, n) == 0) return k.field;
    }
    return TField::None;
}

bool IsFrameIdChar(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

struct TTagInfo {
    int Major = 0;
    bool TagUnsync = false;  // 2.4: every frame is unsynchronised
};

enum class TSizes { Plain, Syncsafe };

// What one walk collected.
struct TWalk {
    TId3v2Text Text;
    std::string RecordingTime;
    bool DescribedComment = false;  // Text.Comment came from a comment with a description
    bool Consistent = true;         // ended at padding or the tag's end, never inside garbage
};

// Stores a wanted frame; false when a later frame of its kind may still serve
// better (a comment with a description, while one without may follow).
bool StoreFrame(TField field, std::uint8_t* data, std::size_t n, const TTagTextCodec& codec, TWalk& walk) {
    if (n < 1) return true;
    const std::uint8_t encoding = data[0];
    if (encoding > 3) return true;
    const std::uint8_t* p = data + 1;
    n -= 1;
    switch (field) {
    case TField::Title: walk.Text.Title = FirstValue(encoding, p, n, codec); break;
    case TField::Artist: walk.Text.Artist = FirstValue(encoding, p, n, codec); break;
    case TField::Album: walk.Text.Album = FirstValue(encoding, p, n, codec); break;
    case TField::Year: walk.Text.Year = FirstValue(encoding, p, n, codec); break;
    case TField::RecordingTime: walk.RecordingTime = FirstValue(encoding, p, n, codec, 4); break;
    case TField::Genre: walk.Text.Genre = Id3v2GenreName(FirstValue(encoding, p, n, codec)); break;
    case TField::Comment: {
        // language(3), a short description, then the text. The user's comment is
        // the one without a description; iTunes keeps numbers of its own in
        // comments described "iTunNORM", "iTunSMPB", ..., which are never shown.
        if (n < 3) return true;
        const std::size_t text = AfterFirstString(encoding, p + 3, n - 3, 0);
        const std::string description = FirstValue(encoding, p + 3, text, codec);
        if (description.compare(0, 4, "iTun") == 0) return false;
        if (!description.empty() && walk.DescribedComment) return false;  // the first described one stays
        walk.Text.Comment = FirstValue(encoding, p + 3 + text, n - 3 - text, codec);
        walk.DescribedComment = !description.empty();
        return description.empty();
    }
    case TField::None: break;
    }
    return true;
}

// Walks the frames from the stream's position to its end, reading the wanted
// ones; the first frame of each kind counts (of the comments, the first that
// StoreFrame settles on).
void WalkFrames(TTagStream& stream, const TTagInfo& tag, TSizes sizes, const TTagTextCodec& codec, TWalk& walk) {
    const bool v22 = tag.Major == 2;
    const std::size_t headerSize = v22 ? 6 : 10;
    bool seen[8] = {};
    std::vector<std::uint8_t> data;
    for (;;) {
        if (stream.Left() < headerSize) return;  // the tag's end (or a few stray bytes)
        std::uint8_t h[10];
        if (!stream.Read(h, headerSize)) return;
        if (h[0] == 0) {
            // Padding is all zero; anything else here means the sizes went astray.
            walk.Consistent = std::all_of(h, h + headerSize, [](std::uint8_t b) { return b == 0; });
            return;
        }
        const std::size_t idLength = v22 ? 3 : 4;
        if (!std::all_of(h, h + idLength, IsFrameIdChar)) {
            walk.Consistent = false;
            return;
        }
        std::uint64_t size;
        if (v22) size = BigEndian(h + 3, 3);
        else if (sizes == TSizes::Syncsafe) {
            if (!IsSyncsafe(h + 4, 4)) {
                walk.Consistent = false;
                return;
            }
            size = Syncsafe(h + 4, 4);
        } else size = BigEndian(h + 4, 4);
        if (!stream.Unsync() && size > stream.Left()) {
            walk.Consistent = false;  // runs past the tag: nothing after it can be trusted
            return;
        }
        const TField field = FieldOf(h, v22);
        const int slot = int(field);
        const std::uint8_t format = v22 ? 0 : h[9];
        bool skip = field == TField::None || seen[slot];
        std::size_t prefix = 0;  // bytes before the frame's text
        bool frameUnsync = false;
        if (tag.Major == 3) {
            if (format & 0xC0) skip = true;  // compressed or encrypted
            if (format & 0x20) prefix += 1;  // group id
        } else if (tag.Major == 4) {
            if (format & 0x0C) skip = true;  // compressed or encrypted
            if (format & 0x40) prefix += 1;  // group id
            if (format & 0x01) prefix += 4;  // data length indicator
            frameUnsync = (format & 0x02) || tag.TagUnsync;
        }
        if (skip || size <= prefix) {
            if (!stream.Skip(size)) return;
            continue;
        }
        const std::size_t take = std::size_t(std::min<std::uint64_t>(size, kMaxTextFrameBytes));
        data.resize(take);
        if (!stream.Read(data.data(), take) || !stream.Skip(size - take)) return;
        std::size_t n = take - prefix;
        std::uint8_t* p = data.data() + prefix;
        if (frameUnsync) {
            std::vector<std::uint8_t> plain = Resync(p, n);
            std::copy(plain.begin(), plain.end(), p);
            n = plain.size();
        }
        seen[slot] = StoreFrame(field, p, n, codec, walk);
    }
}

// The extended header, when the flags say there is one; false when it cannot be
// stepped over (no frames can be found then).
bool SkipExtendedHeader(TTagStream& stream, const TTagInfo& tag) {
    std::uint8_t s[4];
    if (!stream.Read(s, 4)) return false;
    if (tag.Major == 3) return stream.Skip(BigEndian(s, 4));  // the size leaves itself out
    if (!IsSyncsafe(s, 4)) return false;
    const std::uint32_t size = Syncsafe(s, 4);  // 2.4: the size counts itself
    return size >= 6 && stream.Skip(size - 4);
}

}  // namespace

namespace {
// A reference of one to three digits, or -1.
int GenreNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 3) return -1;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The name a reference inside or without brackets stands for: the genre
// table's, "Remix" for RX, "Cover" for CR. `known` is false for anything else.
std::string GenreReference(std::string_view ref, bool& known, bool& number) {
    known = true;
    number = false;
    if (ref == "RX") return "Remix";
    if (ref == "CR") return "Cover";
    const int n = GenreNumber(ref);
    if (n < 0) {
        known = false;
        return std::string();
    }
    number = true;
    return n < kGenreCount ? GenreNames[n] : std::string();
}
}  // namespace

std::string Id3v2GenreName(const std::string& text) {
    // "((" stands for a name that itself begins with a bracket.
    if (text.size() >= 2 && text[0] == '(' && text[1] == '(') return text.substr(1);
    bool known = false, number = false;
    if (!text.empty() && text[0] == '(') {
        const std::size_t close = text.find(')');
        if (close == std::string::npos) return text;
        std::string name = GenreReference(std::string_view(text).substr(1, close - 1), known, number);
        if (!known) return text;
        // A number the table lacks (255: no genre) gives the refinement behind it, if any.
        if (number && name.empty()) return TrimTagText(std::string_view(text).substr(close + 1));
        return name;
    }
    std::string name = GenreReference(text, known, number);
    return known ? name : text;
}

bool ReadId3v2Tag(IByteSource& source, TId3v2Text& text, const TTagTextCodec& codec) {
    std::uint8_t h[kHeaderSize];
    if (ReadFully(source, 0, h, kHeaderSize) != kHeaderSize) return false;
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] < 2 || h[3] > 4 || h[4] == 0xFF ||
        !IsSyncsafe(h + 6, 4))
        return false;
    TTagInfo tag;
    tag.Major = h[3];
    const std::uint8_t flags = h[5];
    if (tag.Major == 2 && (flags & 0x40)) return true;  // a compressed 2.2 tag: nothing readable
    std::uint64_t fileSize = 0;
    if (!source.Size(fileSize)) return true;
    const std::uint64_t end = std::min<std::uint64_t>(kHeaderSize + Syncsafe(h + 6, 4), fileSize);
    if (end <= kHeaderSize) return true;
    const bool tagUnsync = (flags & 0x80) != 0;
    // 2.4 unsynchronises frame by frame; earlier versions the whole tag.
    tag.TagUnsync = tag.Major == 4 && tagUnsync;
    const bool extended = tag.Major >= 3 && (flags & 0x40);

    auto walk = [&](TSizes sizes, TWalk& out) {
        TTagStream stream(source, kHeaderSize, end, tagUnsync && tag.Major < 4);
        if (extended && !SkipExtendedHeader(stream, tag)) return;
        WalkFrames(stream, tag, sizes, codec, out);
    };
    TWalk result;
    walk(tag.Major == 4 ? TSizes::Syncsafe : TSizes::Plain, result);
    if (tag.Major == 4 && !result.Consistent) {
        // Some writers put plain sizes into 2.4 tags: take those when they walk
        // the frames consistently and the syncsafe ones do not.
        TWalk plain;
        walk(TSizes::Plain, plain);
        if (plain.Consistent) result = std::move(plain);
    }
    if (result.Text.Year.empty()) result.Text.Year = result.RecordingTime;
    text = std::move(result.Text);
    return true;
}

void MergeMp3Tags(TMP3FileInfo& info, const TMP3FileInfo& id3v1, const TId3v2Text& id3v2, bool preferId3v2) {
    struct TPair {
        TInfoField record;
        std::string TId3v2Text::*tag;
    };
    static constexpr TPair kFields[] = {
        {TInfoField::Title, &TId3v2Text::Title},     {TInfoField::Artist, &TId3v2Text::Artist},
        {TInfoField::Album, &TId3v2Text::Album},     {TInfoField::Comment, &TId3v2Text::Comment},
        {TInfoField::Year, &TId3v2Text::Year},       {TInfoField::Genre, &TId3v2Text::Genre},
    };
    for (const TPair& f : kFields) {
        const std::string_view v1 = id3v1.Get(f.record);
        const std::string_view v2 = id3v2.*f.tag;
        const std::string_view chosen = (preferId3v2 && !v2.empty()) || v1.empty() ? v2 : v1;
        if (!chosen.empty()) info.Set(f.record, chosen);
    }
}

bool ReadMp3Tags(IByteSource& file, TMP3FileInfo& info, bool preferId3v2, const TTagTextCodec& codec) {
    TSizeOnce source(file);
    TMP3FileInfo id3v1;
    TId3v1Bytes trailer;
    bool found = ReadId3v1Bytes(source, trailer) && ParseId3v1Tag(trailer, id3v1, codec);
    const bool complete = !id3v1.Title().empty() && !id3v1.Artist().empty() && !id3v1.Album().empty() &&
                          !id3v1.Comment().empty() && !id3v1.Year().empty() && !id3v1.Genre().empty();
    TId3v2Text id3v2;
    if (preferId3v2 || !complete) {
        // Frame headers are small and close together: read them a block at a time.
        TBufferedSource buffered(source);
        found = ReadId3v2Tag(buffered, id3v2, codec) || found;
    }
    MergeMp3Tags(info, id3v1, id3v2, preferId3v2);
    return found;
}
