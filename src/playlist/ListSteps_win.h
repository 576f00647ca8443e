#pragma once
// Undo and redo of the playlist window: the history of the list's states,
// recorded around every change of the entries or their order, and restored
// from it. A state names records, never copies them.
#include <cstddef>
#include "entries/UndoHistory.h"

class TFormPlayList;

class TListSteps {
public:
    explicit TListSteps(TFormPlayList& form) : form_(form) {}
    TListSteps(const TListSteps&) = delete;
    TListSteps& operator=(const TListSteps&) = delete;

    // The list as it is now: its records in order, the selection, the playing record.
    TListState CaptureState();
    // Records one step whose state before was `before`; nothing when the records
    // and their order are as they were. Every change of the entries or their
    // order goes through here (TUndoStep makes it one call).
    void RecordStep(TListState before);
    void Undo() { StepHistory(true); }
    void Redo() { StepHistory(false); }
    const TUndoHistory& History() const { return history_; }
    TUndoHistory& History() { return history_; }
    int StepsRecorded() const { return stepsRecorded_; }
    // Records the list or the history still refers to, each once.
    std::size_t HeldRecordCount() const;
    // The menu's Undo and Redo items follow the history.
    void UpdateMenuItems();

private:
    // One step back (undo) or forward (redo), pushed to the host.
    void StepHistory(bool back);
    bool RestoreOrder(TListState& state);
    void RestoreState(const TListState& target);

    TFormPlayList& form_;
    TUndoHistory history_;
    int stepsRecorded_ = 0;
};

// One undo step around a change of the entries: the state is taken when the
// scope opens, and Commit records the step if the entries or their order changed.
class TUndoStep {
public:
    explicit TUndoStep(TFormPlayList& form);
    TUndoStep(const TUndoStep&) = delete;
    TUndoStep& operator=(const TUndoStep&) = delete;
    void Commit();

private:
    TFormPlayList& form_;
    TListState before_;
};
