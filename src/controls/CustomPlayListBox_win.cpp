#include "controls/CustomPlayListBox_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/Errors.h"
#include "base/Text_win.h"

static_assert(lbbits::kNotify == LBS_NOTIFY && lbbits::kSort == LBS_SORT && lbbits::kMultipleSel == LBS_MULTIPLESEL);
static_assert(lbbits::kOwnerDrawFixed == LBS_OWNERDRAWFIXED && lbbits::kOwnerDrawVariable == LBS_OWNERDRAWVARIABLE);
static_assert(lbbits::kHasStrings == LBS_HASSTRINGS && lbbits::kUseTabStops == LBS_USETABSTOPS);
static_assert(lbbits::kNoIntegralHeight == LBS_NOINTEGRALHEIGHT && lbbits::kMultiColumn == LBS_MULTICOLUMN);
static_assert(lbbits::kExtendedSel == LBS_EXTENDEDSEL && lbbits::kNoData == LBS_NODATA);
static_assert(lbbits::kChild == WS_CHILD && lbbits::kClipSiblings == WS_CLIPSIBLINGS && lbbits::kDisabled == WS_DISABLED);
static_assert(lbbits::kTabStop == WS_TABSTOP && lbbits::kHScroll == WS_HSCROLL && lbbits::kVScroll == WS_VSCROLL);
static_assert(lbbits::kBorder == WS_BORDER && lbbits::kExClientEdge == WS_EX_CLIENTEDGE);

namespace {

// As for every control built on a system class: no shared or own DCs, not
// global, and no full repaint on every resize (the owner decides that).
constexpr UINT kRemovedClassStyles = CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;

bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

int CompareRowTexts(const std::string& a, const std::string& b) {
    int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()));
    return r == 0 ? 0 : r - CSTR_EQUAL;
}

// The top row a fixed-height, single-column list shows after making row i
// wholly visible, as the native list does when it moves its caret there.
int TopRowShowing(int top, int i, int page, int count) {
    if (i <= top)
        top = i;
    else if (i >= top + page)
        top = i - page + 1;
    return std::clamp(top, 0, std::max(0, count - page));
}

unsigned CurrentShiftState(LPARAM keyData) {
    unsigned s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if ((keyData & (1 << 29)) || GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

}  // namespace

// The plug-in's native list refuses only what the system refuses; a test program
// defines its own to make it refuse growth.
__attribute__((weak)) bool NativeListRefusesGrowth() { return false; }

// ---------------------------------------------------------------- canvas

void TListCanvas::SetBrush(HBRUSH brush) {
    brush_ = brush;
    ApplyBrushToDc();
}

void TListCanvas::SetBrushColor(COLORREF color) {
    TBrush fresh(CreateSolidBrush(color));
    if (!fresh) return;
    brush_ = fresh.get();
    ApplyBrushToDc();           // the old brush of our own is no longer selected...
    ownBrush_ = std::move(fresh);  // ...so it can go now
}

void TListCanvas::SetFontColor(COLORREF color) {
    fontColor_ = color;
    if (dc_) SetTextColor(dc_, color);
}

void TListCanvas::FillRect(const RECT& r) const {
    if (dc_ && brush_) ::FillRect(dc_, &r, brush_);
}

void TListCanvas::ApplyBrushToDc() {
    if (!dc_ || !brush_) return;
    SelectObject(dc_, brush_);
    LOGBRUSH lb{};
    if (GetObjectW(brush_, sizeof(lb), &lb) && lb.lbStyle == BS_SOLID) {
        SetBkColor(dc_, lb.lbColor);
        SetBkMode(dc_, OPAQUE);
    } else {
        SetBkMode(dc_, TRANSPARENT);
    }
}

TCanvasBinding::TCanvasBinding(TListCanvas& canvas, HDC dc, HFONT font, HBRUSH brush)
    : canvas_(canvas), saved_(SaveDC(dc)) {
    canvas_.dc_ = dc;
    if (font) SelectObject(dc, font);
    canvas_.SetBrush(brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    canvas_.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
}

TCanvasBinding::~TCanvasBinding() {
    if (saved_) RestoreDC(canvas_.dc_, saved_);
    canvas_.dc_ = nullptr;
    canvas_.brush_ = nullptr;
    canvas_.ownBrush_.reset();  // deselected by RestoreDC above
}

// ---------------------------------------------------------------- construction

TCustomPlayListBox::TCustomPlayListBox(HWND parent, int controlId)
    : rows_(&IsAnsiLeadByte), parent_(parent), controlId_(controlId), brush_(GetSysColorBrush(COLOR_WINDOW)) {}

TCustomPlayListBox::~TCustomPlayListBox() {
    // Destroy the window while this object is still whole: its last messages
    // still come through HandleMessage.
    DestroyNative();
}

void TCustomPlayListBox::SetParentWindow(HWND parent) {
    if (parent == parent_) return;
    parent_ = parent;
    if (Handle()) {
        if (parent) {
            ::SetParent(Handle(), parent);
        } else {
            DestroyNative();
        }
    }
}

void TCustomPlayListBox::HandleNeeded() {
    if (!Handle()) CreateHandle();
}

void TCustomPlayListBox::CreateHandle() {
    if (!parent_) throw EPluginError("The list control has no parent window");
    const TWindowStyle ws = ListBoxWindowStyle(params_);
    DWORD style = NativeListStyle(ws.Style, params_.Style);
    if (visible_) style |= WS_VISIBLE;
    const int w = width_, h = height_;  // creation may change them (integral height)
    if (!CreateNativeSuperclass(kClassName, L"LISTBOX", kRemovedClassStyles, ws.ExStyle, style, left_, top_, w, h,
                                parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_))))
        throw EPluginError("The list control could not be created");
    HWND hwnd = Handle();
    // The rows are strings, only not kept by the native list: say so, so that the
    // system translates LB_GETTEXT for ANSI and other-process readers.
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | LBS_HASSTRINGS);
    SetWindowPos(hwnd, nullptr, left_, top_, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    if (font_) Native(WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ApplyItemHeight();
    if (params_.TabWidth != 0) {
        int tab = params_.TabWidth;
        Native(LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    }
    SetColumnWidth();
    if (updateCount_ > 0) Native(WM_SETREDRAW, FALSE);
    RefreshNativeCount();
    if (haveSaved_) {
        haveSaved_ = false;
        if (Count() > 0) {
            SetTopIndex(std::min(savedTopIndex_, Count() - 1));
            if (savedItemIndex_ < Count()) SetItemIndex(savedItemIndex_);
        }
    }
}

void TCustomPlayListBox::RecreateWnd() {
    FlushCaret();
    if (!Handle()) return;
    const bool hadFocus = GetFocus() == Handle();
    DestroyNative();  // WM_DESTROY keeps the top row and the item index
    CreateHandle();
    if (hadFocus && Handle()) SetFocus(Handle());
}

void TCustomPlayListBox::OnNativeDestroyed() {}

LRESULT TCustomPlayListBox::Native(UINT msg, WPARAM wp, LPARAM lp) const {
    HWND hwnd = Handle();
    if (!hwnd) return LB_ERR;
    ++nativeSync_;
    struct TLeave {
        int& n;
        ~TLeave() { --n; }
    } leave{nativeSync_};
    return CallWindowProcW(BaseProcedure(), hwnd, msg, wp, lp);
}

void TCustomPlayListBox::RefreshNativeCount() {
    const int n = Count();
    if (params_.Style != TListBoxStyle::lbOwnerDrawVariable) {
        if (n > 0 && (NativeListRefusesGrowth() || Native(LB_SETCOUNT, static_cast<WPARAM>(n)) < 0))
            throw EInsertError();
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (NativeListRefusesGrowth() || Native(LB_ADDSTRING, 0, 0) < 0) throw EInsertError();
    }
}

template <class F>
void TCustomPlayListBox::WithTopRowRule(F&& op) {
    HWND hwnd = Handle();
    if (!OnEraseBkgnd || !hwnd) {
        op();
        return;
    }
    const LRESULT before = Native(LB_GETTOPINDEX);
    op();
    if (Handle() == hwnd && Native(LB_GETTOPINDEX) != before) Invalidate();
}

void TCustomPlayListBox::Invalidate() {
    if (Handle() && updateCount_ == 0) InvalidateRect(Handle(), nullptr, TRUE);
}

// ---------------------------------------------------------------- geometry and properties

void TCustomPlayListBox::SetBounds(int left, int top, int width, int height) {
    FlushCaret();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (Handle()) SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomPlayListBox::NoteBounds() {
    HWND hwnd = Handle();
    if (!hwnd) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    HWND parent = GetParent(hwnd);
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

void TCustomPlayListBox::SetColumnWidth() {
    if (!Handle()) return;
    const int w = ListColumnWidth(width_, params_.Columns);
    if (w > 0) Native(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(w));
}

int TCustomPlayListBox::StandardRowHeight() const {
    HWND hwnd = Handle();
    TClientDc dc(hwnd);
    if (!dc.get()) return itemHeight_;
    HFONT font = font_ ? font_ : reinterpret_cast<HFONT>(Native(WM_GETFONT));
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    TSelectGuard sel(dc.get(), font);
    TEXTMETRICW tm{};
    if (!GetTextMetricsW(dc.get(), &tm) || tm.tmHeight <= 0) return itemHeight_;
    return tm.tmHeight;
}

void TCustomPlayListBox::ApplyItemHeight() {
    if (!Handle() || params_.Style == TListBoxStyle::lbOwnerDrawVariable) return;
    const int h = params_.Style == TListBoxStyle::lbStandard ? StandardRowHeight() : itemHeight_;
    Native(LB_SETITEMHEIGHT, 0, MAKELPARAM(std::min(h, 255), 0));
}

int TCustomPlayListBox::ItemHeight() const {
    if (params_.Style == TListBoxStyle::lbStandard && Handle()) {
        RECT r{};
        if (Native(LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) != LB_ERR) return r.bottom - r.top;
    }
    return itemHeight_;
}

void TCustomPlayListBox::SetItemHeight(int h) {
    if (h <= 0 || h == itemHeight_) return;
    itemHeight_ = h;
    RecreateWnd();
}

void TCustomPlayListBox::SetStyle(TListBoxStyle s) {
    if (s == params_.Style) return;
    params_.Style = s;
    RecreateWnd();
}

void TCustomPlayListBox::SetMultiSelect(bool on) {
    if (on == params_.MultiSelect) return;
    params_.MultiSelect = on;
    RecreateWnd();
}

void TCustomPlayListBox::SetExtendedSelect(bool on) {
    if (on == params_.ExtendedSelect) return;
    params_.ExtendedSelect = on;
    RecreateWnd();
}

void TCustomPlayListBox::SetIntegralHeight(bool on) {
    if (on == params_.IntegralHeight) return;
    params_.IntegralHeight = on;
    RecreateWnd();
}

void TCustomPlayListBox::SetBorderStyle(TBorderStyle b) {
    if (b == params_.BorderStyle) return;
    params_.BorderStyle = b;
    RecreateWnd();
}

void TCustomPlayListBox::SetSorted(bool on) {
    if (on == params_.Sorted) return;
    params_.Sorted = on;
    if (on) {
        // A sorted list keeps its rows in order from now on.
        std::vector<TRow> rows = rows_.Rows();
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TRow& a, const TRow& b) { return CompareRowTexts(a.Text, b.Text) < 0; });
        rows_.Assign(std::move(rows));
    }
    RecreateWnd();
}

void TCustomPlayListBox::SetColumns(int c) {
    if (c == params_.Columns) return;
    const bool keepWindow = params_.Columns != 0 && c != 0;
    params_.Columns = c;
    if (keepWindow)
        SetColumnWidth();
    else
        RecreateWnd();
}

void TCustomPlayListBox::SetTabWidth(int t) {
    if (t < 0) t = 0;
    if (t == params_.TabWidth) return;
    params_.TabWidth = t;
    RecreateWnd();
}

void TCustomPlayListBox::SetCtl3D(bool on) {
    if (on == params_.Ctl3D) return;
    params_.Ctl3D = on;
    if (params_.BorderStyle == TBorderStyle::bsSingle) RecreateWnd();
}

void TCustomPlayListBox::SetEnabled(bool on) {
    params_.Enabled = on;
    if (Handle()) EnableWindow(Handle(), on);
}

void TCustomPlayListBox::SetFont(HFONT font) {
    font_ = font;
    if (!Handle()) return;
    Native(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (params_.Style == TListBoxStyle::lbStandard) ApplyItemHeight();
    Invalidate();
}

void TCustomPlayListBox::SetBackgroundBrush(HBRUSH brush) {
    brush_ = brush ? brush : GetSysColorBrush(COLOR_WINDOW);
    Invalidate();
}

void TCustomPlayListBox::SetVisible(bool on) {
    if (on) FlushCaret();
    visible_ = on;
    if (Handle())
        ShowWindow(Handle(), on ? SW_SHOWNA : SW_HIDE);
    else if (on && parent_)
        CreateHandle();
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
    ClearNativeMark(i);
    if (Handle()) SetItemIndex(itemIndex);
}

void TCustomPlayListBox::SetData(int i, std::uintptr_t data) {
    if (rows_.ValidIndex(i)) rows_.SetData(i, data);
}

void TCustomPlayListBox::Exchange(int i, int j) {
    CheckRowIndex(i);
    CheckRowIndex(j);
    TUpdateGuard guard(*this);
    const int itemIndex = Handle() ? ItemIndex() : -1;
    rows_.Exchange(i, j);
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
    if (Handle()) {
        // Deleting and re-inserting shifts the marks of the rows in between with
        // them; the moved row comes back unselected.
        Native(LB_DELETESTRING, static_cast<WPARAM>(from));
        Native(LB_INSERTSTRING, static_cast<WPARAM>(to), 0);
    }
}

void TCustomPlayListBox::Delete(int i) {
    FlushCaret();
    if (!rows_.ValidIndex(i)) return;
    const int caret = ItemIndex(), top = TopIndex();
    rows_.Delete(i);
    if (!Handle()) return;
    Native(LB_DELETESTRING, static_cast<WPARAM>(i));
    KeepCaretAndTop(caret - (i < caret ? 1 : 0), top - (i < top ? 1 : 0));
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
    if (Handle()) Native(LB_RESETCONTENT);
}

void TCustomPlayListBox::Assign(std::vector<TRow> rows) {
    FlushCaret();  // the native list moves its caret with the rows
    TUpdateGuard guard(*this);
    if (params_.Sorted)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const TRow& a, const TRow& b) { return CompareRowTexts(a.Text, b.Text) < 0; });
    rows_.Assign(std::move(rows));
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
    if (NativeListRefusesGrowth() || Native(LB_SETCOUNT, static_cast<WPARAM>(oldCount + n)) < 0) return false;
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
        if (NativeListRefusesGrowth() || Native(LB_INSERTSTRING, static_cast<WPARAM>(at + inserted), 0) < 0) break;
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
    if (Handle()) {
        const bool append = at == Count() - 1 && params_.Style != TListBoxStyle::lbOwnerDrawVariable;
        const LRESULT r = NativeListRefusesGrowth() ? LB_ERRSPACE
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
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
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
        return;
    }
    LRESULT r = 0;
    WithTopRowRule([&] { r = Native(LB_SETSEL, on ? TRUE : FALSE, i); });
    if (r == LB_ERR) throw EListError(i);
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
}

// ---------------------------------------------------------------- reflected notifications

void TCustomPlayListBox::CommandNotification(WORD code) {
    if (code == LBN_SELCHANGE) {
        if (OnClick) OnClick(*this);
    } else if (code == LBN_DBLCLK) {
        if (OnDblClick) OnDblClick(*this);
    }
}

void TCustomPlayListBox::DrawRequest(const DRAWITEMSTRUCT& dis) {
    if (!dis.hDC) return;
    const unsigned state = dis.itemState & 0xFF;
    const int index = static_cast<int>(dis.itemID);
    TCanvasBinding bind(canvas_, dis.hDC, font_, brush_);
    if (index >= 0 && (state & ODS_SELECTED)) {
        canvas_.SetBrushColor(GetSysColor(COLOR_HIGHLIGHT));
        canvas_.SetFontColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    if (index >= 0) {
        DrawItem(index, dis.rcItem, state);
        if (!OnDrawItem && (state & ODS_FOCUS)) DrawFocusRect(dis.hDC, &dis.rcItem);
    } else if (!OnEraseBkgnd) {
        canvas_.FillRect(dis.rcItem);  // the focus row of an empty list
    }
}

void TCustomPlayListBox::DrawItem(int index, const RECT& rect, unsigned state) {
    if (OnDrawItem) {
        // The owner reads the row from the store; a row past the end has nothing to show.
        if (index < Count()) OnDrawItem(*this, index, rect, state);
        return;
    }
    canvas_.FillRect(rect);
    if (index < Count()) {
        RECT r = rect;
        r.left += 2;
        const std::string& text = rows_.Text(index);
        DrawTextA(canvas_.Handle(), text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER);
    }
}

void TCustomPlayListBox::MeasureRequest(MEASUREITEMSTRUCT& mis) {
    int h = params_.Style == TListBoxStyle::lbStandard && Handle() ? StandardRowHeight() : itemHeight_;
    if (params_.Style == TListBoxStyle::lbOwnerDrawVariable) MeasureItem(static_cast<int>(mis.itemID), h);
    mis.itemHeight = static_cast<UINT>(std::clamp(h, 1, 255));
}

void TCustomPlayListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(*this, index, height);
}

// ---------------------------------------------------------------- window messages

LRESULT TCustomPlayListBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Whatever reaches the window from outside sees the caret and top row in place.
    if (pendingCaret_ >= 0 && msg != CN_DRAWITEM && msg != CN_MEASUREITEM && msg != CN_COMMAND &&
        msg != LB_GETTEXT && msg != LB_GETTEXTLEN && msg != LB_FINDSTRINGEXACT)
        FlushCaret();
    switch (msg) {
        case CN_COMMAND:
            CommandNotification(HIWORD(wp));
            return 0;
        case CN_DRAWITEM:
            if (lp) DrawRequest(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case CN_MEASUREITEM:
            if (lp) MeasureRequest(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
            return TRUE;

        case LB_GETTEXT:
            return AnswerGetText(static_cast<int>(wp), reinterpret_cast<wchar_t*>(lp));
        case LB_GETTEXTLEN:
            return AnswerGetTextLength(static_cast<int>(wp));
        case LB_FINDSTRINGEXACT:
            return AnswerFindExact(static_cast<int>(wp), reinterpret_cast<const wchar_t*>(lp));
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
        case LB_SETCOUNT:
        case LB_DIR:
        case LB_ADDFILE:
        case LB_SETITEMDATA:
            if (nativeSync_ == 0) return LB_ERR;  // rows change only through the store
            break;

        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wp));
        case WM_PAINT:
            if (wp) {
                PaintInto(reinterpret_cast<HDC>(wp));
                return 0;
            }
            if (updateCount_ > 0) {  // nothing is painted while updates are suspended
                ValidateRect(Handle(), nullptr);
                return 0;
            }
            if (Count() == 0) {
                PaintEmpty();
                return 0;
            }
            if (OnEraseBkgnd && PaintBuffered()) return 0;
            break;

        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return OnKey(msg, wp, lp);
        case WM_CHAR:
            if (wp >= 0x20 && Count() > 0) {
                WithTopRowRule([&] { FindByFirstCharacter(static_cast<wchar_t>(wp)); });
                return 0;
            }
            break;
        case WM_VSCROLL:
        case WM_MOUSEWHEEL: {
            LRESULT r = 0;
            WithTopRowRule([&] { r = DefaultHandling(msg, wp, lp); });
            return r;
        }

        case WM_LBUTTONDOWN: {
            LRESULT r = DefaultHandling(msg, wp, lp);
            if (Handle()) mouseDownTopIndex_ = static_cast<int>(Native(LB_GETTOPINDEX));
            return r;
        }
        case WM_MOUSEMOVE:
            if ((wp & MK_LBUTTON) && OnEraseBkgnd) {
                // The native list scrolls by itself while a selection is dragged past an edge.
                const int top = static_cast<int>(Native(LB_GETTOPINDEX));
                if (top != mouseDownTopIndex_) {
                    mouseDownTopIndex_ = top;
                    Invalidate();
                }
            }
            break;
        case WM_LBUTTONUP:
            if (OnEraseBkgnd && Native(LB_GETTOPINDEX) != mouseDownTopIndex_) Invalidate();
            break;

        case WM_SIZE: {
            LRESULT r = DefaultHandling(msg, wp, lp);
            NoteBounds();
            SetColumnWidth();
            return r;
        }
        case WM_MOVE: {
            LRESULT r = DefaultHandling(msg, wp, lp);
            NoteBounds();
            return r;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            LRESULT r = DefaultHandling(msg, wp, lp);
            // The native list marks the focus of an empty list with a rectangle of
            // its own; paint it again so only the owner's drawing shows.
            if (Count() == 0) Invalidate();
            return r;
        }
        case WM_CONTEXTMENU:
            if (popupMenu_ && parent_) {
                POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                if (lp == -1) {  // from the keyboard: at the control's corner
                    pt = {0, 0};
                    ClientToScreen(Handle(), &pt);
                }
                TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, parent_, nullptr);
                return 0;
            }
            break;
        case WM_DESTROY:
            paintBuffer_.reset();
            bufferWidth_ = bufferHeight_ = 0;
            // Rows stay in the store; the window's position in them is kept for the next one.
            haveSaved_ = Count() > 0;
            if (haveSaved_) {
                savedTopIndex_ = static_cast<int>(Native(LB_GETTOPINDEX));
                savedItemIndex_ = static_cast<int>(params_.MultiSelect ? Native(LB_GETCARETINDEX)
                                                                         : Native(LB_GETCURSEL));
            }
            break;
        default:
            break;
    }
    return DefaultHandling(msg, wp, lp);
}

LRESULT TCustomPlayListBox::OnKey(UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = Handle();
    WORD key = static_cast<WORD>(wp);
    const unsigned shift = CurrentShiftState(lp);
    LRESULT r = 0;
    auto run = [&] {
        const TKeyEvent& event = (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ? OnKeyDown : OnKeyUp;
        if (event) event(*this, key, shift);
        // The handler may have consumed the key, or its command re-created the window.
        if (key != 0 && Handle() == hwnd) r = DefaultHandling(msg, key, lp);
    };
    if (msg == WM_KEYDOWN || msg == WM_KEYUP)
        WithTopRowRule(run);
    else
        run();
    return r;
}

void TCustomPlayListBox::FindByFirstCharacter(wchar_t ch) {
    // What a list holding its strings does with a typed character: go to the
    // next row, after the caret and wrapping round, that starts with it.
    char ansi[8] = {};
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &ch, 1, ansi, sizeof(ansi), nullptr, &lossy);
    if (n <= 0 || lossy) return;
    const std::string prefix(ansi, static_cast<std::size_t>(n));
    const std::size_t m = prefix.size();
    const int caret = ItemIndex();
    // Whether a row matches depends only on its first m bytes (one character:
    // one or two bytes, up to four in a multi-byte code page), so the locale is
    // asked once per distinct start rather than once per row - a typed key on a
    // 100,000-row list stays immediate.
    std::vector<signed char> table(m <= 2 ? std::size_t(1) << (8 * m) : 0, -1);
    std::unordered_map<std::uint32_t, bool> map;
    const int found = rows_.Find(caret + 1, [&](const std::string& row) {
        if (row.size() < m) return false;
        std::uint32_t start = 0;
        for (std::size_t k = 0; k < m; ++k) start = start << 8 | static_cast<unsigned char>(row[k]);
        if (!table.empty()) {
            signed char& known = table[start];
            if (known < 0) known = SameText(row.substr(0, m), prefix) ? 1 : 0;
            return known == 1;
        }
        auto it = map.find(start);
        if (it == map.end()) it = map.emplace(start, SameText(row.substr(0, m), prefix)).first;
        return it->second;
    });
    if (found < 0 || found == caret) return;
    if (params_.MultiSelect && params_.ExtendedSelect) {
        Native(LB_SETSEL, FALSE, -1);
        Native(LB_SETSEL, TRUE, found);  // moves the caret and the anchor there too
    } else if (params_.MultiSelect) {
        Native(LB_SETCARETINDEX, static_cast<WPARAM>(found), FALSE);
    } else {
        Native(LB_SETCURSEL, static_cast<WPARAM>(found));
    }
    if (parent_)
        SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(controlId_, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Handle()));
}

LRESULT TCustomPlayListBox::OnEraseBackground(HDC dc) {
    if (updateCount_ > 0 || erasingIntoBuffer_) return 1;
    if (!dc || !OnEraseBkgnd) return DefaultHandling(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    TCanvasBinding bind(canvas_, dc, font_, brush_);
    RECT row0{};
    Native(LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));  // answered for an empty list too
    RECT wr{};
    GetWindowRect(Handle(), &wr);
    const TRectI r = EraseRectangle({row0.left, row0.top, row0.right, row0.bottom}, wr.bottom - wr.top, ItemHeight(),
                                    params_.BorderStyle == TBorderStyle::bsSingle, params_.IntegralHeight);
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    OnEraseBkgnd(*this, rect);
    return 0;
}

bool TCustomPlayListBox::PaintBuffered() {
    // Background and rows go into an off-screen bitmap that is copied once, so
    // the screen never shows the background without its rows (no flicker while
    // scrolling over a watermark).
    HWND hwnd = Handle();
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) return false;
    PAINTSTRUCT ps{};
    erasingIntoBuffer_ = true;  // the erase BeginPaint asks for is done in the bitmap
    HDC dc = BeginPaint(hwnd, &ps);
    erasingIntoBuffer_ = false;
    if (!dc) return true;
    struct TEnd {
        HWND h;
        PAINTSTRUCT& p;
        ~TEnd() { EndPaint(h, &p); }
    } end{hwnd, ps};
    if (IsRectEmpty(&ps.rcPaint)) return true;
    if (!paintBuffer_ || bufferWidth_ < client.right || bufferHeight_ < client.bottom) {
        paintBuffer_.reset();
        paintBuffer_.reset(CreateCompatibleBitmap(dc, client.right, client.bottom));
        bufferWidth_ = paintBuffer_ ? client.right : 0;
        bufferHeight_ = paintBuffer_ ? client.bottom : 0;
    }
    TMemoryDc mem(paintBuffer_ ? CreateCompatibleDC(dc) : nullptr);
    if (!mem) {
        // No memory for the bitmap: paint straight onto the screen.
        OnEraseBackground(dc);
        DefaultHandling(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        return true;
    }
    TSelectGuard sel(mem.get(), paintBuffer_.get());
    IntersectClipRect(mem.get(), ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    OnEraseBackground(mem.get());
    DefaultHandling(WM_PAINT, reinterpret_cast<WPARAM>(mem.get()), 0);  // the rows, as the list draws them
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           mem.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    return true;
}

void TCustomPlayListBox::PaintEmpty() {
    // An empty list only erases and, when focused, asks its owner for the focus
    // row; some native lists also fill that row opaquely, which would hide the
    // owner's background.
    HWND hwnd = Handle();
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    struct TEnd {
        HWND h;
        PAINTSTRUCT& p;
        ~TEnd() { EndPaint(h, &p); }
    } end{hwnd, ps};
    HWND parent = GetParent(hwnd);
    if (GetFocus() != hwnd || !parent) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = static_cast<UINT>(controlId_);
    dis.itemID = static_cast<UINT>(-1);
    dis.itemAction = ODA_FOCUS;
    dis.itemState = ODS_FOCUS;
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    dis.rcItem = RECT{0, 0, client.right, std::min<LONG>(client.bottom, ItemHeight())};
    SendMessageW(parent, WM_DRAWITEM, static_cast<WPARAM>(controlId_), reinterpret_cast<LPARAM>(&dis));
}

void TCustomPlayListBox::PaintInto(HDC dc) {
    // Painting onto another surface: every visible row, top to bottom.
    const int height = height_;
    int y = 0;
    for (int i = TopIndex(); y < height && i < Count(); ++i) {
        MEASUREITEMSTRUCT mis{};
        mis.CtlType = ODT_LISTBOX;
        mis.CtlID = static_cast<UINT>(controlId_);
        mis.itemID = static_cast<UINT>(i);
        mis.itemWidth = static_cast<UINT>(width_);
        mis.itemHeight = static_cast<UINT>(ItemHeight());
        mis.itemData = rows_.Data(i);
        MeasureRequest(mis);
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_LISTBOX;
        dis.CtlID = static_cast<UINT>(controlId_);
        dis.itemID = static_cast<UINT>(i);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = 0;
        dis.hwndItem = Handle();
        dis.hDC = dc;
        dis.rcItem = RECT{0, y, static_cast<LONG>(mis.itemWidth), y + static_cast<LONG>(mis.itemHeight)};
        dis.itemData = rows_.Data(i);
        DrawRequest(dis);
        y += static_cast<int>(mis.itemHeight);
    }
}

// ---------------------------------------------------------------- answers from the store

std::wstring TCustomPlayListBox::ReaderText(int i) const {
    std::wstring w = AnsiToWide(rows_.Text(i));
    if (w.size() > kMaxReaderText) {
        w.resize(kMaxReaderText);
        if (IS_HIGH_SURROGATE(w.back())) w.pop_back();
    }
    return w;
}

LRESULT TCustomPlayListBox::AnswerGetText(int i, wchar_t* buffer) const {
    if (!rows_.ValidIndex(i) || !buffer) return LB_ERR;
    const std::wstring w = ReaderText(i);
    std::memcpy(buffer, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    return static_cast<LRESULT>(w.size());
}

LRESULT TCustomPlayListBox::AnswerGetTextLength(int i) const {
    if (!rows_.ValidIndex(i)) return LB_ERR;
    // The ANSI length: never less than the UTF-16 length, and exact for ANSI readers.
    return static_cast<LRESULT>(WideToAnsi(ReaderText(i)).size());
}

LRESULT TCustomPlayListBox::AnswerFindExact(int start, const wchar_t* text) const {
    if (!text) return LB_ERR;
    std::wstring wide(text);
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, &lossy);
    if (lossy) return LB_ERR;  // a character no row can hold
    std::string ansi(static_cast<std::size_t>(n), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), ansi.data(), n,
                            nullptr, nullptr);
    const int from = start < 0 ? 0 : start + 1;  // the search begins after start and wraps round
    const int found = rows_.Find(from, [&](const std::string& row) { return SameText(row, ansi); });
    return found < 0 ? LB_ERR : found;
}
