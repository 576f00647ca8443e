// Playlist files over byte buffers: what is written for each type, and which
// names are found in what other players wrote.
#include <gtest/gtest.h>

#include "fileinfo/PlaylistFile.h"

namespace {
using Names = std::vector<std::string_view>;

// Latin-1 to UTF-8: enough to see that the writer converts the whole text once.
std::string Latin1ToUtf8(std::string_view s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
bool SjisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

const std::vector<TPlaylistEntry> kTwo = {{"C:\\Music\\a.mp3", "Artist - A", 215}, {"D:\\b\xE9.wav", "B\xE9", -1}};
}  // namespace

TEST(PlaylistFileWrite, EachTypeLineForLine) {
    EXPECT_EQ(WritePlaylist(TPlaylistType::M3u, kTwo),
              "#EXTM3U\r\n#EXTINF:215,Artist - A\r\nC:\\Music\\a.mp3\r\n#EXTINF:-1,B\xE9\r\nD:\\b\xE9.wav\r\n");
    EXPECT_EQ(WritePlaylist(TPlaylistType::M3u8, kTwo, &Latin1ToUtf8),
              "#EXTM3U\r\n#EXTINF:215,Artist - A\r\nC:\\Music\\a.mp3\r\n#EXTINF:-1,B\xC3\xA9\r\nD:\\b\xC3\xA9.wav\r\n");
    EXPECT_EQ(WritePlaylist(TPlaylistType::Pls, kTwo),
              "[playlist]\r\nFile1=C:\\Music\\a.mp3\r\nTitle1=Artist - A\r\nLength1=215\r\n"
              "File2=D:\\b\xE9.wav\r\nTitle2=B\xE9\r\nLength2=-1\r\nNumberOfEntries=2\r\nVersion=2\r\n");
    EXPECT_EQ(WritePlaylist(TPlaylistType::Pls, {}), "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");
    EXPECT_EQ(WritePlaylist(TPlaylistType::M3u, {}), "#EXTM3U\r\n");
}

TEST(PlaylistFileWrite, TitlesCannotBreakTheLinesAndCutCharactersAreDroppedBeforeConversion) {
    // A tag title with a line break, and a Shift-JIS title cut after its lead byte.
    const std::vector<TPlaylistEntry> e = {{"x.mp3", "one\r\ntwo", 1}, {"\x95\x5C.mp3", "ab\x82", 2}};
    EXPECT_EQ(WritePlaylist(TPlaylistType::M3u, e, nullptr, &SjisLead),
              "#EXTM3U\r\n#EXTINF:1,one  two\r\nx.mp3\r\n#EXTINF:2,ab\x82\r\n\x95\x5C.mp3\r\n")
        << ".m3u keeps the bytes as they are";
    auto identity = [](std::string_view s) { return std::string(s); };
    EXPECT_EQ(WritePlaylist(TPlaylistType::M3u8, e, identity, &SjisLead),
              "#EXTM3U\r\n#EXTINF:1,one  two\r\nx.mp3\r\n#EXTINF:2,ab\r\n\x95\x5C.mp3\r\n");
    EXPECT_EQ(WritePlaylist(TPlaylistType::Pls, {{"x.mp3", "a\nb", 3}}),
              "[playlist]\r\nFile1=x.mp3\r\nTitle1=a b\r\nLength1=3\r\nNumberOfEntries=1\r\nVersion=2\r\n");
}

TEST(PlaylistFileWrite, InPiecesTheSameBytesAndNothingAfterAFailedPiece) {
    for (TPlaylistType type : {TPlaylistType::M3u, TPlaylistType::Pls}) {
        std::string pieces;
        int calls = 0;
        TPlaylistWriter writer(type, [&](std::string_view b) { return ++calls, pieces.append(b), true; }, nullptr, nullptr, 10);
        for (const TPlaylistEntry& e : kTwo) writer.Add(e);
        EXPECT_TRUE(writer.Finish());
        EXPECT_EQ(pieces, WritePlaylist(type, kTwo));
        EXPECT_EQ(calls, type == TPlaylistType::Pls ? 3 : 2) << "a piece per entry (each over 10 bytes), the trailer";
    }
    int calls = 0;
    TPlaylistWriter failing(TPlaylistType::Pls, [&](std::string_view) { return ++calls, false; }, nullptr, nullptr, 10);
    for (const TPlaylistEntry& e : kTwo) failing.Add(e);
    EXPECT_FALSE(failing.Finish());
    EXPECT_EQ(calls, 1);
}

TEST(PlaylistFileRead, TypesLinesAndM3u8Names) {
    EXPECT_EQ(PlaylistTypeOfExtension(".M3U"), TPlaylistType::M3u);
    EXPECT_EQ(PlaylistTypeOfExtension(".m3U8"), TPlaylistType::M3u8);
    EXPECT_EQ(PlaylistTypeOfExtension(".PLS"), TPlaylistType::Pls);
    EXPECT_EQ(PlaylistTypeOfExtension(".m3"), TPlaylistType::None);
    EXPECT_EQ(PlaylistTypeOfExtension("m3u"), TPlaylistType::None);
    EXPECT_EQ(SplitPlaylistLines("a\r\nb\nc\rd"), (Names{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitPlaylistLines("a\n\r\n\r\rb\r\n"), (Names{"a", "", "", "", "b"}));
    EXPECT_EQ(SplitPlaylistLines(""), Names{});
    EXPECT_EQ(ReadM3u8Names("\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,x\r\nx.mp3\n\n  y.mp3\r\xE6\x9B\xB2.mp3"),
              (Names{"x.mp3", "  y.mp3", "\xE6\x9B\xB2.mp3"}));
    EXPECT_EQ(ReadM3u8Names("a.mp3\r\n\xEF\xBB\xBF" "b.mp3"), (Names{"a.mp3", "\xEF\xBB\xBF" "b.mp3"}))
        << "only a leading mark is one";
}

TEST(PlaylistFileRead, PlsEntriesInTheOrderOfK) {
    const TPlsNames pls = ReadPlsNames(
        "File9=outside.mp3\r\n"
        "[Other]\nFile1=other.mp3\n"
        " [ PlayList ] \n"
        "numberofentries=7\n"
        "  file10 =  ten.mp3 \t\n"
        "Title2=two\n"
        "FILE2=two.mp3\n"
        "File2=second two.mp3\n"
        "File1=C:\\one.mp3\r"
        "Filex=x.mp3\nFile=none.mp3\nFile3=\nLength1=3\nnot a key\n"
        "[playlist]\nFile4=four.mp3");
    EXPECT_FALSE(pls.Utf8);
    EXPECT_EQ(pls.Names, (Names{"C:\\one.mp3", "two.mp3", "four.mp3", "ten.mp3"}));
    const TPlsNames bom = ReadPlsNames("\xEF\xBB\xBF[playlist]\r\nFile1=\xE6\x9B\xB2.mp3\r\n");
    EXPECT_TRUE(bom.Utf8);
    EXPECT_EQ(bom.Names, (Names{"\xE6\x9B\xB2.mp3"}));
    EXPECT_TRUE(ReadPlsNames("File1=a.mp3\n").Names.empty()) << "no section, no entries";
    // What the writer wrote, read back.
    EXPECT_EQ(ReadPlsNames(WritePlaylist(TPlaylistType::Pls, kTwo)).Names, (Names{kTwo[0].Name, kTwo[1].Name}));
}
