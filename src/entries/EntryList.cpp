#include "entries/EntryList.h"

#include <utility>

void TEntryList::Add(std::string title, std::unique_ptr<TMP3FileInfo> record) {
    Add(std::move(title), TRecordRef(std::move(record)));
}

void TEntryList::Add(std::string title, TRecordRef record) {
    rows_.push_back(TEntryRow{std::move(title), std::move(record)});
}

void TEntryList::Reserve(int n) noexcept {
    try {
        if (n > 0) rows_.reserve(static_cast<std::size_t>(n));
    } catch (...) {
        // A count the host cannot back with names, or no memory for it all at once.
    }
}

void TEntryList::Append(TEntryList& more) {
    rows_.reserve(rows_.size() + more.rows_.size());
    for (TEntryRow& r : more.rows_) rows_.push_back(std::move(r));  // no allocation after the reserve
    more.rows_.clear();
}

std::vector<TEntryRow> TEntryList::Take() {
    std::vector<TEntryRow> out;
    out.swap(rows_);
    return out;
}

TListRows::TListRows(std::vector<TEntryRow> entries) {
    // Both vectors first: from then on nothing allocates, and no reference is lost.
    rows_.reserve(entries.size());
    words_.reserve(entries.size());
    for (TEntryRow& e : entries) {
        words_.push_back(std::move(e.Record).ToWord());
        rows_.push_back(TRow{std::move(e.Title), words_.back()});
    }
}

TListRows::~TListRows() { ReleaseWords(words_); }

void ReleaseWords(const std::vector<std::uintptr_t>& words) noexcept {
    for (std::uintptr_t w : words) TRecordRef::FromWord(w).Reset();
}
