#include "entries/UndoHistory.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {
// A set of records: open addressing in one flat array, 0 for an empty slot (no
// record is 0). Sized once for all it will take.
class TRecordSet {
public:
    explicit TRecordSet(std::size_t most) {
        std::size_t size = 16;
        while (size < 2 * most) size *= 2;
        slots_.assign(size, 0);
        mask_ = size - 1;
    }
    // False when it was there already.
    bool Insert(const TMP3FileInfo* record) {
        const std::uintptr_t r = TRecordRef::WordOf(record);
        std::size_t at = Slot(r);
        for (; slots_[at]; at = (at + 1) & mask_)
            if (slots_[at] == r) return false;
        slots_[at] = r;
        return true;
    }

private:
    std::size_t Slot(std::uintptr_t r) const {
        return static_cast<std::size_t>((static_cast<std::uint64_t>(r) * 0x9E3779B97F4A7C15ull) >> 32) & mask_;
    }
    std::vector<std::uintptr_t> slots_;
    std::size_t mask_ = 0;
};
}  // namespace

std::size_t RecordHeapBytes(const TMP3FileInfo& record) { return sizeof(TMP3FileInfo) + record.TextBytes(); }

TListState::TListState(std::vector<TRecordRef> records, const std::vector<int>& selectedRows, int playingRow)
    : records_(std::move(records)), selected_((records_.size() + 31) / 32, 0u),
      playing_(playingRow >= 0 && static_cast<std::size_t>(playingRow) < records_.size() ? playingRow : -1) {
    for (int row : selectedRows)
        if (row >= 0 && static_cast<std::size_t>(row) < records_.size())
            selected_[static_cast<std::size_t>(row) / 32] |= 1u << (static_cast<std::size_t>(row) % 32);
}

std::vector<int> TListState::SelectedRows() const {
    std::vector<int> rows;
    for (std::size_t w = 0; w < selected_.size(); ++w)
        for (std::uint32_t bits = selected_[w]; bits; bits &= bits - 1) {
            int bit = 0;
            while (!((bits >> bit) & 1u)) ++bit;
            rows.push_back(static_cast<int>(w * 32 + static_cast<std::size_t>(bit)));
        }
    return rows;
}

const TRecordRef& TListState::Playing() const {
    static const TRecordRef none;
    // A state moved from keeps its number but no records.
    return playing_ >= 0 && static_cast<std::size_t>(playing_) < records_.size() ? records_[static_cast<std::size_t>(playing_)]
                                                                                  : none;
}

bool TListState::Rearrange(std::vector<TRecordRef> records, const std::vector<int>& selectedRows,
                           int playingRow) noexcept {
    if (records.size() != records_.size()) return false;
    records_.swap(records);
    std::fill(selected_.begin(), selected_.end(), 0u);  // the same count: the same words
    for (int row : selectedRows)
        if (row >= 0 && static_cast<std::size_t>(row) < records_.size())
            selected_[static_cast<std::size_t>(row) / 32] |= 1u << (static_cast<std::size_t>(row) % 32);
    playing_ = playingRow >= 0 && static_cast<std::size_t>(playingRow) < records_.size() ? playingRow : -1;
    return true;
}

std::size_t TListState::Bytes() const {
    return records_.capacity() * sizeof(TRecordRef) + selected_.capacity() * sizeof(std::uint32_t) + recordBytes_;
}

void TListState::Weigh(const std::vector<TRecordRef>& neighbour, TRecordWeight weigh) noexcept {
    recordBytes_ = 0;
    if (neighbour.size() + records_.size() <= kSmall) {
        // A few records: looked for where they are, no table made.
        for (auto r = records_.begin(); r != records_.end(); ++r)
            if (*r && std::find(neighbour.begin(), neighbour.end(), *r) == neighbour.end() &&
                std::find(records_.begin(), r, *r) == r)
                recordBytes_ += weigh(**r);
        return;
    }
    try {
        TRecordSet seen(neighbour.size() + records_.size());
        for (const TRecordRef& r : neighbour)
            if (r) seen.Insert(r.Get());
        for (const TRecordRef& r : records_)
            if (r && seen.Insert(r.Get())) recordBytes_ += weigh(*r);
    } catch (const std::bad_alloc&) {
        // No room for the table: every record counts, and older steps go sooner.
        recordBytes_ = 0;
        for (const TRecordRef& r : records_)
            if (r) recordBytes_ += weigh(*r);
    }
}

void TUndoHistory::Push(TListState before, const std::vector<TRecordRef>& now) {
    redo_.clear();
    // The newest step's neighbour was the list, which `before` is (or the list
    // the host changed without a step since).
    if (!undo_.empty()) undo_.back().Weigh(before.Records(), weigh_);
    before.Weigh(now, weigh_);
    undo_.push_back(std::move(before));
    std::size_t bytes = 0;
    for (const TListState& s : undo_) bytes += s.Bytes();
    while (undo_.size() > steps_ || (undo_.size() > 1 && bytes > keptBytes_)) {
        bytes -= undo_.front().Bytes();
        undo_.pop_front();
    }
}

TListState TUndoHistory::Undo(TListState current) {
    TListState target = std::move(undo_.back());
    undo_.pop_back();
    current.Weigh(target.Records(), weigh_);  // target becomes the list
    redo_.push_back(std::move(current));
    return target;
}

TListState TUndoHistory::Redo(TListState current) {
    TListState target = std::move(redo_.back());
    redo_.pop_back();
    current.Weigh(target.Records(), weigh_);
    undo_.push_back(std::move(current));
    return target;
}

void TUndoHistory::CancelUndo(TListState target) {
    if (!redo_.empty()) redo_.pop_back();
    undo_.push_back(std::move(target));
}

void TUndoHistory::CancelRedo(TListState target) {
    if (!undo_.empty()) undo_.pop_back();
    redo_.push_back(std::move(target));
}

void TUndoHistory::UndoneInPlace() {
    undo_.back().ClearWeight();
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
}

void TUndoHistory::RedoneInPlace() {
    redo_.back().ClearWeight();
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
}

void TUndoHistory::Clear() {
    undo_.clear();
    redo_.clear();
}

std::size_t TUndoHistory::Bytes() const {
    std::size_t bytes = 0;
    for (const auto* side : {&undo_, &redo_})
        for (const TListState& s : *side) bytes += s.Bytes();
    return bytes;
}
