// Undo and redo: the history of the list's states, recorded around every change
// of the entries or their order, and restored from it. A state names records,
// never copies them: an undone entry comes back with its record as it was (no
// file is read again) and with the title the current format gives it.
#include "playlist/PlayList_win.h"
#include <new>
#include <unordered_set>
#include "base/Text_win.h"
#include "entries/RowIndex.h"
#include "entries/TitleFormat.h"

namespace {
// The selected rows, ascending, in one request to the native list.
std::vector<int> SelectedRowsOf(TPlayListBox& list) {
    std::vector<int> rows;
    if (list.Handle()) {
        const LRESULT n = SendMessageW(list.Handle(), LB_GETSELCOUNT, 0, 0);
        if (n > 0) {
            rows.resize(static_cast<std::size_t>(n));
            const LRESULT got =
                SendMessageW(list.Handle(), LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(rows.data()));
            rows.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsSelected(i)) rows.push_back(i);
    return rows;
}

bool SameRecords(const TListState& before, const TPlayListBox& list) {
    const std::vector<TRecordRef>& records = before.Records();
    if (records.size() != static_cast<std::size_t>(list.Count())) return false;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!records[i].Is(RecordOf(list, static_cast<int>(i)))) return false;
    return true;
}

// A reference of its own to each row's record, in list order.
std::vector<TRecordRef> SharedRecords(const TPlayListBox& list) {
    std::vector<TRecordRef> records(static_cast<std::size_t>(list.Count()));
    for (std::size_t i = 0; i < records.size(); ++i) records[i] = TRecordRef::ShareWord(list.Data(static_cast<int>(i)));
    return records;
}
}  // namespace

TUndoStep::TUndoStep(TFormPlayList& form) : form_(form), before_(form.CaptureState()) {}

void TUndoStep::Commit() { form_.RecordStep(std::move(before_)); }

TListState TFormPlayList::CaptureState() {
    // A step starts from the host's list, not from the rows a pending rebuild replaces.
    FinishBuild();
    std::vector<int> selected = SelectedRowsOf(*listBox_);
    return TListState(SharedRecords(*listBox_), selected, playingIndex_);
}

void TFormPlayList::RecordStep(TListState before) {
    if (SameRecords(before, *listBox_)) return;
    std::vector<TRecordRef> now;
    try {
        now = SharedRecords(*listBox_);
    } catch (const std::bad_alloc&) {
        // The list has changed already: the step is recorded all the same,
        // weighed as if it kept every record.
    }
    history_.Push(std::move(before), now);
    ++stepsRecorded_;
    UpdateUndoItems();
}

std::size_t TFormPlayList::HeldRecordCount() const {
    std::unordered_set<const TMP3FileInfo*> held;
    for (int i = 0; i < listBox_->Count(); ++i) held.insert(Record(i));
    history_.ForEachRecord([&](const TRecordRef& r) { held.insert(r.Get()); });
    held.erase(nullptr);
    return held.size();
}

void TFormPlayList::UpdateUndoItems() {
    if (!popupMenu_) return;
    EnableMenuItem(popupMenu_.get(), PopupItemUndo, MF_BYCOMMAND | (history_.CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popupMenu_.get(), PopupItemRedo, MF_BYCOMMAND | (history_.CanRedo() ? MF_ENABLED : MF_GRAYED));
}

void TFormPlayList::Undo() { StepHistory(true); }

void TFormPlayList::Redo() { StepHistory(false); }

void TFormPlayList::StepHistory(bool back) {
    if (!(back ? history_.CanUndo() : history_.CanRedo())) return;
    TWaitCursor wait(listBox_->Count() >= kBusyRows);
    if (RestoreOrder(back ? history_.NextUndo() : history_.NextRedo())) {
        back ? history_.UndoneInPlace() : history_.RedoneInPlace();
    } else {
        TListState target = back ? history_.Undo(CaptureState()) : history_.Redo(CaptureState());
        try {
            RestoreState(target);
        } catch (...) {
            back ? history_.CancelUndo(std::move(target)) : history_.CancelRedo(std::move(target));
            UpdateUndoItems();
            throw;
        }
    }
    UpdateUndoItems();
    PushListToHostKeepingMarks();
}

// The same entries in another order (a sort, a move taken back): the rows only
// change places, and the state, which names the same records, becomes the list
// it replaced - no reference is taken or given back, no state is built.
bool TFormPlayList::RestoreOrder(TListState& state) {
    const int n = listBox_->Count();
    if (n == 0 || state.Count() != static_cast<std::size_t>(n)) return false;
    const TRowIndex rowOf(*listBox_);
    std::vector<int> from(state.Count());
    for (std::size_t i = 0; i < from.size(); ++i)
        if ((from[i] = rowOf.Find(TRecordRef::WordOf(state.Records()[i].Get()))) < 0) return false;
    std::vector<TRecordRef> records = SharedRecords(*listBox_);
    const std::vector<int> selected = SelectedRowsOf(*listBox_);
    const TMP3FileInfo* playingNow = playingIndex_ >= 0 && playingIndex_ < n ? Record(playingIndex_) : nullptr;
    // The playing entry stays the one the host plays; else the one that played then.
    int playing = -1, remembered = -1;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (playingNow && state.Records()[i].Is(playingNow)) playing = static_cast<int>(i);
        if (state.Playing() && state.Records()[i] == state.Playing()) remembered = static_cast<int>(i);
    }
    const int playingRowNow = playingIndex_ >= 0 && playingIndex_ < n ? playingIndex_ : -1;
    {
        TEntryLockGuard lock(entryLock_);
        // Set first: the rows repaint as they take their places.
        const int playingBefore = playingIndex_;
        playingIndex_ = playing >= 0 ? playing : remembered;
        // False when a record is in the list twice: then the order is no permutation.
        if (!listBox_->Reorder(from, state.SelectedRows())) {
            playingIndex_ = playingBefore;
            return false;
        }
    }
    state.Rearrange(std::move(records), selected, playingRowNow);
    return true;
}

void TFormPlayList::RestoreState(const TListState& target) {
    const int n = listBox_->Count();
    const TMP3FileInfo* playingNow = playingIndex_ >= 0 && playingIndex_ < n ? Record(playingIndex_) : nullptr;
    // Entries still in the list keep their titles; the others are titled again.
    const TRowIndex rowOf(*listBox_);
    std::vector<TEntryRow> rows;
    rows.reserve(target.Count());
    for (const TRecordRef& r : target.Records()) {
        const int at = rowOf.Find(TRecordRef::WordOf(r.Get()));
        std::string title = at >= 0 ? listBox_->Text(at) : BuildEntryTitle(Option.PlaylistFormat, *r, &AnsiLeadByte);
        rows.push_back(TEntryRow{std::move(title), r});  // the row's own reference, from here on
    }
    // The playing entry stays the one the host plays when it is in the restored
    // list; else the one that played then.
    int playing = -1, remembered = -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (playingNow && rows[i].Record.Is(playingNow)) playing = static_cast<int>(i);
        if (target.Playing() && rows[i].Record == target.Playing()) remembered = static_cast<int>(i);
    }
    const int top = listBox_->TopIndex();
    TUpdateGuard updates(*listBox_);  // one repaint, once the marks are back
    ReplaceRows(std::move(rows));
    playingIndex_ = playing >= 0 ? playing : remembered;
    for (int i : target.SelectedRows()) listBox_->SetSelected(i, true);
    listBox_->SetTopIndex(std::min(top, std::max(0, listBox_->Count() - 1)));
}
