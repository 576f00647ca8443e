// Undo and redo: the history of the list's states, recorded around every change
// of the entries or their order, and restored from it. A state names records,
// never copies them: an undone entry comes back with its record as it was (no
// file is read again) and with the title the current format gives it.
#include "playlist/PlayList_win.h"
#include <new>
#include <unordered_set>
#include "base/Text_win.h"
#include "entries/TitleFormat.h"

namespace {
// The entries' records are counted in themselves; this only reaches them.
class TEntryRecordReferences final : public IRecordReferences {
public:
    void Hold(std::uintptr_t record) override { reinterpret_cast<TMP3FileInfo*>(record)->AddReference(); }
    void Drop(std::uintptr_t record) override { TMP3FileInfo::ReleaseReference(reinterpret_cast<TMP3FileInfo*>(record)); }
    std::size_t Bytes(std::uintptr_t record) const override {
        return sizeof(TMP3FileInfo) + reinterpret_cast<const TMP3FileInfo*>(record)->TextBytes();
    }
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

// The row of each record: open addressing over row numbers in one flat array,
// the records themselves compared in the list's order beside it. At 100,000
// entries the table (1 MB) and the records stay in the processor's cache, and
// no entry costs an allocation.
class TRowOfRecord {
public:
    explicit TRowOfRecord(std::vector<std::uintptr_t> records) : records_(std::move(records)) {
        std::size_t size = 16;
        shift_ = 32 - 4;
        while (size < 2 * records_.size()) {
            size *= 2;
            --shift_;
        }
        mask_ = size - 1;
        rows_.assign(size, -1);
        for (std::size_t i = 0; i < records_.size(); ++i) {
            const std::uintptr_t r = records_[i];
            if (!r) continue;
            std::size_t at = Slot(r);
            while (rows_[at] >= 0 && records_[static_cast<std::size_t>(rows_[at])] != r) at = (at + 1) & mask_;
            rows_[at] = static_cast<int>(i);
        }
    }
    explicit TRowOfRecord(const TPlayListBox& list) : TRowOfRecord(RecordsOf(list)) {}
    int Find(std::uintptr_t r) const {
        for (std::size_t at = Slot(r); rows_[at] >= 0; at = (at + 1) & mask_)
            if (records_[static_cast<std::size_t>(rows_[at])] == r) return rows_[at];
        return -1;
    }
    // The records in list order, taken out: the index is of no use after.
    std::vector<std::uintptr_t> TakeRecords() { return std::move(records_); }
    static std::vector<std::uintptr_t> RecordsOf(const TPlayListBox& list) {
        std::vector<std::uintptr_t> records(static_cast<std::size_t>(list.Count()));
        for (std::size_t i = 0; i < records.size(); ++i) records[i] = list.Data(static_cast<int>(i));
        return records;
    }

private:
    // The high bits of a multiplicative hash: records lie at aligned addresses,
    // whose low bits would fill only a fraction of the slots.
    std::size_t Slot(std::uintptr_t r) const {
        return static_cast<std::size_t>((static_cast<std::uint32_t>(r) * 2654435761u) >> shift_);
    }
    std::vector<std::uintptr_t> records_;
    std::vector<int> rows_;  // -1: an empty slot
    std::size_t mask_ = 0;
    int shift_ = 0;
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
    // A step starts from the host's list, not from the rows a pending rebuild replaces.
    FinishBuild();
    const int n = ListBox->Count();
    std::vector<std::uintptr_t> records(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) records[static_cast<std::size_t>(i)] = ListBox->Data(i);
    const std::uintptr_t playing = PlayingIndex >= 0 && PlayingIndex < n ? ListBox->Data(PlayingIndex) : 0;
    return TListState(EntryRecordReferences(), std::move(records), SelectedRowsOf(*ListBox), playing);
}

void TFormPlayList::RecordStep(TListState before) {
    if (SameRecords(before, *ListBox)) return;
    std::vector<std::uintptr_t> now;
    try {
        now = TRowOfRecord::RecordsOf(*ListBox);
    } catch (const std::bad_alloc&) {
        // The list has changed already: the step is recorded all the same,
        // weighed as if it kept every record.
    }
    History.Push(std::move(before), now);
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

void TFormPlayList::Undo() { StepHistory(true); }

void TFormPlayList::Redo() { StepHistory(false); }

void TFormPlayList::StepHistory(bool back) {
    if (!(back ? History.CanUndo() : History.CanRedo())) return;
    TWaitCursor wait(ListBox->Count() >= kBusyRows);
    if (RestoreOrder(back ? History.NextUndo() : History.NextRedo())) {
        back ? History.UndoneInPlace() : History.RedoneInPlace();
    } else {
        TListState target = back ? History.Undo(CaptureState()) : History.Redo(CaptureState());
        try {
            RestoreState(target);
        } catch (...) {
            back ? History.CancelUndo(std::move(target)) : History.CancelRedo(std::move(target));
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
    const int n = ListBox->Count();
    if (n == 0 || state.Count() != static_cast<std::size_t>(n)) return false;
    TRowOfRecord rowOf(TRowOfRecord::RecordsOf(*ListBox));
    std::vector<int> from(state.Count());
    for (std::size_t i = 0; i < from.size(); ++i)
        if ((from[i] = rowOf.Find(state.Records()[i])) < 0) return false;
    std::vector<std::uintptr_t> records = rowOf.TakeRecords();
    const std::vector<int> selected = SelectedRowsOf(*ListBox);
    const std::uintptr_t playingNow = PlayingIndex >= 0 && PlayingIndex < n ? records[PlayingIndex] : 0;
    // The playing entry stays the one the host plays; else the one that played then.
    int playing = -1, remembered = -1;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (playingNow && state.Records()[i] == playingNow) playing = static_cast<int>(i);
        if (state.Playing() && state.Records()[i] == state.Playing()) remembered = static_cast<int>(i);
    }
    {
        TEntryLockGuard lock(EntryLock);
        // Set first: the rows repaint as they take their places.
        const int playingBefore = PlayingIndex;
        PlayingIndex = playing >= 0 ? playing : remembered;
        // False when a record is in the list twice: then the order is no permutation.
        if (!ListBox->Reorder(from, state.SelectedRows())) {
            PlayingIndex = playingBefore;
            return false;
        }
    }
    state.Rearrange(std::move(records), selected, playingNow);
    return true;
}

void TFormPlayList::RestoreState(const TListState& target) {
    const int n = ListBox->Count();
    const std::uintptr_t playingNow = PlayingIndex >= 0 && PlayingIndex < n ? ListBox->Data(PlayingIndex) : 0;
    // Entries still in the list keep their titles; the others are titled again.
    const TRowOfRecord rowOf(*ListBox);
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
