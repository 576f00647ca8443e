#include "controls/RowStore.h"

#include "base/Errors.h"

#include <cstddef>

void IRowStore::DeleteRows(const std::vector<int>& rows) {
    if (rows.empty()) return;
    const int n = Count();
    int previous = -1;
    for (int r : rows) {
        if (r <= previous || r >= n) throw EListError(r);
        previous = r;
    }

    const int top = TopIndex();
    const int caret = ItemIndex();
    int topShift = 0;
    int caretShift = 0;
    std::vector<TRow> kept;
    kept.reserve(static_cast<std::size_t>(n) - rows.size());
    std::vector<int> keptSelected;
    std::size_t next = 0;
    for (int i = 0; i < n; ++i) {
        if (next < rows.size() && rows[next] == i) {
            ++next;
            if (i < top) ++topShift;
            if (i < caret) ++caretShift;
            continue;
        }
        if (IsSelected(i)) keptSelected.push_back(static_cast<int>(kept.size()));
        kept.push_back({Text(i), Data(i)});
    }

    TUpdateGuard updates(*this);
    Assign(std::move(kept));
    for (int i : keptSelected) SetSelected(i, true);
    const int last = Count() - 1;
    if (last < 0) return;
    const auto clamp = [last](int v) { return v < 0 ? 0 : (v > last ? last : v); };
    SetTopIndex(clamp(top - topShift));
    if (caret >= 0) SetItemIndex(clamp(caret - caretShift));
}
