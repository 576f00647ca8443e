#include "controls/CustomPlayListBox_win.h"

void TCustomPlayListBox::SetRowWeight(int i, int weight) {
    CheckRowIndex(i);
    rows_.SetWeight(i, weight);
}

TWeightSums TCustomPlayListBox::SelectedWeights() const {
    TWeightSums sums;
    if (!Handle() || !params_.MultiSelect) return sums;
    const LRESULT count = Native(LB_GETSELCOUNT);
    if (count <= 0) return sums;
    std::vector<int> rows(static_cast<std::size_t>(count));
    const LRESULT got = Native(LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
    for (LRESULT k = 0; k < got; ++k)
        if (rows_.ValidIndex(rows[static_cast<std::size_t>(k)])) sums.Add(rows_.Weight(rows[static_cast<std::size_t>(k)]), 1);
    return sums;
}
