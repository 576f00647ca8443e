// Undo and redo: the history of the list's states, recorded around every change
// of the entries or their order, and restored from it. A state names records,
// never copies them: an undone entry comes back with its record as it was (no
// file is read again) and with the title the current format gives it.
#include "playlist/ListSteps_win.h"
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

TUndoStep::TUndoStep(TFormPlayList& form) : form_(form), before_(form.Steps().CaptureState()) {}

void TUndoStep::Commit() { form_.Steps().RecordStep(std::move(before_)); }

TListState TListSteps::CaptureState() {
    TPlayListBox& list = *form_.listBox_;
    // A step starts from the host's list, not from the rows a pending rebuild replaces.
    form_.FinishBuild();
    std::vector<int> selected = SelectedRowsOf(list);
    return TListState(SharedRecords(list), selected, form_.playingIndex_);
}

void TListSteps::RecordStep(TListState before) {
    TPlayListBox& list = *form_.listBox_;
    if (SameRecords(before, list)) return;
    std::vector<TRecordRef> now;
    try {
        now = SharedRecords(list);
    } catch (const std::bad_alloc&) {
        // The list has changed already: the step is recorded all the same,
        // weighed as if it kept every record.
    }
    history_.Push(std::move(before), now);
    ++stepsRecorded_;
    UpdateMenuItems();
}

std::size_t TListSteps::HeldRecordCount() const {
    TPlayListBox& list = *form_.listBox_;
    std::unordered_set<const TMP3FileInfo*> held;
    for (int i = 0; i < list.Count(); ++i) held.insert(form_.Record(i));
    history_.ForEachRecord([&](const TRecordRef& r) { held.insert(r.Get()); });
    held.erase(nullptr);
    return held.size();
}

void TListSteps::UpdateMenuItems() {
    if (!form_.popupMenu_) return;
    EnableMenuItem(form_.popupMenu_.get(), PopupItemUndo, MF_BYCOMMAND | (history_.CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(form_.popupMenu_.get(), PopupItemRedo, MF_BYCOMMAND | (history_.CanRedo() ? MF_ENABLED : MF_GRAYED));
}

void TListSteps::StepHistory(bool back) {
    TPlayListBox& list = *form_.listBox_;
    if (!(back ? history_.CanUndo() : history_.CanRedo())) return;
    TWaitCursor wait(list.Count() >= kBusyRows);
    if (RestoreOrder(back ? history_.NextUndo() : history_.NextRedo())) {
        back ? history_.UndoneInPlace() : history_.RedoneInPlace();
    } else {
        TListState target = back ? history_.Undo(CaptureState()) : history_.Redo(CaptureState());
        try {
            RestoreState(target);
        } catch (...) {
            back ? history_.CancelUndo(std::move(target)) : history_.CancelRedo(std::move(target));
            UpdateMenuItems();
            throw;
        }
    }
    UpdateMenuItems();
    form_.PushListToHostKeepingMarks();
}

// The same entries in another order (a sort, a move taken back): the rows only
// change places, and the state, which names the same records, becomes the list
// it replaced - no reference is taken or given back, no state is built.
bool TListSteps::RestoreOrder(TListState& state) {
    TPlayListBox& list = *form_.listBox_;
    const int n = list.Count();
    if (n == 0 || state.Count() != static_cast<std::size_t>(n)) return false;
    const TRowIndex rowOf(list);
    std::vector<int> from(state.Count());
    for (std::size_t i = 0; i < from.size(); ++i)
        if ((from[i] = rowOf.Find(TRecordRef::WordOf(state.Records()[i].Get()))) < 0) return false;
    std::vector<TRecordRef> records = SharedRecords(list);
    const std::vector<int> selected = SelectedRowsOf(list);
    const int p = form_.playingIndex_;
    const TMP3FileInfo* playingNow = p >= 0 && p < n ? form_.Record(p) : nullptr;
    // The playing entry stays the one the host plays; else the one that played then.
    int playing = -1, remembered = -1;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (playingNow && state.Records()[i].Is(playingNow)) playing = static_cast<int>(i);
        if (state.Playing() && state.Records()[i] == state.Playing()) remembered = static_cast<int>(i);
    }
    const int playingRowNow = p >= 0 && p < n ? p : -1;
    {
        TEntryLockGuard lock(form_.entryLock_);
        // Set first: the rows repaint as they take their places.
        const int playingBefore = form_.playingIndex_;
        form_.playingIndex_ = playing >= 0 ? playing : remembered;
        // False when a record is in the list twice: then the order is no permutation.
        if (!list.Reorder(from, state.SelectedRows())) {
            form_.playingIndex_ = playingBefore;
            return false;
        }
    }
    state.Rearrange(std::move(records), selected, playingRowNow);
    return true;
}

void TListSteps::RestoreState(const TListState& target) {
    TPlayListBox& list = *form_.listBox_;
    const int n = list.Count();
    const int p = form_.playingIndex_;
    const TMP3FileInfo* playingNow = p >= 0 && p < n ? form_.Record(p) : nullptr;
    // Entries still in the list keep their titles; the others are titled again.
    const TRowIndex rowOf(list);
    std::vector<TEntryRow> rows;
    rows.reserve(target.Count());
    for (const TRecordRef& r : target.Records()) {
        const int at = rowOf.Find(TRecordRef::WordOf(r.Get()));
        std::string title = at >= 0 ? list.Text(at) : EntryTitle(*r);
        rows.push_back(TEntryRow{std::move(title), r});  // the row's own reference, from here on
    }
    // The playing entry stays the one the host plays when it is in the restored
    // list; else the one that played then.
    int playing = -1, remembered = -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (playingNow && rows[i].Record.Is(playingNow)) playing = static_cast<int>(i);
        if (target.Playing() && rows[i].Record == target.Playing()) remembered = static_cast<int>(i);
    }
    const int top = list.TopIndex();
    TUpdateGuard updates(list);  // one repaint, once the marks are back
    form_.ReplaceRows(std::move(rows));
    form_.playingIndex_ = playing >= 0 ? playing : remembered;
    for (int i : target.SelectedRows()) list.SetSelected(i, true);
    list.SetTopIndex(std::min(top, std::max(0, list.Count() - 1)));
}
