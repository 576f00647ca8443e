#include "entries/ListCommands.h"

#include <cstddef>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Hides the list for a scope once Hide() is called, and restores its previous
// visibility on every path. Declared before the lock guard so that the list shows
// again only after the lock is released.
class THiddenList {
public:
    explicit THiddenList(IRowStore& list) : list_(list) {}
    ~THiddenList() {
        if (hidden_) list_.SetVisible(wasVisible_);
    }
    THiddenList(const THiddenList&) = delete;
    THiddenList& operator=(const THiddenList&) = delete;
    void Hide() {
        if (hidden_) return;
        wasVisible_ = list_.Visible();
        list_.SetVisible(false);
        hidden_ = true;
    }
private:
    IRowStore& list_;
    bool hidden_ = false;
    bool wasVisible_ = true;
};

// PlayingIndex after rows a and b traded places.
void FollowExchange(int& playingIndex, int a, int b) {
    if (playingIndex == a)
        playingIndex = b;
    else if (playingIndex == b)
        playingIndex = a;
}

// Swaps rows a and b, keeps PlayingIndex on its entry and puts each row's
// selection mark back on its entry (the store's exchange clears both marks).
// PlayingIndex is followed right after the exchange so that it still names its
// entry when setting a mark fails.
void ExchangeEntries(IRowStore& list, int& playingIndex, int a, int b) {
    const bool sa = list.IsSelected(a);
    const bool sb = list.IsSelected(b);
    list.Exchange(a, b);
    FollowExchange(playingIndex, a, b);
    list.SetSelected(a, sb);
    list.SetSelected(b, sa);
}

// Number of entries of the ascending `rows` that are <= limit.
int CountUpTo(const std::vector<int>& rows, int limit) {
    int n = 0;
    for (int r : rows) {
        if (r > limit) break;
        ++n;
    }
    return n;
}

// What the quicksort moves: where the row's sort text lies in an arena and where
// the row came from. Texts never move and titles, data words and marks stay in
// arrays indexed by origin, so a swap moves a few bytes and the texts of a range
// stay close together in memory.
struct TSortRow {
    std::size_t Offset = 0;
    std::uint32_t Length = 0;
    std::int32_t Origin = 0;
};

class TSortTexts {
public:
    void Add(TSortRow& row, std::string_view text) {
        row.Offset = arena_.size();
        row.Length = static_cast<std::uint32_t>(text.size());
        arena_.append(text);
    }
    std::string_view Of(const TSortRow& row) const { return std::string_view(arena_).substr(row.Offset, row.Length); }
    std::string& Arena() { return arena_; }
private:
    std::string arena_;
};

// The list's quicksort (Hoare partition around the middle row). Kept exactly as
// it is because it decides the order of keys that compare equal. The pivot is a
// copy of the middle row as it was when the pass started (texts never move in
// their arena, so the copy still names the same text). Pending ranges go on a
// heap stack instead of the call stack: they are disjoint, so the order in which
// they are sorted does not change the result, and a degenerate input cannot
// overflow the host's stack. The bounds on the two scans never stop a consistent
// comparison early; they only keep a broken one inside the range.
// compare(a, b) orders two rows like strcmp.
template <class TCompareRows>
void QuickSort(std::vector<TSortRow>& rows, int first, int last, const TCompareRows& compare) {
    std::vector<std::pair<int, int>> pending;
    pending.emplace_back(first, last);
    while (!pending.empty()) {
        int L = pending.back().first;
        const int R = pending.back().second;
        pending.pop_back();
        do {
            int I = L;
            int J = R;
            const TSortRow P = rows[static_cast<std::size_t>((L + R) / 2)];
            do {
                while (I < R && compare(rows[static_cast<std::size_t>(I)], P) < 0) ++I;
                while (J > L && compare(rows[static_cast<std::size_t>(J)], P) > 0) --J;
                if (I <= J) {
                    std::swap(rows[static_cast<std::size_t>(I)], rows[static_cast<std::size_t>(J)]);
                    ++I;
                    --J;
                }
            } while (I <= J);
            if (L < J) pending.emplace_back(L, J);
            L = I;
        } while (L < R);
    }
}

int Sign(int v) { return (v > 0) - (v < 0); }

// The order of `rows` (one per text, Origin = its index, in that order) that the
// quicksort gives with collation.Compare.
//
// With sort keys the quicksort compares keys instead. Its outcome depends only
// on the signs of the comparisons it makes, so it equals the direct one when the
// keys order every pair of texts as Compare does. The result is ordered by key;
// if Compare agrees in sign with the keys on every adjacent pair of it, then for
// any two rows Compare gives equal exactly where all pairs between them are
// equal, and less wherever one of them is less - the keys' answer, as long as
// Compare is a consistent ordering, which a collation is. So n - 1 comparisons
// prove the order; a single disagreement sends the sort back to Compare.
void SortRows(std::vector<TSortRow>& rows, const TSortTexts& texts, const TCollation& collation, TSortPath* path) {
    const int n = static_cast<int>(rows.size());
    auto direct = [&](const TSortRow& a, const TSortRow& b) { return collation.Compare(texts.Of(a), texts.Of(b)); };
    if (path) *path = TSortPath::Direct;
    if (n < 2) return;
    if (!collation.AppendKey) {
        QuickSort(rows, 0, n - 1, direct);
        return;
    }

    TSortTexts keys;
    std::vector<TSortRow> keyed(rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        keyed[k].Origin = rows[k].Origin;
        keyed[k].Offset = keys.Arena().size();
        collation.AppendKey(texts.Of(rows[k]), keys.Arena());
        keyed[k].Length = static_cast<std::uint32_t>(keys.Arena().size() - keyed[k].Offset);
    }
    QuickSort(keyed, 0, n - 1, [&](const TSortRow& a, const TSortRow& b) { return keys.Of(a).compare(keys.Of(b)); });

    // rows[i] is the text of origin i (the caller builds them in origin order).
    auto textRow = [&](const TSortRow& k) -> const TSortRow& { return rows[static_cast<std::size_t>(k.Origin)]; };
    bool agree = true;
    for (std::size_t k = 0; agree && k + 1 < keyed.size(); ++k) {
        const int byKey = Sign(keys.Of(keyed[k]).compare(keys.Of(keyed[k + 1])));
        agree = Sign(direct(textRow(keyed[k]), textRow(keyed[k + 1]))) == byKey;
    }
    if (agree) {
        for (std::size_t k = 0; k < keyed.size(); ++k) {
            const TSortRow& t = textRow(keyed[k]);
            keyed[k].Offset = t.Offset;
            keyed[k].Length = t.Length;
        }
        rows.swap(keyed);
        if (path) *path = TSortPath::Keys;
        return;
    }
    QuickSort(rows, 0, n - 1, direct);
    if (path) *path = TSortPath::KeysRejected;
}

}  // namespace

void DestroyRecords(const std::vector<std::uintptr_t>& records, const TDestroyRecord& destroy) {
    if (!destroy) return;
    std::exception_ptr first;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        try {
            destroy(*it);
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

bool MoveSelectedEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TMoveDirection direction) {
    const int n = list.Count();
    if (n == 0 || list.SelCount() == 0) return false;
    if (direction == TMoveDirection::Up && list.IsSelected(0)) return false;
    if (direction == TMoveDirection::Down && list.IsSelected(n - 1)) return false;

    int first = -1;
    int last = -1;
    for (int i = 0; i < n; ++i) {
        if (list.IsSelected(i)) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return false;

    TUpdateGuard updates(list);
    TEntryLockGuard locked(lock);
    if (direction == TMoveDirection::Up) {
        for (int j = first; j <= last; ++j) {
            if (!list.IsSelected(j)) continue;
            list.Exchange(j, j - 1);
            FollowExchange(playingIndex, j, j - 1);
            list.SetSelected(j - 1, true);
        }
    } else {
        for (int i = last; i >= first; --i) {
            if (!list.IsSelected(i)) continue;
            list.Exchange(i, i + 1);
            FollowExchange(playingIndex, i, i + 1);
            list.SetSelected(i + 1, true);
        }
    }
    return true;
}

bool RemoveEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TRemoveMode mode,
                   const TDestroyRecord& destroy) {
    const int n = list.Count();
    if (mode == TRemoveMode::All) {
        if (n == 0) return false;
        TUpdateGuard updates(list);
        TEntryLockGuard locked(lock);
        std::vector<std::uintptr_t> records(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) records[static_cast<std::size_t>(i)] = list.Data(i);
        // The rows go before their records, so nothing can paint a row whose
        // record is already gone.
        list.Clear();
        playingIndex = -1;
        DestroyRecords(records, destroy);
        return true;
    }

    if (n == 0 || list.SelCount() == 0) return false;
    const bool removeSelected = mode == TRemoveMode::Selected;
    std::vector<int> doomed;
    for (int i = 0; i < n; ++i)
        if (list.IsSelected(i) == removeSelected) doomed.push_back(i);
    // Cropping a list whose rows are all selected leaves it as it is.
    if (doomed.empty()) return false;

    int caret = list.ItemIndex();
    {
        TUpdateGuard updates(list);
        TEntryLockGuard locked(lock);
        std::vector<std::uintptr_t> records;
        records.reserve(doomed.size());
        for (int i : doomed) records.push_back(list.Data(i));
        const int newPlaying = playingIndex - CountUpTo(doomed, playingIndex);
        list.DeleteRows(doomed);
        playingIndex = newPlaying;
        caret -= CountUpTo(doomed, caret);
        if (removeSelected) ++caret;
        DestroyRecords(records, destroy);
    }
    const int remaining = list.Count();
    if (remaining > 0 && caret >= 0) list.SetItemIndex(caret < remaining ? caret : remaining - 1);
    return true;
}

void ChangeSelection(IRowStore& list, TSelectCommand command) {
    const int n = list.Count();
    if (n == 0) return;
    const int top = list.TopIndex();
    THiddenList hidden(list);
    hidden.Hide();
    for (int i = 0; i < n; ++i) {
        switch (command) {
        case TSelectCommand::All: list.SetSelected(i, true); break;
        case TSelectCommand::None: list.SetSelected(i, false); break;
        case TSelectCommand::Inverse: list.SetSelected(i, !list.IsSelected(i)); break;
        }
    }
    list.SetTopIndex(top);
}

bool SortEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TSortKey key, const TCollation& collation,
                 const TNameText& names, TSortPath* path) {
    const int n = list.Count();
    if (n < 2) return false;

    const auto count = static_cast<std::size_t>(n);
    std::vector<TSortRow> rows(count);
    std::vector<std::string> titles(count);
    std::vector<std::uintptr_t> data(count);
    std::vector<unsigned char> selected(count);
    TSortTexts keys;
    // Without a selection there is no mark to ask each row about.
    const bool anySelected = list.SelCount() > 0;
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        data[k] = list.Data(i);
        titles[k] = list.Text(i);
        selected[k] = anySelected && list.IsSelected(i) ? 1 : 0;
        TMP3FileInfo* rec = TRecordRef::InWord(data[k]);
        if (rec) rec->Selected = selected[k] != 0;
        rows[k].Origin = i;
        // Sorting by file name or path sorts on a key of its own; every row keeps
        // its own display title whatever the key.
        switch (key) {
        case TSortKey::Title: keys.Add(rows[k], titles[k]); break;
        case TSortKey::FileName: keys.Add(rows[k], rec ? NameFileText(*rec, names) : std::string()); break;
        case TSortKey::Path: keys.Add(rows[k], rec ? NamePathText(*rec, names) : std::string()); break;
        }
    }

    SortRows(rows, keys, collation, path);

    // The titles are copied, not moved: if the store cannot take the sorted rows,
    // it gets the old ones back, so that no row and no record is lost.
    std::vector<TRow> sorted(count);
    int newPlaying = playingIndex;
    for (std::size_t k = 0; k < count; ++k) {
        const auto origin = static_cast<std::size_t>(rows[k].Origin);
        sorted[k].Text = titles[origin];
        sorted[k].Data = data[origin];
        if (rows[k].Origin == playingIndex) newPlaying = static_cast<int>(k);
    }

    const int top = list.TopIndex();
    THiddenList hidden(list);
    TEntryLockGuard locked(lock);
    try {
        list.Assign(std::move(sorted));
    } catch (...) {
        std::vector<TRow> old(count);
        for (std::size_t k = 0; k < count; ++k) old[k] = TRow{std::move(titles[k]), data[k]};
        list.Assign(std::move(old));
        for (int i = 0; i < n; ++i)
            if (selected[static_cast<std::size_t>(i)]) list.SetSelected(i, true);
        list.SetTopIndex(top);
        throw;
    }
    playingIndex = newPlaying;
    TUpdateGuard updates(list);
    hidden.Hide();
    // Assign left every row unselected, so only the marks to set again need a call.
    for (int i = 0; i < n; ++i)
        if (selected[static_cast<std::size_t>(rows[static_cast<std::size_t>(i)].Origin)]) list.SetSelected(i, true);
    list.SetTopIndex(top);
    return true;
}

bool ReverseEntries(IRowStore& list, int& playingIndex, IEntryLock& lock) {
    const int n = list.Count();
    if (n < 2) return false;
    const int top = list.TopIndex();
    {
        TUpdateGuard updates(list);
        TEntryLockGuard locked(lock);
        for (int i = 0; i < n / 2; ++i) {
            // PlayingIndex follows pair by pair rather than at the end, so that
            // it still names its entry if a later exchange fails.
            ExchangeEntries(list, playingIndex, i, n - 1 - i);
        }
    }
    list.SetTopIndex(top);
    return true;
}

std::uint32_t TimeOfDaySeed(int hour, int minute, int second, int milliseconds) {
    return ((static_cast<std::uint32_t>(hour) * 60u + static_cast<std::uint32_t>(minute)) * 60u +
            static_cast<std::uint32_t>(second)) * 1000u + static_cast<std::uint32_t>(milliseconds);
}

bool RandomizeEntries(IRowStore& list, int& playingIndex, IEntryLock& lock, TPlaylistRandom& random,
                      std::uint32_t seed) {
    random.Seed(seed);
    const int n = list.Count();
    if (n < 2) return false;
    const int top = list.TopIndex();
    {
        TUpdateGuard updates(list);
        TEntryLockGuard locked(lock);
        const auto un = static_cast<std::uint32_t>(n);
        for (int k = 0; k <= n; ++k) {
            const int a = static_cast<int>(random.Next(un));
            const int b = static_cast<int>(random.Next(un));
            ExchangeEntries(list, playingIndex, a, b);
        }
    }
    list.SetTopIndex(top);
    return true;
}

void SortTexts(std::vector<std::string>& texts, const TCollation& collation) {
    const int n = static_cast<int>(texts.size());
    if (n < 2) return;
    std::vector<TSortRow> rows(static_cast<std::size_t>(n));
    TSortTexts keys;
    for (int i = 0; i < n; ++i) {
        keys.Add(rows[static_cast<std::size_t>(i)], texts[static_cast<std::size_t>(i)]);
        rows[static_cast<std::size_t>(i)].Origin = i;
    }
    SortRows(rows, keys, collation, nullptr);
    std::vector<std::string> sorted;
    sorted.reserve(texts.size());
    for (const TSortRow& r : rows) sorted.push_back(std::move(texts[static_cast<std::size_t>(r.Origin)]));
    texts.swap(sorted);
}
