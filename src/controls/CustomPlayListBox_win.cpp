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

unsigned CurrentShiftState(LPARAM keyData) {
    unsigned s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if ((keyData & (1 << 29)) || GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

}  // namespace

// ---------------------------------------------------------------- construction

TCustomPlayListBox::TCustomPlayListBox(HWND parent, int controlId)
    : parent_(parent), controlId_(controlId), brush_(GetSysColorBrush(COLOR_WINDOW)) {}

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
        if (n > 0 && (GrowthRefused() || Native(LB_SETCOUNT, static_cast<WPARAM>(n)) < 0))
            throw EInsertError();
        return;
    }
    for (int i = 0; i < n; ++i) {
        if (GrowthRefused() || Native(LB_ADDSTRING, 0, 0) < 0) throw EInsertError();
    }
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
        RowsChanged();
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
// ---------------------------------------------------------------- reflected notifications

void TCustomPlayListBox::CommandNotification(WORD code) {
    if (code == LBN_SELCHANGE) {
        if (OnClick) OnClick(*this);
    } else if (code == LBN_DBLCLK) {
        if (OnDblClick) OnDblClick(*this);
    }
}// ---------------------------------------------------------------- window messages

LRESULT TCustomPlayListBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (OnBeforeInput && ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || msg == WM_CONTEXTMENU ||
                          (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK)))
        OnBeforeInput(*this);
    // Whatever reaches the window from outside sees the caret and top row in place.
    if (pendingCaret_ >= 0 && msg != CN_DRAWITEM && msg != CN_MEASUREITEM && msg != CN_COMMAND &&
        msg != LB_GETTEXT && msg != LB_GETTEXTLEN && msg != LB_FINDSTRINGEXACT)
        FlushCaret();
    // Each group answers what it takes (true) or leaves the message to the native list.
    LRESULT result = 0;
    if (ListMessage(msg, wp, lp, result) || PaintMessage(msg, wp, result) || InputMessage(msg, wp, lp, result) ||
        MouseMessage(msg, wp, lp, result) || StateMessage(msg, wp, lp, result))
        return result;
    return DefaultHandling(msg, wp, lp);
}

bool TCustomPlayListBox::ListMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case CN_COMMAND:
            CommandNotification(HIWORD(wp));
            result = 0;
            return true;
        case CN_DRAWITEM:
            if (lp) DrawRequest(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case CN_MEASUREITEM:
            if (lp) MeasureRequest(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case LB_GETTEXT:
            result = AnswerGetText(static_cast<int>(wp), reinterpret_cast<wchar_t*>(lp));
            return true;
        case LB_GETTEXTLEN:
            result = AnswerGetTextLength(static_cast<int>(wp));
            return true;
        case LB_FINDSTRINGEXACT:
            result = AnswerFindExact(static_cast<int>(wp), reinterpret_cast<const wchar_t*>(lp));
            return true;
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
        case LB_SETCOUNT:
        case LB_DIR:
        case LB_ADDFILE:
        case LB_SETITEMDATA:
            result = LB_ERR;
            return nativeSync_ == 0;  // rows change only through the store
        default:
            return false;
    }
}

bool TCustomPlayListBox::PaintMessage(UINT msg, WPARAM wp, LRESULT& result) {
    result = 0;
    if (msg == WM_ERASEBKGND) {
        result = OnEraseBackground(reinterpret_cast<HDC>(wp));
        return true;
    }
    if (msg != WM_PAINT) return false;
    if (wp) {
        PaintInto(reinterpret_cast<HDC>(wp));
        return true;
    }
    if (updateCount_ > 0) {  // nothing is painted while updates are suspended
        ValidateRect(Handle(), nullptr);
        return true;
    }
    if (Count() == 0) {
        PaintEmpty();
        return true;
    }
    return OnEraseBkgnd && PaintBuffered();
}

bool TCustomPlayListBox::InputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE && drag_.Pending) {
                CancelDrag();
                return true;
            }
            result = OnKey(msg, wp, lp);
            return true;
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            result = OnKey(msg, wp, lp);
            return true;
        case WM_CHAR:
            if (wp < 0x20 || Count() == 0) return false;
            WithTopRowRule([&] { FindByFirstCharacter(static_cast<wchar_t>(wp)); });
            return true;
        case WM_VSCROLL:
        case WM_MOUSEWHEEL:
            WithTopRowRule([&] { result = DefaultHandling(msg, wp, lp); });
            return true;
        case WM_CONTEXTMENU: {
            if (!popupMenu_ || !parent_) return false;
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (lp == -1) {  // from the keyboard: at the control's corner
                pt = {0, 0};
                ClientToScreen(Handle(), &pt);
            }
            TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, parent_, nullptr);
            return true;
        }
        default:
            return false;
    }
}

bool TCustomPlayListBox::MouseMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_LBUTTONDOWN:
            if (DragButtonDown(wp, lp)) return true;
            result = DefaultHandling(msg, wp, lp);
            if (Handle()) mouseDownTopIndex_ = static_cast<int>(Native(LB_GETTOPINDEX));
            return true;
        case WM_MOUSEMOVE:
            if (drag_.Pending) {
                DragMouseMove(wp, lp);
                return true;
            }
            if ((wp & MK_LBUTTON) && OnEraseBkgnd) {
                // The native list scrolls by itself while a selection is dragged past an edge.
                const int top = static_cast<int>(Native(LB_GETTOPINDEX));
                if (top != mouseDownTopIndex_) {
                    mouseDownTopIndex_ = top;
                    Invalidate();
                }
            }
            return false;
        case WM_LBUTTONUP:
            if (drag_.Pending) {
                DragButtonUp(wp, lp);
                return true;
            }
            if (OnEraseBkgnd && Native(LB_GETTOPINDEX) != mouseDownTopIndex_) Invalidate();
            return false;
        case WM_CAPTURECHANGED:
            if (drag_.Pending && reinterpret_cast<HWND>(lp) != Handle()) CancelDrag();
            return false;
        case WM_CANCELMODE:
            if (drag_.Pending) CancelDrag();
            return false;
        case WM_TIMER:
            if (wp != kDragScrollTimer) return false;
            DragTimer();
            return true;
        default:
            return false;
    }
}

bool TCustomPlayListBox::StateMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_SIZE:
            result = DefaultHandling(msg, wp, lp);
            NoteBounds();
            SetColumnWidth();
            return true;
        case WM_MOVE:
            result = DefaultHandling(msg, wp, lp);
            NoteBounds();
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            result = DefaultHandling(msg, wp, lp);
            // The native list marks the focus of an empty list with a rectangle of
            // its own; paint it again so only the owner's drawing shows.
            if (Count() == 0) Invalidate();
            return true;
        case WM_DESTROY:
            drag_ = TDragState{};
            paintDc_.reset();
            paintBuffer_.reset();
            bufferWidth_ = bufferHeight_ = 0;
            // Rows stay in the store; the window's position in them is kept for the next one.
            haveSaved_ = Count() > 0;
            if (haveSaved_) {
                savedTopIndex_ = static_cast<int>(Native(LB_GETTOPINDEX));
                savedItemIndex_ = static_cast<int>(params_.MultiSelect ? Native(LB_GETCARETINDEX)
                                                                         : Native(LB_GETCURSEL));
            }
            return false;
        default:
            return false;
    }
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
    if (ch >= 0xD800 && ch <= 0xDFFF) return;  // half a character starts no row
    const std::string prefix = WideToUtf8(std::wstring(1, ch));
    if (prefix.empty()) return;
    const std::size_t m = prefix.size();
    const int caret = ItemIndex();
    // Whether a row matches depends only on its first m bytes (one character,
    // one to three bytes of UTF-8), so the locale is
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
