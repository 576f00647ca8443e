// The record, ID3v1 and RIFF INFO readers over byte arrays and real temporary files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fileinfo/ByteSource.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/MpegAudio.h"
#include "fileinfo/TagText.h"
#include "fileinfo/WaveForm.h"
#include "Id3TestBytes.h"
#include "TagTestSources.h"

namespace {

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
