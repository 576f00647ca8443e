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
    const TBytes trak = Atom("trak", Cat(Atom("tkhd", TBytes(84, 0)), Atom("mdia", TBytes(12 * 1024, 0))));
    const TBytes head = Cat(Atom("mvhd", TBytes(100, 0)), trak);
    const TBytes ftyp = Atom("ftyp", Text("M4A \0\0\2\0M4A mp42isom"));
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
