// The tag readers by file name under Wine: real files, the sharing mode, the
// file released afterwards, ID3v2 text in the ANSI code page (run under code
// page 932 as well).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestFiles.h"
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

    // Shift-JIS bytes (0x5C as a trail byte) come through untouched.
    const std::string sjis = "\x95\x5C\x8E\xA6";
    TMP3FileInfo d;
    EXPECT_TRUE(ReadId3v1Tag(Write("sjis.mp3", Id3v1File(sjis, 255)), d));
    EXPECT_EQ(d.Title(), sjis);
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

TEST_F(TagFilesTest, Id3v2TextInTheAnsiCodePage) {
    const std::string data = std::string(VL_TEST_DATA_DIR) + "/id3v2/";
    const bool japanese = GetACP() == 932;
    TMP3FileInfo a;
    ASSERT_TRUE(ReadMp3Tags(data + "v23-utf16.mp3", a, false));
    EXPECT_EQ(a.Title(), japanese ? "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83^\x83\x43\x83g\x83\x8B" : "????????");
    EXPECT_EQ(a.Comment(), japanese ? "\x83R\x83\x81\x83\x93\x83g" : "????");
    EXPECT_EQ(a.Album(), japanese ? "Caf?" : "Caf\xE9");  // no look-alike letters
    EXPECT_EQ(a.Genre(), "Rock");
    // Encoding 0 is taken byte for byte, whatever the code page.
    TMP3FileInfo b;
    ASSERT_TRUE(ReadMp3Tags(data + "id3lib-v23-v1.mp3", b, true));
    EXPECT_EQ(b.Title(), "Caf\xE9 id3lib title");

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

TEST_F(TagFilesTest, Mp4AndAsfTextInTheAnsiCodePage) {
    const bool japanese = GetACP() == 932;
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
        EXPECT_EQ(info.Title(), japanese ? "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83^\x83\x43\x83g\x83\x8B" : "????????") << name;
        EXPECT_EQ(info.Artist(), japanese ? "\x83\x41\x81[\x83\x65\x83\x42\x83X\x83g" : "??????") << name;
        EXPECT_EQ(info.Album(), japanese ? "Caf?" : "Caf\xE9") << name;  // no look-alike letters
        EXPECT_EQ(info.Copyright(), japanese ? "? 2004 Label" : "\xA9 2004 Label") << name;
    }
}

TEST_F(TagFilesTest, FlacOggAndApeTextInTheAnsiCodePage) {
    const std::string data = std::string(VL_TEST_DATA_DIR) + "/tags/";
    const bool japanese = GetACP() == 932;
    struct TCase {
        const char* name;
        const char* cp932;
        const char* cp1252;
    };
    const std::string title = "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83^\x83\x43\x83g\x83\x8B";  // as mutagen wrote it
    const TCase cases[] = {
        {"japanese.flac", title.c_str(), "????????"},   {"japanese.ogg", title.c_str(), "????????"},
        {"japanese.ape", title.c_str(), "????????"},    {"japanese.opus", "\x83I\x81[\x83p\x83X", "????"},
        {"japanese.spx", "\x83X\x83s\x81[\x83N\x83X", "?????"}, {"flac.oga", "FLAC in Ogg", "FLAC in Ogg"},
        {"id3v1.mpc", "APE before ID3v1", "APE before ID3v1"},   {"picture.wv", "After the picture", "After the picture"},
    };
    for (const TCase& c : cases) {
        const std::string name = c.name;
        const TTagReaderEntry* reader = FindTagReader(name.substr(name.rfind('.')));
        ASSERT_NE(reader, nullptr) << name;
        TMP3FileInfo info;
        info.SetTitle("file name");
        EXPECT_TRUE(ReadTagsOfFile(data + name, *reader, info, false)) << name;
        EXPECT_EQ(info.Title(), japanese ? c.cp932 : c.cp1252) << name;
    }
    TMP3FileInfo flac;
    ASSERT_TRUE(ReadTagsOfFile(data + "japanese.flac", *FindTagReader(".FLAC"), flac, false));
    EXPECT_EQ(flac.Comment(), japanese ? "\x83R\x83\x81\x83\x93\x83g" : "????");
    EXPECT_EQ(flac.Album(), japanese ? "Caf?" : "Caf\xE9");  // no look-alike letters

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
