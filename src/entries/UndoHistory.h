#pragma once
// The playlist's undo history. A step is remembered as the state of the list
// before it: the entries' records in order (references, never copies of their
// texts), the selection as one bit per entry, and the playing record - one
// pointer and one bit per entry. Records are shared with the list through
// their counted references: a record lives while the list or a remembered
// state refers to it.
//
// Undo hands back the state before the last step and keeps the state it
// replaces for redo; a new step forgets what could be redone. The oldest steps
// go beyond the capacity: a number of steps, and the bytes the steps keep
// alive beyond the list (a host-side change of a long list makes every record
// anew, so each such step alone keeps a whole list of them).
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>
#include "fileinfo/RecordRef.h"

// Heap bytes a record takes (itself and its texts), freed when the last reference goes.
using TRecordWeight = std::size_t (*)(const TMP3FileInfo& record);
std::size_t RecordHeapBytes(const TMP3FileInfo& record);

// One state of the list. Holds a reference to each of its records from its
// making to its end; move-only.
class TListState {
public:
    TListState() = default;
    // selectedRows: ascending row numbers; playingRow: the playing record's place in `records`, or -1.
    TListState(std::vector<TRecordRef> records, const std::vector<int>& selectedRows, int playingRow);
    TListState(TListState&& other) noexcept = default;
    TListState& operator=(TListState&& other) noexcept = default;
    TListState(const TListState&) = delete;
    TListState& operator=(const TListState&) = delete;

    std::size_t Count() const { return records_.size(); }
    const std::vector<TRecordRef>& Records() const { return records_; }
    bool IsSelected(std::size_t i) const { return (selected_[i / 32] >> (i % 32)) & 1u; }
    std::vector<int> SelectedRows() const;
    const TRecordRef& Playing() const;
    // The state becomes another order of its own records - `records` names each
    // of them as often as Records() does - with another selection and playing
    // record. No record is held or dropped in all (the references change hands),
    // which is what a state restored in place and then turned into the list it
    // replaced needs. False, and nothing changes, when the count differs.
    bool Rearrange(std::vector<TRecordRef> records, const std::vector<int>& selectedRows, int playingRow) noexcept;
    // Heap bytes the state keeps: its record references and selection bits, and
    // the records it holds that its neighbour (the state or list that follows it
    // towards the list) does not, which would go with it.
    std::size_t Bytes() const;
    // Weighs the records against the neighbour's, counting each once.
    void Weigh(const std::vector<TRecordRef>& neighbour, TRecordWeight weigh) noexcept;
    // Its neighbour holds what it holds (a state restored in place).
    void ClearWeight() { recordBytes_ = 0; }

private:
    static constexpr std::size_t kSmall = 64;
    std::size_t recordBytes_ = 0;
    std::vector<TRecordRef> records_;
    std::vector<std::uint32_t> selected_;
    int playing_ = -1;  // a row of records_
};

class TUndoHistory {
public:
    static constexpr std::size_t kSteps = 50;
    // What the steps may keep alive beyond the list: a few host-side changes of
    // a 100,000-entry list, a small part of a 32-bit player's address space.
    static constexpr std::size_t kKeptBytes = std::size_t{64} << 20;
    explicit TUndoHistory(std::size_t steps = kSteps, std::size_t keptBytes = kKeptBytes,
                          TRecordWeight weigh = &RecordHeapBytes)
        : steps_(steps < 1 ? 1 : steps), keptBytes_(keptBytes), weigh_(weigh) {}

    // A new step; `before` is the list as it was before it, `now` its records
    // after it (they cost the history nothing). The oldest steps go while the
    // bytes kept exceed the bound; the newest stays, whatever it keeps.
    void Push(TListState before, const std::vector<TRecordRef>& now = {});
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }
    // One step back: `current` is kept for redo; the result is the state to restore.
    // Only when CanUndo().
    TListState Undo(TListState current);
    // One step forward again: `current` is kept for undo. Only when CanRedo().
    TListState Redo(TListState current);
    // The restoring of `target` failed: the history is put back as it was before
    // the Undo (Redo) that returned it.
    void CancelUndo(TListState target);
    void CancelRedo(TListState target);
    // The state the next Undo (Redo) would hand back, to be restored in place;
    // only when CanUndo() (CanRedo()).
    TListState& NextUndo() { return undo_.back(); }
    TListState& NextRedo() { return redo_.back(); }
    // One step back (forward) after NextUndo() (NextRedo()) was restored in
    // place and rearranged into the list it replaced: it goes to the other side.
    void UndoneInPlace();
    void RedoneInPlace();
    void Clear();
    // Heap bytes of every state kept, records only the history holds included.
    std::size_t Bytes() const;
    // Calls f for every record some state refers to (once per reference).
    template <class F>
    void ForEachRecord(F&& f) const {
        for (const auto* side : {&undo_, &redo_})
            for (const TListState& s : *side)
                for (const TRecordRef& r : s.Records()) f(r);
    }

private:
    std::size_t steps_;
    std::size_t keptBytes_;
    TRecordWeight weigh_;
    std::deque<TListState> undo_;  // oldest first
    std::deque<TListState> redo_;  // the next to redo last
};
