// Moving the selected rows with the mouse. A press on a selected row (no Shift
// or Ctrl) waits: released without moving past the system's drag distance it is
// the ordinary click after all; moved further, it drags. While the button is
// held an inverted line shows the gap the rows will go into, and the list
// scrolls at its top and bottom edges; releasing inside the list hands the gap
// to OnDragMove. Esc, releasing outside, or losing the capture cancels. A press
// on an unselected row is left to the native list (its selection drag).
#include "controls/CustomPlayListBox_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr UINT kDragScrollMs = 60;
}  // namespace

int TCustomPlayListBox::RowHeightForDrag() const { return std::max(1, ItemHeight()); }

int TCustomPlayListBox::GapAt(int y) const {
    const int h = RowHeightForDrag();
    const int top = TopIndex();
    RECT client{};
    GetClientRect(Handle(), &client);
    const int visible = std::max(1, static_cast<int>(client.bottom) / h);
    y = std::clamp(y, 0, std::max(0, static_cast<int>(client.bottom) - 1));
    int gap = top + y / h + ((y % h) * 2 >= h ? 1 : 0);
    gap = std::min(gap, top + visible);
    return std::clamp(gap, 0, Count());
}

bool TCustomPlayListBox::DragButtonDown(WPARAM wp, LPARAM lp) {
    if (!OnDragMove || !params_.MultiSelect || params_.Style == TListBoxStyle::lbOwnerDrawVariable ||
        params_.Columns != 0 || (wp & (MK_SHIFT | MK_CONTROL)))
        return false;
    const int y = GET_Y_LPARAM(lp);
    RECT client{};
    GetClientRect(Handle(), &client);
    if (y < 0 || y >= client.bottom || GET_X_LPARAM(lp) < 0 || GET_X_LPARAM(lp) >= client.right) return false;
    const int row = TopIndex() + y / RowHeightForDrag();
    if (row >= Count() || !IsSelected(row)) return false;
    drag_ = TDragState{};
    drag_.Pending = true;
    drag_.Down = {GET_X_LPARAM(lp), y};
    drag_.DownKeys = wp;
    mouseDownTopIndex_ = TopIndex();
    if (GetFocus() != Handle()) SetFocus(Handle());
    SetCapture(Handle());
    return true;
}

void TCustomPlayListBox::DragMouseMove(WPARAM wp, LPARAM lp) {
    if (!(wp & MK_LBUTTON)) {  // the release went elsewhere
        CancelDrag();
        return;
    }
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (!drag_.Active) {
        if (std::abs(pt.x - drag_.Down.x) <= GetSystemMetrics(SM_CXDRAG) &&
            std::abs(pt.y - drag_.Down.y) <= GetSystemMetrics(SM_CYDRAG))
            return;
        drag_.Active = true;
        SetTimer(Handle(), kDragScrollTimer, kDragScrollMs, nullptr);
    }
    drag_.Last = pt;
    ScrollAtEdge(pt.y);
    ShowGap(GapAt(pt.y));
}

void TCustomPlayListBox::ScrollAtEdge(int y) {
    RECT client{};
    GetClientRect(Handle(), &client);
    const int h = RowHeightForDrag();
    const int top = TopIndex();
    int to = top;
    if (y < h / 2)
        to = top - 1;
    else if (y >= client.bottom - h / 2)
        to = top + 1;
    const int visible = std::max(1, static_cast<int>(client.bottom) / h);
    to = std::clamp(to, 0, std::max(0, Count() - visible));
    if (to == top) return;
    WithTopRowRule([&] { Native(LB_SETTOPINDEX, static_cast<WPARAM>(to)); });
    mouseDownTopIndex_ = TopIndex();
    UpdateWindow(Handle());
}

void TCustomPlayListBox::DragTimer() {
    if (!drag_.Active) {
        KillTimer(Handle(), kDragScrollTimer);
        return;
    }
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(Handle(), &pt);
    // Only while the pointer rests past an edge; inside, the moves do it.
    ScrollAtEdge(pt.y);
    ShowGap(GapAt(pt.y));
}

void TCustomPlayListBox::DragButtonUp(WPARAM wp, LPARAM lp) {
    const TDragState state = drag_;
    EndDragState();
    if (!state.Active) {
        // No drag after all: the ordinary click, as the native list makes it.
        DefaultHandling(WM_LBUTTONDOWN, state.DownKeys, MAKELPARAM(state.Down.x, state.Down.y));
        if (Handle()) mouseDownTopIndex_ = static_cast<int>(Native(LB_GETTOPINDEX));
        DefaultHandling(WM_LBUTTONUP, wp, lp);
        return;
    }
    RECT client{};
    GetClientRect(Handle(), &client);
    const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (!PtInRect(&client, pt)) return;  // released outside: nothing moves
    const int gap = GapAt(pt.y);
    if (OnDragMove) OnDragMove(*this, gap);
}

void TCustomPlayListBox::CancelDrag() { EndDragState(); }

void TCustomPlayListBox::EndDragState() {
    const bool had = drag_.Pending;
    const int gap = drag_.Gap;
    drag_ = TDragState{};
    if (!had || !Handle()) return;
    KillTimer(Handle(), kDragScrollTimer);
    if (GetCapture() == Handle()) ReleaseCapture();
    InvalidateGap(gap);
}

void TCustomPlayListBox::InvalidateGap(int gap) {
    if (gap < 0 || !Handle()) return;
    for (int row : {gap - 1, gap}) {
        if (row < 0 || row >= Count()) continue;
        RECT r{};
        if (Native(LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
            InvalidateRect(Handle(), &r, TRUE);
    }
}

void TCustomPlayListBox::ShowGap(int gap) {
    if (gap == drag_.Gap) return;
    InvalidateGap(drag_.Gap);
    drag_.Gap = gap;
    InvalidateGap(gap);
    UpdateWindow(Handle());
}

void TCustomPlayListBox::DrawGapLine(int index, const RECT& rect, HDC dc) const {
    if (!drag_.Active || drag_.Gap < 0) return;
    // The line sits on the top edge of the row after the gap, or on the bottom
    // edge of the last row for the end of the list.
    if (drag_.Gap == index)
        PatBlt(dc, rect.left, rect.top, rect.right - rect.left, 2, DSTINVERT);
    else if (drag_.Gap == index + 1 && index == Count() - 1)
        PatBlt(dc, rect.left, rect.bottom - 2, rect.right - rect.left, 2, DSTINVERT);
}
