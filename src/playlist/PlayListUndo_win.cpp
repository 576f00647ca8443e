// Undo and redo: the history of the list's states, recorded around every change
// of the entries or their order, and restored from it. A state names records,
// never copies them: an undone entry comes back with its record as it was (no
// file is read again) and with the title the current format gives it.
#include "playlist/PlayList_win.h"
#include <unordered_set>
#include "base/Text_win.h"
#include "playlist/TitleFormat.h"

namespace {
// The entries' records are counted in themselves; this only reaches them.
class TEntryRecordReferences final : public IRecordReferences {
public:
    void Hold(std::uintptr_t record) override { reinterpret_cast<TMP3FileInfo*>(record)->AddReference(); }
    void Drop(std::uintptr_t record) override { TMP3FileInfo::ReleaseReference(reinterpret_cast<TMP3FileInfo*>(record)); }
};

IRecordReferences& EntryRecordReferences() {
    static TEntryRecordReferences references;  // no state of its own
    return references;
}

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

// The row of each record of the list: open addressing in two flat arrays, so
// that 100,000 entries cost no allocation each.
class TRowOfRecord {
public:
    explicit TRowOfRecord(const TPlayListBox& list) {
        std::size_t size = 16;
        while (size < 2 * static_cast<std::size_t>(list.Count())) size *= 2;
        mask_ = size - 1;
        keys_.assign(size, 0);
        rows_.assign(size, -1);
        for (int i = 0; i < list.Count(); ++i) {
            const std::uintptr_t r = list.Data(i);
            if (!r) continue;
            std::size_t at = Slot(r);
            while (keys_[at] && keys_[at] != r) at = (at + 1) & mask_;
            keys_[at] = r;
            rows_[at] = i;
        }
    }
    int Find(std::uintptr_t r) const {
        for (std::size_t at = Slot(r); keys_[at]; at = (at + 1) & mask_)
            if (keys_[at] == r) return rows_[at];
        return -1;
    }

private:
    std::size_t Slot(std::uintptr_t r) const { return static_cast<std::size_t>((r >> 3) * 2654435761u) & mask_; }
    std::vector<std::uintptr_t> keys_;
    std::vector<int> rows_;
    std::size_t mask_ = 0;
};

bool SameRecords(const TListState& before, const TPlayListBox& list) {
    const std::vector<std::uintptr_t>& records = before.Records();
    if (records.size() != static_cast<std::size_t>(list.Count())) return false;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i] != list.Data(static_cast<int>(i))) return false;
    return true;
}
}  // namespace

TUndoStep::TUndoStep(TFormPlayList& form) : form_(form), before_(form.CaptureState()) {}

void TUndoStep::Commit() { form_.RecordStep(std::move(before_)); }

TListState TFormPlayList::CaptureState() {
    const int n = ListBox->Count();
    std::vector<std::uintptr_t> records(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) records[static_cast<std::size_t>(i)] = ListBox->Data(i);
    const std::uintptr_t playing = PlayingIndex >= 0 && PlayingIndex < n ? ListBox->Data(PlayingIndex) : 0;
    return TListState(EntryRecordReferences(), std::move(records), SelectedRowsOf(*ListBox), playing);
}

void TFormPlayList::RecordStep(TListState before) {
    if (SameRecords(before, *ListBox)) return;
    History.Push(std::move(before));
    ++StepsRecorded;
    UpdateUndoItems();
}

std::size_t TFormPlayList::HeldRecordCount() const {
    std::unordered_set<std::uintptr_t> held;
    for (int i = 0; i < ListBox->Count(); ++i) held.insert(ListBox->Data(i));
    History.ForEachRecord([&](std::uintptr_t r) { held.insert(r); });
    held.erase(0);
    return held.size();
}

void TFormPlayList::UpdateUndoItems() {
    if (!popupMenu_) return;
    EnableMenuItem(popupMenu_.get(), PopupItemUndo, MF_BYCOMMAND | (History.CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popupMenu_.get(), PopupItemRedo, MF_BYCOMMAND | (History.CanRedo() ? MF_ENABLED : MF_GRAYED));
}

void TFormPlayList::Undo() {
    if (!History.CanUndo()) return;
    TWaitCursor wait(ListBox->Count() >= kBusyRows);
    TListState target = History.Undo(CaptureState());
    try {
        RestoreState(target);
    } catch (...) {
        History.CancelUndo(std::move(target));
        UpdateUndoItems();
        throw;
    }
    UpdateUndoItems();
    PushListToHost();
}

void TFormPlayList::Redo() {
    if (!History.CanRedo()) return;
    TWaitCursor wait(ListBox->Count() >= kBusyRows);
    TListState target = History.Redo(CaptureState());
    try {
        RestoreState(target);
    } catch (...) {
        History.CancelRedo(std::move(target));
        UpdateUndoItems();
        throw;
    }
    UpdateUndoItems();
    PushListToHost();
}

void TFormPlayList::RestoreState(const TListState& target) {
    const int n = ListBox->Count();
    const std::uintptr_t playingNow = PlayingIndex >= 0 && PlayingIndex < n ? ListBox->Data(PlayingIndex) : 0;
    // Entries still in the list keep their titles; the others are titled again.
    const TRowOfRecord rowOf(*ListBox);
    // The same entries in another order (a sort, a move taken back): the rows
    // only change places.
    if (target.Count() == static_cast<std::size_t>(n)) {
        std::vector<int> from(target.Count());
        bool same = true;
        for (std::size_t i = 0; same && i < from.size(); ++i) same = (from[i] = rowOf.Find(target.Records()[i])) >= 0;
        if (same) {
            int playing = -1, remembered = -1;
            for (std::size_t i = 0; i < from.size(); ++i) {
                if (playingNow && target.Records()[i] == playingNow) playing = static_cast<int>(i);
                if (target.Playing() && target.Records()[i] == target.Playing()) remembered = static_cast<int>(i);
            }
            const int top = ListBox->TopIndex();
            {
                TUpdateGuard updates(*ListBox);
                TEntryLockGuard lock(EntryLock);
                ListBox->Reorder(from);
                PlayingIndex = playing >= 0 ? playing : remembered;
                for (int i : target.SelectedRows()) ListBox->SetSelected(i, true);
                ListBox->SetTopIndex(std::min(top, std::max(0, n - 1)));
            }  // the list repaints once, here
            return;
        }
    }
    std::vector<TRow> rows;
    rows.reserve(target.Count());
    IRecordReferences& references = EntryRecordReferences();
    try {
        for (std::uintptr_t r : target.Records()) {
            const int at = rowOf.Find(r);
            std::string title = at >= 0 ? ListBox->Text(at)
                                        : BuildEntryTitle(Option.PlaylistFormat, *reinterpret_cast<TMP3FileInfo*>(r),
                                                          &AnsiLeadByte);
            rows.push_back(TRow{std::move(title), r});
            references.Hold(r);  // the row's own reference, from here on
        }
    } catch (...) {
        for (const TRow& row : rows) references.Drop(row.Data);
        throw;
    }
    // The playing entry stays the one the host plays when it is in the restored
    // list; else the one that played then.
    int playing = -1, remembered = -1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (playingNow && rows[i].Data == playingNow) playing = static_cast<int>(i);
        if (target.Playing() && rows[i].Data == target.Playing()) remembered = static_cast<int>(i);
    }
    const int top = ListBox->TopIndex();
    TUpdateGuard updates(*ListBox);  // one repaint, once the marks are back
    ReplaceRows(std::move(rows));
    PlayingIndex = playing >= 0 ? playing : remembered;
    for (int i : target.SelectedRows()) ListBox->SetSelected(i, true);
    ListBox->SetTopIndex(std::min(top, std::max(0, ListBox->Count() - 1)));
}
