// The playlist list control under Wine: its canvas, its window and style, the
// rules of the rows it keeps, its text for other programs, and its size.
#include "ListBoxFixture.h"

// Set by a test to make the native list refuse to grow, as when memory runs out.
bool g_refuseGrowth = false;
bool NativeListRefusesGrowth() { return g_refuseGrowth; }

namespace {

// ---------------------------------------------------------------- canvas

TEST(ListCanvas, BindingSetsFontBrushAndColoursAndRestoresTheContext) {
    TMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    TFont font(CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    HGDIOBJ oldBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    HGDIOBJ oldFont = GetCurrentObject(dc.get(), OBJ_FONT);
    SetTextColor(dc.get(), RGB(1, 2, 3));
    TListCanvas canvas;
    EXPECT_FALSE(canvas.Bound());
    {
        TCanvasBinding bind(canvas, dc.get(), font.get(), static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
        EXPECT_EQ(canvas.Handle(), dc.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
        EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT) << "a hollow brush paints no text background";
        EXPECT_EQ(GetTextColor(dc.get()), GetSysColor(COLOR_WINDOWTEXT));
        canvas.SetBrushColor(RGB(10, 20, 30));
        canvas.SetBrushColor(RGB(40, 50, 60));  // replaces its own brush without leaking it
        EXPECT_EQ(GetBkMode(dc.get()), OPAQUE);
        EXPECT_EQ(GetBkColor(dc.get()), RGB(40, 50, 60));
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), canvas.Brush());
        canvas.SetFontColor(RGB(200, 0, 0));
        EXPECT_EQ(GetTextColor(dc.get()), RGB(200, 0, 0));
    }
    EXPECT_FALSE(canvas.Bound());
    EXPECT_EQ(canvas.Brush(), nullptr);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), oldBrush);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), oldFont);
    EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
}

// ---------------------------------------------------------------- window and style

TEST_F(ListBoxTest, NativeWindowIsAnOwnerDrawnNoDataSuperclass) {
    wchar_t cls[64] = {};
    GetClassNameW(list->Handle(), cls, 64);
    EXPECT_STREQ(cls, L"TPlayListBox");
    const LONG_PTR style = GetWindowLongPtrW(list->Handle(), GWL_STYLE);
    EXPECT_EQ(style & (LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS),
              LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS);
    EXPECT_EQ(style & (WS_BORDER | LBS_SORT), 0);
    EXPECT_EQ(GetWindowLongPtrW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_TRUE(IsWindowUnicode(list->Handle()));
    WNDCLASSEXW wc{sizeof(wc)};
    ASSERT_TRUE(GetClassInfoExW(ThisModule(), L"TPlayListBox", &wc));
    EXPECT_EQ(wc.style & (CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS | CS_PARENTDC), 0u);
    EXPECT_NE(wc.style & CS_DBLCLKS, 0u);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 16);
    RECT r{};
    GetWindowRect(list->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 121);
    EXPECT_EQ(r.bottom - r.top, 97);
}

TEST_F(ListBoxTest, ItemHeightColumnsAndTabWidthFollowTheirRules) {
    HWND first = list->Handle();
    list->SetItemHeight(0);
    list->SetItemHeight(-4);
    list->SetItemHeight(16);
    EXPECT_EQ(list->Handle(), first) << "ignored values keep the window";
    EXPECT_EQ(list->ItemHeight(), 16);

    list->SetColumns(2);
    HWND second = list->Handle();
    EXPECT_NE(second, first) << "0 -> 2 columns re-creates";
    EXPECT_NE(GetWindowLongPtrW(second, GWL_STYLE) & LBS_MULTICOLUMN, 0);
    list->SetColumns(3);
    EXPECT_EQ(list->Handle(), second) << "2 -> 3 keeps the window";
    EXPECT_EQ(list->Columns(), 3);

    list->SetTabWidth(-5);
    EXPECT_EQ(list->TabWidth(), 0);
    EXPECT_EQ(list->Handle(), second) << "-5 is 0, which it already was";
}

// ---------------------------------------------------------------- row store rules

TEST_F(ListBoxTest, RowsLiveInTheStoreAndTheNativeCountFollows) {
    list->Append(MakeRows(5));
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(list->Text(4), "row 4");
    EXPECT_EQ(list->Data(4), 1004u);
    list->Insert(0, {{"first", 7}});
    list->Delete(3);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(list->Text(0), "first");
    EXPECT_EQ(list->Text(3), "row 3");
    EXPECT_EQ(list->IndexOf("ROW 3"), 3);
    EXPECT_EQ(list->IndexOf("nothing"), -1);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, ExchangeAndPutTextClearTheMarksOfTheRowsTheyTouch) {
    list->Append(MakeRows(6));
    for (int i : {0, 1, 3, 5}) list->SetSelected(i, true);
    list->SetItemIndex(4);
    list->Exchange(1, 3);
    EXPECT_EQ(list->Text(1), "row 3");
    EXPECT_EQ(list->Data(1), 1003u);
    EXPECT_EQ(list->Text(3), "row 1");
    EXPECT_EQ(list->Data(3), 1001u);
    EXPECT_FALSE(list->IsSelected(1));
    EXPECT_FALSE(list->IsSelected(3));
    EXPECT_TRUE(list->IsSelected(0));
    EXPECT_TRUE(list->IsSelected(5));
    EXPECT_EQ(list->ItemIndex(), 4);

    list->SetText(5, "renamed");
    EXPECT_FALSE(list->IsSelected(5));
    EXPECT_EQ(list->Data(5), 1005u) << "the data word stays";
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(ListBoxTest, InsertDeleteMoveAndAppendShiftTheMarksWithTheirRows) {
    list->Append(MakeRows(5));  // row 0 .. row 4
    list->SetSelected(2, true);
    list->SetSelected(4, true);
    list->Insert(1, {{"new", 1}});  // row 2 -> 3, row 4 -> 5
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETANCHORINDEX, 0, 0), 5) << "the anchor stays on its row";
    EXPECT_TRUE(list->IsSelected(3));
    EXPECT_TRUE(list->IsSelected(5));
    EXPECT_FALSE(list->IsSelected(1));
    list->Delete(0);  // -> 2 and 4
    EXPECT_TRUE(list->IsSelected(2));
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_EQ(list->Text(2), "row 2");

    // [new, row 1, row 2*, row 3, row 4*] ; moving "new" to 3 shifts rows 1..3 up.
    list->SetSelected(0, true);
    list->Move(0, 3);
    EXPECT_EQ(list->Text(3), "new");
    EXPECT_FALSE(list->IsSelected(3)) << "the moved row comes back unselected";
    EXPECT_TRUE(list->IsSelected(1));
    EXPECT_EQ(list->Text(1), "row 2");
    EXPECT_TRUE(list->IsSelected(4));

    list->Append(MakeRows(3, "more "));
    EXPECT_TRUE(list->IsSelected(1)) << "appending keeps the marks already set";
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 8);

    // Out of memory in the native list: the store stays in step with it.
    g_refuseGrowth = true;
    const std::string insertError = ErrorOf([&] { list->Insert(2, MakeRows(3, "x")); });
    const std::string appendError = ErrorOf([&] { list->Append(MakeRows(2, "x")); });
    g_refuseGrowth = false;
    EXPECT_EQ(insertError, "行を挿入できません");
    EXPECT_EQ(appendError, "行を挿入できません");
    EXPECT_EQ(list->Count(), 8);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(list->Text(2), "row 3");
    EXPECT_TRUE(list->IsSelected(1));
    EXPECT_TRUE(list->IsSelected(4));
    EXPECT_EQ(list->SelCount(), 2);
    g_refuseGrowth = true;
    const std::string assignError = ErrorOf([&] { list->Assign(MakeRows(4)); });
    g_refuseGrowth = false;
    EXPECT_EQ(assignError, "行を挿入できません");
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, AssignReplacesEverythingUnderOneSuspension) {
    list->Append(MakeRows(30));
    list->SetSelected(20, true);
    ResetCounts();
    list->Assign(MakeRows(10, "fresh "));
    EXPECT_EQ(erases, 1) << "one repaint at the end";
    EXPECT_EQ(list->Count(), 10);
    EXPECT_EQ(list->Text(9), "fresh 9");
    EXPECT_EQ(list->SelCount(), 0);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 10);
}

TEST_F(ListBoxTest, SuspensionNestsAndRepaintsOnceAtTheLastResume) {
    list->Append(MakeRows(20));
    ResetCounts();
    list->BeginUpdate();
    list->BeginUpdate();
    list->Exchange(0, 1);
    list->Exchange(2, 3);
    list->Delete(5);
    InvalidateRect(list->Handle(), nullptr, TRUE);  // even a foreign invalidation paints nothing
    Flush();
    list->EndUpdate();
    Flush();
    EXPECT_EQ(erases, 0);
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(list->UpdateCount(), 1);
    list->EndUpdate();
    EXPECT_EQ(erases, 1) << "the last resume repaints at once";
    std::set<int> rows(drawn.begin(), drawn.end());
    for (int i = 0; i < VisibleRows(); ++i) EXPECT_TRUE(rows.count(i)) << "row " << i;
    list->EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(list->UpdateCount(), 0);
}

TEST_F(ListBoxTest, RecreationKeepsRowsDataTopRowAndCaretButNotMarks) {
    list->Append(MakeRows(40));
    list->SetTopIndex(5);
    list->SetSelected(8, true);
    list->SetSelected(9, true);
    list->SetItemIndex(8);
    ASSERT_EQ(list->TopIndex(), 5);
    HWND before = list->Handle();
    list->SetItemHeight(20);
    EXPECT_NE(list->Handle(), before);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(list->Count(), 40);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 40);
    EXPECT_EQ(list->Text(39), "row 39");
    EXPECT_EQ(list->Data(39), 1039u);
    EXPECT_EQ(list->TopIndex(), 5);
    EXPECT_EQ(list->ItemIndex(), 8);
    EXPECT_EQ(list->SelCount(), 0);
}

TEST_F(ListBoxTest, ErrorsNameTheIndexAskedFor) {
    list->Append(MakeRows(3));
    EXPECT_EQ(ErrorOf([&] { (void)list->Text(3); }), kIndexError + "(3)");
    EXPECT_EQ(ErrorOf([&] { (void)list->Data(-1); }), kIndexError + "(-1)");
    EXPECT_EQ(ErrorOf([&] { (void)list->IsSelected(-5); }), kIndexError + "(-5)");
    EXPECT_EQ(ErrorOf([&] { list->SetSelected(7, true); }), kIndexError + "(7)");
    EXPECT_EQ(ErrorOf([&] { list->SetText(3, "x"); }), kIndexError + "(3)");
    EXPECT_EQ(ErrorOf([&] { list->Exchange(0, 9); }), kIndexError + "(9)");
    EXPECT_EQ(ErrorOf([&] { list->Insert(5, {{"x", 0}}); }), "行を挿入できません");
    EXPECT_EQ(ErrorOf([&] { list->Move(0, 3); }), "行を挿入できません");
    EXPECT_EQ(list->Count(), 3) << "a refused move loses no row";
    list->Delete(3);  // a bad delete is ignored
    EXPECT_EQ(list->Count(), 3);

    list->SetMultiSelect(false);
    EXPECT_EQ(ErrorOf([&] { list->SetSelected(0, true); }), kIndexError + "(0)")
        << "a single-selection list refuses the mark";
}

TEST_F(ListBoxTest, LongRowTextsAreCutTo4095CharactersAndReadersToldAtMost511) {
    list->Add(std::string(5000, 'x'), 1);
    list->Append({{std::string(4095, 'y'), 2}});
    EXPECT_EQ(list->Text(0).size(), 4095u);
    EXPECT_EQ(list->Text(1).size(), 4095u);
    list->SetText(1, std::string(9000, 'z'));
    EXPECT_EQ(list->Text(1), std::string(4095, 'z'));
    EXPECT_EQ(list->IndexOf(std::string(4095, 'z')), 1);

    // An ANSI reader's request passes through the system's own 512-character
    // buffer: more would overflow it (under Wine, a crash of the whole process).
    const LRESULT cap = static_cast<LRESULT>(TCustomPlayListBox::kMaxReaderText);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXTLEN, 1, 0), cap);
    std::vector<wchar_t> wbuf(4096 + 16, L'#');
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(wbuf.data())), cap);
    EXPECT_EQ(std::wstring(wbuf.data()), std::wstring(static_cast<size_t>(cap), L'z'));
    EXPECT_EQ(wbuf[static_cast<size_t>(cap) + 1], L'#') << "nothing written past the text";
    std::vector<char> abuf(4096 + 16, '#');
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(abuf.data())), cap);
    EXPECT_EQ(std::string(abuf.data()), std::string(static_cast<size_t>(cap), 'z'));
    list->SetText(0, std::string(cap, 'q'));
    EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(abuf.data())), cap);
}

TEST_F(ListBoxTest, HidingDuringSuspensionSticks) {
    list->Append(MakeRows(5));
    list->BeginUpdate();
    list->SetVisible(false);
    list->EndUpdate();
    EXPECT_FALSE(IsWindowVisible(list->Handle()));
    list->BeginUpdate();
    list->SetVisible(true);
    list->EndUpdate();
    EXPECT_TRUE(IsWindowVisible(list->Handle()));
}

TEST_F(ListBoxTest, FocusOnAnEmptyListKeepsTheBackground) {
    list->OnEraseBkgnd = [](TCustomPlayListBox& c, const RECT& r) {
        TBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(c.Canvas().Handle(), &r, green.get());
    };
    SetFocus(parent.Handle());
    list->Invalidate();
    Flush();
    SetFocus(list->Handle());
    Flush();
    TClientDc dc(list->Handle());
    auto allGreen = [&] {
        int other = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) other += GetPixel(dc.get(), x, y) != RGB(0, 255, 0);
        return other;
    };
    EXPECT_EQ(allGreen(), 0) << "no focus rectangle of the list's own";
    SetFocus(parent.Handle());
    Flush();
    EXPECT_EQ(allGreen(), 0);
}

// ---------------------------------------------------------------- text for other programs

TEST_F(ListBoxTest, ListMessagesForTextAreAnsweredFromTheStore) {
    // A last letter beyond ASCII in the code page of the run: "é" (one byte) or,
    // on a Japanese system, the full-width "ｅ" (two bytes).
    const bool japanese = GetACP() == 932;
    const char* const cafe = japanese ? "Caf\x82\x85" : "Caf\xe9";
    const char* const cafeUpper = japanese ? "caf\x82\x64" : "caf\xc9";
    // Rows are UTF-8; one the code page cannot hold goes to Unicode readers whole.
    list->Append({{"Alpha", 1}, {"beta", 2}, {AnsiToUtf8(cafe), 3}, {"beta", 4}, {"서울 🎵", 5}});
    HWND h = list->Handle();
    wchar_t w[64] = {};
    EXPECT_EQ(SendMessageW(h, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(w)), 4);
    EXPECT_STREQ(w, japanese ? L"Caf\uff45" : L"Caf\u00e9");
    EXPECT_GE(SendMessageW(h, LB_GETTEXTLEN, 2, 0), 4);
    char a[64] = {};
    EXPECT_EQ(SendMessageA(h, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(a)), 5);
    EXPECT_STREQ(a, "Alpha");
    EXPECT_EQ(SendMessageA(h, LB_GETTEXTLEN, 2, 0), static_cast<LRESULT>(lstrlenA(cafe)));
    EXPECT_EQ(SendMessageW(h, LB_GETTEXT, 4, reinterpret_cast<LPARAM>(w)), 5);
    EXPECT_STREQ(w, L"서울 🎵");
    EXPECT_GE(SendMessageW(h, LB_GETTEXTLEN, 4, 0), 5);
    EXPECT_EQ(SendMessageW(h, LB_GETTEXT, 5, reinterpret_cast<LPARAM>(w)), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_GETTEXTLEN, -1, 0), LB_ERR);

    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"BETA")), 1);
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, 1, reinterpret_cast<LPARAM>(L"beta")), 3) << "starts after start";
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, 3, reinterpret_cast<LPARAM>(L"beta")), 1) << "and wraps round";
    EXPECT_EQ(SendMessageA(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(cafeUpper)), 2);
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"bet")), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"\u4e00")), LB_ERR);

    // Rows change only through the store.
    EXPECT_EQ(SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"intruder")), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_DELETESTRING, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(h, LB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(list->Count(), 5);
}

// ---------------------------------------------------------------- size

TEST_F(ListBoxTest, HundredThousandRowsAssignAndEdit) {
    list->Assign(MakeRows(100000));
    EXPECT_EQ(list->Count(), 100000);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 100000);
    list->SetSelected(99999, true);
    EXPECT_GT(list->TopIndex(), 99000);
    list->BeginUpdate();
    for (int i = 0; i < 1000; ++i) list->Exchange(i, 99999 - i);
    list->EndUpdate();
    EXPECT_EQ(list->Text(0), "row 99999");
    EXPECT_EQ(list->Data(99999), 1000u);
    EXPECT_EQ(list->SelCount(), 0);
    list->Clear();
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 0);
}

}  // namespace
