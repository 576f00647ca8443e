// The ID3v2 reader over real taggers' files and built tags, and the reader's work list.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fileinfo/ByteSource.h"
#include "fileinfo/Id3v2.h"
#include "fileinfo/MpegAudio.h"
#include "reading/ReadQueue.h"
#include "Id3TestBytes.h"
#include "TagTestSources.h"

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
