// The tag readers by file name under Wine: real files, the sharing mode, the
// file released afterwards, ID3v2 text in the ANSI code page (run under code
// page 932 as well).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/Text_win.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/MpegAudio.h"
#include "fileinfo/TagReaders.h"
#include "fileinfo/WaveForm.h"

namespace {

class TagFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.Make("vl_tags_"));
        dir_ = folder_.Dir();
    }
    void TearDown() override {
        for (auto& f : folder_.Files()) EXPECT_TRUE(DeleteFileA(f.c_str())) << f;  // nothing left open
    }
    std::string Write(const std::string& name, const std::string& bytes) { return folder_.Write(name, bytes); }
    TTempFolder folder_;
    std::string dir_;
};

std::string Id3v1File(const std::string& title, int genre) {
    std::string tag(128, '\0');
    std::memcpy(&tag[0], "TAG", 3);
    std::memcpy(&tag[3], title.data(), title.size());
    tag[127] = char(genre);
    return std::string(2000, '\xFF') + tag;
}

std::string Le32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

std::string RiffFile(const std::string& form, const std::string& title) {
    std::string text = title + '\0';
    if (text.size() & 1) text += '\0';
    std::string inam = "INAM" + Le32(std::uint32_t(title.size() + 1)) + text;
    std::string list = "LIST" + Le32(std::uint32_t(4 + inam.size())) + "INFO" + inam;
    std::string data = "data" + Le32(6000) + std::string(6000, '\x55');
    std::string body = form + data + list;
    return "RIFF" + Le32(std::uint32_t(body.size())) + body;
}

}  // namespace

TEST_F(TagFilesTest, ReadsTagsByFileName) {
    TMP3FileInfo a;
    EXPECT_TRUE(ReadId3v1Tag(Write("SONG.MP3", Id3v1File("Upper case name", 0)), a));
    EXPECT_EQ(a.Title(), "Upper case name");
    EXPECT_EQ(a.Genre(), "Blues");

    TMP3FileInfo b;
    EXPECT_TRUE(ReadRiffInfoTag(Write("song.rmp", RiffFile("RMP3", "Wrapped")), b));
    EXPECT_EQ(b.Title(), "Wrapped");

    TMP3FileInfo c;
    c.SetTitle("wave");
    EXPECT_FALSE(ReadRiffInfoTag(Write("wave.rmp", RiffFile("WAVE", "Not read")), c));
    EXPECT_EQ(c.Title(), "wave");

    // ID3v1 is text of the code page: Shift-JIS bytes (0x5C as a trail byte)
    // are 表示 under 932, and what 1252 makes of them elsewhere.
    const std::string sjis = "\x95\x5C\x8E\xA6";
    TMP3FileInfo d;
    EXPECT_TRUE(ReadId3v1Tag(Write("sjis.mp3", Id3v1File(sjis, 255)), d));
    EXPECT_EQ(d.Title(), GetACP() == 932 ? "表示" : "\xE2\x80\xA2\\\xC5\xBD\xC2\xA6");
}

TEST_F(TagFilesTest, MissingShortAndLockedFiles) {
    TMP3FileInfo info;
    info.SetTitle("preset");
    EXPECT_FALSE(ReadId3v1Tag(dir_ + "\\missing.mp3", info));
    EXPECT_FALSE(ReadRiffInfoTag(dir_ + "\\missing.rmp", info));
    EXPECT_FALSE(ReadId3v1Tag(Write("short.mp3", "TAGxyz"), info));
    EXPECT_FALSE(ReadId3v1Tag(dir_, info));
    EXPECT_EQ(info.Title(), "preset");

    // A writer has the file open: the deny-write open fails and nothing is read.
    const std::string mp3 = Write("busy.mp3", Id3v1File("Busy", 1));
    const std::string rmp = Write("busy.rmp", RiffFile("RMP3", "Busy"));
    HANDLE w1 = CreateFileA(mp3.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    HANDLE w2 = CreateFileA(rmp.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(w1, INVALID_HANDLE_VALUE);
    ASSERT_NE(w2, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadId3v1Tag(mp3, info));
    EXPECT_FALSE(ReadRiffInfoTag(rmp, info));
    CloseHandle(w1);
    CloseHandle(w2);

    // A reader that shares reading does not stop us.
    HANDLE r = CreateFileA(mp3.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(r, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ReadId3v1Tag(mp3, info));
    EXPECT_EQ(info.Title(), "Busy");
    CloseHandle(r);
}

// Records hold UTF-8: Unicode tags keep every character on any code page.
TEST_F(TagFilesTest, Id3v2TextKeepsItsCharacters) {
    const std::string data = std::string(VL_TEST_DATA_DIR) + "/id3v2/";
    TMP3FileInfo a;
    ASSERT_TRUE(ReadMp3Tags(data + "v23-utf16.mp3", a, false));
    EXPECT_EQ(a.Title(), "日本語のタイトル");
    EXPECT_EQ(a.Comment(), "コメント");
    EXPECT_EQ(a.Album(), "Café");
    EXPECT_EQ(a.Genre(), "Rock");
    // Encoding 0 is the code page's text, as the writers of the system meant it.
    TMP3FileInfo b;
    ASSERT_TRUE(ReadMp3Tags(data + "id3lib-v23-v1.mp3", b, true));
    EXPECT_EQ(b.Title(), AnsiToUtf8("Caf\xE9 id3lib title"));
    if (GetACP() == 1252) EXPECT_EQ(b.Title(), "Café id3lib title");

    // A 1 MB picture before the text: the file is written here, not checked in.
    std::string picture = std::string("\0image/png\0\x03\0", 13) + std::string(1 << 20, '\x89');
    auto frame = [](const std::string& id, const std::string& body) {
        const std::size_t n = body.size();
        return id + std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n), 0, 0} + body;
    };
    std::string frames = frame("APIC", picture) + frame("TIT2", std::string("\x01\xFF\xFE" "B\0i\0g\0", 9));
    const std::size_t n = frames.size();
    const std::string tag = std::string("ID3\x03\0\0", 6) +
                            std::string{char(n >> 21 & 0x7F), char(n >> 14 & 0x7F), char(n >> 7 & 0x7F), char(n & 0x7F)};
    TMP3FileInfo c;
    EXPECT_TRUE(ReadMp3Tags(Write("big.mp3", tag + frames + std::string(4000, '\xFF')), c, false));
    EXPECT_EQ(c.Title(), "Big");
}

// Songs tagged by mutagen in seven scripts, an emoji among them: ID3v2.3
// UTF-16, ID3v2.4 UTF-8 and UTF-16BE, FLAC, Ogg Vorbis, MP4.
TEST_F(TagFilesTest, EveryScriptThroughEveryUnicodeTag) {
    const std::string dir = std::string(VL_TEST_DATA_DIR) + "/unicode/";
    std::ifstream in(dir + "titles.txt", std::ios::binary);
    int read = 0;
    for (std::string line; std::getline(in, line); ++read) {
        const std::string name = line.substr(0, line.find('\t'));
        const TTagReaderEntry* reader = FindTagReader(name.substr(name.rfind('.')));
        ASSERT_NE(reader, nullptr) << name;
        TMP3FileInfo info;
        EXPECT_TRUE(ReadTagsOfFile(dir + name, *reader, info, true)) << name;
        EXPECT_EQ(info.Title(), line.substr(name.size() + 1)) << name;
    }
    EXPECT_EQ(read, 14);
}

TEST_F(TagFilesTest, Mp4AndAsfTextKeepsItsCharacters) {
    for (const char* fixture : {"mp4/japanese.m4a", "asf/japanese.wma"}) {
        // A copy in the test's folder: deleting it afterwards proves it was closed.
        const std::string name = std::string(fixture).substr(4);
        const std::string path = dir_ + "\\" + name;
        ASSERT_TRUE(CopyFileA((std::string(VL_TEST_DATA_DIR) + "/" + fixture).c_str(), path.c_str(), FALSE));
        folder_.Keep(path);
        const TTagReaderEntry* reader = FindTagReader(name.substr(name.size() - 4));
        ASSERT_NE(reader, nullptr);
        TMP3FileInfo info;
        info.SetTitle("japanese");
        EXPECT_TRUE(ReadTagsOfFile(path, *reader, info, false)) << name;
        EXPECT_EQ(info.Title(), "日本語のタイトル") << name;
        EXPECT_EQ(info.Artist(), "アーティスト") << name;
        EXPECT_EQ(info.Album(), "Café") << name;
        EXPECT_EQ(info.Copyright(), "© 2004 Label") << name;
    }
}

TEST_F(TagFilesTest, FlacOggAndApeTextKeepsItsCharacters) {
    const std::string data = std::string(VL_TEST_DATA_DIR) + "/tags/";
    struct TCase {
        const char* name;
        const char* title;  // as mutagen wrote it
    };
    const TCase cases[] = {
        {"japanese.flac", "日本語のタイトル"}, {"japanese.ogg", "日本語のタイトル"}, {"japanese.ape", "日本語のタイトル"},
        {"japanese.opus", "オーパス"},         {"japanese.spx", "スピークス"},       {"flac.oga", "FLAC in Ogg"},
        {"id3v1.mpc", "APE before ID3v1"},     {"picture.wv", "After the picture"},
    };
    for (const TCase& c : cases) {
        const std::string name = c.name;
        const TTagReaderEntry* reader = FindTagReader(name.substr(name.rfind('.')));
        ASSERT_NE(reader, nullptr) << name;
        TMP3FileInfo info;
        info.SetTitle("file name");
        EXPECT_TRUE(ReadTagsOfFile(data + name, *reader, info, false)) << name;
        EXPECT_EQ(info.Title(), c.title) << name;
    }
    TMP3FileInfo flac;
    ASSERT_TRUE(ReadTagsOfFile(data + "japanese.flac", *FindTagReader(".FLAC"), flac, false));
    EXPECT_EQ(flac.Comment(), "コメント");
    EXPECT_EQ(flac.Album(), "Café");

    // Opened deny-write and closed again: a writer stops the reader, and the
    // file can be deleted afterwards.
    std::string bytes;
    {
        HANDLE h = CreateFileA((data + "japanese.opus").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        char buffer[4096];
        DWORD got = 0;
        ReadFile(h, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(h);
        bytes.assign(buffer, got);
    }
    const std::string copy = Write("copy.opus", bytes);
    HANDLE w = CreateFileA(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    TMP3FileInfo busy;
    EXPECT_FALSE(ReadTagsOfFile(copy, *FindTagReader(".opus"), busy, false));
    CloseHandle(w);
    EXPECT_TRUE(ReadTagsOfFile(copy, *FindTagReader(".opus"), busy, false));
    EXPECT_EQ(busy.Artist(), "Opus artist");
}
