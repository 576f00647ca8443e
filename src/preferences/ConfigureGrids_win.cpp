// The preferences dialog's two grids: the colour preview and the title-format tokens.
#include "preferences/Configure_win.h"
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include "base/Fonts_win.h"
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "entries/Options.h"
#include "host/SettingsValues.h"
#include "preferences/ConfigureParts_win.h"
#include "preferences/ConfigureRules.h"
#include "resources/resource.h"
#include "skin/WatermarkSkin_win.h"

using namespace ConfigureParts;

namespace {
constexpr int kPreviewColumnWidth = 325;
constexpr UINT_PTR kGridSubclassId = 1;
// Descenders, ascenders and full-width letters: its height is what a row needs.
constexpr wchar_t kHeightSample[] = L"hg\xFF48\xFF47hgy\xFF48\xFF47\xFF59|\x2502";

const wchar_t* const kPreviewTexts[] = {L"01. Color of standard song", L"02. Color of selected song",
                                        L"03. Color of playing song"};
constexpr int kPreviewRows = 3;

// StringGridFormatChar: row 0 is the fixed title row.
const wchar_t* const kTokenTexts[][2] = {
    {L"Descriptions", L"Means"}, {L"${INAM}", L"Title"},    {L"${IART}", L"Artist"},
    {L"${IPRD}", L"Album"},      {L"${ICMT}", L"Comment"},  {L"${ISRC}", L"Source"},
    {L"${IGNR}", L"Genre"},      {L"${FNAM}", L"Filename"}, {L"${FEXT}", L"Extension"}};
constexpr int kTokenRows = 9;

int TextWidth(HDC dc, const wchar_t* s) {
    SIZE size{};
    GetTextExtentPoint32W(dc, s, lstrlenW(s), &size);
    return size.cx;
}
}  // namespace

// ---- the grids

void TFormConfigure::InitGrids() {
    HWND preview = Item(IDC_GRID_PREVIEW);
    for (int i = 0; i < kPreviewRows; ++i) SendMessageW(preview, LB_ADDSTRING, 0, i);
    HWND tokens = Item(IDC_GRID_FORMAT_CHAR);
    for (int i = 0; i < kTokenRows; ++i) SendMessageW(tokens, LB_ADDSTRING, 0, i);
    SendMessageW(tokens, LB_SETITEMHEIGHT, 0, kTokenRowHeight);
    SendMessageW(tokens, LB_SETCURSEL, 1, 0);
    SetWindowSubclass(tokens, &TFormConfigure::GridSubclassProc, kGridSubclassId, reinterpret_cast<DWORD_PTR>(this));
    previewBrush_.reset(CreateSolidBrush(previewBackground_));
}

void TFormConfigure::SetPreviewRowHeight(int height) {
    if (height < 1) height = 1;
    if (height > 255) height = 255;  // a list box row holds no more
    HWND preview = Item(IDC_GRID_PREVIEW);
    SendMessageW(preview, LB_SETITEMHEIGHT, 0, height);
    InvalidateRect(preview, nullptr, TRUE);
}

int TFormConfigure::SampleHeight(HFONT font) const {
    HWND preview = Item(IDC_GRID_PREVIEW);
    TClientDc dc(preview);
    TSelectGuard select(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), kHeightSample, lstrlenW(kHeightSample), &size);
    return size.cy;
}

void TFormConfigure::FitTokenColumns() {
    HWND grid = Item(IDC_GRID_FORMAT_CHAR);
    int widest[2] = {0, 0};
    {
        TClientDc dc(grid);
        TSelectGuard select(dc.get(), formFont_.get());
        for (const auto& row : kTokenTexts)
            for (int c = 0; c < 2; ++c) widest[c] = std::max(widest[c], TextWidth(dc.get(), row[c]));
    }
    RECT r{};
    GetWindowRect(grid, &r);
    const int usable = (r.right - r.left) - GetSystemMetrics(SM_CXVSCROLL) - 4;
    auto [w0, w1] = SplitTokenColumns(widest[0], widest[1], usable);
    if (w0 > 0 && w1 > 0) {
        formatColumn0_ = w0;
        formatColumn1_ = w1;
    }
    InvalidateRect(grid, nullptr, TRUE);
}

void TFormConfigure::StringGridPrevirePlayListDrawCell(const DRAWITEMSTRUCT& dis) {
    if (dis.itemID >= static_cast<UINT>(kPreviewRows)) return;
    HDC dc = dis.hDC;
    FillRect(dc, &dis.rcItem, previewBrush_.get());
    const int row = static_cast<int>(dis.itemID);
    const COLORREF color = row == 1 ? PendingSelectColor : row == 2 ? PendingPlayColor : PendingNormalColor;
    RECT cell = dis.rcItem;
    cell.right = std::min<LONG>(cell.right, cell.left + kPreviewColumnWidth);
    cell.left += 2;
    TSelectGuard select(dc, previewFont_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, kPreviewTexts[row], -1, &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TFormConfigure::StringGridFormatCharDrawCell(const DRAWITEMSTRUCT& dis) {
    if (dis.itemID >= static_cast<UINT>(kTokenRows)) return;
    HDC dc = dis.hDC;
    const int row = static_cast<int>(dis.itemID);
    const bool fixed = row == 0;
    const bool selected = !fixed && (dis.itemState & ODS_SELECTED);
    FillRect(dc, &dis.rcItem, GetSysColorBrush(fixed ? COLOR_BTNFACE : selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(fixed ? COLOR_BTNTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    TSelectGuard select(dc, formFont_.get());
    int left = dis.rcItem.left;
    const int widths[2] = {formatColumn0_, formatColumn1_};
    for (int c = 0; c < 2; ++c) {
        RECT cell{left, dis.rcItem.top, left + widths[c], dis.rcItem.bottom};
        if (fixed) {
            RECT edge = cell;
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
        RECT text = cell;
        text.left += 2;
        DrawTextW(dc, kTokenTexts[row][c], -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        // The grid line right of and below the cell.
        RECT vline{cell.right, cell.top, cell.right + 1, cell.bottom};
        RECT hline{cell.left, cell.bottom - 1, cell.right + 1, cell.bottom};
        FillRect(dc, &vline, GetSysColorBrush(COLOR_BTNSHADOW));
        FillRect(dc, &hline, GetSysColorBrush(COLOR_BTNSHADOW));
        left = cell.right + 1;
    }
}

void TFormConfigure::StringGridFormatCharMouseUp(int x, int y) {
    LastGridMouseX = x;
    LastGridMouseY = y;
}

void TFormConfigure::StringGridFormatCharDblClick() {
    HWND grid = Item(IDC_GRID_FORMAT_CHAR);
    // A point right of the last column lies in no cell.
    if (LastGridMouseX < 0 || LastGridMouseX >= formatColumn0_ + formatColumn1_ + 2) return;
    const int top = static_cast<int>(SendMessageW(grid, LB_GETTOPINDEX, 0, 0));
    const int row = GridRowAt(LastGridMouseY, kTokenRowHeight, top, kTokenRows);
    if (row < 0 || row > kTokenRows - 1) return;
    std::wstring text = ItemText(IDC_EDIT_TITLE_FORMAT) + kTokenTexts[row][0];
    SetDlgItemTextW(Handle(), IDC_EDIT_TITLE_FORMAT, text.c_str());
}

LRESULT CALLBACK TFormConfigure::GridSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                  DWORD_PTR self) {
    LRESULT result = 0;
    if (!RunGuarded(nullptr, [&] { result = reinterpret_cast<TFormConfigure*>(self)->FormatGridMessage(hwnd, msg, wp, lp); }))
        result = 0;
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &TFormConfigure::GridSubclassProc, kGridSubclassId);
    return result;
}

// The token grid's mouse: its column borders can be dragged, the fixed row
// takes no selection, and a release and a double click reach their handlers.
LRESULT TFormConfigure::FormatGridMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    const int border0 = formatColumn0_, border1 = formatColumn0_ + 1 + formatColumn1_;
    auto borderAt = [&](int px) { return std::abs(px - border0) <= 2 ? 0 : std::abs(px - border1) <= 2 ? 1 : -1; };
    auto inFixedRow = [&](int py) {
        const int top = static_cast<int>(DefSubclassProc(hwnd, LB_GETTOPINDEX, 0, 0));
        return GridRowAt(py, kTokenRowHeight, top, kTokenRows) == 0;
    };
    switch (msg) {
    case WM_SETCURSOR: {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        if (LOWORD(lp) == HTCLIENT && (dragColumn_ >= 0 || borderAt(p.x) >= 0)) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        if (borderAt(x) >= 0) {
            dragColumn_ = borderAt(x);
            SetCapture(hwnd);
            return 0;
        }
        if (inFixedRow(y)) {
            SetFocus(hwnd);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (dragColumn_ >= 0) {
            const int start = dragColumn_ == 0 ? 0 : formatColumn0_ + 1;
            (dragColumn_ == 0 ? formatColumn0_ : formatColumn1_) = std::max(4, x - start);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        break;
    case WM_LBUTTONUP: {
        const bool dragging = dragColumn_ >= 0;
        if (dragging) {
            dragColumn_ = -1;
            ReleaseCapture();
        }
        StringGridFormatCharMouseUp(x, y);
        if (dragging) return 0;
        break;
    }
    case WM_CAPTURECHANGED:
        dragColumn_ = -1;
        break;
    case WM_LBUTTONDBLCLK: {
        LRESULT r = inFixedRow(y) ? 0 : DefSubclassProc(hwnd, msg, wp, lp);
        StringGridFormatCharDblClick();
        return r;
    }
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}
