// Moving, removing and selecting rows through the list commands.
#include "ListCommandsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// --- Moving the selection --------------------------------------------------

TEST_F(ListCommandsTest, MoveIsBlockedWhenAnySelectedRowTouchesTheEdge) {
    Fill(8);
    Select({0, 5});
    EXPECT_FALSE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Up));
    ExpectUntouched();
    EXPECT_EQ(Order(), (V{0, 1, 2, 3, 4, 5, 6, 7}));

    RequireGuardedChanges();
    EXPECT_TRUE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Down));
    EXPECT_EQ(Order(), (V{1, 0, 2, 3, 4, 6, 5, 7}));
    EXPECT_EQ(SelectedRows(), (V{1, 6}));
    ExpectReleased();
}

TEST_F(ListCommandsTest, MoveDownShiftsEveryBlockAndKeepsMarksOnTheMovedEntries) {
    Fill(8);
    Select({2, 3, 6});
    RequireGuardedChanges();
    EXPECT_TRUE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Down));
    EXPECT_EQ(Order(), (V{0, 1, 4, 2, 3, 5, 7, 6}));
    EXPECT_EQ(SelectedRows(), (V{3, 4, 7}));
    // Updates suspended before the lock is taken, released in reverse.
    ASSERT_GE(log.Events.size(), 4u);
    EXPECT_EQ(log.Events.front(), "suspend");
    EXPECT_EQ(log.Events[1], "lock");
    EXPECT_EQ(log.Events[log.Events.size() - 2], "unlock");
    EXPECT_EQ(log.Events.back(), "resume");
}

TEST_F(ListCommandsTest, MoveUpMirrorsMoveDown) {
    Fill(8);
    Select({1, 2, 5});
    EXPECT_TRUE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Up));
    EXPECT_EQ(Order(), (V{1, 2, 0, 3, 5, 4, 6, 7}));
    EXPECT_EQ(SelectedRows(), (V{0, 1, 4}));
}

TEST_F(ListCommandsTest, PlayingIndexFollowsItsEntryThroughAMove) {
    Fill(8);
    Select({3, 4});
    playing = 2;  // passed by the block: ends behind it
    EXPECT_TRUE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Up));
    EXPECT_EQ(playing, 4);
    EXPECT_EQ(Order()[4], 2);

    playing = 3;  // inside the moved block (now rows 2 and 3)
    EXPECT_TRUE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Up));
    EXPECT_EQ(playing, 2);
    EXPECT_EQ(Order()[2], 4);

    playing = 7;  // untouched by the move
    EXPECT_TRUE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Down));
    EXPECT_EQ(playing, 7);
}

TEST_F(ListCommandsTest, MoveWithNothingToDoLeavesEverythingAlone) {
    EXPECT_FALSE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Down));  // empty list
    Fill(4);
    EXPECT_FALSE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Down));  // no selection
    Select({1, 3});
    EXPECT_FALSE(MoveSelectedEntries(list, playing, lock, TMoveDirection::Down));  // last row selected
    ExpectUntouched();
}

// --- Removing and cropping ---------------------------------------------------

TEST_F(ListCommandsTest, DragMovePutsTheSelectionIntoTheGapInItsOrder) {
    Fill(8);
    Select({1, 2, 6});
    playing = 6;
    list.SetItemIndex(2);
    RequireGuardedChanges();
    EXPECT_TRUE(MoveSelectedEntriesTo(list, playing, lock, 5));  // before the entry of row 5
    EXPECT_EQ(Order(), (V{0, 3, 4, 1, 2, 6, 5, 7}));
    EXPECT_EQ(SelectedRows(), (V{3, 4, 5}));
    EXPECT_EQ(playing, 5);
    EXPECT_EQ(list.ItemIndex(), 4);
    ExpectReleased();
    EXPECT_TRUE(MoveSelectedEntriesTo(list, playing, lock, 8));
    EXPECT_EQ(Order(), (V{0, 3, 4, 5, 7, 1, 2, 6}));
    EXPECT_TRUE(MoveSelectedEntriesTo(list, playing, lock, 0));
    EXPECT_EQ(Order(), (V{1, 2, 6, 0, 3, 4, 5, 7}));
    // Dropped onto itself, or on its own edges: nothing moves, the host is not told.
    list.Changes = list.Repaints = lock.Acquisitions = 0;
    for (int gap : {0, 1, 2, 3}) EXPECT_FALSE(MoveSelectedEntriesTo(list, playing, lock, gap));
    ExpectUntouched();
}

TEST_F(ListCommandsTest, RemoveSelectedPutsTheCaretOnTheFirstEntryAfterIt) {
    Fill(10);
    Select({5, 6});
    list.SetItemIndex(5);
    RequireGuardedChanges();
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    EXPECT_EQ(Order(), (V{0, 1, 2, 3, 4, 7, 8, 9}));
    EXPECT_EQ(list.ItemIndex(), 5);
    EXPECT_EQ(DestroyedOrigins(), (V{6, 5}));
    EXPECT_EQ(list.SelCount(), 0);
    ExpectReleased();
}

TEST_F(ListCommandsTest, RemoveSelectedCaretRules) {
    Fill(6);
    Select({4});
    list.SetItemIndex(1);  // its entry stays: the caret moves on to the next one
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    EXPECT_EQ(list.ItemIndex(), 2);

    Select({4});  // the last row, carrying the caret
    list.SetItemIndex(4);
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.ItemIndex(), 3);  // clamped to the new last row
}

TEST_F(ListCommandsTest, CropKeepsOnlyTheSelectionAndTheCaretEntry) {
    Fill(10);
    Select({5, 6});
    list.SetItemIndex(5);
    RequireGuardedChanges();
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Crop, destroy));
    EXPECT_EQ(Order(), (V{5, 6}));
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(SelectedRows(), (V{0, 1}));
    EXPECT_EQ(DestroyedOrigins(), (V{9, 8, 7, 4, 3, 2, 1, 0}));
}

TEST_F(ListCommandsTest, CropMovesARemovedCaretToTheNearestEntryBeforeIt) {
    Fill(8);
    Select({1, 5});
    list.SetItemIndex(1);
    list.SetItemIndex(4);
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Crop, destroy));
    EXPECT_EQ(Order(), (V{1, 5}));
    EXPECT_EQ(list.ItemIndex(), 0);  // old row 1

    // No remaining entry before the caret: the caret is not set by the command.
    Fill(8);
    Select({5});
    list.SetItemIndex(2);
    log.Events.clear();
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Crop, destroy));
    EXPECT_EQ(Order(), (V{5}));
    EXPECT_EQ(std::count(log.Events.begin(), log.Events.end(), "caret"), 0);
}

TEST_F(ListCommandsTest, RemovingKeepsPlayingIndexOnItsEntryOrTheOneBefore) {
    Fill(10);
    Select({5});
    playing = 5;
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    EXPECT_EQ(playing, 4);

    Fill(10);
    Select({2});
    playing = 5;
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    EXPECT_EQ(playing, 4);
    EXPECT_EQ(Order()[4], 5);

    Fill(10);
    Select({0, 1});
    playing = 0;
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    EXPECT_EQ(playing, -1);

    // Cropping away the playing entry and its neighbour: the nearest kept entry before it.
    Fill(6);
    Select({1, 4});
    playing = 3;
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::Crop, destroy));
    EXPECT_EQ(playing, 0);
    EXPECT_EQ(Order()[0], 1);
}

TEST_F(ListCommandsTest, RemoveAllDestroysEveryRecordOnce) {
    Fill(5);
    Select({2});
    playing = 3;
    RequireGuardedChanges();
    EXPECT_TRUE(RemoveEntries(list, playing, lock, TRemoveMode::All, destroy));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(playing, -1);
    EXPECT_EQ(DestroyedOrigins(), (V{4, 3, 2, 1, 0}));
    ExpectReleased();
}

TEST_F(ListCommandsTest, RemoveWithNothingToDoDoesNotTellTheHost) {
    EXPECT_FALSE(RemoveEntries(list, playing, lock, TRemoveMode::All, destroy));
    Fill(4);
    EXPECT_FALSE(RemoveEntries(list, playing, lock, TRemoveMode::Crop, destroy));
    EXPECT_FALSE(RemoveEntries(list, playing, lock, TRemoveMode::Selected, destroy));
    Select({0, 1, 2, 3});
    EXPECT_FALSE(RemoveEntries(list, playing, lock, TRemoveMode::Crop, destroy));  // keeps all
    ExpectUntouched();
    EXPECT_EQ(list.Count(), 4);
}

TEST_F(ListCommandsTest, AThrowingDestroyerStillDestroysTheOthers) {
    Fill(4);
    int calls = 0;
    const TDestroyRecord failing = [&](std::uintptr_t d) {
        ++calls;
        destroyed.push_back(d);
        if (calls == 2) throw std::runtime_error("broken record");
    };
    EXPECT_THROW(RemoveEntries(list, playing, lock, TRemoveMode::All, failing), std::runtime_error);
    EXPECT_EQ(DestroyedOrigins(), (V{3, 2, 1, 0}));
    EXPECT_EQ(list.Count(), 0);
    ExpectReleased();
}

// --- Selection commands ------------------------------------------------------

TEST_F(ListCommandsTest, SelectAllThenInverseLeavesNothingSelectedAndTheTopRow) {
    Fill(50);
    list.SetTopIndex(17);
    bool shownWhileChanging = false;
    list.Hook = [&](std::string_view, int) { shownWhileChanging |= list.Visible(); };
    ChangeSelection(list, TSelectCommand::All);
    EXPECT_EQ(list.SelCount(), 50);
    ChangeSelection(list, TSelectCommand::Inverse);
    EXPECT_EQ(list.SelCount(), 0);
    EXPECT_EQ(list.TopIndex(), 17);
    EXPECT_FALSE(shownWhileChanging);
    EXPECT_TRUE(list.Visible());
    EXPECT_EQ(lock.Acquisitions, 0);
}

TEST_F(ListCommandsTest, InverseAndUnselectAll) {
    Fill(5);
    Select({0, 3});
    ChangeSelection(list, TSelectCommand::Inverse);
    EXPECT_EQ(SelectedRows(), (V{1, 2, 4}));
    ChangeSelection(list, TSelectCommand::None);
    EXPECT_EQ(list.SelCount(), 0);

    TMemoryRowStore empty;
    ChangeSelection(empty, TSelectCommand::All);
    EXPECT_EQ(empty.VisibilityChanges, 0);
}

}  // namespace
