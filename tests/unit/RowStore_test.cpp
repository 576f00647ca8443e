// The row store's generic DeleteRows (used by stores that do not override it)
// against the in-memory store's own one-pass version.
#include "controls/RowStore.h"

#include "MemoryRowStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TFallbackStore : public TMemoryRowStore {
public:
    using TMemoryRowStore::TMemoryRowStore;
    void DeleteRows(const std::vector<int>& rows) override { IRowStore::DeleteRows(rows); }
};

std::vector<TRow> Rows(int n) {
    std::vector<TRow> rows;
    for (int i = 0; i < n; ++i) rows.push_back({"r" + std::to_string(i), static_cast<std::uintptr_t>(100 + i)});
    return rows;
}

struct TState {
    std::vector<std::string> Texts;
    std::vector<std::uintptr_t> Data;
    std::vector<int> Selected;
    int Top = 0;
    int Caret = 0;
    bool operator==(const TState&) const = default;
};

TState StateOf(const IRowStore& s) {
    TState st;
    for (int i = 0; i < s.Count(); ++i) {
        st.Texts.push_back(s.Text(i));
        st.Data.push_back(s.Data(i));
        if (s.IsSelected(i)) st.Selected.push_back(i);
    }
    st.Top = s.TopIndex();
    st.Caret = s.ItemIndex();
    return st;
}

void Prepare(TMemoryRowStore& s) {
    for (int i : {1, 4, 7, 9}) s.SetSelected(i, true);
    s.SetTopIndex(5);
    s.SetItemIndex(8);
}

TEST(RowStoreDeleteRows, FallbackMatchesDeletingOneByOne) {
    for (const std::vector<int>& doomed : std::vector<std::vector<int>>{{0, 4, 6}, {8, 9}, {0}, {1, 2, 3, 4, 5, 6, 7}}) {
        TFallbackStore fallback(Rows(10));
        TMemoryRowStore oneByOne(Rows(10));
        Prepare(fallback);
        Prepare(oneByOne);
        fallback.DeleteRows(doomed);
        for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) oneByOne.Delete(*it);
        EXPECT_EQ(StateOf(fallback), StateOf(oneByOne)) << "deleting " << doomed.size() << " rows from " << doomed[0];
        EXPECT_EQ(fallback.UpdateDepth, 0);
    }
}

TEST(RowStoreDeleteRows, FallbackEmptiesAndRejectsBadIndexesFirst) {
    TFallbackStore s(Rows(3));
    EXPECT_THROW(s.DeleteRows({0, 3}), EListError);
    EXPECT_THROW(s.DeleteRows({1, 1}), EListError);
    EXPECT_EQ(s.Count(), 3);
    s.DeleteRows({0, 1, 2});
    EXPECT_EQ(s.Count(), 0);
    s.DeleteRows({});
}

}  // namespace
