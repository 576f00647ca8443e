// Sorting, reversing, shuffling and cleaning up the list, and failures in the middle of a command.
#include "ListCommandsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// --- Sorting -----------------------------------------------------------------

TEST_F(ListCommandsTest, SortByTitleOrdersEqualKeysAsTheQuicksortDoes) {
    FillTitles({"Song", "song", "SONG"});
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"SONG", "song", "Song"}));

    FillTitles({"x", "X", "a"});
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "X", "x"}));
}

TEST_F(ListCommandsTest, SortGivesTheQuicksortsOrderOfCaseOnlyDifferences) {
    // Neither a stable sort nor a first- or last-row pivot gives this order.
    FillTitles({"b", "BX", "cX", "A", "CX", "bx", "bX"});
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "b", "bx", "BX", "bX", "cX", "CX"}));
    // An even count, where the middle row of a range is the lower of two.
    FillTitles({"b", "a", "b", "A"});
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "a", "b", "b"}));
}

TEST_F(ListCommandsTest, SortByFileNameAndByPathKeepTheTitlesShown) {
    const std::vector<std::string> titles{"first", "second", "third"};
    const std::vector<std::string> paths{"D:\\a\\Y.mp3", "C:\\b\\x.mp3", "C:z.mp3"};
    FillTitles(titles, paths);
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::FileName, CompareIgnoringCase));
    EXPECT_EQ(Order(), (V{1, 0, 2}));  // x.mp3, Y.mp3, z.mp3
    EXPECT_EQ(Texts(), (std::vector<std::string>{"second", "first", "third"}));

    FillTitles(titles, paths);
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Path, CompareIgnoringCase));
    EXPECT_EQ(Order(), (V{1, 2, 0}));  // C:\b\x, C:z, D:\a\Y
    EXPECT_EQ(Texts(), (std::vector<std::string>{"second", "third", "first"}));
}

TEST_F(ListCommandsTest, SortCarriesMarksAndPlayingEntryAndKeepsTheTopRowNumber) {
    FillTitles({"d", "c", "b", "a", "e"});
    Select({0, 3});
    list.SetTopIndex(2);
    playing = 1;  // "c"
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(SelectedRows(), (V{0, 3}));  // "a" and "d"
    EXPECT_EQ(playing, 2);
    EXPECT_EQ(list.TopIndex(), 2);
    EXPECT_TRUE(records[0]->Selected);   // "d" was selected
    EXPECT_FALSE(records[1]->Selected);
    ExpectReleased();
    // The lock is taken before the list's updates are suspended.
    ASSERT_FALSE(log.Events.empty());
    EXPECT_EQ(log.Events.front(), "lock");
    EXPECT_EQ(log.Events.back(), "unlock");
}

TEST_F(ListCommandsTest, SortOfManyKeysIsAnOrderedPermutation) {
    std::mt19937 gen(7);
    std::vector<std::string> titles;
    for (int i = 0; i < 2000; ++i) {
        std::string t(1 + gen() % 3, 'a');
        for (char& c : t) c = static_cast<char>((gen() % 2 ? 'a' : 'A') + gen() % 4);
        titles.push_back(t);
    }
    FillTitles(titles);
    playing = 1234;
    const std::uintptr_t playingData = list.Data(playing);
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase));
    const auto texts = Texts();
    for (std::size_t i = 1; i < texts.size(); ++i)
        ASSERT_LE(CompareIgnoringCase(texts[i - 1], texts[i]), 0) << "at " << i;
    auto order = Order();
    std::sort(order.begin(), order.end());
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(list.Data(playing), playingData);
}

TEST_F(ListCommandsTest, SortOnKeysGivesTheDirectOrderOrFallsBackToIt) {
    std::mt19937 gen(11);
    std::vector<std::string> many;
    for (int i = 0; i < 500; ++i) {
        std::string t(1 + gen() % 3, 'a');
        for (char& c : t) c = static_cast<char>((gen() % 2 ? 'a' : 'A') + gen() % 3);
        many.push_back(t);
    }
    int compares = 0;
    auto counted = [&](std::string_view a, std::string_view b) {
        ++compares;
        return CompareIgnoringCase(a, b);
    };
    auto lowered = [](std::string_view t, std::string& out) {
        for (char c : t) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    // Keys blind to the last character: they tie texts the comparison tells apart.
    auto blunt = [](std::string_view t, std::string& out) { out.append(t.substr(0, t.size() - 1)); };
    for (const auto& titles : {std::vector<std::string>{"Song", "song", "SONG"},
                               std::vector<std::string>{"x", "X", "a"}, many}) {
        FillTitles(titles);
        SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase);
        const V direct = Order();

        FillTitles(titles);
        TSortPath path = TSortPath::Direct;
        compares = 0;
        SortEntries(list, playing, lock, TSortKey::Title, TCollation(counted, lowered), nullptr, &path);
        EXPECT_EQ(Order(), direct);
        EXPECT_EQ(path, TSortPath::Keys);
        EXPECT_EQ(compares, static_cast<int>(titles.size()) - 1) << "one check per adjacent pair";

        FillTitles(titles);
        SortEntries(list, playing, lock, TSortKey::Title, TCollation(CompareIgnoringCase, blunt), nullptr, &path);
        EXPECT_EQ(Order(), direct);
        EXPECT_EQ(path, TSortPath::KeysRejected);
    }
}

TEST_F(ListCommandsTest, SortStaysInRangeWithAnInconsistentComparison) {
    Fill(200);
    const TCompareText alwaysLess = [](std::string_view, std::string_view) { return -1; };
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, alwaysLess));
    const TCompareText alwaysMore = [](std::string_view, std::string_view) { return 1; };
    EXPECT_TRUE(SortEntries(list, playing, lock, TSortKey::Title, alwaysMore));
    auto order = Order();
    std::sort(order.begin(), order.end());
    for (int i = 0; i < 200; ++i) ASSERT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST_F(ListCommandsTest, SortNeedsTwoEntries) {
    Fill(1);
    EXPECT_FALSE(SortEntries(list, playing, lock, TSortKey::Path, CompareIgnoringCase));
    ExpectUntouched();
}

// --- Reverse and randomise ---------------------------------------------------

TEST_F(ListCommandsTest, ReverseSwapsFromBothEndsAndLeavesTheMiddle) {
    Fill(5);
    Select({0, 2});
    playing = 1;
    list.SetTopIndex(3);
    RequireGuardedChanges();
    EXPECT_TRUE(ReverseEntries(list, playing, lock));
    EXPECT_EQ(Order(), (V{4, 3, 2, 1, 0}));
    EXPECT_EQ(SelectedRows(), (V{2, 4}));
    EXPECT_EQ(playing, 3);
    EXPECT_EQ(list.TopIndex(), 3);

    // An even count has no middle: the two central rows swap too.
    Fill(6);
    Select({2});
    playing = 3;
    EXPECT_TRUE(ReverseEntries(list, playing, lock));
    EXPECT_EQ(Order(), (V{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(SelectedRows(), (V{3}));
    EXPECT_EQ(playing, 2);

    Fill(1);
    EXPECT_FALSE(ReverseEntries(list, playing, lock));
}

TEST(PlaylistRandom, KnownSequences) {
    TPlaylistRandom r;
    r.Seed(TimeOfDaySeed(13, 45, 30, 250));
    EXPECT_EQ(r.State(), 49530250u);
    std::vector<std::uint32_t> got;
    for (int i = 0; i < 8; ++i) got.push_back(r.Next(10));
    EXPECT_EQ(got, (std::vector<std::uint32_t>{2, 6, 8, 9, 9, 7, 8, 2}));

    r.Seed(0);
    got.clear();
    for (int i = 0; i < 5; ++i) got.push_back(r.Next(100));
    EXPECT_EQ(got, (std::vector<std::uint32_t>{0, 3, 86, 20, 27}));

    r.Seed(0xFFFFFFFFu);
    got.clear();
    for (int i = 0; i < 5; ++i) got.push_back(r.Next(1000));
    EXPECT_EQ(got, (std::vector<std::uint32_t>{968, 201, 519, 132, 874}));

    EXPECT_EQ(TimeOfDaySeed(23, 59, 59, 999), 86399999u);
}

TEST_F(ListCommandsTest, RandomizeIsTheExactSeededShuffle) {
    TPlaylistRandom random;
    Fill(5);
    Select({1, 3});
    playing = 0;
    list.SetTopIndex(2);
    RequireGuardedChanges();
    EXPECT_TRUE(RandomizeEntries(list, playing, lock, random, 49530250u));
    EXPECT_EQ(Order(), (V{1, 2, 0, 4, 3}));
    EXPECT_EQ(SelectedRows(), (V{0, 4}));
    EXPECT_EQ(playing, 2);
    EXPECT_EQ(list.TopIndex(), 2);

    Fill(6);
    Select({1, 3});
    playing = 0;
    EXPECT_TRUE(RandomizeEntries(list, playing, lock, random, 49530250u));
    EXPECT_EQ(Order(), (V{5, 1, 2, 0, 4, 3}));
    EXPECT_EQ(SelectedRows(), (V{1, 5}));
    EXPECT_EQ(playing, 3);
}

TEST_F(ListCommandsTest, RandomizeOneEntryOnlyReseeds) {
    TPlaylistRandom random;
    random.Seed(99);
    Fill(1);
    EXPECT_FALSE(RandomizeEntries(list, playing, lock, random, 1234u));
    EXPECT_EQ(random.State(), 1234u);
    ExpectUntouched();
}

// --- Failure in the middle of a command --------------------------------------

struct TFailCase {
    const char* Name;
    const char* FailingOp;
    int FailAt;  // 0-based occurrence of FailingOp that throws
};

class ListCommandFailureTest : public ListCommandsTest, public ::testing::WithParamInterface<TFailCase> {};

TEST_P(ListCommandFailureTest, LockReleasedAndUpdatesResumed) {
    const TFailCase c = GetParam();
    Fill(8);
    Select({2, 3, 5});
    list.SetTopIndex(1);
    playing = 3;
    int seen = 0;
    list.Hook = [&](std::string_view op, int index) {
        if (op == c.FailingOp && seen++ == c.FailAt) throw EListError(index);
    };
    TPlaylistRandom random;
    const std::string name = c.Name;
    auto run = [&] {
        if (name == "move") MoveSelectedEntries(list, playing, lock, TMoveDirection::Down);
        if (name == "remove") RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy);
        if (name == "sort") SortEntries(list, playing, lock, TSortKey::Title, CompareIgnoringCase);
        if (name == "reverse") ReverseEntries(list, playing, lock);
        if (name == "randomize") RandomizeEntries(list, playing, lock, random, 5u);
        if (name == "select") ChangeSelection(list, TSelectCommand::Inverse);
    };
    EXPECT_THROW(run(), EListError);
    ExpectReleased();
    ASSERT_EQ(list.Count(), 8) << "no row lost";
    // Whatever was done before the failure, PlayingIndex still names the entry it named.
    if (name != "remove") {
        ASSERT_GE(playing, 0);
        EXPECT_EQ(Order()[static_cast<std::size_t>(playing)], 3);
    }
    EXPECT_TRUE(destroyed.empty());
}

// --- Removing duplicates and dead files ------------------------------------

TEST_F(ListCommandsTest, DuplicatesDifferingInCaseGoAndThePlayingMarkMovesToTheEntryThatStays) {
    FillTitles({"a", "b", "c", "d", "e", "f"},
               {"C:\\x\\A.mp3", "C:\\b.mp3", "c:\\X\\a.MP3", "C:\\B.mp3", "C:\\x\\a.mp3", "C:\\f.mp3"});
    Select({3, 5});
    playing = 4;  // the third "a": it goes, the first stays
    const TCaseFold keyed(nullptr, [](unsigned c) { return TFoldChar{static_cast<unsigned>(std::toupper(static_cast<int>(c)))}; });
    const TDuplicateRows found = FindDuplicateEntries(list, keyed);
    EXPECT_EQ(found.Doomed, (V{2, 3, 4}));
    EXPECT_EQ(found.Keepers, (V{0, 1, 0}));
    RequireGuardedChanges();
    EXPECT_TRUE(RemoveDuplicateEntries(list, playing, lock, keyed, destroy));
    EXPECT_EQ(Order(), (V{0, 1, 5}));
    EXPECT_EQ(playing, 0);
    EXPECT_EQ(SelectedRows(), (V{2})) << "the marks of the rows that stay stay";
    EXPECT_EQ(DestroyedOrigins(), (V{4, 3, 2}));
    ExpectReleased();
    destroyed.clear();
    list.Changes = list.Repaints = lock.Acquisitions = 0;
    EXPECT_FALSE(RemoveDuplicateEntries(list, playing, lock, keyed, destroy)) << "nothing left to remove";
    ExpectUntouched();
}

TEST_F(ListCommandsTest, DeadFilesGoExceptStreamsAndACancelRemovesNothing) {
    FillTitles({"a", "b", "c", "d", "e"},
               {"C:\\a.mp3", "http://radio.example/x.mp3", "C:\\gone.mp3", "C:\\d.mp3", "C:\\gone2.mp3"});
    playing = 2;  // dead: the mark goes to the entry before it
    auto exists = [](const TMP3FileInfo& rec) {
        return rec.FileName().find("gone") == std::string_view::npos && rec.FileName().find("://") == std::string_view::npos;
    };
    int asked = 0;
    EXPECT_FALSE(RemoveDeadEntries(list, playing, lock, exists, [&] { return ++asked > 3; }, destroy));
    ExpectUntouched();
    EXPECT_EQ(playing, 2);
    RequireGuardedChanges();
    EXPECT_TRUE(RemoveDeadEntries(list, playing, lock, exists, nullptr, destroy));
    EXPECT_EQ(Order(), (V{0, 1, 3}));
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(DestroyedOrigins(), (V{4, 2}));
    ExpectReleased();
    EXPECT_TRUE(IsStreamName("mms://host/a") && !IsStreamName("C:\\a:b.mp3"));
}

INSTANTIATE_TEST_SUITE_P(Commands, ListCommandFailureTest,
                         ::testing::Values(TFailCase{"move", "Exchange", 1}, TFailCase{"remove", "DeleteRows", 0},
                                           TFailCase{"sort", "SetSelected", 2}, TFailCase{"sort", "Insert", 0},
                                           TFailCase{"reverse", "Exchange", 2},
                                           TFailCase{"randomize", "SetSelected", 5},
                                           TFailCase{"select", "SetSelected", 3}),
                         [](const ::testing::TestParamInfo<TFailCase>& p) {
                             return std::string(p.param.Name) + "_" + p.param.FailingOp;
                         });

}  // namespace

TEST(SortTexts, UsesTheListQuicksortOrder) {
    auto icase = [](std::string_view a, std::string_view b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
            if (x != y) return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    };
    std::vector<std::string> texts{"b.mp3", "A.mp3", "c.wav"};
    SortTexts(texts, icase);
    EXPECT_EQ(texts, (std::vector<std::string>{"A.mp3", "b.mp3", "c.wav"}));
    std::vector<std::string> same{"Song", "song", "SONG"};
    SortTexts(same, icase);
    EXPECT_EQ(same, (std::vector<std::string>{"SONG", "song", "Song"})) << "the same unstable order as the sort command";
}
