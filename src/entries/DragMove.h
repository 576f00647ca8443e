#pragma once
// Moving the selected entries to a place in the list, as a drag with the mouse
// drops them: they go, in their order, into the gap before row `gap` of the
// list as it was (0 = the top, count = the end); the rows in between close up.
#include "entries/ListCommands.h"

// Where the selected rows of a list with these marks would start after the move
// to gap, and whether anything moves at all.
struct TDragMovePlan {
    bool Moves = false;
    int First = 0;  // the first moved row's new index
};
TDragMovePlan PlanDragMove(const std::vector<bool>& selected, int gap);

// The selection marks stay on the moved entries, PlayingIndex and the caret
// follow their entries, the top row keeps its number. Returns whether the order
// changed (only then is the host to be told); updates are suspended and the
// lock held while the rows move, and released on every path.
bool MoveSelectedEntriesTo(IRowStore& list, int& playingIndex, IEntryLock& lock, int gap);
