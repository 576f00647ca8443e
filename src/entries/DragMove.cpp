#include "entries/DragMove.h"

#include <algorithm>
#include <utility>

namespace {

// The new order: old indices, row by row.
std::vector<int> MovedOrder(const std::vector<bool>& selected, int gap) {
    const int n = static_cast<int>(selected.size());
    std::vector<int> order;
    order.reserve(selected.size());
    for (int i = 0; i < gap; ++i)
        if (!selected[static_cast<std::size_t>(i)]) order.push_back(i);
    for (int i = 0; i < n; ++i)
        if (selected[static_cast<std::size_t>(i)]) order.push_back(i);
    for (int i = gap; i < n; ++i)
        if (!selected[static_cast<std::size_t>(i)]) order.push_back(i);
    return order;
}

}  // namespace

TDragMovePlan PlanDragMove(const std::vector<bool>& selected, int gap) {
    TDragMovePlan plan;
    const int n = static_cast<int>(selected.size());
    gap = std::clamp(gap, 0, n);
    int before = 0, count = 0;
    for (int i = 0; i < n; ++i) {
        if (!selected[static_cast<std::size_t>(i)]) continue;
        ++count;
        if (i < gap) ++before;
    }
    if (count == 0) return plan;
    plan.First = gap - before;
    // Nothing moves when the selection is one block that already starts there.
    for (int i = 0; i < count; ++i)
        if (!selected[static_cast<std::size_t>(plan.First + i)]) {
            plan.Moves = true;
            break;
        }
    return plan;
}

bool MoveSelectedEntriesTo(IRowStore& list, int& playingIndex, IEntryLock& lock, int gap) {
    const int n = list.Count();
    if (n == 0 || list.SelCount() == 0) return false;
    std::vector<bool> selected(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) selected[static_cast<std::size_t>(i)] = list.IsSelected(i);
    gap = std::clamp(gap, 0, n);
    const TDragMovePlan plan = PlanDragMove(selected, gap);
    if (!plan.Moves) return false;
    const std::vector<int> order = MovedOrder(selected, gap);
    const int top = list.TopIndex();
    const int caret = list.ItemIndex();
    std::vector<TRow> rows;
    rows.reserve(order.size());
    for (int old : order) rows.push_back({list.Text(old), list.Data(old)});
    int newPlaying = playingIndex, newCaret = caret;
    for (int k = 0; k < n; ++k) {
        if (order[static_cast<std::size_t>(k)] == playingIndex) newPlaying = k;
        if (order[static_cast<std::size_t>(k)] == caret) newCaret = k;
    }
    {
        TUpdateGuard updates(list);
        TEntryLockGuard guard(lock);
        list.Assign(std::move(rows));
        for (int k = 0; k < n; ++k)
            if (selected[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])]) list.SetSelected(k, true);
        if (newCaret >= 0 && newCaret < n) list.SetItemIndex(newCaret);
        list.SetTopIndex(std::min(top, n - 1));
        playingIndex = newPlaying;
    }
    return true;
}
