#include "controls/ListBoxParams.h"
#include "controls/RowList.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::string> Texts(const TRowList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Text(i));
    return out;
}

TRowList Letters(const std::string& letters) {
    TRowList list;
    std::vector<TRow> rows;
    for (char c : letters) rows.push_back({std::string(1, c), static_cast<std::uintptr_t>(c)});
    list.Assign(std::move(rows));
    return list;
}

TEST(RowText, CutsOnlyPastTheLimitAndNeverSplitsACharacter) {
    EXPECT_EQ(ClipRowText("abc", 3), "abc");
    EXPECT_EQ(ClipRowText("abcd", 3), "abc");
    // "a", "é" (2 bytes), "東" (3 bytes), an emoji (4 bytes): 10 bytes.
    const std::string text = "a\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x8E\xB5";
    EXPECT_EQ(ClipRowText(text, 2), "a");
    EXPECT_EQ(ClipRowText(text, 5), "a\xC3\xA9");
    EXPECT_EQ(ClipRowText(text, 6), "a\xC3\xA9\xE6\x9D\xB1");
    EXPECT_EQ(ClipRowText(text, 9), "a\xC3\xA9\xE6\x9D\xB1");
    EXPECT_EQ(ClipRowText(text, 10), text);
}

TEST(RowText, StoreKeepsAtMost4095Bytes) {
    TRowList list;
    std::string longText(kMaxRowTextLength - 1, 'x');
    longText += "\xC3\xA9tail";  // a two-byte character across the limit
    list.Insert(0, {{longText, 1}, {std::string(kMaxRowTextLength, 'y'), 2}});
    EXPECT_EQ(list.Text(0), std::string(kMaxRowTextLength - 1, 'x'));
    EXPECT_EQ(list.Text(1).size(), kMaxRowTextLength);
    list.SetText(1, std::string(10000, 'z'));
    EXPECT_EQ(list.Text(1).size(), kMaxRowTextLength);
    list.Assign({{std::string(5000, 'q'), 3}});
    EXPECT_EQ(list.Text(0).size(), kMaxRowTextLength);
}

TEST(RowList, ExchangeMoveInsertAndDeleteKeepTextsWithTheirData) {
    TRowList list = Letters("abcde");
    list.Exchange(0, 4);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"e", "b", "c", "d", "a"}));
    EXPECT_EQ(list.Data(0), static_cast<std::uintptr_t>('e'));
    list.Exchange(2, 2);
    EXPECT_EQ(list.Text(2), "c");

    list.Move(0, 3);  // forward: the rows between move up
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"b", "c", "d", "e", "a"}));
    list.Move(4, 1);  // backward: the rows between move down
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"b", "a", "c", "d", "e"}));
    EXPECT_EQ(list.Data(1), static_cast<std::uintptr_t>('a'));

    list.Insert(5, {{"z", 26}});
    list.Insert(0, {{"x", 24}, {"y", 25}});
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"x", "y", "b", "a", "c", "d", "e", "z"}));
    list.DeleteRange(1, 3);
    list.Delete(0);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"c", "d", "e", "z"}));
    EXPECT_FALSE(list.ValidIndex(4));
    EXPECT_FALSE(list.ValidIndex(-1));
}

TEST(RowList, DeleteRowsRemovesManyInOnePass) {
    TRowList list = Letters("abcdefg");
    list.DeleteRows({0, 2, 3, 6});
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"b", "e", "f"}));
    EXPECT_EQ(list.Data(1), static_cast<std::uintptr_t>('e'));
    list.DeleteRows({});
    EXPECT_EQ(list.Count(), 3);
    list.DeleteRows({0, 1, 2});
    EXPECT_EQ(list.Count(), 0);
}

TEST(RowList, ReorderTakesEveryRowOnceOrNothingMoves) {
    TRowList list = Letters("abcd");
    EXPECT_FALSE(list.Reorder({3, 2, 2, 0})) << "a row twice";
    EXPECT_FALSE(list.Reorder({1, 0, 2})) << "a row missing";
    EXPECT_FALSE(list.Reorder({0, 1, 2, 4}));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(list.Reorder({3, 0, 2, 1}));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"d", "a", "c", "b"}));
    EXPECT_EQ(list.Data(0), static_cast<std::uintptr_t>('d'));
}

TEST(RowList, SortedPositionGoesAfterEqualRows) {
    TRowList list = Letters("bdd");
    auto cmp = [](const std::string& a, const std::string& b) { return a.compare(b); };
    EXPECT_EQ(list.SortedPosition("a", cmp), 0);
    EXPECT_EQ(list.SortedPosition("d", cmp), 3);
    EXPECT_EQ(list.SortedPosition("c", cmp), 1);
    EXPECT_EQ(list.SortedPosition("z", cmp), 3);
}

TEST(RowList, FindStartsWhereAskedAndWrapsRound) {
    TRowList list = Letters("abab");
    auto isB = [](const std::string& t) { return t == "b"; };
    EXPECT_EQ(list.Find(0, isB), 1);
    EXPECT_EQ(list.Find(2, isB), 3);
    EXPECT_EQ(list.Find(4, isB), 1) << "out of range starts at the top";
    EXPECT_EQ(list.Find(0, [](const std::string& t) { return t == "c"; }), -1);
    EXPECT_EQ(TRowList().Find(0, isB), -1);
}

TEST(ListBoxStyle, PlaylistConfigurationGivesTheDocumentedStyle) {
    TListBoxParams p;
    p.BorderStyle = TBorderStyle::bsNone;
    p.Style = TListBoxStyle::lbOwnerDrawFixed;
    p.MultiSelect = true;
    p.IntegralHeight = false;
    const TWindowStyle ws = ListBoxWindowStyle(p);
    EXPECT_EQ(ws.Style, 0x44310951u);
    EXPECT_EQ(ws.ExStyle, 0u);
    // What the native window is made with: no strings held, no data, fixed rows.
    EXPECT_EQ(NativeListStyle(ws.Style, p.Style), (0x44310951u & ~lbbits::kHasStrings) | lbbits::kNoData);
}

TEST(ListBoxStyle, EachPropertyAddsItsBits) {
    TListBoxParams p;  // defaults: standard, single border, 3D look
    TWindowStyle ws = ListBoxWindowStyle(p);
    EXPECT_EQ(ws.Style, 0x44000000u | 0x10000u | 0x00300041u | lbbits::kNoIntegralHeight);
    EXPECT_EQ(ws.ExStyle, lbbits::kExClientEdge);
    EXPECT_EQ(ListBoxWindowStyle(p, false).Style & lbbits::kBorder, lbbits::kBorder) << "no 3D look: a plain border";
    p.Ctl3D = false;
    EXPECT_EQ(ListBoxWindowStyle(p).ExStyle, 0u);

    p.MultiSelect = true;
    p.ExtendedSelect = false;
    p.Sorted = true;
    p.IntegralHeight = true;
    p.Columns = 2;
    p.TabWidth = 8;
    p.Enabled = false;
    p.TabStop = false;
    p.Style = TListBoxStyle::lbOwnerDrawVariable;
    ws = ListBoxWindowStyle(p);
    EXPECT_NE(ws.Style & lbbits::kMultipleSel, 0u);
    EXPECT_EQ(ws.Style & lbbits::kExtendedSel, 0u);
    EXPECT_NE(ws.Style & lbbits::kSort, 0u);
    EXPECT_EQ(ws.Style & lbbits::kNoIntegralHeight, 0u);
    EXPECT_NE(ws.Style & lbbits::kMultiColumn, 0u);
    EXPECT_NE(ws.Style & lbbits::kUseTabStops, 0u);
    EXPECT_NE(ws.Style & lbbits::kDisabled, 0u);
    EXPECT_EQ(ws.Style & lbbits::kTabStop, 0u);
    EXPECT_NE(ws.Style & lbbits::kOwnerDrawVariable, 0u);
    const std::uint32_t native = NativeListStyle(ws.Style, p.Style);
    EXPECT_EQ(native & (lbbits::kNoData | lbbits::kSort | lbbits::kHasStrings | lbbits::kOwnerDrawFixed), 0u)
        << "measured rows cannot be a no-data list";
    EXPECT_NE(native & lbbits::kOwnerDrawVariable, 0u);
    EXPECT_NE(NativeListStyle(ListBoxWindowStyle(TListBoxParams{}).Style, TListBoxStyle::lbStandard) &
                  lbbits::kOwnerDrawFixed,
              0u)
        << "plain rows are drawn by the control";
}

TEST(ListBoxGeometry, ColumnWidthAndBackgroundRectangle) {
    EXPECT_EQ(ListColumnWidth(121, 2), 60);  // (121 + 2 - 3) div 2
    EXPECT_EQ(ListColumnWidth(121, 3), 40);  // (121 + 3 - 3) div 3
    EXPECT_EQ(ListColumnWidth(121, 0), 0);
    EXPECT_EQ(ListColumnWidth(1, 1), 0) << "no width, nothing set";

    const TRectI row0{0, 0, 104, 16};
    EXPECT_EQ(EraseRectangle(row0, 97, 16, false, false), (TRectI{0, 0, 104, 97}));
    EXPECT_EQ(EraseRectangle(row0, 97, 16, true, false), (TRectI{0, 0, 104, 93}));
    EXPECT_EQ(EraseRectangle(row0, 97, 16, true, true), (TRectI{0, 0, 104, 80}));  // (97 - 4) div 16 = 5 rows
    EXPECT_EQ(EraseRectangle(row0, 97, 0, false, true), (TRectI{0, 0, 104, 0})) << "no height, no rows";
}

}  // namespace

// A row's weight is read from its data as it comes in and remembered: its
// data may be gone by the time the row goes.
TEST(RowWeights, SumsFollowEveryChangeWithoutReadingDataAgain) {
    static int weights[] = {-1, 185, 3600, 5};
    TRowList rows;
    rows.SetWeigh([](std::uintptr_t d) { return weights[d]; });
    rows.Assign({{"a", 1}, {"b", 0}});
    rows.Insert(1, {{"c", 2}, {"d", 3}});
    EXPECT_EQ(rows.Sums().Known, 3790);
    EXPECT_EQ(rows.Sums().Unknown, 1);
    weights[1] = 999;  // changed behind the list's back: the row keeps what it weighed
    rows.Delete(0);
    rows.SetWeight(rows.Count() - 1, 60);  // "b" told its length
    rows.SetData(1, 0);                    // "d" now holds an unknown one
    EXPECT_EQ(rows.Sums().Known, 3660);
    EXPECT_EQ(rows.Sums().Unknown, 1);
    rows.DeleteRows({0, 2});
    rows.DeleteRange(0, 1);
    EXPECT_EQ(rows.Sums().Known, 0);
    EXPECT_EQ(rows.Sums().Unknown, 0);
}
