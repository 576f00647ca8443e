#include "controls/RowList.h"

#include <algorithm>
#include <iterator>

#include "base/Utf.h"

namespace {
inline void Prefetch(const void* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}
}  // namespace

std::string ClipRowText(std::string text, std::size_t maxBytes) {
    text.resize(Utf8PrefixLength(text, maxBytes));
    return text;
}

void TRowList::Clip(std::string& text) const {
    if (text.size() > kMaxRowTextLength) text = ClipRowText(std::move(text), kMaxRowTextLength);
}

void TRowList::SetText(int i, std::string text) {
    Clip(text);
    rows_[static_cast<std::size_t>(i)].Text = std::move(text);
}

void TRowList::Weigh(TRow& row) {
    row.Weight = weigh_ ? weigh_(row.Data) : -1;
    sums_.Add(row.Weight, 1);
}

void TRowList::SetWeigh(TWeigh weigh) {
    weigh_ = weigh;
    sums_ = {};
    for (TRow& r : rows_) Weigh(r);
}

void TRowList::SetWeight(int i, int weight) {
    TRow& row = rows_[static_cast<std::size_t>(i)];
    Unweigh(row);
    row.Weight = weight;
    sums_.Add(weight, 1);
}

void TRowList::SetData(int i, std::uintptr_t data) {
    TRow& row = rows_[static_cast<std::size_t>(i)];
    Unweigh(row);
    row.Data = data;
    Weigh(row);
}

void TRowList::Clear() {
    rows_.clear();
    sums_ = {};
}

void TRowList::Insert(int at, std::vector<TRow> rows) {
    for (TRow& r : rows) Clip(r.Text);
    const std::size_t n = rows.size();
    rows_.insert(rows_.begin() + at, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    // Weighed once in: a failed insertion leaves the sums as they were.
    for (std::size_t k = 0; k < n; ++k) Weigh(rows_[static_cast<std::size_t>(at) + k]);
}

void TRowList::Delete(int i) {
    Unweigh(rows_[static_cast<std::size_t>(i)]);
    rows_.erase(rows_.begin() + i);
}

void TRowList::DeleteRange(int at, int n) {
    for (int k = at; k < at + n; ++k) Unweigh(rows_[static_cast<std::size_t>(k)]);
    rows_.erase(rows_.begin() + at, rows_.begin() + at + n);
}

void TRowList::DeleteRows(const std::vector<int>& rows) {
    std::size_t out = 0, next = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (next < rows.size() && static_cast<std::size_t>(rows[next]) == i) {
            Unweigh(rows_[i]);
            ++next;
            continue;
        }
        if (out != i) rows_[out] = std::move(rows_[i]);
        ++out;
    }
    rows_.resize(out);
}

void TRowList::Assign(std::vector<TRow> rows) {
    sums_ = {};
    for (TRow& r : rows) {
        Clip(r.Text);
        Weigh(r);
    }
    rows_ = std::move(rows);
}

void TRowList::Exchange(int i, int j) {
    if (i != j) std::swap(rows_[static_cast<std::size_t>(i)], rows_[static_cast<std::size_t>(j)]);
}

void TRowList::Move(int from, int to) {
    if (from == to) return;
    auto first = rows_.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

bool TRowList::Reorder(const std::vector<int>& from) {
    if (from.size() != rows_.size()) return false;
    std::vector<bool> pending(rows_.size(), false);  // set: the place still waits for its row
    for (int f : from) {
        if (!ValidIndex(f) || pending[static_cast<std::size_t>(f)]) return false;
        pending[static_cast<std::size_t>(f)] = true;
    }
    // Each cycle of the permutation in turn, in place: one move per row and no
    // second row vector (at 100,000 rows a new vector costs more than the moves).
    // The row a few steps ahead in the cycle is fetched early: the steps
    // depend on each other, and a random row is a cache miss at that size.
    constexpr int kAhead = 8;
    for (std::size_t start = 0; start < rows_.size(); ++start) {
        if (!pending[start]) continue;
        TRow held = std::move(rows_[start]);
        std::size_t at = start, ahead = start;
        for (int k = 0; k < kAhead; ++k) ahead = static_cast<std::size_t>(from[ahead]);
        for (;;) {
            pending[at] = false;
            const std::size_t next = static_cast<std::size_t>(from[at]);
            if (next == start) break;
            Prefetch(&rows_[ahead]);
            ahead = static_cast<std::size_t>(from[ahead]);
            rows_[at] = std::move(rows_[next]);
            at = next;
        }
        rows_[at] = std::move(held);
    }
    return true;
}

int TRowList::SortedPosition(const std::string& text, const TRowCompare& compare) const {
    auto it = std::upper_bound(rows_.begin(), rows_.end(), text,
                               [&](const std::string& t, const TRow& r) { return compare(t, r.Text) < 0; });
    return static_cast<int>(it - rows_.begin());
}

int TRowList::Find(int start, const std::function<bool(const std::string&)>& match) const {
    const int n = Count();
    if (n == 0) return -1;
    if (start < 0 || start >= n) start = 0;
    for (int k = 0; k < n; ++k) {
        int i = (start + k) % n;
        if (match(rows_[static_cast<std::size_t>(i)].Text)) return i;
    }
    return -1;
}
