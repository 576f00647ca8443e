// The row store and the selection of the list control: every change of the
// rows goes to the store first and then to the native list, which keeps only
// the count, the marks, the caret and the top row; and the answers other
// programs get when they read the rows.
#include "controls/CustomPlayListBox_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/Errors.h"
#include "base/Collation_win.h"
#include "base/Text_win.h"

namespace {

// The top row a fixed-height, single-column list shows after making row i
// wholly visible, as the native list does when it moves its caret there.
int TopRowShowing(int top, int i, int page, int count) {
    if (i <= top)
        top = i;
    else if (i >= top + page)
        top = i - page + 1;
    return std::clamp(top, 0, std::max(0, count - page));
}

}  // namespace

int TCustomPlayListBox::CompareRowTexts(const std::string& a, const std::string& b) {
    const int r = CompareUserTextUtf8(a, b);
    return r == -CSTR_EQUAL ? 0 : r;  // a failed comparison orders nothing
}

// ---------------------------------------------------------------- the row store

void TCustomPlayListBox::CheckRowIndex(int i) const {
    if (!rows_.ValidIndex(i)) throw EListError(i);
}

const std::string& TCustomPlayListBox::Text(int i) const {
    CheckRowIndex(i);
    return rows_.Text(i);
}

std::uintptr_t TCustomPlayListBox::Data(int i) const {
    CheckRowIndex(i);
    return rows_.Data(i);
}

void TCustomPlayListBox::ClearNativeMark(int i) {
    if (!Handle()) return;
    if (params_.MultiSelect)
        Native(LB_SETSEL, FALSE, i);
    else if (Native(LB_GETCURSEL) == i)
        Native(LB_SETCURSEL, static_cast<WPARAM>(-1));
}

void TCustomPlayListBox::SetText(int i, const std::string& text) {
    CheckRowIndex(i);
    // Like a string list that deletes and re-inserts the row: the row loses its
    // selection mark, and the item index is written back.
    const int itemIndex = Handle() ? ItemIndex() : -1;
    rows_.SetText(i, text);
    RowsChanged();
    ClearNativeMark(i);
    if (Handle()) SetItemIndex(itemIndex);
}

void TCustomPlayListBox::RetitleRow(int i, const std::string& text) {
    if (!rows_.ValidIndex(i)) return;
    rows_.SetText(i, text);
    if (updateCount_ == 0) InvalidateRow(i);
}

void TCustomPlayListBox::InvalidateRow(int i) {
    if (!Handle() || !rows_.ValidIndex(i)) return;
    RECT r{}, client{};
    // Only a row in view is invalidated: each call is a trip to the server under
    // Wine, even for a rectangle outside the client area.
    if (Native(LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
        GetClientRect(Handle(), &client) && IntersectRect(&client, &client, &r))
        InvalidateRect(Handle(), &r, TRUE);
}

void TCustomPlayListBox::SetData(int i, std::uintptr_t data) {
    if (!rows_.ValidIndex(i)) return;
    rows_.SetData(i, data);
    RowsChanged();
}

void TCustomPlayListBox::Exchange(int i, int j) {
    CheckRowIndex(i);
    CheckRowIndex(j);
    TUpdateGuard guard(*this);
    const int itemIndex = Handle() ? ItemIndex() : -1;
    rows_.Exchange(i, j);
    RowsChanged();
    ClearNativeMark(i);
    ClearNativeMark(j);
    if (Handle()) SetItemIndex(itemIndex);
}

void TCustomPlayListBox::Move(int from, int to) {
    if (from == to) return;
    FlushCaret();  // the native list moves its caret with the rows
    CheckRowIndex(from);
    if (!rows_.ValidIndex(to)) throw EInsertError();  // checked before anything moves: no row is lost
    TUpdateGuard guard(*this);
    rows_.Move(from, to);
    RowsChanged();
    if (Handle()) {
        // Deleting and re-inserting shifts the marks of the rows in between with
        // them; the moved row comes back unselected.
        Native(LB_DELETESTRING, static_cast<WPARAM>(from));
        Native(LB_INSERTSTRING, static_cast<WPARAM>(to), 0);
    }
}

bool TCustomPlayListBox::Reorder(const std::vector<int>& from, const std::vector<int>& marked) {
    FlushCaret();
    for (int i : marked)
        if (!rows_.ValidIndex(i)) return false;
    if (!Quiet(marked)) {
        TUpdateGuard guard(*this);
        const int top = TopIndex();
        if (!rows_.Reorder(from)) return false;
        RowsChanged();
        if (Handle()) {
            if (params_.MultiSelect)
                Native(LB_SETSEL, FALSE, -1);
            else
                Native(LB_SETCURSEL, static_cast<WPARAM>(-1));
        }
        for (int i : marked) SetSelected(i, true);
        SetTopIndex(top);
        return true;
    }
    // In view and with the same rows counted the scroll bar stays as it is:
    // resuming the list's redraw would repaint it, which costs Wine about 5 ms,
    // as much as everything else here at 100,000 rows. The marks change with
    // redraw on, the rows they touch are left to the one repaint at the end.
    const int top = static_cast<int>(Native(LB_GETTOPINDEX));
    if (!rows_.Reorder(from)) return false;
    {
        rowDrawsHeld_ = true;
        struct TRelease {
            bool& held;
            ~TRelease() { held = false; }
        } release{rowDrawsHeld_};
        Native(LB_SETSEL, FALSE, -1);
        for (std::size_t k = 0; k < marked.size();) {
            std::size_t end = k + 1;
            while (end < marked.size() && marked[end] == marked[end - 1] + 1) ++end;
            Native(LB_SELITEMRANGEEX, static_cast<WPARAM>(marked[k]), marked[end - 1]);
            k = end;
        }
        if (!marked.empty()) {
            Native(LB_SETANCHORINDEX, static_cast<WPARAM>(marked.back()));
            Native(LB_SETCARETINDEX, static_cast<WPARAM>(marked.back()), TRUE);  // in view: no scroll
        }
        if (Native(LB_GETTOPINDEX) != top) Native(LB_SETTOPINDEX, static_cast<WPARAM>(top));
    }
    InvalidateRect(Handle(), nullptr, TRUE);
    UpdateWindow(Handle());
    RowsChanged();
    return true;
}

bool TCustomPlayListBox::Quiet(const std::vector<int>& marked) const {
    if (!Handle() || !visible_ || updateCount_ > 0 || !params_.MultiSelect || params_.Columns != 0 ||
        params_.Style == TListBoxStyle::lbOwnerDrawVariable)
        return false;
    if (marked.empty()) return true;
    // The caret goes to the last marked row; the native list scrolls to it
    // unless it is wholly in view.
    RECT client{};
    GetClientRect(Handle(), &client);
    const int h = static_cast<int>(Native(LB_GETITEMHEIGHT, 0));
    const int page = h > 0 ? (client.bottom - client.top) / h : 0;
    const int top = static_cast<int>(Native(LB_GETTOPINDEX));
    return marked.back() >= top && marked.back() < top + page;
}

void TCustomPlayListBox::Delete(int i) {
    FlushCaret();
    if (!rows_.ValidIndex(i)) return;
    const int caret = ItemIndex(), top = TopIndex();
    rows_.Delete(i);
    RowsChanged();
    if (!Handle()) return;
    Native(LB_DELETESTRING, static_cast<WPARAM>(i));
    KeepCaretAndTop(caret - (i < caret ? 1 : 0), top - (i < top ? 1 : 0));
}

void TCustomPlayListBox::DeleteRange(int at, int n) {
    FlushCaret();
    if (n <= 0) return;
    if (at < 0 || at + n > Count()) throw EListError(at);
    const int caret = ItemIndex(), top = TopIndex();
    rows_.DeleteRange(at, n);
    RowsChanged();
    if (!Handle()) return;
    // From the last: rows at the end of the list move nothing when they go.
    for (int i = at + n - 1; i >= at; --i) Native(LB_DELETESTRING, static_cast<WPARAM>(i));
    const auto shifted = [&](int row) { return row >= at + n ? row - n : row >= at ? at : row; };
    KeepCaretAndTop(shifted(caret), shifted(top));
}

void TCustomPlayListBox::KeepCaretAndTop(int caret, int top) {
    // The caret and the top row stay on their rows when rows come or go before
    // them; not every native list moves them itself.
    const int n = Count();
    if (!Handle() || n == 0) return;
    caret = std::clamp(caret, 0, n - 1);
    top = std::clamp(top, 0, n - 1);
    const LRESULT before = Native(LB_GETTOPINDEX);
    if (params_.MultiSelect && Native(LB_GETCARETINDEX) != caret)
        Native(LB_SETCARETINDEX, static_cast<WPARAM>(caret), TRUE);
    if (Native(LB_GETTOPINDEX) != top) Native(LB_SETTOPINDEX, static_cast<WPARAM>(top));
    if (OnEraseBkgnd && Native(LB_GETTOPINDEX) != before) Invalidate();
}

void TCustomPlayListBox::DeleteRows(const std::vector<int>& rows) {
    if (rows.empty()) return;
    const int n = Count();
    int previous = -1;
    for (int r : rows) {
        if (r <= previous || r >= n) throw EListError(r);
        previous = r;
    }
    if (!Handle()) {
        rows_.DeleteRows(rows);
        RowsChanged();
        return;
    }
    FlushCaret();
    const int top = TopIndex();
    const int caret = ItemIndex();
    int topShift = 0, caretShift = 0;
    // The marks of the rows that stay, as runs [first, last] in the new numbering.
    std::vector<std::pair<int, int>> runs;
    std::size_t next = 0;
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        if (next < rows.size() && rows[next] == i) {
            ++next;
            if (i < top) ++topShift;
            if (i < caret) ++caretShift;
            continue;
        }
        if (Native(LB_GETSEL, static_cast<WPARAM>(i)) > 0) {
            if (!runs.empty() && runs.back().second == kept - 1)
                runs.back().second = kept;
            else
                runs.push_back({kept, kept});
        }
        ++kept;
    }

    TUpdateGuard guard(*this);
    rows_.DeleteRows(rows);
    RowsChanged();
    // Shrinking the no-data list keeps its first rows' marks; clear them all and
    // mark the runs again rather than deleting row by row (O(n) each).
    if (params_.MultiSelect)
        Native(LB_SETSEL, FALSE, -1);
    else
        Native(LB_SETCURSEL, static_cast<WPARAM>(-1));
    if (params_.Style != TListBoxStyle::lbOwnerDrawVariable && kept > 0) {
        Native(LB_SETCOUNT, static_cast<WPARAM>(kept));
    } else {
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) Native(LB_DELETESTRING, static_cast<WPARAM>(*it));
    }
    for (auto [first, last] : runs) {
        if (params_.MultiSelect)
            Native(LB_SELITEMRANGEEX, static_cast<WPARAM>(first), last);
        else
            Native(LB_SETCURSEL, static_cast<WPARAM>(first));
    }
    if (kept == 0) return;
    const auto clamp = [kept](int v) { return std::clamp(v, 0, kept - 1); };
    SetTopIndex(clamp(top - topShift));
    if (caret >= 0) SetItemIndex(clamp(caret - caretShift));
}

void TCustomPlayListBox::Clear() {
    FlushCaret();  // the native list moves its caret with the rows
    rows_.Clear();
    RowsChanged();
    if (Handle()) Native(LB_RESETCONTENT);
}

void TCustomPlayListBox::Assign(std::vector<TRow> rows) {
    FlushCaret();  // the native list moves its caret with the rows
    TUpdateGuard guard(*this);
    if (params_.Sorted)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TRow& a, const TRow& b) { return CompareRowTexts(a.Text, b.Text) < 0; });
    const int before = rows_.Count();
    rows_.Assign(std::move(rows));
    RowsChanged();
    if (Handle() && Count() == before && params_.Style != TListBoxStyle::lbOwnerDrawVariable) {
        // As many rows as before (a sort, say): the native list keeps its count,
        // so nothing has to grow and nothing can fail; it forgets its marks and
        // starts at the top as after a reset.
        Native(LB_SETSEL, FALSE, -1);
        Native(LB_SETTOPINDEX, 0);
        Native(LB_SETANCHORINDEX, 0);
        Native(LB_SETCARETINDEX, 0, FALSE);
        Invalidate();
        return;
    }
    if (Handle()) {
        Native(LB_RESETCONTENT);
        try {
            RefreshNativeCount();
        } catch (...) {
            // The native list cannot show them: keep the two in step, both empty.
            rows_.Clear();
            Native(LB_RESETCONTENT);
            throw;
        }
    }
}

void TCustomPlayListBox::Append(std::vector<TRow> rows) {
    if (rows.empty()) return;
    TUpdateGuard guard(*this);
    if (params_.Sorted) {
        for (TRow& r : rows) Add(r.Text, r.Data);
        return;
    }
    Insert(Count(), std::move(rows));
}

void TCustomPlayListBox::Insert(int at, std::vector<TRow> rows) {
    FlushCaret();  // the native list moves its caret with the rows
    if (at < 0 || at > Count()) throw EInsertError();
    if (rows.empty()) return;
    TUpdateGuard guard(*this);
    const int n = static_cast<int>(rows.size());
    const int oldCount = Count();
    const int caret = ItemIndex(), top = TopIndex();
    rows_.Insert(at, std::move(rows));
    RowsChanged();
    if (!Handle()) return;
    const bool ok = params_.Style != TListBoxStyle::lbOwnerDrawVariable ? GrowNativeAt(at, n, oldCount)
                                                                        : InsertNativeOneByOne(at, n);
    if (!ok) {
        // All or nothing: the native list is as it was, so the store must be too.
        rows_.DeleteRange(at, n);
        throw EInsertError();
    }
    if (oldCount > 0) KeepCaretAndTop(caret + (at <= caret ? n : 0), top + (at < top ? n : 0));
}

bool TCustomPlayListBox::GrowNativeAt(int at, int n, int oldCount) {
    // Rows inserted one by one cost a shift of the whole mark array each; grow
    // the count once (the marks stay on their indices) and move only the marks
    // at or after the insertion point.
    std::vector<int> moved;
    int anchor = -1;
    if (params_.MultiSelect && at < oldCount) {
        const int selected = static_cast<int>(Native(LB_GETSELCOUNT));
        if (selected > 0) {
            std::vector<int> all(static_cast<std::size_t>(selected));
            const int got = static_cast<int>(Native(LB_GETSELITEMS, static_cast<WPARAM>(selected),
                                                    reinterpret_cast<LPARAM>(all.data())));
            for (int k = 0; k < got; ++k)
                if (all[static_cast<std::size_t>(k)] >= at) moved.push_back(all[static_cast<std::size_t>(k)]);
        }
        anchor = static_cast<int>(Native(LB_GETANCHORINDEX));
    }
    const int cursel = params_.MultiSelect ? -1 : static_cast<int>(Native(LB_GETCURSEL));
    if (GrowthRefused() || Native(LB_SETCOUNT, static_cast<WPARAM>(oldCount + n)) < 0) return false;
    if (params_.MultiSelect) {
        std::sort(moved.begin(), moved.end());
        // Runs [first, last] of marked rows, old numbering.
        for (std::size_t k = 0; k < moved.size();) {
            std::size_t e = k;
            while (e + 1 < moved.size() && moved[e + 1] == moved[e] + 1) ++e;
            const int first = moved[k], last = moved[e];
            if (first == last)
                Native(LB_SETSEL, FALSE, first);
            else
                Native(LB_SELITEMRANGEEX, static_cast<WPARAM>(last), first);  // last > first: unmarks
            k = e + 1;
        }
        for (std::size_t k = 0; k < moved.size();) {
            std::size_t e = k;
            while (e + 1 < moved.size() && moved[e + 1] == moved[e] + 1) ++e;
            Native(LB_SELITEMRANGEEX, static_cast<WPARAM>(moved[k] + n), moved[e] + n);
            k = e + 1;
        }
        if (anchor >= at && anchor < oldCount) Native(LB_SETANCHORINDEX, static_cast<WPARAM>(anchor + n));
    } else if (cursel >= at) {
        Native(LB_SETCURSEL, static_cast<WPARAM>(cursel + n));
    }
    return true;
}

bool TCustomPlayListBox::InsertNativeOneByOne(int at, int n) {
    int inserted = 0;
    for (; inserted < n; ++inserted) {
        if (GrowthRefused() || Native(LB_INSERTSTRING, static_cast<WPARAM>(at + inserted), 0) < 0) break;
    }
    if (inserted == n) return true;
    for (int k = 0; k < inserted; ++k) Native(LB_DELETESTRING, static_cast<WPARAM>(at));
    return false;
}

int TCustomPlayListBox::Add(const std::string& text, std::uintptr_t data) {
    FlushCaret();  // the native list moves its caret with the rows
    const int caret = ItemIndex(), top = TopIndex();
    const int at = params_.Sorted ? rows_.SortedPosition(text, &CompareRowTexts) : Count();
    rows_.Insert(at, {TRow{text, data}});
    RowsChanged();
    if (Handle()) {
        const bool append = at == Count() - 1 && params_.Style != TListBoxStyle::lbOwnerDrawVariable;
        const LRESULT r = GrowthRefused() ? LB_ERRSPACE
                          : append             ? Native(LB_SETCOUNT, static_cast<WPARAM>(Count()))
                                               : Native(LB_INSERTSTRING, static_cast<WPARAM>(at), 0);
        if (r < 0) {
            rows_.Delete(at);
            throw EInsertError();
        }
        if (Count() > 1) KeepCaretAndTop(caret + (at <= caret ? 1 : 0), top + (at < top ? 1 : 0));
    }
    return at;
}

bool TCustomPlayListBox::SameText(const std::string& a, const std::string& b) const {
    return CompareUserTextUtf8(a, b) == 0;
}

int TCustomPlayListBox::IndexOf(const std::string& text) const {
    return rows_.Find(0, [&](const std::string& row) { return SameText(row, text); });
}

// ---------------------------------------------------------------- selection and position

bool TCustomPlayListBox::IsSelected(int i) const {
    if (!Handle() && parent_) const_cast<TCustomPlayListBox*>(this)->HandleNeeded();
    const LRESULT r = Native(LB_GETSEL, static_cast<WPARAM>(i));
    if (r == LB_ERR) throw EListError(i);
    return r > 0;
}

void TCustomPlayListBox::SetSelected(int i, bool on) {
    HandleNeeded();
    // A single-selection list refuses row marks (some list implementations take them anyway).
    if (!params_.MultiSelect) throw EListError(i);
    if (on && CanDeferCaret()) {
        if (!rows_.ValidIndex(i)) throw EListError(i);
        if (pendingCaret_ < 0) {
            simTop_ = static_cast<int>(Native(LB_GETTOPINDEX));
            RECT client{};
            GetClientRect(Handle(), &client);
            const int h = static_cast<int>(Native(LB_GETITEMHEIGHT, 0));
            simPage_ = h > 0 ? std::max<int>(1, (client.bottom - client.top) / h) : 1;
        }
        Native(LB_SELITEMRANGEEX, static_cast<WPARAM>(i), i);  // the mark alone: no caret move, no scroll
        pendingCaret_ = i;
        simTop_ = TopRowShowing(simTop_, i, simPage_, Count());
        // Hidden or suspended, the list repaints whole when shown or resumed; a
        // repaint request per row would only cost a trip to the window system.
        if (OnSelectionChanged) OnSelectionChanged(*this);
        return;
    }
    LRESULT r = 0;
    WithTopRowRule([&] { r = Native(LB_SETSEL, on ? TRUE : FALSE, i); });
    if (r == LB_ERR) throw EListError(i);
    if (OnSelectionChanged) OnSelectionChanged(*this);
}

bool TCustomPlayListBox::CanDeferCaret() const {
    return Handle() && params_.MultiSelect && params_.Columns == 0 &&
           params_.Style != TListBoxStyle::lbOwnerDrawVariable && (updateCount_ > 0 || !visible_);
}

void TCustomPlayListBox::FlushCaret() {
    if (pendingCaret_ < 0) return;
    const int caret = pendingCaret_;
    pendingCaret_ = -1;
    if (!Handle()) return;
    if (Native(LB_GETTOPINDEX) != simTop_) Native(LB_SETTOPINDEX, static_cast<WPARAM>(simTop_));
    Native(LB_SETANCHORINDEX, static_cast<WPARAM>(caret));
    Native(LB_SETCARETINDEX, static_cast<WPARAM>(caret), TRUE);  // already in sight: no scroll
}

int TCustomPlayListBox::SelCount() const {
    if (!Handle()) return 0;
    return static_cast<int>(Native(LB_GETSELCOUNT));
}

int TCustomPlayListBox::TopIndex() const {
    if (!Handle()) return haveSaved_ ? savedTopIndex_ : 0;
    if (pendingCaret_ >= 0) return simTop_;
    return static_cast<int>(Native(LB_GETTOPINDEX));
}

void TCustomPlayListBox::SetTopIndex(int i) {
    HandleNeeded();
    FlushCaret();
    if (Native(LB_GETTOPINDEX) != i) Native(LB_SETTOPINDEX, static_cast<WPARAM>(i));
}

int TCustomPlayListBox::ItemIndex() const {
    if (!Handle()) return haveSaved_ ? savedItemIndex_ : -1;
    if (pendingCaret_ >= 0) return pendingCaret_;
    return static_cast<int>(params_.MultiSelect ? Native(LB_GETCARETINDEX) : Native(LB_GETCURSEL));
}

void TCustomPlayListBox::SetItemIndex(int i) {
    HandleNeeded();
    if (ItemIndex() == i) return;
    FlushCaret();
    WithTopRowRule([&] {
        if (params_.MultiSelect)
            Native(LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
        else
            Native(LB_SETCURSEL, static_cast<WPARAM>(i));
    });
}

void TCustomPlayListBox::BeginUpdate() {
    if (updateCount_++ == 0 && Handle()) Native(WM_SETREDRAW, FALSE);
}

void TCustomPlayListBox::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0 && Handle()) {
        FlushCaret();
        Native(WM_SETREDRAW, TRUE);
        InvalidateRect(Handle(), nullptr, TRUE);
        UpdateWindow(Handle());
    }
    if (updateCount_ == 0 && rowsChangedPending_) {
        rowsChangedPending_ = false;
        if (OnRowsChanged) OnRowsChanged(*this);
    }
}

void TCustomPlayListBox::RowsChanged() {
    ++revision_;
    if (updateCount_ > 0)
        rowsChangedPending_ = true;  // once, when the updates resume
    else if (OnRowsChanged)
        OnRowsChanged(*this);
}

// ---------------------------------------------------------------- answers from the store

LRESULT TCustomPlayListBox::AnswerGetText(int i, wchar_t* buffer) const {
    if (!rows_.ValidIndex(i) || !buffer) return LB_ERR;
    return CopyReaderText(ReaderText(rows_.Text(i)), buffer);
}

LRESULT TCustomPlayListBox::AnswerGetTextLength(int i) const {
    if (!rows_.ValidIndex(i)) return LB_ERR;
    return ReaderTextLength(ReaderText(rows_.Text(i)));
}

LRESULT TCustomPlayListBox::AnswerFindExact(int start, const wchar_t* text) const {
    if (!text) return LB_ERR;
    const std::string wanted = WideToUtf8(text);
    const int from = start < 0 ? 0 : start + 1;  // the search begins after start and wraps round
    const int found = rows_.Find(from, [&](const std::string& row) { return SameText(row, wanted); });
    return found < 0 ? LB_ERR : found;
}
