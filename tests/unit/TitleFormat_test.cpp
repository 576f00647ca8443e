#include "entries/RecordsByName.h"
#include "entries/TitleFormat.h"

#include <gtest/gtest.h>

namespace {

TMP3FileInfo Untagged(const std::string& path) {
    TMP3FileInfo rec;
    FillEntryFileNameFields(rec, path);
    return rec;
}

TEST(FileNameParts, SplitAtTheLastSeparatorAndDot) {
    EXPECT_EQ(FileNamePart("C:\\Music\\Track.MP3"), "Track.MP3");
    EXPECT_EQ(FileNamePart("C:Track.mp3"), "Track.mp3");
    EXPECT_EQ(FileNamePart("Track.mp3"), "Track.mp3");
    EXPECT_EQ(FileNamePart("C:\\Music\\"), "");
    EXPECT_EQ(FileExtension("C:\\Music\\Track.MP3"), ".MP3");
    EXPECT_EQ(FileNameWithoutExtension("C:\\Music\\Track.MP3"), "Track");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(FileExtension("C:\\My.Music\\Track"), "");
    EXPECT_EQ(FileNameWithoutExtension("C:\\My.Music\\Track"), "Track");
    EXPECT_EQ(FileExtension("a.b.c.wav"), ".wav");
    EXPECT_EQ(FileNameWithoutExtension("a.b.c.wav"), "a.b.c");
    EXPECT_EQ(FileExtension(""), "");
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(FileNameParts, DoubleByteTrailBackslashIsNoSeparator) {
    // "表" is 0x95 0x5C in Shift-JIS: its trail byte is the byte of "\".
    const std::string path = "C:\\\x95\x5C\\\x95\x5C.mp3";
    EXPECT_EQ(FileNamePart(path, ShiftJisLead), "\x95\x5C.mp3");
    EXPECT_EQ(FileNameWithoutExtension(path, ShiftJisLead), "\x95\x5C");
    // Without the lead-byte test every byte counts alone (single-byte code pages).
    EXPECT_EQ(FileNamePart(path), ".mp3");
}

TEST(BuildEntryTitle, DefaultFormatFallsBackToTheFileName) {
    EXPECT_EQ(BuildEntryTitle("${INAM}", Untagged("C:\\Music\\My Song.mp3")), "My Song");
}

TEST(BuildEntryTitle, EveryTokenTakesItsField) {
    TMP3FileInfo rec = Untagged("D:\\x\\Track.MP3");
    rec.SetTitle("t");
    rec.SetArtist("a");
    rec.SetAlbum("p");
    rec.SetComment("c");
    rec.SetSource("s");
    rec.SetGenre("g");
    rec.SetYear("1999");  // not a token
    EXPECT_EQ(BuildEntryTitle("${INAM}|${IART}|${IPRD}|${ICMT}|${ISRC}|${IGNR}|${FNAM}|${FEXT}", rec),
              "t|a|p|c|s|g|Track|.MP3");
}

TEST(BuildEntryTitle, EmptyFieldsAndLiteralText) {
    EXPECT_EQ(BuildEntryTitle("${IART} - ${INAM}", Untagged("song.mp3")), " - song");
    EXPECT_EQ(BuildEntryTitle("", Untagged("song.mp3")), "");
    EXPECT_EQ(BuildEntryTitle("  plain  ", Untagged("song.mp3")), "  plain  ");
    TMP3FileInfo noDot = Untagged("C:\\x\\README");
    EXPECT_EQ(BuildEntryTitle("[${FNAM}][${FEXT}]", noDot), "[README][]");
}

TEST(BuildEntryTitle, TokensIgnoreAsciiCase) {
    const TMP3FileInfo rec = Untagged("C:\\Music\\Track.mp3");
    EXPECT_EQ(BuildEntryTitle("${fnam}${FeXt}", rec), "Track.mp3");
}

TEST(BuildEntryTitle, UnknownAndTruncatedTokensStayLiteral) {
    const TMP3FileInfo rec = Untagged("song.mp3");
    EXPECT_EQ(BuildEntryTitle("x${INA", rec), "x${INA");
    EXPECT_EQ(BuildEntryTitle("${", rec), "${");
    EXPECT_EQ(BuildEntryTitle("${YEAR}", rec), "${YEAR}");
    // The scan goes on right behind an unmatched "${".
    EXPECT_EQ(BuildEntryTitle("${${INAM}", rec), "${song");
    EXPECT_EQ(BuildEntryTitle("$${INAM}}", rec), "$song}");
}

TEST(BuildEntryTitle, ValuesAreNeverExpandedAgain) {
    TMP3FileInfo rec = Untagged("song.mp3");
    rec.SetTitle("${IART}");
    rec.SetArtist("artist");
    EXPECT_EQ(BuildEntryTitle("${INAM}/${IART}", rec), "${IART}/artist");
}

TEST(ChooseTagReader, ByExtensionIgnoringCase) {
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.mp3"), TTagReader::Id3v1);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.MP3"), TTagReader::Id3v1);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.Rmp"), TTagReader::RiffInfo);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.FLAC"), TTagReader::Flac);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.Opus"), TTagReader::Ogg);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.WV"), TTagReader::Ape);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.M4b"), TTagReader::Mp4);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.WMA"), TTagReader::Asf);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.wav"), TTagReader::None);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.mp2"), TTagReader::None);
    EXPECT_EQ(ChooseTagReader("C:\\a.mp3\\b"), TTagReader::None);
    EXPECT_EQ(ChooseTagReader("C:\\a\\b.mp3x"), TTagReader::None);
}

TEST(FillEntryFileNameFields, SetsPathAndFallbackTitleOnly) {
    TMP3FileInfo rec;
    rec.SetArtist("kept");
    FillEntryFileNameFields(rec, "C:\\Music\\Track.MP3");
    EXPECT_EQ(rec.FileName(), "C:\\Music\\Track.MP3");
    EXPECT_EQ(rec.Title(), "Track");
    EXPECT_EQ(rec.Artist(), "kept");
    EXPECT_EQ(rec.SongLength, -1);
}

TEST(FillKeptEntryFields, AStreamIsTitledByItsWholeNameAFileByItsName) {
    TMP3FileInfo stream, missing;
    FillKeptEntryFields(stream, "http://radio.example:8000/live.mp3?x=1");
    EXPECT_EQ(stream.Title(), "http://radio.example:8000/live.mp3?x=1");
    EXPECT_EQ(stream.FileName(), "http://radio.example:8000/live.mp3?x=1");
    EXPECT_TRUE(stream.Kept);
    FillKeptEntryFields(missing, "E:\\Away\\Song.flac");
    EXPECT_EQ(missing.Title(), "Song");
    EXPECT_EQ(missing.SongLength, -1);
    EXPECT_TRUE(missing.Kept);
    // A copy (a history step's record) stays kept.
    EXPECT_TRUE(TMP3FileInfo(missing).Kept);
}

TEST(RecordsByName, FindEachRecordByItsWideNameAfterItsTextWasRenewed) {
    // Both "C:\\??.mp3" under 1252: only their wide names tell them apart.
    const TRecordRef seoulRef(std::make_unique<TMP3FileInfo>(Untagged("C:\\??.mp3")));
    const TRecordRef busanRef(std::make_unique<TMP3FileInfo>(Untagged("C:\\??.mp3")));
    TMP3FileInfo* seoul = seoulRef.Get();
    TMP3FileInfo* busan = busanRef.Get();
    seoul->SetWideFileName(u"C:\\\uC11C.mp3");
    busan->SetWideFileName(u"C:\\\uBD80.mp3");
    {
        TRecordsByName earlier;
        earlier.Add(seoulRef);
        earlier.Add(busanRef);
        seoul->Set({{TInfoField::Title, "Seoul"}, {TInfoField::Artist, "Read"}});  // a read result: a new text block
        EXPECT_EQ(earlier.Find(seoul->EntryName()), seoul);
        EXPECT_EQ(earlier.Find(busan->EntryName()), busan);
        EXPECT_EQ(earlier.Find(EntryNameOf("C:\\??.mp3", {})), nullptr) << "the 8-bit name alone names neither";
    }
    EXPECT_EQ(seoulRef.UseCount(), 1u) << "the set let go of its own";
    EXPECT_EQ(busanRef.UseCount(), 1u);
}

}  // namespace
