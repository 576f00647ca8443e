// How the playlist list control paints: drawing requests, its background, and
// repainting everything exactly when the top row changes.
#include <map>

#include "ListBoxFixture.h"

namespace {

// ---------------------------------------------------------------- painting

TEST_F(ListBoxTest, DrawRequestsReadTheRowsFromTheStoreWithTheirState) {
    list->Append(MakeRows(10));
    list->SetSelected(1, true);
    ResetCounts();
    list->Invalidate();
    Flush();
    EXPECT_EQ(erases, 1);
    ASSERT_FALSE(drawn.empty());
    bool sawSelected = false;
    for (size_t k = 0; k < drawn.size(); ++k) {
        EXPECT_EQ((drawnStates[k] & ODS_SELECTED) != 0, drawn[k] == 1) << "row " << drawn[k];
        if (drawn[k] == 1) sawSelected = true;
    }
    EXPECT_TRUE(sawSelected);

    // The caret row is the focus row only while the list has the focus; a disabled list says so to every row.
    auto statesAfterPaint = [&] {
        ResetCounts();
        list->Invalidate();
        Flush();
        std::map<int, unsigned> states;
        for (size_t k = 0; k < drawn.size(); ++k) states[drawn[k]] |= drawnStates[k] & 0xFF;
        return states;
    };
    SetFocus(list->Handle());
    list->SetItemIndex(3);
    auto states = statesAfterPaint();
    EXPECT_EQ(states[3], unsigned(ODS_FOCUS));
    EXPECT_EQ(states[1], unsigned(ODS_SELECTED));
    EXPECT_EQ(states[2], 0u);
    SetFocus(parent.Handle());
    EXPECT_EQ(statesAfterPaint()[3], 0u);
    EnableWindow(list->Handle(), FALSE);
    states = statesAfterPaint();
    EXPECT_EQ(states[1], unsigned(ODS_SELECTED | ODS_DISABLED));
    EXPECT_EQ(states[2], unsigned(ODS_DISABLED));
    EnableWindow(list->Handle(), TRUE);
}

TEST_F(ListBoxTest, EmptyListBackgroundCoversRowWidthByControlHeight) {
    ResetCounts();
    SetFocus(list->Handle());
    list->Invalidate();
    Flush();
    EXPECT_EQ(erases, 1);
    RECT row0{};
    SendMessageW(list->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    EXPECT_EQ(lastEraseRect.left, 0);
    EXPECT_EQ(lastEraseRect.top, 0);
    EXPECT_EQ(lastEraseRect.right, row0.right - row0.left);
    EXPECT_GT(lastEraseRect.right, 0);
    EXPECT_EQ(lastEraseRect.bottom, 97);
    EXPECT_TRUE(drawn.empty()) << "the empty list's focus request is not a row";
}

TEST_F(ListBoxTest, EmptyListFocusRequestFillsOnlyWithoutBackgroundPainter) {
    TBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    list->SetBackgroundBrush(red.get());
    auto pixelAfterPaint = [&] {
        list->Invalidate();
        Flush();
        TClientDc dc(list->Handle());
        return GetPixel(dc.get(), 3, 3);
    };
    list->OnEraseBkgnd = [](TCustomPlayListBox& c, const RECT& r) {
        TBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(c.Canvas().Handle(), &r, green.get());
    };
    SetFocus(list->Handle());
    const int before = parent.FocusRequestsOfEmptyList;
    EXPECT_EQ(pixelAfterPaint(), RGB(0, 255, 0));
    const bool nativeAsksForFocusRow = parent.FocusRequestsOfEmptyList > before;
    list->OnEraseBkgnd = nullptr;
    COLORREF plain = pixelAfterPaint();
    if (nativeAsksForFocusRow) {
        EXPECT_EQ(plain, RGB(255, 0, 0));
    }
    list->SetBackgroundBrush(nullptr);
}

TEST_F(ListBoxTest, BackgroundStaysVisibleBehindAndBelowTheRows) {
    list->Append(MakeRows(3));
    list->SetSelected(1, true);
    SetFocus(list->Handle());
    list->OnDrawItem = [](TCustomPlayListBox&, int, const RECT&, unsigned) {};  // rows draw nothing
    list->OnEraseBkgnd = [](TCustomPlayListBox& c, const RECT& r) {
        TBrush green(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(c.Canvas().Handle(), &r, green.get());
    };
    list->Invalidate();
    Flush();
    TClientDc dc(list->Handle());
    for (int y : {3, 20, 40, 60, 90}) EXPECT_EQ(GetPixel(dc.get(), 5, y), RGB(0, 255, 0)) << "y " << y;
}

TEST_F(ListBoxTest, IntegralHeightBackgroundIsWholeRowsWithBorder) {
    list->SetBorderStyle(TBorderStyle::bsSingle);
    list->SetIntegralHeight(true);
    list->SetBounds(0, 0, 121, 97);
    list->Append(MakeRows(3));
    ResetCounts();
    list->Invalidate();
    Flush();
    EXPECT_EQ(erases, 1);
    RECT wr{};
    GetWindowRect(list->Handle(), &wr);
    EXPECT_EQ(lastEraseRect.bottom, ((wr.bottom - wr.top) - 4) / 16 * 16);
    EXPECT_NE(GetWindowLongPtrW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(ListBoxTest, PaintIntoAGivenContextDrawsTheVisibleRows) {
    list->Append(MakeRows(20));
    list->SetTopIndex(3);
    list->SetSelected(4, true);
    list->SetTopIndex(3);
    ResetCounts();
    TClientDc screen(list->Handle());
    TMemoryDc mem(CreateCompatibleDC(screen.get()));
    TBitmap bmp(CreateCompatibleBitmap(screen.get(), 121, 97));
    TSelectGuard sel(mem.get(), bmp.get());
    SendMessageW(list->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(mem.get()), 0);
    // Rows 3.. until 97 pixels are covered: ceil(97 / 16) = 7 rows, all with state 0.
    ASSERT_EQ(drawn.size(), 7u);
    for (size_t k = 0; k < drawn.size(); ++k) {
        EXPECT_EQ(drawn[k], 3 + static_cast<int>(k));
        EXPECT_EQ(drawnStates[k], 0u);
    }
    EXPECT_EQ(erases, 0);
}

// ---------------------------------------------------------------- the top-row rule

TEST_F(ListBoxTest, KeyThatScrollsRepaintsEverythingAndOneThatDoesNotDoesNot) {
    list->Append(MakeRows(30));
    SetFocus(list->Handle());
    list->SetItemIndex(0);
    ResetCounts();
    RECT update{}, client{};
    GetClientRect(list->Handle(), &client);
    Key(VK_DOWN);
    GetUpdateRect(list->Handle(), &update, FALSE);
    EXPECT_LT(update.bottom - update.top, client.bottom) << "only the rows the native list redraws";
    Flush();
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 0) << "no scroll, no whole repaint";

    const int lastVisible = VisibleRows() - 1;
    list->SetItemIndex(lastVisible);
    ASSERT_EQ(list->TopIndex(), 0);
    ResetCounts();
    Key(VK_DOWN);
    GetUpdateRect(list->Handle(), &update, FALSE);
    EXPECT_TRUE(EqualRect(&update, &client)) << "the whole control";
    Flush();
    EXPECT_EQ(list->TopIndex(), 1);
    EXPECT_EQ(wholeErases, 1) << "the top row moved: the whole background once";
    std::set<int> rows(drawn.begin(), drawn.end());
    for (int i = 1; i <= lastVisible + 1; ++i) EXPECT_TRUE(rows.count(i)) << "row " << i;
}

TEST_F(ListBoxTest, WithoutBackgroundPainterScrollingDoesNotInvalidateEverything) {
    list->Append(MakeRows(30));
    list->OnEraseBkgnd = nullptr;
    SetFocus(list->Handle());
    list->SetItemIndex(VisibleRows() - 1);
    Flush();
    Key(VK_DOWN);
    ASSERT_EQ(list->TopIndex(), 1);
    RECT update{}, client{};
    GetUpdateRect(list->Handle(), &update, FALSE);
    GetClientRect(list->Handle(), &client);
    EXPECT_LT(update.bottom - update.top, client.bottom - client.top) << "only what the native list scrolled in";
}

TEST_F(ListBoxTest, ProgrammaticSelectionScrollWheelAndScrollBarFollowTheRule) {
    list->Append(MakeRows(50));
    ResetCounts();
    list->SetSelected(2, true);  // visible: no scroll
    Flush();
    EXPECT_EQ(wholeErases, 0);
    list->SetSelected(40, true);  // the native list scrolls to it
    Flush();
    EXPECT_NE(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1);

    ResetCounts();
    const int top = list->TopIndex();
    SendMessageW(list->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    Flush();
    EXPECT_EQ(list->TopIndex(), top - 1);
    EXPECT_EQ(wholeErases, 1);
    ResetCounts();
    SendMessageW(list->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, top - 1), 0);  // where it already is
    SendMessageW(list->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
    Flush();
    EXPECT_EQ(list->TopIndex(), top - 1);
    EXPECT_EQ(wholeErases, 0);

    ResetCounts();
    SendMessageW(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(250, 250));
    Flush();
    EXPECT_GT(list->TopIndex(), top - 1);
    EXPECT_EQ(wholeErases, 1);

    ResetCounts();
    list->SetItemIndex(list->TopIndex() + 1);  // visible: no scroll
    Flush();
    EXPECT_EQ(wholeErases, 0);
    list->SetItemIndex(0);
    Flush();
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(wholeErases, 1);
}

TEST_F(ListBoxTest, DraggingRepaintsOncePerTopRowChange) {
    list->Append(MakeRows(50));
    Flush();
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    ResetCounts();
    // Stand in for the native auto-scroll between two mouse moves.
    SendMessageW(list->Handle(), LB_SETTOPINDEX, 3, 0);
    Flush();
    ResetCounts();
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 5));
    Flush();
    EXPECT_EQ(wholeErases, 1);
    ResetCounts();
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 6));
    Flush();
    EXPECT_EQ(wholeErases, 0) << "no further scroll";
    SendMessageW(list->Handle(), LB_SETTOPINDEX, 5, 0);
    Flush();
    ResetCounts();
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 6));
    Flush();
    EXPECT_EQ(wholeErases, 1) << "scrolled after the last move";
}

}  // namespace
