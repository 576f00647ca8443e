// ID3v1, ID3v2 and RIFF INFO readers over byte arrays and real temporary files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fileinfo/ByteSource.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/MpegAudio.h"
#include "reading/ReadQueue.h"
#include "fileinfo/TagText.h"
#include "fileinfo/WaveForm.h"
#include "TagTestSources.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Bytes(const std::string& s) { return TBytes(s.begin(), s.end()); }

void Append(TBytes& out, const TBytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// A record as the playlist presets it before a reader runs.
TMP3FileInfo Preset() {
    TMP3FileInfo info;
    info.SetFileName("C:\\Music\\song.mp3");
    info.SetTitle("song");
    return info;
}

// ---------------------------------------------------------------- the record

TEST(MP3FileInfo, FieldsKeepTheirBytesThroughSetsClearsAndCopies) {
    TMP3FileInfo info;
    EXPECT_EQ(info.TextBytes(), 0u) << "no block while every field is empty";
    const std::string longComment(300, 'c');  // past the one-byte length
    info.SetComment(longComment);
    info.SetArtist(std::string("A\0b", 3));
    info.SetSoftware("s");
    info.SetFileName("C:\\x.mp3");
    info.SetTitle(info.FileName().substr(3));  // a view into the record's own block
    EXPECT_EQ(info.Title(), "x.mp3");
    EXPECT_EQ(info.Comment(), longComment);
    EXPECT_EQ(info.Artist(), std::string("A\0b", 3));
    info.SetArtist("");
    TMP3FileInfo copy = info;
    info.SetComment("short");
    for (TMP3FileInfo* r : {&info, &copy}) {
        EXPECT_EQ(r->FileName(), "C:\\x.mp3");
        EXPECT_EQ(r->Artist(), "");
        EXPECT_EQ(r->Software(), "s");
        EXPECT_EQ(r->Album(), "");
    }
    EXPECT_EQ(copy.Comment(), longComment);
    EXPECT_EQ(info.TextBytes(), 1 + 8 + 1 + 5 + 1 + 5 + 1 + 1u) << "cleared fields take no room";
    // Several at once, each value a view into the block being replaced.
    info.Set({{TInfoField::Artist, info.Title()}, {TInfoField::Title, info.Comment()}, {TInfoField::Comment, {}}});
    EXPECT_EQ(info.Artist(), "x.mp3");
    EXPECT_EQ(info.Title(), "short");
    EXPECT_EQ(info.Comment(), "");
    EXPECT_EQ(info.FileName(), "C:\\x.mp3");
}

// ---------------------------------------------------------------- ID3v1

struct TTagFields {
    std::string title, artist, album, year, comment;
    int genre = 255;
};

// A 128-byte trailer; fields are copied raw (shorter ones NUL-padded) so tests can
// put any bytes in them.
TBytes Id3v1(const TTagFields& f, const char* magic = "TAG") {
    TBytes t(128, 0);
    std::memcpy(t.data(), magic, 3);
    auto put = [&](std::size_t at, std::size_t len, const std::string& s) {
        std::memcpy(t.data() + at, s.data(), std::min(len, s.size()));
    };
    put(3, 30, f.title);
    put(33, 30, f.artist);
    put(63, 30, f.album);
    put(93, 4, f.year);
    put(97, 30, f.comment);
    t[127] = std::uint8_t(f.genre);
    return t;
}

TBytes Mp3(const TBytes& tag, std::size_t audio = 1000) {
    TBytes file(audio, 0xFF);
    Append(file, tag);
    return file;
}

bool ReadId3(const TBytes& file, TMP3FileInfo& info) {
    TMemorySource src(file);
    return ReadId3v1Tag(src, info);
}

}  // namespace

TEST(TrimTagText, DropsOuterControlBytesKeepsInnerOnes) {
    EXPECT_EQ(TrimTagText(std::string(" \t\0Abc\0 \x1f", 10)), "Abc");
    EXPECT_EQ(TrimTagText(std::string("Ab\0\0cd   ", 9)), std::string("Ab\0\0cd", 6));
    EXPECT_EQ(TrimTagText(std::string(30, ' ')), "");
    EXPECT_EQ(TrimTagText(std::string(30, '\0')), "");
    EXPECT_EQ(TrimTagText("!x!"), "!x!");  // 33 is kept
    EXPECT_EQ(TrimTagText("\x82\xa0\x81\x40"), "\x82\xa0\x81\x40");  // Shift-JIS bytes kept as they are
}

TEST(GenreNames, TableEndsAndFixedSpellings) {
    EXPECT_STREQ(GenreNames[0], "Blues");
    EXPECT_STREQ(GenreNames[79], "Hard Rock");
    EXPECT_STREQ(GenreNames[80], "Folk");
    EXPECT_STREQ(GenreNames[147], "Synthpop");
    EXPECT_STREQ(GenreNames[40], "Alt. Rock");
    EXPECT_STREQ(GenreNames[59], "Gangsta Rap");
    EXPECT_STREQ(GenreNames[67], "Psychedelic");
    EXPECT_STREQ(GenreNames[81], "Folk/Rock");
    EXPECT_STREQ(GenreNames[84], "Fast-Fusion");
    EXPECT_STREQ(GenreNames[123], "A Cappella");
    for (const char* g : GenreNames) {
        ASSERT_NE(g, nullptr);
        EXPECT_GT(std::strlen(g), 1u);
    }
}

TEST(Id3v1, ReadsEveryField) {
    TMP3FileInfo info = Preset();
    ASSERT_TRUE(ReadId3(Mp3(Id3v1({"Title", "Artist", "Album", "1999", "Comment", 17})), info));
    EXPECT_EQ(info.Title(), "Title");
    EXPECT_EQ(info.Artist(), "Artist");
    EXPECT_EQ(info.Album(), "Album");
    EXPECT_EQ(info.Year(), "1999");
    EXPECT_EQ(info.Comment(), "Comment");
    EXPECT_EQ(info.Genre(), "Rock");
    EXPECT_EQ(info.FileName(), "C:\\Music\\song.mp3");
    EXPECT_EQ(info.SongLength, -1);
    EXPECT_EQ(info.Copyright(), "");  // RIFF-only fields untouched
}

TEST(Id3v1, FieldsFillTheirWholeWidth) {
    const std::string t30(30, 'T'), a30(30, 'A'), b30(30, 'B'), c30(30, 'C');
    TMP3FileInfo info;
    ASSERT_TRUE(ReadId3(Mp3(Id3v1({t30, a30, b30, "2024", c30, 0})), info));
    EXPECT_EQ(info.Title(), t30);
    EXPECT_EQ(info.Artist(), a30);
    EXPECT_EQ(info.Album(), b30);
    EXPECT_EQ(info.Year(), "2024");
    EXPECT_EQ(info.Comment(), c30);
}

TEST(Id3v1, BlankFieldsKeepPresetValues) {
    TMP3FileInfo info = Preset();
    info.SetArtist("kept");
    ASSERT_TRUE(ReadId3(Mp3(Id3v1({std::string(30, ' '), std::string(30, '\0'), "", " \t ", "", 255})),
                        info));
    EXPECT_EQ(info.Title(), "song");
    EXPECT_EQ(info.Artist(), "kept");
    EXPECT_EQ(info.Album(), "");
    EXPECT_EQ(info.Year(), "");
    EXPECT_EQ(info.Genre(), "");
}

TEST(Id3v1, NulPaddingAndInnerNuls) {
    TMP3FileInfo info;
    ASSERT_TRUE(ReadId3(Mp3(Id3v1({"Abc", std::string("Ab\0\0cd   ", 9), "", "", ""})), info));
    EXPECT_EQ(info.Title(), "Abc");
    EXPECT_EQ(info.Artist(), std::string("Ab\0\0cd", 6));
}

TEST(Id3v1, TrackByteOfId3v11StaysInTheComment) {
    auto withTrack = [](std::uint8_t track) {
        TBytes tag = Id3v1({"", "", "", "", "Nice"});
        tag[125] = 0;
        tag[126] = track;
        TMP3FileInfo info;
        EXPECT_TRUE(ReadId3(Mp3(tag), info));
        return std::string(info.Comment());
    };
    EXPECT_EQ(withTrack(7), "Nice");   // a track 1-32 trims away
    EXPECT_EQ(withTrack(32), "Nice");
    std::string expected = "Nice" + std::string(25, '\0') + "!";  // 33 stays behind the NULs
    EXPECT_EQ(withTrack(33), expected);
}

TEST(Id3v1, GenreByteBoundaries) {
    auto genre = [](int g) {
        TMP3FileInfo info;
        info.SetGenre("preset");
        EXPECT_TRUE(ReadId3(Mp3(Id3v1({"x", "", "", "", "", g})), info));
        return std::string(info.Genre());
    };
    EXPECT_EQ(genre(0), "Blues");
    EXPECT_EQ(genre(147), "Synthpop");
    EXPECT_EQ(genre(148), "preset");
    EXPECT_EQ(genre(255), "preset");
}

TEST(Id3v1, NoTagLeavesRecordUnchanged) {
    const TBytes good = Id3v1({"T", "A", "B", "1", "C", 1});
    for (const char* magic : {"tag", "Tag", "TAg", "XAG", "TA\0"}) {
        TMP3FileInfo info = Preset();
        EXPECT_FALSE(ReadId3(Mp3(Id3v1({"T", "A", "B", "1", "C", 1}, magic)), info)) << magic;
        EXPECT_EQ(info.Title(), "song");
        EXPECT_EQ(info.Genre(), "");
    }
    // Shorter than a tag, or just the tag cut by one byte.
    for (std::size_t n : {0u, 3u, 127u}) {
        TMP3FileInfo info = Preset();
        TBytes file(good.begin(), good.begin() + n);
        EXPECT_FALSE(ReadId3(file, info)) << n;
        EXPECT_EQ(info.Title(), "song");
    }
    // Exactly 128 bytes is a tag and nothing else.
    TMP3FileInfo info;
    EXPECT_TRUE(ReadId3(good, info));
    EXPECT_EQ(info.Title(), "T");
    // "TAG" earlier in the file does not count: only the last 128 bytes do.
    TBytes shifted = good;
    shifted.push_back(0);
    TMP3FileInfo other = Preset();
    EXPECT_FALSE(ReadId3(shifted, other));
}

namespace {
// A source that says it is bigger than the bytes it delivers.
class TLyingSource : public IByteSource {
public:
    explicit TLyingSource(TBytes bytes, std::uint64_t claimed) : bytes_(std::move(bytes)), claimed_(claimed) {}
    bool Size(std::uint64_t& size) override {
        size = claimed_;
        return true;
    }
    std::size_t ReadAt(std::uint64_t position, std::uint8_t* buffer, std::size_t count) override {
        TMemorySource m(bytes_);
        return m.ReadAt(position, buffer, count);
    }
private:
    TBytes bytes_;
    std::uint64_t claimed_;
};
}  // namespace

TEST(Id3v1, ShortReadIsNoTag) {
    TBytes file = Mp3(Id3v1({"T"}));
    TLyingSource src(file, file.size() + 10);  // the last 10 claimed bytes never arrive
    TMP3FileInfo info = Preset();
    EXPECT_FALSE(ReadId3v1Tag(src, info));
    EXPECT_EQ(info.Title(), "song");
}

// ---------------------------------------------------------------- RIFF INFO

namespace {

TBytes U32(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

// id, size, data, pad byte for an odd size.
TBytes Chunk(const std::string& id, const TBytes& data) {
    TBytes c = Bytes(id);
    Append(c, U32(std::uint32_t(data.size())));
    Append(c, data);
    if (data.size() & 1) c.push_back(0);
    return c;
}
TBytes Text(const std::string& id, const std::string& text) { return Chunk(id, Bytes(text + '\0')); }

TBytes List(const std::string& type, const std::vector<TBytes>& subs) {
    TBytes data = Bytes(type);
    for (auto& s : subs) Append(data, s);
    return Chunk("LIST", data);
}

// "RIFF" size form, then the given chunks; the RIFF size covers them.
TBytes Riff(const std::string& form, const std::vector<TBytes>& chunks) {
    TBytes data = Bytes(form);
    for (auto& c : chunks) Append(data, c);
    return Chunk("RIFF", data);
}

TBytes Audio(std::size_t n = 333) { return Chunk("data", TBytes(n, 0xAA)); }

bool ReadRiff(const TBytes& file, TMP3FileInfo& info) {
    TMemorySource src(file);
    return ReadRiffInfoTag(src, info);
}

}  // namespace

TEST(RiffInfo, ReadsAllTenIdsIntoTheirFields) {
    TBytes file = Riff("RMP3", {Audio(), List("INFO", {Text("INAM", "Title"), Text("IART", "Artist"),
                                                       Text("IPRD", "Album"), Text("ICMT", "Comment"),
                                                       Text("IGNR", "Genre"), Text("ICRD", "2001"),
                                                       Text("ICOP", "(c) me"), Text("IENG", "Eng"),
                                                       Text("ISRC", "Src"), Text("ISFT", "Soft")})});
    TMP3FileInfo info = Preset();
    ASSERT_TRUE(ReadRiff(file, info));
    EXPECT_EQ(info.Title(), "Title");
    EXPECT_EQ(info.Artist(), "Artist");
    EXPECT_EQ(info.Album(), "Album");
    EXPECT_EQ(info.Comment(), "Comment");
    EXPECT_EQ(info.Genre(), "Genre");
    EXPECT_EQ(info.Year(), "2001");
    EXPECT_EQ(info.Copyright(), "(c) me");
    EXPECT_EQ(info.Engineer(), "Eng");
    EXPECT_EQ(info.Source(), "Src");
    EXPECT_EQ(info.Software(), "Soft");
}

TEST(RiffInfo, ListPlacementAndOrder) {
    // Before the audio, sub-chunks in reverse order, after another LIST type.
    TBytes early = Riff("RMP3", {List("adtl", {Text("INAM", "wrong list")}),
                                 List("INFO", {Text("IART", "A"), Text("INAM", "N")}), Audio()});
    TMP3FileInfo a;
    ASSERT_TRUE(ReadRiff(early, a));
    EXPECT_EQ(a.Title(), "N");
    EXPECT_EQ(a.Artist(), "A");

    // Outside the RIFF chunk, after the audio: the search runs to the end of the file.
    TBytes outside = Riff("RMP3", {Audio(1001)});
    Append(outside, List("INFO", {Text("INAM", "Tail")}));
    TMP3FileInfo b;
    ASSERT_TRUE(ReadRiff(outside, b));
    EXPECT_EQ(b.Title(), "Tail");
}

TEST(RiffInfo, FirstOccurrenceWinsAndSearchesStayInsideTheList) {
    TBytes file = Riff("RMP3", {List("INFO", {Text("INAM", "First"), Text("INAM", "Second")}),
                                Chunk("IART", Bytes("not in the list")), Audio()});
    TMP3FileInfo info;
    ASSERT_TRUE(ReadRiff(file, info));
    EXPECT_EQ(info.Title(), "First");
    EXPECT_EQ(info.Artist(), "");
}

TEST(RiffInfo, ValueEndsAtFirstNulAndIsTrimmed) {
    TBytes file = Riff("RMP3", {List("INFO", {Chunk("IART", Bytes(std::string("Artist\0more text", 16))),
                                              Text("INAM", "  padded \t"),
                                              Chunk("ICMT", Bytes("odd")),  // no NUL, odd size
                                              Chunk("IPRD", TBytes{}),
                                              Text("IGNR", "   ")})});
    TMP3FileInfo info = Preset();
    info.SetAlbum("kept");
    info.SetGenre("kept");
    ASSERT_TRUE(ReadRiff(file, info));
    EXPECT_EQ(info.Artist(), "Artist");
    EXPECT_EQ(info.Title(), "padded");
    EXPECT_EQ(info.Comment(), "odd");
    EXPECT_EQ(info.Album(), "kept");  // size 0
    EXPECT_EQ(info.Genre(), "kept");  // blank
}

TEST(RiffInfo, NotAnRmp3FileOrNoInfoList) {
    const TBytes list = List("INFO", {Text("INAM", "x")});
    for (const TBytes& file : {Riff("WAVE", {list}), Riff("rmp3", {list}), Riff("RMP3", {Audio()}),
                               Riff("RMP3", {List("INFX", {Text("INAM", "x")})}), TBytes{},
                               Bytes("RIFF\x04\0\0\0RMP"), Bytes("RIFX\x04\0\0\0RMP3")}) {
        TMP3FileInfo info = Preset();
        EXPECT_FALSE(ReadRiff(file, info));
        EXPECT_EQ(info.Title(), "song");
    }
    // A list with no readable values is still a list.
    TMP3FileInfo info = Preset();
    EXPECT_TRUE(ReadRiff(Riff("RMP3", {List("INFO", {})}), info));
    EXPECT_EQ(info.Title(), "song");
}

TEST(RiffInfo, TruncatedAndOversizedChunks) {
    // The file ends inside a text: the value is what is there.
    TBytes cut = Riff("RMP3", {List("INFO", {Text("IART", "A"), Text("INAM", "Truncated title")})});
    cut.resize(cut.size() - 8);
    TMP3FileInfo a;
    ASSERT_TRUE(ReadRiff(cut, a));
    EXPECT_EQ(a.Artist(), "A");
    EXPECT_EQ(a.Title(), "Truncate");

    // A sub-chunk claiming 4 GiB - 2: nothing beyond the list is read, and the
    // chunks after it are not searched in the garbage.
    TBytes huge = Bytes("INAM");
    Append(huge, U32(0xFFFFFFFEu));
    Append(huge, Bytes("Name"));
    TBytes file = Riff("RMP3", {List("INFO", {Text("IART", "A"), huge}), Text("ICMT", "outside")});
    TMP3FileInfo b;
    ASSERT_TRUE(ReadRiff(file, b));
    EXPECT_EQ(b.Artist(), "A");
    EXPECT_EQ(b.Title(), "");         // top bit set: counts as no value
    EXPECT_EQ(b.Comment(), "");       // skipping the huge chunk leaves the list: search ends

    // Sizes that run past the list end the search instead of leaving it.
    TBytes longish = Bytes("IART");
    Append(longish, U32(100));
    Append(longish, Bytes("Artist text that the list cuts"));
    TBytes listData = Bytes("INFO");
    Append(listData, longish);
    TBytes f2 = Riff("RMP3", {Chunk("LIST", listData), Text("INAM", "next chunk")});
    TMP3FileInfo c;
    ASSERT_TRUE(ReadRiff(f2, c));
    EXPECT_EQ(c.Artist(), "Artist text that the list cuts");  // value cut at the list's end
    EXPECT_EQ(c.Title(), "");

    // The LIST itself claims more than the file holds: bounded by the file.
    TBytes bigList = Bytes("LIST");
    Append(bigList, U32(0x7FFFFFF0u));
    Append(bigList, Bytes("INFO"));
    Append(bigList, Text("INAM", "Inside"));
    TMP3FileInfo d;
    ASSERT_TRUE(ReadRiff(Riff("RMP3", {bigList}), d));
    EXPECT_EQ(d.Title(), "Inside");

    // An unterminated value keeps its first 64 KiB, and the fields after it are read.
    TMP3FileInfo e;
    ASSERT_TRUE(ReadRiff(Riff("RMP3", {List("INFO", {Chunk("INAM", TBytes(200000, 'x')), Text("IART", "After")})}), e));
    EXPECT_EQ(e.Title(), std::string(65536, 'x'));
    EXPECT_EQ(e.Artist(), "After");
}

TEST(RiffInfo, ZeroAndOddSizesStillTerminate) {
    // A chain of size-0 chunks, then an odd one whose pad byte is honoured.
    std::vector<TBytes> subs;
    for (int i = 0; i < 50; ++i) subs.push_back(Chunk("JUNK", {}));
    subs.push_back(Chunk("ICMT", Bytes("abc")));  // 3 bytes + pad
    subs.push_back(Text("INAM", "after odd"));
    TMP3FileInfo info;
    ASSERT_TRUE(ReadRiff(Riff("RMP3", {List("INFO", subs)}), info));
    EXPECT_EQ(info.Comment(), "abc");
    EXPECT_EQ(info.Title(), "after odd");

    // A list of nothing but headers with size 0 up to the file end, type and all.
    TBytes zeros = Bytes("RIFF");
    Append(zeros, U32(0));
    Append(zeros, Bytes("RMP3"));
    for (int i = 0; i < 100; ++i) Append(zeros, Bytes(std::string("LIST\0\0\0\0", 8)));
    TMP3FileInfo z;
    EXPECT_FALSE(ReadRiff(zeros, z));
}

TEST(RiffReader, FindChunkBounds) {
    TBytes file = Riff("RMP3", {Text("AAAA", "1"), Text("BBBB", "22")});
    TMemorySource src(file);
    TRiffReader r(src);
    TRiffChunk c;
    ASSERT_TRUE(r.EnterFirstChunk(c));
    EXPECT_EQ(c.Id, MakeFourCC('R', 'I', 'F', 'F'));
    EXPECT_EQ(c.Type, MakeFourCC('R', 'M', 'P', '3'));
    ASSERT_TRUE(r.FindChunk(12, file.size(), MakeFourCC('B', 'B', 'B', 'B'), 0, c));
    EXPECT_EQ(c.DataOffset, 12u + 8 + 2 + 8);  // "1\0" is even: no pad
    EXPECT_EQ(c.Size, 3u);
    // The end bound excludes a header that does not fit whole.
    EXPECT_FALSE(r.FindChunk(12, 12 + 10 + 7, MakeFourCC('B', 'B', 'B', 'B'), 0, c));
    EXPECT_FALSE(r.FindChunk(file.size() - 3, file.size(), MakeFourCC('B', 'B', 'B', 'B'), 0, c));
    EXPECT_FALSE(r.FindChunk(file.size() + 100, file.size(), MakeFourCC('B', 'B', 'B', 'B'), 0, c));
}

TEST(RiffInfo, BufferedSourceGivesTheSameResult) {
    std::vector<TBytes> subs;
    for (int i = 0; i < 400; ++i) subs.push_back(Text("JUNK", std::string(i % 37, 'j')));
    subs.push_back(Text("INAM", "Deep"));
    TBytes file = Riff("RMP3", {Audio(10000), List("INFO", subs)});
    TMemorySource mem(file);
    TBufferedSource buffered(mem);
    TMP3FileInfo info;
    ASSERT_TRUE(ReadRiffInfoTag(buffered, info));
    EXPECT_EQ(info.Title(), "Deep");
}

// ---------------------------------------------------------------- real files

namespace {
class TTempFile {
public:
    explicit TTempFile(const TBytes& bytes) {
        char name[] = "/tmp/vl_tag_XXXXXX";
        int fd = mkstemp(name);
        path_ = name;
        file_ = fdopen(fd, "w+b");
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
        std::fflush(file_);
    }
    ~TTempFile() {
        std::fclose(file_);
        std::remove(path_.c_str());
    }
    std::FILE* get() { return file_; }
private:
    std::string path_;
    std::FILE* file_;
};
}  // namespace

TEST(TagFiles, ReadersWorkOnRealFiles) {
    TTempFile mp3(Mp3(Id3v1({"On disk", "", "", "", "", 146}), 5000));
    TStdFileSource s1(mp3.get());
    TMP3FileInfo a;
    ASSERT_TRUE(ReadId3v1Tag(s1, a));
    EXPECT_EQ(a.Title(), "On disk");
    EXPECT_EQ(a.Genre(), "JPop");

    TTempFile rmp(Riff("RMP3", {Audio(9000), List("INFO", {Text("INAM", "Riff on disk")})}));
    TStdFileSource s2(rmp.get());
    TBufferedSource b2(s2);
    TMP3FileInfo b;
    ASSERT_TRUE(ReadRiffInfoTag(b2, b));
    EXPECT_EQ(b.Title(), "Riff on disk");

    TTempFile tiny(Bytes("TAG"));
    TStdFileSource s3(tiny.get());
    TMP3FileInfo c = Preset();
    EXPECT_FALSE(ReadId3v1Tag(s3, c));
    EXPECT_EQ(c.Title(), "song");
}

// ---------------------------------------------------------------- ID3v2

namespace {

TBytes Fixture(const std::string& name) {
    std::FILE* f = std::fopen((std::string(VL_TEST_DATA_DIR) + "/id3v2/" + name).c_str(), "rb");
    TBytes bytes;
    if (!f) return bytes;
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(std::uint8_t(c));
    std::fclose(f);
    return bytes;
}

TMP3FileInfo ReadBoth(const TBytes& file, bool prefer = false) {
    TMemorySource src(file);
    TMP3FileInfo info = Preset();
    ReadMp3Tags(src, info, prefer, &ToUtf8);
    return info;
}

TBytes Size4(std::uint32_t v, bool syncsafe) {
    if (syncsafe) return {std::uint8_t(v >> 21 & 0x7F), std::uint8_t(v >> 14 & 0x7F), std::uint8_t(v >> 7 & 0x7F),
                          std::uint8_t(v & 0x7F)};
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

// A 2.3/2.4 frame (syncsafe size for 2.4), or a 2.2 frame for a three-letter id.
TBytes Frame(const std::string& id, const TBytes& body, int major = 4, std::uint8_t format = 0) {
    TBytes f = Bytes(id);
    if (id.size() == 3) {
        Append(f, {std::uint8_t(body.size() >> 16), std::uint8_t(body.size() >> 8), std::uint8_t(body.size())});
    } else {
        Append(f, Size4(std::uint32_t(body.size()), major == 4));
        Append(f, {0, format});
    }
    Append(f, body);
    return f;
}
TBytes Latin1(const std::string& text) { return Bytes('\0' + text); }
TBytes operator+(TBytes a, const TBytes& b) {
    Append(a, b);
    return a;
}

TBytes Tag(int major, std::uint8_t flags, const TBytes& data) {
    TBytes t = {'I', 'D', '3', std::uint8_t(major), 0, flags};
    Append(t, Size4(std::uint32_t(data.size()), true));
    Append(t, data);
    return t;
}

}  // namespace

TEST(Id3v2, FilesOfTwoIndependentTaggers) {
    TMP3FileInfo a = ReadBoth(Fixture("v23-utf16.mp3"));
    EXPECT_EQ(a.Title(), "日本語のタイトル");
    EXPECT_EQ(a.Artist(), "アーティスト");
    EXPECT_EQ(a.Album(), "Café");
    EXPECT_EQ(a.Comment(), "コメント");
    EXPECT_EQ(a.Year(), "1999");
    EXPECT_EQ(a.Genre(), "Rock");  // "(17)"

    TMP3FileInfo b = ReadBoth(Fixture("v24-utf16be.mp3"));
    EXPECT_EQ(b.Title(), "BE タイトル");
    EXPECT_EQ(b.Artist(), "First");  // the first of two values
    EXPECT_EQ(b.Genre(), "Rock");    // "(17)Rock"
    TMP3FileInfo c = ReadBoth(Fixture("v24-utf16.mp3"));
    EXPECT_EQ(c.Title(), "UTF-16 日本");
    EXPECT_EQ(c.Genre(), "Synthwave");
    EXPECT_EQ(c.Artist(), "");

    // Encoding 0: the bytes as they are (0xE9 stays 0xE9).
    for (const char* name : {"id3lib-v23.mp3", "id3lib-v23-v1.mp3"}) {
        TMP3FileInfo d = ReadBoth(Fixture(name));
        EXPECT_EQ(d.Title(), "Caf\xE9 id3lib title") << name;
        EXPECT_EQ(d.Comment(), "id3lib comment") << name;
        EXPECT_EQ(d.Year(), "2001") << name;
        EXPECT_EQ(d.Genre(), "Rock") << name;
    }

    // With an ID3v1 tag as well: ID3v1 wins unless ID3v2 is preferred.
    const TBytes both = Fixture("v24-utf8-v1.mp3");
    TMP3FileInfo v1 = ReadBoth(both), v2 = ReadBoth(both, true);
    EXPECT_EQ(v1.Title(), "UTF-8 ??? title longer than th");
    EXPECT_EQ(v2.Title(), "UTF-8 日本語 title longer than thirty bytes");
    EXPECT_EQ(v2.Comment(), "Comment text");  // after the frame's description
    EXPECT_EQ(v2.Year(), "2004");             // TDRC 2004-05-06
    EXPECT_EQ(v2.Genre(), "Rock");            // "17"
}

TEST(Id3v2, FillsOnlyWhatId3v1LeftEmpty) {
    // The ID3v1 title is blank: the file-name title counts as empty.
    TBytes file = Tag(3, 0, Frame("TIT2", Latin1("Two"), 3) + Frame("TPE1", Latin1("Two artist"), 3));
    Append(file, Mp3(Id3v1({"", "One artist"})));
    TMP3FileInfo info = ReadBoth(file);
    EXPECT_EQ(info.Title(), "Two");
    EXPECT_EQ(info.Artist(), "One artist");
    EXPECT_EQ(ReadBoth(file, true).Artist(), "Two artist");
    // Neither tag has a title: the file name stays.
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TPE1", Latin1("A"), 3))).Title(), "song");

    EXPECT_EQ(Id3v2GenreName("(147)"), "Synthpop");
    EXPECT_EQ(Id3v2GenreName("0"), "Blues");
    for (const char* kept : {"17b", "(17", "(RY)", "", "0017", "Rx"}) EXPECT_EQ(Id3v2GenreName(kept), kept);
    const std::pair<const char*, const char*> special[] = {
        {"RX", "Remix"}, {"(RX)", "Remix"}, {"CR", "Cover"},  {"(CR)", "Cover"},   {"((text)", "(text)"},
        {"((17)", "(17)"}, {"(255)", ""},  {"(148)Gaze", "Gaze"}, {"148", ""}, {"(255) Noise", "Noise"},
    };
    for (const auto& [tcon, name] : special) EXPECT_EQ(Id3v2GenreName(tcon), name) << tcon;
}

TEST(Id3v2, CommentsAsTaggersWriteThem) {
    const auto comm = [](const TBytes& description, const std::string& text) {
        return Frame("COMM", Bytes(std::string("\0eng", 4)) + description + Bytes(std::string(1, '\0') + text), 3);
    };
    // iTunes' own numbers come first; the comment without a description wins over a described one.
    const TBytes itunes = comm(Bytes("iTunNORM"), " 0000031E 00000310");
    const TBytes described = comm(Bytes("Notes"), "described");
    EXPECT_EQ(ReadBoth(Tag(3, 0, itunes + described + comm({}, "plain") + comm({}, "second"))).Comment(), "plain");
    EXPECT_EQ(ReadBoth(Tag(3, 0, itunes + described + comm(Bytes("x"), "later"))).Comment(), "described");
    EXPECT_EQ(ReadBoth(Tag(3, 0, itunes + comm(Bytes("iTunSMPB"), " 00000000"))).Comment(), "");
    // UTF-16 little-endian: the description's terminator lies at an even offset, after "d".
    const TBytes utf16 = {1, 'e', 'n', 'g', 0xFF, 0xFE, 'd', 0, 0, 0, 0xFF, 0xFE, 'T', 0, 'x', 0};
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("COMM", utf16, 3))).Comment(), "Tx");
}

TEST(Id3v2, VersionsFlagsAndFrameForms) {
    // 2.2: three-letter ids and sizes.
    EXPECT_EQ(ReadBoth(Tag(2, 0, Frame("TT2", Latin1("Old")) + Frame("TCO", Latin1("(4)")))).Genre(), "Disco");
    EXPECT_EQ(ReadBoth(Tag(2, 0, Frame("TT2", Latin1("Old")))).Title(), "Old");
    // 2.3, whole tag unsynchronised, with an extended header: every 0xFF 0x00 is one 0xFF.
    const TBytes ext = {0, 0, 0, 6, 0, 0, 0, 0, 0, 0};
    TBytes synced = ext + Frame("TIT2", Latin1("A\xFF\xFF" "B"), 3);
    TBytes unsynced;
    for (std::uint8_t b : synced) {
        unsynced.push_back(b);
        if (b == 0xFF) unsynced.push_back(0);
    }
    EXPECT_EQ(ReadBoth(Tag(3, 0xC0, unsynced)).Title(), "A\xFF\xFF" "B");
    // 2.4: group id, data length indicator and unsynchronisation on the frame,
    // an extended header, a footer; a compressed and an encrypted TIT2 before it.
    TBytes body = {0x7, 0, 0, 0, 5, 0, 'Z', 0xFF, 0, 0xFE};
    TBytes v24 = Tag(4, 0x50, TBytes{0, 0, 0, 6, 1, 0} + Frame("TIT2", Latin1("zipped"), 4, 0x08) +
                                  Frame("TIT2", Latin1("secret"), 4, 0x04) + Frame("TIT2", body, 4, 0x43));
    Append(v24, {'3', 'D', 'I', 4, 0, 0x50, 0, 0, 0, 0});
    EXPECT_EQ(ReadBoth(v24).Title(), "Z\xFF\xFE");
    // 2.4 with the tag-wide flag: each frame is decoded once, and its size counts the stored bytes.
    const TMP3FileInfo once = ReadBoth(Tag(4, 0x80, Frame("TIT2", {0, 'A', 0xFF, 0, 0}) + Frame("TALB", Latin1("Next"))));
    EXPECT_EQ(once.Title(), "A\xFF");
    EXPECT_EQ(once.Album(), "Next");
    // A text frame over the read limit: cut, and the frame after it still read.
    const TMP3FileInfo longTitle = ReadBoth(Tag(4, 0, Frame("TIT2", Latin1(std::string(70 * 1024, 't'))) +
                                                          Frame("TALB", Latin1("After"))));
    EXPECT_EQ(longTitle.Title(), std::string(64 * 1024 - 1, 't'));
    EXPECT_EQ(longTitle.Album(), "After");
    // 2.4 written with plain sizes (a frame of 200 bytes): taken when syncsafe ones fail.
    TBytes plain = Bytes("TALB") + Size4(200, false) + TBytes{0, 0} + Latin1(std::string(199, 'a')) +
                   Bytes("TIT2") + Size4(5, false) + TBytes{0, 0} + Latin1("Tail");
    EXPECT_EQ(ReadBoth(Tag(4, 0, plain)).Title(), "Tail");
    // Padding ends the frames; an unknown encoding gives nothing.
    EXPECT_EQ(ReadBoth(Tag(3, 0, TBytes(40, 0) + Frame("TIT2", Latin1("hidden"), 3))).Title(), "song");
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TIT2", Bytes("\x04x"), 3))).Title(), "song");
}

TEST(Id3v2, DamagedTagsGiveWhatCanBeRead) {
    const TBytes good = Tag(3, 0, Frame("TPE1", Latin1("Artist"), 3) + Frame("TIT2", Latin1("Title"), 3));
    // Cut anywhere: never a read past the data, the artist once it is whole.
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        const TBytes part(good.begin(), good.begin() + std::ptrdiff_t(cut));
        TMP3FileInfo info = ReadBoth(part);
        EXPECT_EQ(info.Artist(), cut >= 27 ? "Artist" : "") << cut;
        EXPECT_EQ(info.Title(), "song") << cut;
    }
    // A frame size past the tag, zero and garbage sizes, a bad tag size.
    TBytes past = good;
    past[17] = 0x7F;  // TPE1 claims more than the tag holds
    EXPECT_EQ(ReadBoth(past).Artist(), "");
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TPE1", {}, 3) + Frame("TIT2", Latin1("After"), 3))).Title(), "After");
    TBytes badSize = good;
    badSize[6] = 0x80;
    EXPECT_EQ(ReadBoth(badSize).Artist(), "");
    // UTF-16: odd length, no byte-order mark (little-endian then), lone surrogate.
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TIT2", {1, 0xFE, 0xFF, 0, 'O', 0, 'k', '!'}, 3))).Title(), "Ok");
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TIT2", {1, 'L', 0, 'E', 0}, 3))).Title(), "LE");
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TIT2", {2, 0xD8, 0x00, 0, 'x'}, 3))).Title(), "?x");
    EXPECT_EQ(ReadBoth(Tag(3, 0, Frame("TIT2", Bytes("\x03\xE6\x97 ok"), 3))).Title(), "? ok");
}

TEST(Id3v2, PictureBeforeTheTextIsSteppedOverNotRead) {
    const TBytes fixture = Fixture("v24-utf16be.mp3");
    ASSERT_GT(fixture.size(), 10u);
    const std::uint32_t oldSize = (fixture[6] << 21) | (fixture[7] << 14) | (fixture[8] << 7) | fixture[9];
    for (int major : {3, 4}) {
        TBytes picture = Bytes(std::string("\0image/jpeg\0\x03\0", 14)) + TBytes(1 << 20, 0xFF);
        TBytes frames = Frame("APIC", picture, major);
        if (major == 3)  // the same text frames with plain sizes
            frames = frames + Frame("TIT2", {0, 'v', '3'}, 3);
        else
            frames.insert(frames.end(), fixture.begin() + 10, fixture.begin() + 10 + oldSize);
        TBytes file = Tag(major, 0, frames);
        file.insert(file.end(), fixture.begin() + 10 + oldSize, fixture.end());
        TCountingSource src(file);
        TMP3FileInfo info = Preset();
        ReadMp3Tags(src, info, false, &ToUtf8);
        EXPECT_EQ(info.Title(), major == 3 ? "v3" : "BE タイトル");
        EXPECT_LT(src.Delivered, 16u * 1024) << major;
    }
}

// ---------------------------------------------------------------- the reader's work list
namespace {
TReadJob Job(std::uint32_t ticket) {
    TReadJob job;
    job.Ticket = ticket;
    job.Path = "f" + std::to_string(ticket);
    return job;
}

std::vector<std::uint32_t> Drain(TReadQueue& q) {
    std::vector<std::uint32_t> out;
    TReadJob job;
    while (q.Pop(job)) out.push_back(job.Ticket);
    return out;
}
}  // namespace

TEST(ReadQueue, RowsInViewGoFirstAndCancelledOrTakenJobsNeverComeBack) {
    TReadQueue q;
    for (std::uint32_t t = 1; t <= 8; ++t) q.Push(Job(t));
    TReadJob job;
    ASSERT_TRUE(q.Pop(job));
    EXPECT_EQ(job.Ticket, 1u);
    EXPECT_EQ(job.Path, "f1");
    // The newest ask goes before an older one; a taken or unknown ticket is skipped.
    q.PutFirst({6, 7});
    q.PutFirst({4, 1, 99});
    q.Cancel(7);
    q.Cancel(2);
    q.Cancel(2);  // twice: counted once
    EXPECT_EQ(q.Size(), 5u);
    EXPECT_EQ(Drain(q), (std::vector<std::uint32_t>{4, 6, 3, 5, 8}));
    EXPECT_EQ(q.Size(), 0u);
    // Tickets must rise: one out of order would break the search, and is refused.
    q.Push(Job(10));
    q.Push(Job(9));
    q.PutFirst({9});
    EXPECT_EQ(Drain(q), (std::vector<std::uint32_t>{10}));
}

TEST(ReadQueue, NamesComeBackWholeWhileTheQueueKeepsThemTogether) {
    TReadQueue q;
    const std::string longName(300, 'n');
    for (std::uint32_t t = 1; t <= 8000; ++t) {
        TReadJob job = Job(t);
        job.Path += longName;  // enough dead names to move the living ones together
        if (t % 2 == 0) job.WidePath = u"\u6771\u4eac" + std::u16string(1, static_cast<char16_t>(t));
        q.Push(std::move(job));
    }
    q.PutFirst({7999});
    TReadJob job;
    for (std::uint32_t t = 1; t < 7000; ++t) q.Cancel(t);  // a stuck read keeps the rest waiting
    ASSERT_TRUE(q.Pop(job));
    EXPECT_EQ(job.Ticket, 7999u);
    EXPECT_EQ(job.Path, "f7999" + longName);
    EXPECT_EQ(job.WidePath, u"");
    ASSERT_TRUE(q.Pop(job));
    EXPECT_EQ(job.Path, "f7000" + longName);
    EXPECT_EQ(job.WidePath, u"\u6771\u4eac" + std::u16string(1, static_cast<char16_t>(7000)));
}
