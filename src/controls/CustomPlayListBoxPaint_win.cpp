// Drawing the list control: the canvas handed to the owner's painters, the
// rows and the background, and the buffered paint that keeps a background
// image from flickering while the rows scroll over it.
#include "controls/CustomPlayListBox_win.h"

#include <algorithm>

#include "base/Text_win.h"
#include "controls/ListBoxParams.h"

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

TCanvasBinding::TCanvasBinding(TListCanvas& canvas, HDC dc, HFONT font, HBRUSH brush, bool wholeState)
    : canvas_(canvas) {
    if (wholeState) {
        saved_ = SaveDC(dc);
    } else {
        oldFont_ = GetCurrentObject(dc, OBJ_FONT);
        oldBrush_ = GetCurrentObject(dc, OBJ_BRUSH);
    }
    canvas_.dc_ = dc;
    font_ = font;
    brush_ = brush ? brush : GetSysColorBrush(COLOR_WINDOW);
    if (font) SelectObject(dc, font);
    canvas_.SetBrush(brush_);
    canvas_.SetFontColor(textColor_ = GetSysColor(COLOR_WINDOWTEXT));
    bkColor_ = GetBkColor(dc);
    bkMode_ = GetBkMode(dc);
}

void TCanvasBinding::NextRow() {
    HDC dc = canvas_.dc_;
    if (font_) SelectObject(dc, font_);
    SelectObject(dc, brush_);
    canvas_.brush_ = brush_;
    canvas_.ownBrush_.reset();  // deselected above
    SetBkColor(dc, bkColor_);
    SetBkMode(dc, bkMode_);
    canvas_.SetFontColor(textColor_);
}

TCanvasBinding::~TCanvasBinding() {
    if (saved_) RestoreDC(canvas_.dc_, saved_);
    if (oldFont_) SelectObject(canvas_.dc_, oldFont_);
    if (oldBrush_) SelectObject(canvas_.dc_, oldBrush_);
    canvas_.dc_ = nullptr;
    canvas_.brush_ = nullptr;
    canvas_.ownBrush_.reset();  // deselected above
}

// ---------------------------------------------------------------- rows

void TCustomPlayListBox::DrawRequest(const DRAWITEMSTRUCT& dis) {
    if (!dis.hDC || rowDrawsHeld_) return;
    // The paint buffer's state is restored once, after the whole paint.
    TCanvasBinding bind(canvas_, dis.hDC, font_, brush_, !paintDc_ || dis.hDC != paintDc_.get());
    DrawRow(dis);
}

void TCustomPlayListBox::DrawRow(const DRAWITEMSTRUCT& dis) {
    const unsigned state = dis.itemState & 0xFF;
    const int index = static_cast<int>(dis.itemID);
    if (index >= 0 && (state & ODS_SELECTED)) {
        canvas_.SetBrushColor(GetSysColor(COLOR_HIGHLIGHT));
        canvas_.SetFontColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    if (index >= 0) {
        DrawItem(index, dis.rcItem, state);
        DrawGapLine(index, dis.rcItem, dis.hDC);
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
        const std::wstring text = Utf8ToWide(rows_.Text(index));
        DrawTextW(canvas_.Handle(), text.data(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER);
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

// ---------------------------------------------------------------- painting

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
    if (!paintDc_ || bufferWidth_ < client.right || bufferHeight_ < client.bottom) {
        paintDc_.reset();
        paintBuffer_.reset();
        paintBuffer_.reset(CreateCompatibleBitmap(dc, client.right, client.bottom));
        // Kept with the bitmap selected: a context made per paint costs as much as a tenth of it.
        if (paintBuffer_) paintDc_.reset(CreateCompatibleDC(dc));
        if (paintDc_ && !SelectObject(paintDc_.get(), paintBuffer_.get())) paintDc_.reset();
        bufferWidth_ = paintDc_ ? client.right : 0;
        bufferHeight_ = paintDc_ ? client.bottom : 0;
    }
    if (!paintDc_) {
        // No memory for the bitmap: paint straight onto the screen.
        OnEraseBackground(dc);
        DefaultHandling(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        return true;
    }
    HDC mem = paintDc_.get();
    TSaveDc saved(mem);  // nothing of one paint is left for the next
    IntersectClipRect(mem, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    OnEraseBackground(mem);
    if (params_.Columns == 0)
        PaintRows(mem, ps.rcPaint);
    else
        DefaultHandling(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);  // columns laid out as the list lays them
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    return true;
}

DRAWITEMSTRUCT TCustomPlayListBox::RequestFor(HDC dc, UINT action) const {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = static_cast<UINT>(controlId_);
    dis.itemAction = action;
    dis.hwndItem = Handle();
    dis.hDC = dc;
    return dis;
}

void TCustomPlayListBox::PaintRows(HDC dc, const RECT& area) {
    // The rows the native list would draw, with the states it would give them,
    // without its message and saved clip region for every row (a tenth of a
    // repaint). Each row stays clipped to its cell, as it was.
    if (rowDrawsHeld_) return;
    TRegion paintClip(CreateRectRgnIndirect(&area));
    if (!paintClip) {
        DefaultHandling(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        return;
    }
    TCanvasBinding bind(canvas_, dc, font_, brush_, false);  // the paint restores the buffer's state
    const int caret = GetFocus() == Handle() ? static_cast<int>(Native(LB_GETCARETINDEX)) : -1;
    const unsigned disabled = IsWindowEnabled(Handle()) ? 0 : ODS_DISABLED;
    DRAWITEMSTRUCT dis = RequestFor(dc, ODA_DRAWENTIRE);
    for (int i = TopIndex(), count = Count(); i < count; ++i) {
        RECT& r = dis.rcItem;
        if (Native(LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR) break;
        if (r.top >= area.bottom) break;  // the paint lies inside the client area
        if (r.bottom <= area.top) continue;
        dis.itemID = static_cast<UINT>(i);
        dis.itemData = rows_.Data(i);
        dis.itemState = (Native(LB_GETSEL, static_cast<WPARAM>(i)) > 0 ? ODS_SELECTED : 0) |
                        (i == caret ? ODS_FOCUS : 0) | disabled;
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        bind.NextRow();
        DrawRow(dis);
        SelectClipRgn(dc, paintClip.get());
    }
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
    DRAWITEMSTRUCT dis = RequestFor(dc, ODA_FOCUS);
    dis.itemID = static_cast<UINT>(-1);
    dis.itemState = ODS_FOCUS;
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
        DRAWITEMSTRUCT dis = RequestFor(dc, ODA_DRAWENTIRE);
        dis.itemID = static_cast<UINT>(i);
        dis.rcItem = RECT{0, y, static_cast<LONG>(mis.itemWidth), y + static_cast<LONG>(mis.itemHeight)};
        dis.itemData = rows_.Data(i);
        DrawRequest(dis);
        y += static_cast<int>(mis.itemHeight);
    }
}
