// The playlist list control's events (keys, clicks, typed characters), its other
// configurations, and marking or deleting rows in bulk.
#include "ListBoxFixture.h"

namespace {

// ---------------------------------------------------------------- events

TEST_F(ListBoxTest, KeyEventsSeeTheShiftStateAndMayConsumeTheKey) {
    list->Append(MakeRows(10));
    SetFocus(list->Handle());
    list->SetItemIndex(2);
    std::vector<std::pair<WORD, unsigned>> downs, ups;
    list->OnKeyDown = [&](TCustomPlayListBox&, WORD& key, unsigned shift) {
        downs.push_back({key, shift});
        if (key == VK_DOWN && (shift & ssCtrl)) key = 0;
    };
    list->OnKeyUp = [&](TCustomPlayListBox&, WORD& key, unsigned shift) { ups.push_back({key, shift}); };
    SetKeys({VK_CONTROL});
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(list->ItemIndex(), 2) << "consumed: the native list never saw it";
    SetKeys({VK_SHIFT});
    SendMessageW(list->Handle(), WM_KEYUP, 'Z', 0xC0000001);
    SetKeys({});
    SendMessageW(list->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(list->ItemIndex(), 3);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0], std::make_pair(WORD(VK_DOWN), unsigned(ssCtrl)));
    EXPECT_EQ(downs[1], std::make_pair(WORD(VK_DOWN), 0u));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0], std::make_pair(WORD('Z'), unsigned(ssShift)));
}

TEST_F(ListBoxTest, ClickAndDoubleClickComeBackThroughTheParent) {
    list->Append(MakeRows(10));
    int clicks = 0, doubles = 0;
    list->OnClick = [&](TCustomPlayListBox&) { ++clicks; };
    list->OnDblClick = [&](TCustomPlayListBox&) { ++doubles; };
    SetFocus(list->Handle());
    list->SetItemIndex(0);
    Key(VK_DOWN);
    EXPECT_GE(clicks, 1);
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    SendMessageW(list->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(list->ItemIndex(), 0);
}

TEST_F(ListBoxTest, TypedCharacterGoesToTheNextRowStartingWithIt) {
    list->Append({{"apple", 0}, {"Banana", 0}, {"blueberry", 0}, {"cherry", 0}});
    list->Append(MakeRows(30, "zz "));
    list->Append({{"yak", 0}});  // row 34, out of sight
    int clicks = 0;
    list->OnClick = [&](TCustomPlayListBox&) { ++clicks; };
    SetFocus(list->Handle());
    list->SetSelected(0, true);
    list->SetSelected(3, true);
    list->SetItemIndex(0);
    SendMessageW(list->Handle(), WM_CHAR, L'b', 1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_TRUE(list->IsSelected(1));
    SendMessageW(list->Handle(), WM_CHAR, L'B', 1);
    EXPECT_EQ(list->ItemIndex(), 2);
    SendMessageW(list->Handle(), WM_CHAR, L'b', 1);
    EXPECT_EQ(list->ItemIndex(), 1) << "wraps round";
    EXPECT_EQ(clicks, 3);
    SendMessageW(list->Handle(), WM_CHAR, L'q', 1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 3);

    ResetCounts();
    SendMessageW(list->Handle(), WM_CHAR, L'Z', 1);
    EXPECT_EQ(list->ItemIndex(), 4);
    Flush();
    EXPECT_EQ(wholeErases, 0) << "row 4 is in sight: no scroll";
    SendMessageW(list->Handle(), WM_CHAR, L'Y', 1);
    EXPECT_EQ(list->ItemIndex(), 34);
    Flush();
    EXPECT_NE(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1) << "a scroll repaints everything";
    ResetCounts();
    SendMessageW(list->Handle(), WM_CHAR, L'a', 1);
    Flush();
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1);
}

// The typed-character search answers once per distinct row start; it must find
// exactly the row that one locale comparison per row finds: kana of each width,
// kanji, Hangul, Greek, case and width variants of Latin letters, on any code page.
TEST_F(ListBoxTest, TypedCharacterFindsWhatTheLocaleComparisonFinds) {
    const std::vector<std::wstring> texts = {L"apple", L"Ａpple", L"ｱｲｳ", L"アイウ", L"あいう", L"表示",  L"ソニー",
                                             L"能力",  L"十字",   L"Apple", L"-dash", L"'quote", L"10",   L"ｶﾞ",
                                             L"ガ",    L"か",     L"表",    L"x",     L"서울",   L"Ωmega", L"ωmega"};
    std::vector<TRow> rows;
    for (const std::wstring& w : texts) rows.push_back({WideToUtf8(w), 0});
    list->Append(rows);
    SetFocus(list->Handle());
    for (wchar_t typed : {L'a', L'A', L'ａ', L'ｱ', L'ア', L'あ', L'表', L'ソ', L'能', L'1', L'-', L'\'', L'ｶ', L'か', L'x',
                          L'서', L'ω'}) {
        for (int caret : {0, 5, static_cast<int>(rows.size()) - 1}) {
            list->SetItemIndex(caret);
            int expected = caret;
            for (int k = 1; k <= list->Count(); ++k) {
                const std::wstring& row = texts[static_cast<std::size_t>((caret + k) % list->Count())];
                if (!row.empty() &&
                    CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, row.data(), 1, &typed, 1) == CSTR_EQUAL) {
                    expected = (caret + k) % list->Count();
                    break;
                }
            }
            SendMessageW(list->Handle(), WM_CHAR, typed, 1);
            EXPECT_EQ(list->ItemIndex(), expected) << "typed U+" << std::hex << int(typed) << " from row " << caret;
        }
    }
}

// ---------------------------------------------------------------- other configurations

TEST_F(ListBoxTest, SortedListAddsInOrderButInsertsWhereAsked) {
    list->Append({{"b", 2}, {"c", 3}});
    list->SetSorted(true);
    list->Append({{"a", 1}, {"D", 4}});
    EXPECT_EQ(list->Add("B", 5), 2) << "after the rows equal but for case";
    std::vector<std::string> texts;
    for (int i = 0; i < list->Count(); ++i) texts.push_back(list->Text(i));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "b", "B", "c", "D"}));
    EXPECT_EQ(list->Data(2), 5u);
    list->Insert(0, {{"zz", 9}});
    EXPECT_EQ(list->Text(0), "zz");
    list->Assign({{"y", 1}, {"X", 2}, {"w", 3}});
    EXPECT_EQ(list->Text(0), "w");
    EXPECT_EQ(list->Text(2), "y");
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 3);
}

TEST_F(ListBoxTest, MeasuredRowsAskTheOwnerForTheirHeight) {
    list->OnMeasureItem = [](TCustomPlayListBox&, int index, int& height) { height = 10 + index; };
    list->SetStyle(TListBoxStyle::lbOwnerDrawVariable);
    list->Append(MakeRows(4));
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, i, 0), 10 + i) << i;
    list->SetSelected(2, true);
    list->Exchange(2, 3);
    EXPECT_FALSE(list->IsSelected(2));
    EXPECT_EQ(list->Text(2), "row 3");
    wchar_t w[16] = {};
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXT, 3, reinterpret_cast<LPARAM>(w)), 5);
    EXPECT_STREQ(w, L"row 2");
}

TEST_F(ListBoxTest, PlainRowsAreDrawnByTheControlInTheSelectionColours) {
    list->OnDrawItem = nullptr;
    list->OnEraseBkgnd = nullptr;
    list->SetBackgroundBrush(nullptr);
    list->SetStyle(TListBoxStyle::lbStandard);
    list->Append({{"WWWWWWWW", 0}, {"WWWWWWWW", 0}, {"", 0}});
    list->SetSelected(1, true);
    list->SetItemIndex(2);
    list->Invalidate();
    Flush();
    const int h = list->ItemHeight();
    EXPECT_GT(h, 0);
    TClientDc dc(list->Handle());
    auto countPixels = [&](int row, COLORREF colour) {
        int n = 0;
        for (int y = row * h; y < (row + 1) * h; ++y)
            for (int x = 0; x < 80; ++x) n += GetPixel(dc.get(), x, y) == colour;
        return n;
    };
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), window = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    EXPECT_GT(countPixels(0, text), 10) << "row text in the window text colour";
    EXPECT_GT(countPixels(0, window), 10);
    EXPECT_GT(countPixels(1, highlight), 10) << "a selected row on the highlight colour";
    EXPECT_GT(countPixels(1, highlightText), 10);
    EXPECT_EQ(countPixels(2, text), 0) << "an empty row shows no text";
}

TEST_F(ListBoxTest, RowsAndPositionSurviveANewParentWindow) {
    list->Append(MakeRows(40));
    list->SetSelected(12, true);
    list->SetItemIndex(9);
    list->SetTopIndex(7);
    parent.List = nullptr;
    DestroyWindow(parent.Handle());
    EXPECT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->Count(), 40) << "the rows are ours, not the window's";
    EXPECT_EQ(list->TopIndex(), 7);

    TTestParent second;
    ASSERT_TRUE(second.Create());
    second.List = list.get();
    list->SetParentWindow(second.Handle());
    list->SetVisible(false);
    list->HandleNeeded();
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 40);
    EXPECT_EQ(list->TopIndex(), 7);
    EXPECT_EQ(list->ItemIndex(), 9);
    EXPECT_EQ(list->SelCount(), 0);
    list->SetSelected(3, true);  // works while hidden
    EXPECT_TRUE(list->IsSelected(3));
    list->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
    list.reset();  // before its parent goes
}

// ---------------------------------------------------------------- marking rows in bulk

// Marking rows while suspended or hidden leaves the caret move and scroll for
// later; what the owner reads back, and what the window shows afterwards, must
// be exactly what the native list does call by call.
class DeferredCaretTest : public ListBoxTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DeferredCaretTest, MatchesTheNativeListCallByCall) {
    const bool suspended = GetParam();
    const int n = 60;
    list->Append(MakeRows(n));
    HWND raw = CreateWindowExW(0, L"LISTBOX", L"",
                               WS_CHILD | WS_VSCROLL | LBS_NODATA | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL |
                                   LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                               130, 0, 121, 97, parent.Handle(), reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    SendMessageW(raw, LB_SETCOUNT, n, 0);
    SendMessageW(raw, LB_SETITEMHEIGHT, 0, 16);
    RECT a{}, b{};
    GetClientRect(raw, &a);
    GetClientRect(list->Handle(), &b);
    ASSERT_EQ(a.bottom, b.bottom);
    list->SetTopIndex(20);
    SendMessageW(raw, LB_SETTOPINDEX, 20, 0);

    if (suspended)
        list->BeginUpdate();
    else
        list->SetVisible(false);
    unsigned state = 7;
    auto next = [&](int m) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 8) % static_cast<unsigned>(m));
    };
    for (int step = 0; step < 150; ++step) {
        const int i = next(4) == 0 ? n - 1 - next(3) : next(n);  // the end rows now and then
        const bool on = next(3) != 0;
        list->SetSelected(i, on);
        SendMessageW(raw, LB_SETSEL, on, i);
        ASSERT_EQ(list->TopIndex(), SendMessageW(raw, LB_GETTOPINDEX, 0, 0)) << "step " << step << " row " << i;
        ASSERT_EQ(list->ItemIndex(), SendMessageW(raw, LB_GETCARETINDEX, 0, 0)) << "step " << step;
        if (step % 25 == 24) {  // an exchange in between, as the reorder commands do
            list->Exchange(i, (i + 1) % n);
            SendMessageW(raw, LB_SETSEL, FALSE, i);
            SendMessageW(raw, LB_SETSEL, FALSE, (i + 1) % n);
            ASSERT_EQ(list->TopIndex(), SendMessageW(raw, LB_GETTOPINDEX, 0, 0));
        }
    }
    if (suspended)
        list->EndUpdate();
    else
        list->SetVisible(true);
    HWND h = list->Handle();
    EXPECT_EQ(SendMessageW(h, LB_GETTOPINDEX, 0, 0), SendMessageW(raw, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(SendMessageW(h, LB_GETCARETINDEX, 0, 0), SendMessageW(raw, LB_GETCARETINDEX, 0, 0));
    EXPECT_EQ(SendMessageW(h, LB_GETANCHORINDEX, 0, 0), SendMessageW(raw, LB_GETANCHORINDEX, 0, 0));
    for (int i = 0; i < n; ++i) EXPECT_EQ(list->IsSelected(i), SendMessageW(raw, LB_GETSEL, i, 0) > 0) << i;
    DestroyWindow(raw);
}

INSTANTIATE_TEST_SUITE_P(SuspendedOrHidden, DeferredCaretTest, ::testing::Values(true, false));

TEST_F(ListBoxTest, DeferredCaretIsInPlaceBeforeRowsChangeOrMessagesArrive) {
    list->Append(MakeRows(40));
    list->BeginUpdate();
    list->SetSelected(30, true);
    EXPECT_EQ(list->ItemIndex(), 30);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCARETINDEX, 0, 0), 30) << "a message from outside sees it";
    list->SetSelected(35, true);
    list->Delete(0);  // the caret was in place before the native list dealt with the rows
    EXPECT_EQ(list->ItemIndex(), SendMessageW(list->Handle(), LB_GETCARETINDEX, 0, 0));
    EXPECT_NE(list->ItemIndex(), 30);
    list->SetSelected(2, true);
    list->SetTopIndex(10);
    EXPECT_EQ(list->TopIndex(), 10);
    EXPECT_EQ(list->ItemIndex(), 2);
    list->EndUpdate();
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCARETINDEX, 0, 0), 2);
    EXPECT_EQ(list->SelCount(), 3);
}

TEST_F(ListBoxTest, DeleteRowsMatchesTheGenericOneByOneResult) {
    TPlayListBox other(parent.Handle(), kListId + 1);
    other.SetBorderStyle(TBorderStyle::bsNone);
    other.SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    other.SetMultiSelect(true);
    other.SetBounds(130, 0, 121, 97);
    other.HandleNeeded();
    for (TPlayListBox* l : {list.get(), &other}) {
        l->Append(MakeRows(40));
        for (int i : {2, 3, 4, 5, 8, 25, 39}) l->SetSelected(i, true);
        l->SetItemIndex(20);
        l->SetTopIndex(12);
    }
    const std::vector<int> doomed{1, 4, 13, 30, 39};
    list->DeleteRows(doomed);
    other.IRowStore::DeleteRows(doomed);  // the generic fallback
    ASSERT_EQ(list->Count(), 35);
    ASSERT_EQ(other.Count(), 35);
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(list->Text(i), other.Text(i));
        EXPECT_EQ(list->Data(i), other.Data(i));
        EXPECT_EQ(list->IsSelected(i), other.IsSelected(i)) << i;
    }
    EXPECT_EQ(list->TopIndex(), other.TopIndex());
    EXPECT_EQ(list->ItemIndex(), other.ItemIndex());
    EXPECT_EQ(list->ItemIndex(), 17);  // 20 less the two rows deleted above it
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 35);

    EXPECT_EQ(ErrorOf([&] { list->DeleteRows({3, 3}); }), kIndexError + "(3)");
    EXPECT_EQ(ErrorOf([&] { list->DeleteRows({1, 35}); }), kIndexError + "(35)");
    EXPECT_EQ(list->Count(), 35) << "a bad list changes nothing";
    std::vector<int> all(35);
    for (int i = 0; i < 35; ++i) all[static_cast<size_t>(i)] = i;
    list->DeleteRows(all);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

}  // namespace
