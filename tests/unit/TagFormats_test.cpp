// The text and field rules that every reader of the tag-reader table shares,
// and the readers of the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fileinfo/AsfTags.h"
#include "fileinfo/Mp4Tags.h"
#include "fileinfo/SongLength.h"
#include "fileinfo/TagFields.h"
#include "fileinfo/TagReaders.h"
#include "fileinfo/TagText.h"
#include "TagTestSources.h"

namespace {

std::string Utf16Le(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------- shared rules

TEST(TagText, UnicodeValuesEndAtNulLoseTheMarkAndAreTrimmed) {
    EXPECT_EQ(Utf8TagText("  日本語 \0second", &ToUtf8), "日本語");
    EXPECT_EQ(Utf8TagText(std::string_view("\xEF\xBB\xBF" "Caf\xC3\xA9\t", 8), &ToUtf8), "Café");
    EXPECT_EQ(Utf8TagText("bad \xFF byte", &ToUtf8), "bad ? byte");
    EXPECT_EQ(Utf8TagText(std::string_view("\0after", 6), &ToUtf8), "");
    EXPECT_EQ(Utf16LeTagText(Utf16Le(u"\uFEFF タイトル ") + std::string("\0\0more", 6), &ToUtf8), "タイトル");
    EXPECT_EQ(Utf16LeTagText(Utf16Le(u"a\xD800z") + "x", &ToUtf8), "a?z");  // lone surrogate, odd byte
    // The records' own UTF-8 (a codec without a converter): pairs kept, a lone half replaced.
    EXPECT_EQ(Utf16LeTagText(Utf16Le(u"a\xDC00z\U0001F3B5"), TTagTextCodec()), "a\xEF\xBF\xBDz\xF0\x9F\x8E\xB5");
}

TEST(TagText, LongValuesAreCutAt64KiBOnACharacterBoundary) {
    // 65,535 ASCII bytes and then "日": the cut falls inside the character.
    const std::string longText = std::string(kMaxTagValueBytes - 1, 'a') + "日本";
    const std::string cut = Utf8TagText(longText, &ToUtf8);
    EXPECT_EQ(cut, std::string(kMaxTagValueBytes - 1, 'a'));
    // A reader that read only the first bytes says so; a complete value keeps its end.
    EXPECT_EQ(Utf8TagText("ab\xE6\x97", &ToUtf8, true), "ab");
    EXPECT_EQ(Utf8TagText("ab\xE6\x97\xA5", &ToUtf8, true), "ab日");
    EXPECT_EQ(Utf8TagText("ab\xE6\x97", &ToUtf8), "ab?");
    const std::string wide = Utf16Le(std::u16string(kMaxTagValueBytes / 2 - 1, u'b') + u"\U0001F600");
    EXPECT_EQ(Utf16LeTagText(wide, &ToUtf8), std::string(kMaxTagValueBytes / 2 - 1, 'b'));
}

TEST(TagFields, FirstValueCountsBetterRankWinsEmptyValuesDoNot) {
    TTagKey key{};
    ASSERT_TRUE(CommonTagKey("description", key));
    EXPECT_EQ(key.Field, TInfoField::Comment);
    TTagFields fields;
    fields.Offer(key.Field, "from description", key.Rank);
    ASSERT_TRUE(CommonTagKey("Comment", key));
    EXPECT_TRUE(fields.Wants(key.Field, key.Rank));
    fields.Offer(key.Field, "from comment", key.Rank);
    fields.Offer(key.Field, "second comment", key.Rank);
    ASSERT_TRUE(CommonTagKey("YEAR", key));
    fields.Offer(key.Field, "1999", key.Rank);
    ASSERT_TRUE(CommonTagKey("date", key));
    fields.Offer(key.Field, "2001-05-06", key.Rank);
    ASSERT_TRUE(CommonTagKey("ENCODED-BY", key));
    fields.Offer(key.Field, "first tool", key.Rank);
    ASSERT_TRUE(CommonTagKey("encoder", key));
    EXPECT_FALSE(fields.Wants(key.Field, key.Rank));  // equal rank: the first found counts
    fields.Offer(TInfoField::Title, "");
    fields.Offer(TInfoField::Title, "Title");
    EXPECT_FALSE(CommonTagKey("TITLEX", key));
    EXPECT_FALSE(CommonTagKey("METADATA_BLOCK_PICTURE", key));

    TMP3FileInfo info;
    info.SetTitle("file name");
    info.SetArtist("kept");
    EXPECT_TRUE(fields.StoreInto(info));
    EXPECT_EQ(info.Title(), "Title");
    EXPECT_EQ(info.Artist(), "kept");
    EXPECT_EQ(info.Comment(), "from comment");
    EXPECT_EQ(info.Year(), "2001-05-06");
    EXPECT_EQ(info.Software(), "first tool");
    EXPECT_FALSE(TTagFields().StoreInto(info));
}

// ---------------------------------------------------------------- MP4 and ASF
// Files written by mutagen (tests/data/mp4, tests/data/asf,
// scripts/make-mp4-asf-fixtures.py) and hand-built damage.

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Fixture(const std::string& name) {
    TBytes bytes;
    if (std::FILE* f = std::fopen((std::string(VL_TEST_DATA_DIR) + "/" + name).c_str(), "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(std::uint8_t(c));
        std::fclose(f);
    }
    return bytes;
}

TMP3FileInfo Read(TTagReadFunction reader, const TBytes& file, std::uint64_t* delivered = nullptr) {
    TCountingSource source(file);
    TMP3FileInfo info;
    info.SetTitle("song");
    TTagReadOptions options;
    options.Text = &ToUtf8;
    reader(source, info, options);
    if (delivered) *delivered = source.Delivered;
    return info;
}

// ---- MP4 atoms by hand

TBytes Atom(const std::string& type, const TBytes& body) {
    const std::size_t n = body.size() + 8;
    TBytes a = {std::uint8_t(n >> 24), std::uint8_t(n >> 16), std::uint8_t(n >> 8), std::uint8_t(n)};
    for (char c : type) a.push_back(std::uint8_t(c));
    a.insert(a.end(), body.begin(), body.end());
    return a;
}
TBytes operator+(TBytes a, const TBytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
TBytes Data(std::uint8_t type, const std::string& value) {
    return Atom("data", TBytes{0, 0, 0, type, 0, 0, 0, 0} + TBytes(value.begin(), value.end()));
}
// moov/udta/meta/ilst around the items; `version` false leaves meta's version
// and flags out, as QuickTime writes it.
TBytes Mp4(const TBytes& items, bool version = true) {
    const TBytes hdlr = Atom("hdlr", TBytes(8, 0) + TBytes{'m', 'd', 'i', 'r'} + TBytes(13, 0));
    const TBytes meta = Atom("meta", (version ? TBytes(4, 0) : TBytes{}) + hdlr + Atom("ilst", items));
    return Atom("ftyp", TBytes(8, 'M')) + Atom("moov", Atom("mvhd", TBytes(100, 0)) + Atom("udta", meta)) +
           Atom("mdat", TBytes(50, 0xFF));
}

// ---- ASF objects by hand

TBytes Guid(std::uint32_t first) {
    static const TBytes kRest = {0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    return TBytes{std::uint8_t(first), std::uint8_t(first >> 8), std::uint8_t(first >> 16), std::uint8_t(first >> 24)} +
           kRest;
}
TBytes Le(std::uint64_t v, int n) {
    TBytes b;
    for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
    return b;
}
TBytes Utf16(const std::u16string& s) {
    TBytes b;
    for (char16_t c : s) b = b + Le(c, 2);
    return b;
}
TBytes Object(const TBytes& guid, const TBytes& body) { return guid + Le(body.size() + 24, 8) + body; }
TBytes Header(const TBytes& objects, int count) {
    return Object(Guid(0x75B22630), Le(std::uint64_t(count), 4) + TBytes{1, 2} + objects);
}
TBytes ContentDescription(const std::u16string& title, const std::u16string& author) {
    const TBytes t = Utf16(title + u'\0'), a = Utf16(author + u'\0');
    return Object(Guid(0x75B22633), Le(t.size(), 2) + Le(a.size(), 2) + Le(0, 6) + t + a);
}

}  // namespace

TEST(Mp4Tags, FilesWrittenByMutagen) {
    TMP3FileInfo a = Read(&ReadMp4Tags, Fixture("mp4/japanese.m4a"));
    EXPECT_EQ(a.Title(), "日本語のタイトル");
    EXPECT_EQ(a.Artist(), "アーティスト");  // the first of two values
    EXPECT_EQ(a.Album(), "Café");
    EXPECT_EQ(a.Comment(), "コメント");
    EXPECT_EQ(a.Genre(), "J-Pop");
    EXPECT_EQ(a.Year(), "2004-05-06");
    EXPECT_EQ(a.Copyright(), "© 2004 Label");
    EXPECT_EQ(a.Software(), "mutagen");
    // A 64-bit moov size, the audio as a last atom of size 0, "gnre" 18.
    TMP3FileInfo b = Read(&ReadMp4Tags, Fixture("mp4/size64-last0.m4b"));
    EXPECT_EQ(b.Title(), "Sixty-four");
    EXPECT_EQ(b.Genre(), "Rock");
    // The 1 MB cover is stepped over, not read; moov lies behind the audio.
    std::uint64_t delivered = 0;
    TMP3FileInfo c = Read(&ReadMp4Tags, Fixture("mp4/picture.mp4"), &delivered);
    EXPECT_EQ(c.Title(), "Pictured");
    EXPECT_EQ(c.Comment(), "After the picture");
    EXPECT_EQ(c.Copyright(), "Copyright after the picture");
    EXPECT_LT(delivered, 32u * 1024);
    // The year item's size is broken: what lies before it stays.
    TMP3FileInfo d = Read(&ReadMp4Tags, Fixture("mp4/broken.m4a"));
    EXPECT_EQ(d.Title(), "日本語のタイトル");
    EXPECT_EQ(d.Genre(), "J-Pop");
    EXPECT_EQ(d.Year(), "");
    EXPECT_EQ(d.Comment(), "");
}

TEST(Mp4Tags, ItemsValuesAndLayouts) {
    const TBytes nam = Atom("\xA9nam", Data(1, "  Name\0"));
    // Without meta's version and flags; the first of repeated items counts.
    EXPECT_EQ(Read(&ReadMp4Tags, Mp4(nam + Atom("\xA9nam", Data(1, "Later")), false)).Title(), "Name");
    // "©gen" wins over "gnre" in either order; "gnre" outside the table gives nothing.
    const TBytes gnre = Atom("gnre", Data(0, std::string("\0\x12", 2)));
    EXPECT_EQ(Read(&ReadMp4Tags, Mp4(gnre + Atom("\xA9gen", Data(1, "Text")))).Genre(), "Text");
    EXPECT_EQ(Read(&ReadMp4Tags, Mp4(gnre)).Genre(), "Rock");
    for (const char* n : {"\0\0", "\0\x95", "\x12"})
        EXPECT_EQ(Read(&ReadMp4Tags, Mp4(Atom("gnre", Data(0, std::string(n, n[0] ? 1 : 2))))).Genre(), "") << n;
    // A binary value is no text; UTF-16 (big-endian) is; bad UTF-8 shows "?".
    EXPECT_EQ(Read(&ReadMp4Tags, Mp4(Atom("\xA9nam", Data(0, "bin")))).Title(), "song");
    EXPECT_EQ(Read(&ReadMp4Tags, Mp4(Atom("\xA9nam", Data(2, std::string("\0W\0i", 4))))).Title(), "Wi");
    EXPECT_EQ(Read(&ReadMp4Tags, Mp4(Atom("\xA9nam", Data(1, "\xE6\x97 ok")))).Title(), "? ok");
    // moov as the last atom of size 0; a 64-bit size that runs past the file
    // (read as far as the file goes).
    TBytes last = Mp4(nam);
    last.resize(last.size() - 58);  // without mdat
    const std::size_t moov = 16;
    for (int k = 0; k < 4; ++k) last[moov + k] = 0;
    EXPECT_EQ(Read(&ReadMp4Tags, last).Title(), "Name");
    TBytes wide = Mp4(nam);
    for (int k = 0; k < 4; ++k) wide[moov + k] = k == 3;
    const TBytes huge = {0x7F, 0, 0, 0, 0, 0, 0, 0};
    wide.insert(wide.begin() + moov + 8, huge.begin(), huge.end());
    EXPECT_EQ(Read(&ReadMp4Tags, wide).Title(), "Name");
}

TEST(Mp4Tags, CutAnywhereNeverReadsPastTheBytes) {
    const TBytes file = Mp4(Atom("\xA9" "ART", Data(1, "Artist")) + Atom("\xA9nam", Data(1, "Title")));
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
        TMP3FileInfo info = Read(&ReadMp4Tags, TBytes(file.begin(), file.begin() + std::ptrdiff_t(cut)));
        EXPECT_TRUE(info.Artist().empty() || info.Artist() == "Artist") << cut;
        EXPECT_TRUE(info.Title() == "song" || info.Title() == "Title") << cut;  // never a part
    }
    // Sizes smaller than a header, zero inside a container, huge.
    static const char kArt[] = "\xA9" "ART";
    for (std::uint32_t size : {0u, 3u, 7u, 0xFFFFFFFFu}) {
        TBytes bad = Mp4(Atom("\xA9nam", Data(1, "Title")) + Atom("\xA9" "ART", Data(1, "Artist")));
        const std::size_t at = std::size_t(std::search(bad.begin(), bad.end(), kArt, kArt + 4) - bad.begin()) - 4;
        for (int k = 0; k < 4; ++k) bad[at + k] = std::uint8_t(size >> (24 - 8 * k));
        EXPECT_EQ(Read(&ReadMp4Tags, bad).Title(), "Title") << size;
    }
}

TEST(AsfTags, FilesWrittenByMutagen) {
    TMP3FileInfo a = Read(&ReadAsfTags, Fixture("asf/japanese.wma"));
    EXPECT_EQ(a.Title(), "日本語のタイトル");
    EXPECT_EQ(a.Artist(), "アーティスト");  // the second value went to the metadata library
    EXPECT_EQ(a.Comment(), "コメント");
    EXPECT_EQ(a.Copyright(), "© 2004 Label");
    EXPECT_EQ(a.Album(), "Café");
    EXPECT_EQ(a.Genre(), "J-Pop");
    EXPECT_EQ(a.Year(), "2004");
    EXPECT_EQ(a.Software(), "mutagen");
    // A 1 MB picture in the header extension and a 40 KB one among the
    // descriptors, both before the text: stepped over, not read.
    std::uint64_t delivered = 0;
    TMP3FileInfo b = Read(&ReadAsfTags, Fixture("asf/picture.asf"), &delivered);
    EXPECT_EQ(b.Title(), "Pictured");
    EXPECT_EQ(b.Album(), "Album after the pictures");
    EXPECT_EQ(b.Year(), "1999");  // a number
    EXPECT_LT(delivered, 16u * 1024);
    // The genre's value length runs past its object: what lies before it stays.
    TMP3FileInfo c = Read(&ReadAsfTags, Fixture("asf/broken.wma"));
    EXPECT_EQ(c.Title(), "日本語のタイトル");
    EXPECT_EQ(c.Album(), "Café");
    EXPECT_EQ(c.Genre(), "");
    EXPECT_EQ(c.Software(), "");
}

TEST(AsfTags, DamagedHeadersAndTruncation) {
    const TBytes cd = ContentDescription(u"Title", u"Author");
    EXPECT_EQ(Read(&ReadAsfTags, Header(cd, 1)).Artist(), "Author");
    // The first content description counts; a lone surrogate shows "?".
    EXPECT_EQ(Read(&ReadAsfTags, Header(ContentDescription(u"\xD800x", u"") + cd, 2)).Title(), "?x");
    // An object smaller than its header ends the walk; so does one past the header.
    EXPECT_EQ(Read(&ReadAsfTags, Header(Guid(1) + Le(10, 8) + cd, 2)).Title(), "song");
    TBytes past = Header(cd, 1);
    past[30 + 16] = 0xFF;  // the description claims more than the header holds
    EXPECT_EQ(Read(&ReadAsfTags, past).Title(), "Title");
    const TBytes file = Fixture("asf/japanese.wma");
    ASSERT_GT(file.size(), 1000u);
    for (std::size_t cut = 0; cut < file.size(); cut += 7) {
        TMP3FileInfo info = Read(&ReadAsfTags, TBytes(file.begin(), file.begin() + std::ptrdiff_t(cut)));
        EXPECT_TRUE(info.Software().empty() || info.Software() == "mutagen") << cut;
    }
}

// ---------------------------------------------------------------- FLAC, Ogg and APE
// Files written by mutagen (tests/data/tags, scripts/make-tag-fixtures.py), which
// also wrote down what it reads back from each (expected.txt).

namespace {

const std::map<std::string, TInfoField> kFieldNames = {
    {"Title", TInfoField::Title},     {"Artist", TInfoField::Artist},       {"Album", TInfoField::Album},
    {"Comment", TInfoField::Comment}, {"Genre", TInfoField::Genre},         {"Year", TInfoField::Year},
    {"Copyright", TInfoField::Copyright}, {"Software", TInfoField::Software}};

// File name -> the values mutagen read from it (the first of each key).
std::map<std::string, std::map<TInfoField, std::string>> MutagenValues() {
    std::map<std::string, std::map<TInfoField, std::string>> out;
    std::ifstream in(std::string(VL_TEST_DATA_DIR) + "/tags/expected.txt");
    for (std::string line; std::getline(in, line);) {
        const std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
        if (b == std::string::npos) continue;
        out[line.substr(0, a)][kFieldNames.at(line.substr(a + 1, b - a - 1))] = line.substr(b + 1);
    }
    return out;
}

TMP3FileInfo ReadByTable(const std::string& name, const TBytes& bytes, bool* found = nullptr,
                         std::uint64_t* delivered = nullptr) {
    TMP3FileInfo info;
    info.SetTitle("file name");
    const TTagReaderEntry* reader = FindTagReader(name.substr(name.rfind('.')));
    EXPECT_NE(reader, nullptr) << name;
    if (!reader) return info;
    TCountingSource source(bytes);
    TTagReadOptions options;
    options.Text = &ToUtf8;
    const bool got = reader->Read(source, info, options);
    if (found) *found = got;
    if (delivered) *delivered = source.Delivered;
    return info;
}

}  // namespace

TEST(TagFormats, FixturesGiveWhatMutagenReads) {
    const auto expected = MutagenValues();
    ASSERT_GE(expected.size(), 12u);
    for (const auto& [name, values] : expected) {
        bool found = false;
        std::uint64_t delivered = 0;
        const TBytes bytes = Fixture("tags/" + name);
        const TMP3FileInfo info = ReadByTable(name, bytes, &found, &delivered);
        EXPECT_TRUE(found) << name;
        for (const auto& [fieldName, field] : kFieldNames) {
            const auto it = values.find(field);
            EXPECT_EQ(info.Get(field), it == values.end() ? "" : it->second) << name << " " << fieldName;
        }
        // A picture in FLAC or APE is stepped over by position, never read.
        if (name == "picture.flac" || name == "picture.wv") {
            EXPECT_LT(delivered, 64u * 1024) << name;
        }
    }
}

TEST(TagFormats, DamagedFilesGiveWhatCameBeforeTheDamage) {
    TMP3FileInfo flac = ReadByTable("broken.flac", Fixture("tags/broken.flac"));
    EXPECT_EQ(flac.Title(), "日本語のタイトル");
    EXPECT_EQ(flac.Artist(), "");
    EXPECT_EQ(flac.Album(), "");
    TMP3FileInfo ogg = ReadByTable("broken.ogg", Fixture("tags/broken.ogg"));
    EXPECT_EQ(ogg.Title(), "日本語のタイトル");
    EXPECT_EQ(ogg.Artist(), "");
    TMP3FileInfo ape = ReadByTable("broken.ape", Fixture("tags/broken.ape"));
    EXPECT_EQ(ape.Title(), "T");
    EXPECT_EQ(ape.Artist(), "");

    // Every cut of the small files: each field is what the whole file gives, or
    // nothing, and the title at least the preset.
    const auto expected = MutagenValues();
    for (const char* name : {"japanese.flac", "id3-padding.flac", "japanese.ogg", "flac.oga", "japanese.opus",
                             "japanese.spx", "three-pages.oga", "japanese.ape", "id3v1.mpc"}) {
        const TBytes whole = Fixture(std::string("tags/") + name);
        const std::size_t step = whole.size() > 4000 ? 7 : 1;
        for (std::size_t n = 0; n < whole.size(); n += step) {
            const TMP3FileInfo info = ReadByTable(name, TBytes(whole.begin(), whole.begin() + std::ptrdiff_t(n)));
            for (const auto& [field, value] : expected.at(name)) {
                const std::string_view got = info.Get(field);
                if (field == TInfoField::Title && got == "file name") continue;
                // Cut before its COMMENT, the file's DESCRIPTION is the best comment it has.
                if (field == TInfoField::Comment && got == "Description") continue;
                EXPECT_TRUE(got.empty() || got == value) << name << " cut at " << n << ": " << got;
            }
        }
    }
}

TEST(TagFormats, ApeVersion1AndBinaryItems) {
    auto le32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto item = [&](const std::string& key, const std::string& value, std::uint32_t flags) {
        return le32(std::uint32_t(value.size())) + le32(flags) + key + '\0' + value;
    };
    auto tag = [&](std::uint32_t version, const std::string& items, int count) {
        return std::string(100, 'a') + items + "APETAGEX" + le32(version) + le32(std::uint32_t(items.size() + 32)) +
               le32(std::uint32_t(count)) + le32(0) + std::string(8, '\0');
    };
    // Version 1 knows no item kinds: its values are all text.
    const std::string v1 = tag(1000, item("Title", "Version one", 2) + item("ARTIST", "Caps key", 0), 2);
    TMP3FileInfo a = ReadByTable("x.ape", TBytes(v1.begin(), v1.end()));
    EXPECT_EQ(a.Title(), "Version one");
    EXPECT_EQ(a.Artist(), "Caps key");
    // Version 2: binary (1) and link (2) items are not text; a count beyond the
    // items ends with them.
    const std::string v2 = tag(2000, item("Title", "binary", 2) + item("Album", "link", 4) +
                                         item("title", "Text title", 0), 9);
    TMP3FileInfo b = ReadByTable("x.ape", TBytes(v2.begin(), v2.end()));
    EXPECT_EQ(b.Title(), "Text title");
    EXPECT_EQ(b.Album(), "");
    const std::string v3 = tag(3000, item("Title", "Unknown version", 0), 1);
    TMP3FileInfo c = ReadByTable("x.wv", TBytes(v3.begin(), v3.end()));
    EXPECT_EQ(c.Title(), "file name");
}

namespace {
std::string Le32(std::size_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string Comment(const std::string& title) { return Le32(0) + Le32(1) + Le32(6 + title.size()) + "TITLE=" + title; }
// One Ogg page holding one whole packet under 255 bytes (no CRC is checked).
std::string OggPage(char serial, const std::string& packet) {
    return std::string("OggS\0\0", 6) + std::string(8, '\0') + serial + std::string(11, '\0') + '\1' + char(packet.size()) +
           packet;
}
}  // namespace

TEST(TagFormats, OtherStreamsPagesAndId3v24TagsInFrontAreSteppedOver) {
    const std::string ident = OggPage(1, "\x01vorbis" + std::string(23, '\0')), tags = OggPage(1, "\x03vorbis" + Comment("T"));
    const std::string flac = std::string("fLaC\x84\0\0", 7) + char(Comment("T").size()) + Comment("T");
    auto title = [](const char* name, const std::string& f) { return std::string(ReadByTable(name, TBytes(f.begin(), f.end())).Title()); };
    // A Skeleton or Theora page between the Vorbis headers.
    for (const std::string other : {"fishead", "\x80theora"})
        EXPECT_EQ(title("x.ogg", ident + OggPage(2, other + std::string(40, '\0')) + tags), "T") << other;
    // A footer (flag 0x10) follows the size a 2.4 tag gives; an extended header (0x40) is inside it.
    for (const std::string& tag : {std::string("ID3\4\0\x10\0\0\0\0" "3DI\4\0\x10\0\0\0\0", 20),
                                  std::string("ID3\4\0\x40\0\0\0\6", 10) + std::string(6, '\0')}) {
        EXPECT_EQ(title("x.flac", tag + flac), "T") << int(tag[5]);
        EXPECT_EQ(title("x.ogg", tag + ident + tags), "T") << int(tag[5]);
    }
}

// ---------------------------------------------------------------- song lengths

TEST(SongLength, EncodersFilesAgreeWithMutagen) {
    const std::string dir = std::string(VL_TEST_DATA_DIR) + "/lengths/";
    std::ifstream expected(dir + "expected.txt");
    std::map<std::string, int> got;
    std::string name;
    int rounded = 0;
    double seconds = 0;
    while (expected >> name >> rounded >> seconds) {
        std::FILE* f = std::fopen((dir + name).c_str(), "rb");
        ASSERT_TRUE(f) << name;
        TStdFileSource source(f);
        got[name] = ReadSongLength(source, FindTagReader(name.substr(name.rfind('.')))->Kind);
        std::fclose(f);
        EXPECT_NEAR(got[name], seconds, 1.0) << name;
        // mutagen times the tags behind a header-less file as audio; they are not.
        if (name != "cbr-tagged.mp3") {
            EXPECT_EQ(got[name], rounded) << name;
        }
    }
    EXPECT_EQ(got.size(), 20u);
    EXPECT_EQ(got["cbr-tagged.mp3"], got["cbr-plain.mp3"]);
}

namespace {
// n frames of MPEG 1 layer I, 32 kbit/s, 44.1 kHz, mono: 32 bytes, 8 ms each.
std::string LayerOneFrames(int n) {
    std::string frame("\xFF\xFF\x10\xC0", 4);
    frame.resize(32, '\0');
    std::string out;
    for (int i = 0; i < n; ++i) out += frame;
    return out;
}
int LengthOf(const char* name, const std::string& bytes) {
    TMemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return ReadSongLength(source, FindTagReader(name)->Kind);
}
}  // namespace

TEST(SongLength, StraySyncDamagedAndEmptyHeadersGiveNoWrongLength) {
    EXPECT_EQ(LengthOf(".mp3", LayerOneFrames(500)), 4);
    // A layer III header whose next frame is not where its size says is not taken.
    EXPECT_EQ(LengthOf(".mp3", std::string("\xFF\xFB\x90\0\0\0", 6) + LayerOneFrames(500)), 4);
    EXPECT_EQ(LengthOf(".mp3", std::string(5000, '\xFF')), -1);
    EXPECT_EQ(LengthOf(".mp3", ""), -1);
    // FLAC with 0 samples, an Ogg stream cut after its first page, headers cut short.
    const std::string streamInfo = std::string("fLaC\x80\0\0\x22", 8) + std::string(10, '\0') + "\x0A\xC4\x40" +
                                   std::string(15, '\0');
    EXPECT_EQ(LengthOf(".flac", streamInfo), -1);
    EXPECT_EQ(LengthOf(".opus", OggPage(1, "OpusHead\1\1\xFF\xFF" + std::string(11, '\0'))), -1);
    for (const char* head : {"MAC \xA6\x0F", "MPCK", "MP+\x17", "wvpk"}) EXPECT_EQ(LengthOf(".ape", head), -1) << head;
    TMemorySource none(reinterpret_cast<const std::uint8_t*>(streamInfo.data()), streamInfo.size());
    EXPECT_EQ(ReadSongLength(none, TTagReader::None), -1);
}

TEST(SongLength, SecondsRoundToTheNearestAndAbsurdLengthsAreUnknown) {
    EXPECT_EQ(RoundedSeconds(2499, 1000), 2);
    EXPECT_EQ(RoundedSeconds(2500, 1000), 3);
    EXPECT_EQ(RoundedSeconds(5, 0), -1);
    EXPECT_EQ(RoundedSeconds(~std::uint64_t{0}, 1), -1);
}
