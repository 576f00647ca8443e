#include "entries/UndoHistory.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// Counts references per record; a record "dies" when its count drops to 0.
class TCountingReferences : public IRecordReferences {
public:
    std::map<std::uintptr_t, int> Count;
    std::size_t RecordBytes = 0;
    std::size_t Bytes(std::uintptr_t) const override { return RecordBytes; }
    void Hold(std::uintptr_t r) override { ++Count[r]; }
    void Drop(std::uintptr_t r) override {
        if (--Count[r] == 0) Count.erase(r);
        ASSERT_GE(Count.count(r) ? Count[r] : 0, 0);
    }
};

class UndoHistoryTest : public ::testing::Test {
protected:
    TCountingReferences refs;
    TListState State(std::vector<std::uintptr_t> records, std::vector<int> selected = {}, std::uintptr_t playing = 0) {
        return TListState(refs, std::move(records), selected, playing);
    }
};

using W = std::vector<std::uintptr_t>;

TEST_F(UndoHistoryTest, UndoAndRedoWalkTheStatesAndANewStepForgetsTheRedo) {
    TUndoHistory h;
    EXPECT_FALSE(h.CanUndo());
    h.Push(State({1, 2, 3}, {0, 2}, 2));  // before step 1
    h.Push(State({3, 2, 1}));             // before step 2
    TListState back = h.Undo(State({3, 1}));
    EXPECT_EQ(back.Records(), (W{3, 2, 1}));
    back = h.Undo(std::move(back));
    EXPECT_EQ(back.Records(), (W{1, 2, 3}));
    EXPECT_EQ(back.SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(back.Playing(), 2u);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_EQ(h.RedoCount(), 2u);
    back = h.Redo(std::move(back));
    EXPECT_EQ(back.Records(), (W{3, 2, 1}));
    EXPECT_EQ(refs.Count[1], 3) << "three states name record 1";
    h.Push(std::move(back));
    EXPECT_FALSE(h.CanRedo()) << "a new step clears what could be redone";
    EXPECT_EQ(refs.Count.count(4), 0u);
    EXPECT_EQ(refs.Count[3], 2) << "the redo state {3, 1} let go of its records";
    h.Clear();
    EXPECT_TRUE(refs.Count.empty()) << "no reference outlives the history";
}

TEST_F(UndoHistoryTest, KeepsTheLastStepsOnlyAndACancelPutsEverythingBack) {
    TUndoHistory h(50);
    for (std::uintptr_t k = 1; k <= 60; ++k) h.Push(State({k, 1000}));
    EXPECT_EQ(h.UndoCount(), 50u);
    EXPECT_EQ(refs.Count.count(10), 0u) << "the oldest steps went, and their records with them";
    EXPECT_EQ(refs.Count[1000], 50);
    TListState target = h.Undo(State({61, 1000}));
    EXPECT_EQ(target.Records().front(), 60u);
    h.CancelUndo(std::move(target));
    EXPECT_EQ(h.UndoCount(), 50u);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(refs.Count.count(61), 0u);
    target = h.Undo(State({61, 1000}));
    EXPECT_EQ(target.Records().front(), 60u) << "the same step again";
}

TEST_F(UndoHistoryTest, TheOldestStepsGoOnceTheRecordsOnlyTheHistoryKeepsPassItsBoundInBytes) {
    refs.RecordBytes = 1000;
    TUndoHistory h(50, 10000);
    for (int k = 0; k < 20; ++k) h.Push(State({1, 2}), {2, 1});  // reorderings: no record of their own
    // The host changes the list: fresh records each time, the old ones kept by their step alone.
    for (std::uintptr_t k = 1; k <= 5; ++k) h.Push(State({k * 10 - 9, k * 10 - 8}), {k * 10 + 1, k * 10 + 2});
    EXPECT_EQ(h.UndoCount(), 4u) << "the reorderings and the first change went";
    EXPECT_EQ(refs.Count.count(1), 0u);
    // An addition keeps nothing, until the list is replaced without a step of its own.
    h.Push(State({51, 52}), {51, 52, 53});
    h.Push(State({60}), {60, 61});
    EXPECT_EQ(refs.Count.count(11), 0u) << "then it counts the records only it keeps";
    TUndoHistory one(50, 10);
    one.Push(State({1, 2}));
    EXPECT_EQ(one.UndoCount(), 1u) << "the newest step stays, whatever it keeps";
    W many;  // a long state: 100 records twice each, two of them still in the list
    for (std::uintptr_t r = 0; r < 200; ++r) many.push_back(r % 100 + 1);
    refs.RecordBytes = 100000;
    TUndoHistory big(50, std::size_t{1} << 30);
    big.Push(State(many), {1, 2});
    EXPECT_EQ(big.Bytes() / 100000, 98u);
}

TEST_F(UndoHistoryTest, AStateRestoredInPlaceBecomesTheOrderItReplacedWithItsReferences) {
    TUndoHistory h;
    h.Push(State({1, 2, 3, 4}, {0}, 1));
    const auto counts = refs.Count;
    EXPECT_FALSE(h.NextUndo().Rearrange({1, 2}, {}, 0)) << "another count";
    ASSERT_TRUE(h.NextUndo().Rearrange({4, 3, 2, 1}, {1, 3}, 2));
    h.UndoneInPlace();
    EXPECT_EQ(refs.Count, counts) << "no record held or dropped";
    ASSERT_TRUE(h.CanRedo());
    EXPECT_FALSE(h.CanUndo());
    const TListState back = h.Redo(State({1, 2, 3, 4}));
    EXPECT_EQ(back.Records(), (W{4, 3, 2, 1}));
    EXPECT_EQ(back.SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(back.Playing(), 2u);
}

TEST_F(UndoHistoryTest, AStateCostsOnePointerAndOneBitPerEntry) {
    W records(100000);
    for (std::size_t i = 0; i < records.size(); ++i) records[i] = i + 1;
    std::vector<int> selected;
    for (int i = 0; i < 100000; i += 3) selected.push_back(i);
    TUndoHistory h;
    h.Push(State(records, selected, 7));
    const double perEntry = static_cast<double>(h.Bytes()) / 100000.0;
    EXPECT_LE(perEntry, sizeof(std::uintptr_t) + 0.2);
    const TListState back = h.Undo(State({}));
    EXPECT_EQ(back.SelectedRows(), selected);
}

}  // namespace
