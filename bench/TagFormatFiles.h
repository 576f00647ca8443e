#pragma once
// The files the tag-format benchmarks read, one kind per format, laid out as the
// common writers lay them out, and for each the floor: the byte ranges its reader
// cannot do without (the headers on the way to the tag and the tag itself), which
// the floor reads raw, one read per range.
#include <cstdint>
#include <string>
#include <vector>

struct TFloorRange {
    std::uint64_t Offset;
    std::size_t Length;
};

struct TBenchFile {
    std::vector<std::uint8_t> Bytes;
    std::vector<TFloorRange> Floor;
};

namespace bench_files {

using TBytes = std::vector<std::uint8_t>;

inline TBytes Cat(TBytes a, const TBytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline TBytes Text(const std::string& s) { return TBytes(s.begin(), s.end()); }
inline TBytes BigEndian32(std::size_t n) {
    return {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)};
}
inline TBytes Atom(const std::string& type, const TBytes& body) {
    return Cat(Cat(BigEndian32(body.size() + 8), Text(type)), body);
}
inline TBytes Item(const std::string& key, const std::string& text) {
    return Atom(key, Atom("data", Cat({0, 0, 0, 1, 0, 0, 0, 0}, Text(text))));
}
inline TBytes Le(std::uint64_t v, int n) {
    TBytes b;
    for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
    return b;
}
inline TBytes Utf16(const std::string& ascii) {
    TBytes b;
    for (char c : ascii) b = Cat(b, {std::uint8_t(c), 0});
    return Cat(b, {0, 0});
}
// The GUIDs of the ASF objects that matter here; others get made-up ones.
inline TBytes Guid(std::uint32_t first) {
    return Cat(Le(first, 4), {0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
}
inline const TBytes kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                                   0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
inline TBytes Object(const TBytes& guid, const TBytes& body) { return Cat(Cat(guid, Le(body.size() + 24, 8)), body); }
inline TBytes Descriptor(const std::string& name, const std::string& value) {
    const TBytes n = Utf16(name), v = Utf16(value);
    return Cat(Cat(Cat(Le(n.size(), 2), n), Cat(Le(0, 2), Le(v.size(), 2))), v);
}

inline TBytes Comments(const std::string& vendor, const std::vector<std::string>& comments) {
    TBytes b = Cat(Le(vendor.size(), 4), Text(vendor));
    b = Cat(b, Le(comments.size(), 4));
    for (const std::string& c : comments) b = Cat(Cat(b, Le(c.size(), 4)), Text(c));
    return b;
}
inline std::vector<std::string> CommentsOf(int i) {
    return {"TITLE=Title number " + std::to_string(i), "ARTIST=Artist " + std::to_string(i % 97),
            "ALBUM=Album " + std::to_string(i % 13), "GENRE=Rock", "DATE=2004", "TRACKNUMBER=3"};
}
// An Ogg page holding whole packets (the last may go on in the next page when
// `open`), with its checksum.
inline TBytes OggPage(std::uint8_t flags, std::uint32_t sequence, const std::vector<TBytes>& packets, bool open = false) {
    TBytes lacing, data;
    for (std::size_t k = 0; k < packets.size(); ++k) {
        std::size_t n = packets[k].size();
        for (; n >= 255; n -= 255) lacing.push_back(255);
        if (!(open && k + 1 == packets.size())) lacing.push_back(std::uint8_t(n));
        data = Cat(data, packets[k]);
    }
    TBytes page = Cat(Cat(Text("OggS"), {0, flags}), Cat(Le(0, 8), Le(0x5EED, 4)));
    page = Cat(Cat(page, Le(sequence, 4)), Cat(Le(0, 4), {std::uint8_t(lacing.size())}));
    page = Cat(Cat(page, lacing), data);
    std::uint32_t crc = 0;
    for (std::uint8_t byte : page) {
        crc ^= std::uint32_t(byte) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? crc << 1 ^ 0x04C11DB7u : crc << 1;
    }
    for (int k = 0; k < 4; ++k) page[22 + k] = std::uint8_t(crc >> (8 * k));
    return page;
}
}  // namespace bench_files

// An iTunes-style ".m4a": ftyp; moov with the sample tables of about a minute
// of audio (12 KB) before udta/meta/ilst; the audio.
inline TBenchFile Mp4BenchFile(int i) {
    using namespace bench_files;
    const std::string sign = "\xA9";
    TBytes items;
    for (const TBytes& item : {Item(sign + "nam", "Title number " + std::to_string(i)),
                               Item(sign + "ART", "Artist " + std::to_string(i % 97)),
                               Item(sign + "alb", "Album " + std::to_string(i % 13)), Item(sign + "gen", "Rock"),
                               Item(sign + "day", "2004"), Item(sign + "too", "Lavf58.76.100")})
        items = Cat(items, item);
    const TBytes meta = Cat(Cat(Cat({0, 0, 0, 0}, Atom("hdlr", TBytes(25, 0))), Atom("ilst", items)),
                            Atom("free", TBytes(1024, 0)));
    const TBytes hdlr = Atom("hdlr", Cat(Cat(TBytes(8, 0), Text("soun")), TBytes(13, 0)));
    const TBytes tables = Atom("minf", Atom("stbl", Atom("stsz", TBytes(12 * 1024, 0))));
    const TBytes trak = Atom("trak", Cat(Atom("tkhd", TBytes(84, 0)), Atom("mdia", Cat(Cat(Atom("mdhd", TBytes(24, 0)), hdlr), tables))));
    const TBytes head = Cat(Atom("mvhd", TBytes(100, 0)), trak);
    const TBytes ftyp = Atom("ftyp", Text(std::string("M4A \0\0\2\0M4A mp42isom", 20)));
    TBenchFile f;
    f.Bytes = Cat(Cat(ftyp, Atom("moov", Cat(head, Atom("udta", Atom("meta", meta))))), Atom("mdat", TBytes(4096, 0x21)));
    const std::size_t udta = ftyp.size() + 8 + head.size();
    const std::size_t ilstEnd = udta + 8 + 8 + 4 + 33 + 8 + items.size();
    f.Floor = {{0, 4096}, {udta, ilstEnd - udta}};
    return f;
}

// A Windows Media Player ".wma": the header object with file and stream
// properties, a header extension, the codec list, both content descriptions and
// the padding the player leaves for later edits; the audio packets.
inline TBenchFile AsfBenchFile(int i) {
    using namespace bench_files;
    const TBytes title = Utf16("Title number " + std::to_string(i)), author = Utf16("Artist " + std::to_string(i % 97));
    const TBytes cd = Object(Guid(0x75B22633), Cat(Cat(Cat(Le(title.size(), 2), Le(author.size(), 2)), Le(0, 6)),
                                                   Cat(title, author)));
    TBytes descriptors;
    for (const TBytes& d : {Descriptor("WM/AlbumTitle", "Album " + std::to_string(i % 13)), Descriptor("WM/Genre", "Rock"),
                            Descriptor("WM/Year", "2004"), Descriptor("WM/EncodingSettings", "Lavf58.76.100"),
                            Descriptor("WM/ToolName", "Windows Media Player")})
        descriptors = Cat(descriptors, d);
    const TBytes ecd = Object(kExtendedContentDescription, Cat(Le(5, 2), descriptors));
    TBytes objects = Cat(Object(Guid(0x8CABDCA1), TBytes(80, 0)), Object(Guid(0xB7DC0791), TBytes(90, 0)));
    objects = Cat(Cat(objects, Object(Guid(0x5FBF03B5), TBytes(300, 0))), Object(Guid(0x86D15240), TBytes(120, 0)));
    objects = Cat(Cat(objects, cd), ecd);
    const std::size_t padding = 30 + objects.size();
    objects = Cat(objects, Object(Guid(0x1806D474), TBytes(3000, 0)));
    TBenchFile f;
    f.Bytes = Cat(Cat(Cat(Guid(0x75B22630), Le(objects.size() + 30, 8)), Cat(Le(7, 4), {1, 2})), objects);
    f.Bytes = Cat(f.Bytes, Object(Guid(0x75B22636), TBytes(8192, 0x5D)));
    f.Floor = {{0, padding + 24}};
    return f;
}

// A FLAC file as the reference encoder writes it: STREAMINFO, a seek table, the
// comments, 8 KiB of padding, the audio.
inline TBenchFile FlacBenchFile(int i) {
    using namespace bench_files;
    auto block = [](std::uint8_t type, const TBytes& body) {
        return Cat({type, std::uint8_t(body.size() >> 16), std::uint8_t(body.size() >> 8), std::uint8_t(body.size())}, body);
    };
    TBenchFile f;
    f.Bytes = Cat(Cat(Text("fLaC"), block(0, TBytes(34, 0x11))), block(3, TBytes(18 * 10, 0)));
    f.Bytes = Cat(f.Bytes, block(4, Comments("reference libFLAC 1.4.2 20221022", CommentsOf(i))));
    f.Floor = {{0, f.Bytes.size()}};
    f.Bytes = Cat(Cat(f.Bytes, block(0x81, TBytes(8192, 0))), TBytes(8192, 0xF8));
    return f;
}

// An Ogg Vorbis file as oggenc writes it: the identification header alone on the
// first page, the comments and the 3 KB setup header on the second, the audio.
inline TBenchFile OggBenchFile(int i) {
    using namespace bench_files;
    const TBytes id = Cat(Text("\x01vorbis"), TBytes(23, 0x01));
    const TBytes comments = Cat(Cat(Text("\x03vorbis"), Comments("Xiph.Org libVorbis I 20200704 (Reducing Environment)", CommentsOf(i))), {1});
    const TBytes setup = Cat(Text("\x05vorbis"), TBytes(3000, 0x42));
    const TBytes second = OggPage(0, 1, {comments, setup});
    TBenchFile f;
    f.Bytes = OggPage(2, 0, {id});
    f.Floor = {{0, f.Bytes.size() + 27 + second[26] + comments.size()}};  // to the comments' end
    f.Bytes = Cat(f.Bytes, second);
    f.Bytes = Cat(f.Bytes, OggPage(0, 2, {TBytes(4000, 0x33)}));
    return f;
}

// An Opus file as opusenc writes it: OpusHead, then OpusTags on its own page.
inline TBenchFile OpusBenchFile(int i) {
    using namespace bench_files;
    const TBytes head = Cat(Text("OpusHead"), {1, 2, 0x38, 1, 0x80, 0xBB, 0, 0, 0, 0, 0});
    TBenchFile f;
    f.Bytes = Cat(OggPage(2, 0, {head}), OggPage(0, 1, {Cat(Text("OpusTags"), Comments("libopus 1.3.1", CommentsOf(i)))}));
    f.Floor = {{0, f.Bytes.size()}};
    f.Bytes = Cat(f.Bytes, OggPage(0, 2, {TBytes(4000, 0x33)}));
    return f;
}

// A Monkey's Audio file with an APEv2 tag (header, items, footer) at its end.
inline TBenchFile ApeBenchFile(int i) {
    using namespace bench_files;
    TBytes items;
    const std::vector<std::string> keys = {"Title", "Artist", "Album", "Genre", "Year", "Track"};
    const std::vector<std::string> values = {"Title number " + std::to_string(i), "Artist " + std::to_string(i % 97),
                                             "Album " + std::to_string(i % 13), "Rock", "2004", "3"};
    for (std::size_t k = 0; k < keys.size(); ++k)
        items = Cat(items, Cat(Cat(Cat(Le(values[k].size(), 4), Le(0, 4)), Cat(Text(keys[k]), {0})), Text(values[k])));
    auto frame = [&](std::uint32_t flags) {
        return Cat(Cat(Text("APETAGEX"), Le(2000, 4)), Cat(Cat(Le(items.size() + 32, 4), Le(keys.size(), 4)),
                                                           Cat(Le(flags, 4), TBytes(8, 0))));
    };
    TBenchFile f;
    f.Bytes = Cat(Cat(Text("MAC "), TBytes(16380, 0x77)), frame(0xA0000000u));
    const std::size_t itemsAt = f.Bytes.size();
    f.Bytes = Cat(Cat(f.Bytes, items), frame(0x80000000u));
    // The footer says where the items are: two reads, one after the other.
    f.Floor = {{f.Bytes.size() - 32, 32}, {itemsAt, items.size()}};
    return f;
}

struct TBenchFormat {
    const char* Name;
    const char* Extension;  // picks the reader from the reader table
    TBenchFile (*Make)(int i);
};
inline const TBenchFormat kBenchFormats[] = {
    {"FLAC comments", ".flac", &FlacBenchFile},
    {"Ogg Vorbis comments", ".ogg", &OggBenchFile},
    {"Opus comments", ".opus", &OpusBenchFile},
    {"APEv2 items", ".ape", &ApeBenchFile},
    {"MP4 items", ".m4a", &Mp4BenchFile},
    {"ASF descriptions", ".wma", &AsfBenchFile},
};
