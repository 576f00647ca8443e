#include "entries/RecordsOut.h"
#include "entries/RowIndex.h"
#include "entries/UndoHistory.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

std::size_t recordBytes = 0;
std::size_t FixedWeight(const TMP3FileInfo&) { return recordBytes; }

// Records named by numbers; the fixture holds one reference to each, so that
// what the states hold can be counted.
class UndoHistoryTest : public ::testing::Test {
protected:
    std::map<std::uintptr_t, TRecordRef> records;
    struct TCounts {
        UndoHistoryTest& Test;
        int operator[](std::uintptr_t k) const { return Test.Uses(k); }
        std::size_t count(std::uintptr_t k) const { return Test.Uses(k) > 0 ? 1 : 0; }
        bool empty() const { return Test.Held().empty(); }
    };
    TCounts Count{*this};
    void SetUp() override { recordBytes = 0; }
    TRecordRef R(std::uintptr_t k) {
        if (!k) return {};
        TRecordRef& r = records[k];
        if (!r) r = TRecordRef::Make();
        return r;
    }
    std::vector<TRecordRef> Refs(const std::vector<std::uintptr_t>& keys) {
        std::vector<TRecordRef> refs;
        refs.reserve(keys.size());
        for (std::uintptr_t k : keys) refs.push_back(R(k));
        return refs;
    }
    TListState State(std::vector<std::uintptr_t> keys, std::vector<int> selected = {}, std::uintptr_t playing = 0) {
        return TListState(Refs(keys), selected, Row(keys, playing));
    }
    static int Row(const std::vector<std::uintptr_t>& keys, std::uintptr_t k) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (k && keys[i] == k) return static_cast<int>(i);
        return -1;
    }
    int Uses(std::uintptr_t k) const {
        auto it = records.find(k);
        return it == records.end() ? 0 : static_cast<int>(it->second.UseCount()) - 1;
    }
    std::map<std::uintptr_t, int> Held() const {
        std::map<std::uintptr_t, int> held;
        for (const auto& [k, r] : records)
            if (Uses(k) > 0) held[k] = Uses(k);
        return held;
    }
    std::uintptr_t Key(const TRecordRef& r) const {
        for (const auto& [k, mine] : records)
            if (mine == r) return k;
        return 0;
    }
    std::vector<std::uintptr_t> Keys(const std::vector<TRecordRef>& refs) const {
        std::vector<std::uintptr_t> keys;
        for (const TRecordRef& r : refs) keys.push_back(Key(r));
        return keys;
    }
};

using W = std::vector<std::uintptr_t>;

TEST_F(UndoHistoryTest, UndoAndRedoWalkTheStatesAndANewStepForgetsTheRedo) {
    TUndoHistory h;
    EXPECT_FALSE(h.CanUndo());
    h.Push(State({1, 2, 3}, {0, 2}, 2));  // before step 1
    h.Push(State({3, 2, 1}));             // before step 2
    TListState back = h.Undo(State({3, 1}));
    EXPECT_EQ(Keys(back.Records()), (W{3, 2, 1}));
    back = h.Undo(std::move(back));
    EXPECT_EQ(Keys(back.Records()), (W{1, 2, 3}));
    EXPECT_EQ(back.SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(Key(back.Playing()), 2u);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_EQ(h.RedoCount(), 2u);
    back = h.Redo(std::move(back));
    EXPECT_EQ(Keys(back.Records()), (W{3, 2, 1}));
    EXPECT_EQ(Count[1], 3) << "three states name record 1";
    h.Push(std::move(back));
    EXPECT_FALSE(h.CanRedo()) << "a new step clears what could be redone";
    EXPECT_EQ(Count.count(4), 0u);
    EXPECT_EQ(Count[3], 2) << "the redo state {3, 1} let go of its records";
    h.Clear();
    EXPECT_TRUE(Count.empty()) << "no reference outlives the history";
}

TEST_F(UndoHistoryTest, KeepsTheLastStepsOnlyAndACancelPutsEverythingBack) {
    TUndoHistory h(50);
    for (std::uintptr_t k = 1; k <= 60; ++k) h.Push(State({k, 1000}));
    EXPECT_EQ(h.UndoCount(), 50u);
    EXPECT_EQ(Count.count(10), 0u) << "the oldest steps went, and their records with them";
    EXPECT_EQ(Count[1000], 50);
    TListState target = h.Undo(State({61, 1000}));
    EXPECT_EQ(Key(target.Records().front()), 60u);
    h.CancelUndo(std::move(target));
    EXPECT_EQ(h.UndoCount(), 50u);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(Count.count(61), 0u);
    target = h.Undo(State({61, 1000}));
    EXPECT_EQ(Key(target.Records().front()), 60u) << "the same step again";
}

TEST_F(UndoHistoryTest, TheOldestStepsGoOnceTheRecordsOnlyTheHistoryKeepsPassItsBoundInBytes) {
    recordBytes = 1000;
    TUndoHistory h(50, 10000, &FixedWeight);
    for (int k = 0; k < 20; ++k) h.Push(State({1, 2}), Refs({2, 1}));  // reorderings: no record of their own
    // The host changes the list: fresh records each time, the old ones kept by their step alone.
    for (std::uintptr_t k = 1; k <= 5; ++k) h.Push(State({k * 10 - 9, k * 10 - 8}), Refs({k * 10 + 1, k * 10 + 2}));
    EXPECT_EQ(h.UndoCount(), 4u) << "the reorderings and the first change went";
    EXPECT_EQ(Count.count(1), 0u);
    // An addition keeps nothing, until the list is replaced without a step of its own.
    h.Push(State({51, 52}), Refs({51, 52, 53}));
    h.Push(State({60}), Refs({60, 61}));
    EXPECT_EQ(Count.count(11), 0u) << "then it counts the records only it keeps";
    TUndoHistory one(50, 10, &FixedWeight);
    one.Push(State({1, 2}));
    EXPECT_EQ(one.UndoCount(), 1u) << "the newest step stays, whatever it keeps";
    W many;  // a long state: 100 records twice each, two of them still in the list
    for (std::uintptr_t r = 0; r < 200; ++r) many.push_back(r % 100 + 1);
    recordBytes = 100000;
    TUndoHistory big(50, std::size_t{1} << 30, &FixedWeight);
    big.Push(State(many), Refs({1, 2}));
    EXPECT_EQ(big.Bytes() / 100000, 98u);
}

TEST_F(UndoHistoryTest, AStateRestoredInPlaceBecomesTheOrderItReplacedWithItsReferences) {
    TUndoHistory h;
    h.Push(State({1, 2, 3, 4}, {0}, 1));
    const auto counts = Held();
    EXPECT_FALSE(h.NextUndo().Rearrange(Refs({1, 2}), {}, -1)) << "another count";
    ASSERT_TRUE(h.NextUndo().Rearrange(Refs({4, 3, 2, 1}), {1, 3}, Row({4, 3, 2, 1}, 2)));
    h.UndoneInPlace();
    EXPECT_EQ(Held(), counts) << "no record held or dropped";
    ASSERT_TRUE(h.CanRedo());
    EXPECT_FALSE(h.CanUndo());
    const TListState back = h.Redo(State({1, 2, 3, 4}));
    EXPECT_EQ(Keys(back.Records()), (W{4, 3, 2, 1}));
    EXPECT_EQ(back.SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(Key(back.Playing()), 2u);
}

TEST_F(UndoHistoryTest, AStateCostsOnePointerAndOneBitPerEntry) {
    W keys(100000);
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = i + 1;
    std::vector<int> selected;
    for (int i = 0; i < 100000; i += 3) selected.push_back(i);
    TUndoHistory h(TUndoHistory::kSteps, TUndoHistory::kKeptBytes, &FixedWeight);
    h.Push(State(keys, selected, 7));
    const double perEntry = static_cast<double>(h.Bytes()) / 100000.0;
    EXPECT_LE(perEntry, sizeof(TRecordRef) + 0.2);
    const TListState back = h.Undo(State({}));
    EXPECT_EQ(back.SelectedRows(), selected);
}

}  // namespace

namespace {
TEST(RecordIndexes, TheRowIndexFindsEachWordsFirstRowAndNothingElse) {
    const TRowIndex small({0x10, 0, 0x20, 0x10});
    EXPECT_EQ(small.Find(0x10), 0);
    EXPECT_EQ(small.Find(0x20), 2);
    EXPECT_EQ(small.Find(0), -1) << "a row without a record is no record's";
    EXPECT_EQ(small.Find(0x30), -1);
    std::vector<std::uintptr_t> words;
    for (std::uintptr_t i = 0; i < 100000; ++i) words.push_back(0x100000 + 16 * i);  // aligned, as records lie
    const TRowIndex big(words);
    for (int i = 0; i < 100000; i += 997) EXPECT_EQ(big.Find(words[static_cast<std::size_t>(i)]), i);
    EXPECT_EQ(TRowIndex().Find(0x10), -1);
}

TEST(RecordIndexes, RecordsOutAreHeldByTicketUntilTakenOrReadAgain) {
    std::vector<TRecordRef> recs;
    for (int i = 0; i < 3; ++i) recs.push_back(TRecordRef::Make());
    TRecordsOut out;
    for (std::uint32_t t = 0; t < 3; ++t) out.Add(5 + t, recs[t]);
    EXPECT_EQ(recs[0].UseCount(), 2u);
    out.Add(8, recs[0]);  // read again: only the new ticket is out
    EXPECT_EQ(out.Size(), 3u);
    EXPECT_FALSE(out.Take(5)) << "the earlier ticket's result is dropped";
    EXPECT_EQ(out.Take(8), recs[0]);
    EXPECT_FALSE(TRecordsOut::IsOut(*recs[0]));
    EXPECT_EQ(recs[0].UseCount(), 1u);
    out.RemoveIf([&](const TMP3FileInfo& r, std::uint32_t t) { return &r == recs[1].Get() && t == 6; });
    EXPECT_EQ(recs[1].UseCount(), 1u);
    EXPECT_EQ(recs[1]->ReadTicket, 0u);
    EXPECT_EQ(out.Size(), 1u);
    out.Clear();
    EXPECT_TRUE(out.Empty());
    EXPECT_EQ(recs[2].UseCount(), 1u);
    for (std::uint32_t t = 100; t < 5100; ++t) out.Add(t, TRecordRef::Make());  // a long reading, taken in order
    for (std::uint32_t t = 100; t < 5100; ++t) ASSERT_TRUE(out.Take(t)) << t;
    EXPECT_TRUE(out.Empty());
    std::vector<TRecordRef> many;
    for (std::uint32_t t = 1; t < 2048; ++t) out.Add(t, many.emplace_back(TRecordRef::Make()));
    for (std::uint32_t t = 1; t < 1024; ++t) out.Take(t);
    out.Add(2048, many[1023]);  // read again just as the earlier slots are let go
    EXPECT_EQ(out.Take(2048), many[1023]);
}
}  // namespace
