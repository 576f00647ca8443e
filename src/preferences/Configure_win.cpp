// The preferences dialog: creation and showing, the pages, the two grids and
// every handler. The dialog works on copies; ButtonUpdateClick applies them to
// the playlist window and its style object.
#include "preferences/Configure_win.h"
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include "base/Fonts_win.h"
#include "base/PluginIcon_win.h"
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "preferences/ConfigureRules.h"
#include "resources/resource.h"
#include "skin/WatermarkSkin_win.h"

namespace {
constexpr int kClientWidth = 371;
constexpr int kClientHeight = 263;
constexpr int kBottomPanel = 41;
constexpr int kFormFontHeight = 12;
constexpr int kPreviewColumnWidth = 325;
constexpr int kTokenRowHeight = 16;
constexpr UINT WM_VL_CHECK_GROUP_EXIT = WM_APP + 0x3B0;
constexpr UINT_PTR kGridSubclassId = 1;
// Descenders, ascenders and full-width letters: its height is what a row needs.
constexpr wchar_t kHeightSample[] = L"hg\xFF48\xFF47hgy\xFF48\xFF47\xFF59|\x2502";

const wchar_t* const kPageCaptions[TFormConfigure::kPageCount] = {
    L"Display font", L"Display format", L"WatermarkSkin", L"Inherit", L"Options", L"Extension", L"About"};

// The controls of each page; the tab control shows one page's controls at a time.
const std::vector<int> kPageControls[TFormConfigure::kPageCount] = {
    {IDC_GROUP_PLAYLIST, IDC_BUTTON_FONT_SELECT, IDC_BUTTON_NORMAL_COLOR, IDC_BUTTON_SELECT_COLOR,
     IDC_BUTTON_PLAY_COLOR, IDC_GRID_PREVIEW},
    {IDC_EDIT_TITLE_FORMAT, IDC_GRID_FORMAT_CHAR},
    {IDC_GROUP_WM_CONFIG, IDC_EDIT_WM_CONFIG, IDC_BUTTON_WM_CONFIG, IDC_GROUP_WM_FG, IDC_EDIT_WM_FG,
     IDC_BUTTON_WM_FG, IDC_GROUP_WM_BG, IDC_EDIT_WM_BG, IDC_BUTTON_WM_BG},
    {},
    {IDC_CHECK_JAPANESE, IDC_LABEL_RESTART, IDC_CHECK_SONG_ADD_LAST, IDC_CHECK_SHOW_SONG_NUMBER,
     IDC_CHECK_SHOW_SONG_TIME, IDC_CHECK_EQUALIZER_RELOCATION, IDC_CHECK_ABOUT_WINAMP,
     IDC_CHECK_WINDOW_POS_OVERRIDE, IDC_CHECK_WINDOW_SIZE_OVERRIDE, IDC_CHECK_PREFER_ID3V2},
    {IDC_LABEL_EXTENSION, IDC_LIST_EXTENSION, IDC_BUTTON_EXT_ADD, IDC_EDIT_EXTENSION, IDC_BUTTON_EXT_DEL,
     IDC_LABEL_EXTENSION_NOTICE},
    {IDC_ABOUT_ICON, IDC_ABOUT_NAME, IDC_ABOUT_VERSION, IDC_ABOUT_COPYRIGHT, IDC_ABOUT_NOTE,
     IDC_BUTTON_HOME_PAGE},
};

const wchar_t* const kPreviewTexts[] = {L"01. Color of standard song", L"02. Color of selected song",
                                        L"03. Color of playing song"};
constexpr int kPreviewRows = 3;

// StringGridFormatChar: row 0 is the fixed title row.
const wchar_t* const kTokenTexts[][2] = {
    {L"Descriptions", L"Means"}, {L"${INAM}", L"Title"},    {L"${IART}", L"Artist"},
    {L"${IPRD}", L"Album"},      {L"${ICMT}", L"Comment"},  {L"${ISRC}", L"Source"},
    {L"${IGNR}", L"Genre"},      {L"${FNAM}", L"Filename"}, {L"${FEXT}", L"Extension"}};
constexpr int kTokenRows = 9;

bool IsFile(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder part of a path; a root keeps its backslash ("C:\").
std::wstring DirectoryOf(const std::wstring& path) {
    size_t i = path.find_last_of(L"\\:");
    if (i == std::wstring::npos) return {};
    if (path[i] == L'\\' && i > 0 && path[i - 1] != L'\\' && path[i - 1] != L':') return path.substr(0, i);
    return path.substr(0, i + 1);
}

bool HasExtension(const std::wstring& path, const wchar_t* ext) {
    size_t slash = path.find_last_of(L"\\:");
    size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return false;
    return lstrcmpiW(path.c_str() + dot, ext) == 0;
}

// The group a watermark control belongs to, told by its edit; 0 for none.
int GroupEditOf(int id) {
    switch (id) {
    case IDC_EDIT_WM_CONFIG: case IDC_BUTTON_WM_CONFIG: return IDC_EDIT_WM_CONFIG;
    case IDC_EDIT_WM_FG: case IDC_BUTTON_WM_FG: return IDC_EDIT_WM_FG;
    case IDC_EDIT_WM_BG: case IDC_BUTTON_WM_BG: return IDC_EDIT_WM_BG;
    default: return 0;
    }
}

int TextWidth(HDC dc, const wchar_t* s) {
    SIZE size{};
    GetTextExtentPoint32W(dc, s, lstrlenW(s), &size);
    return size.cx;
}

// A picture chooser; false when cancelled.
bool ChooseFile(HWND owner, const wchar_t* filter, const wchar_t* defaultExt, std::wstring& file,
                const std::wstring& initialDir) {
    std::vector<wchar_t> buffer(4 * MAX_PATH, L'\0');
    if (file.size() < buffer.size()) std::copy(file.begin(), file.end(), buffer.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrDefExt = defaultExt;
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING |
                OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return false;
    file = buffer.data();
    return true;
}

int ScreenDpiY() {
    TClientDc dc(nullptr);
    int dpi = GetDeviceCaps(dc.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

TFormConfigure::~TFormConfigure() { Plugin.Notices.Unsubscribe(this); }

bool TFormConfigure::Create() {
    if (!CreateModeless(IDD_CONFIGURE, nullptr)) return false;
    Plugin.Notices.Subscribe(this);
    return true;
}

void TFormConfigure::Notice(const TNotice& notice) {
    switch (notice.Kind) {
    case TNotice::StayOnTopChanged: SetStayOnTop(notice.On); break;
    case TNotice::ShowPreferences: ShowAndBringForward(); break;
    case TNotice::ListBackgroundChanged: SetPreviewBackground(notice.Color); break;
    case TNotice::ListFontChanged:
        if (notice.Font) SetPreviewFont(*notice.Font);
        break;
    }
}

void TFormConfigure::ShowAndBringForward() {
    if (!Handle()) return;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void TFormConfigure::SetStayOnTop(bool on) {
    SetWindowPos(Handle(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- small helpers

bool TFormConfigure::Checked(int id) const { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }

void TFormConfigure::SetCheck(int id, bool on) { CheckDlgButton(Handle(), id, on ? BST_CHECKED : BST_UNCHECKED); }

std::wstring TFormConfigure::ItemText(int id) const {
    HWND h = Item(id);
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
    n = GetWindowTextW(h, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TFormConfigure::EnableUpdate(bool on) { EnableWindow(Item(IDC_CONFIG_UPDATE), on ? TRUE : FALSE); }

bool TFormConfigure::AboutWinampChecked() const { return Checked(IDC_CHECK_ABOUT_WINAMP); }

void TFormConfigure::SetAboutWinampChecked(bool on) { SetCheck(IDC_CHECK_ABOUT_WINAMP, on); }

void TFormConfigure::SetPreviewBackground(std::uint32_t color) {
    previewBackground_ = color;
    previewBrush_.reset(CreateSolidBrush(color));
    InvalidateRect(Item(IDC_GRID_PREVIEW), nullptr, TRUE);
}

void TFormConfigure::SetPreviewFont(const LOGFONTW& font) {
    previewLogFont_ = font;
    previewPoints_ = font.lfHeight == 0 ? 0 : MulDiv(std::abs(font.lfHeight), 72, ScreenDpiY());
    TFont created(CreateFontIndirectW(&previewLogFont_));
    if (!created) return;
    SendMessageW(Item(IDC_GRID_PREVIEW), WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), FALSE);
    previewFont_ = std::move(created);
    SetPreviewRowHeight(std::max(std::abs(static_cast<int>(previewLogFont_.lfHeight)), SampleHeight(previewFont_.get())));
}

// ---- captions and the form font

void TFormConfigure::SetFormFontName(const std::wstring& name) {
    TFont font(CreateFontW(-kFormFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           name.c_str()));
    if (!font) return;
    // Every control but the preview, which shows the list font.
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) != IDC_GRID_PREVIEW)
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    formFont_ = std::move(font);
    formFontName_ = name;
    SendMessageW(Item(IDC_GRID_FORMAT_CHAR), LB_SETITEMHEIGHT, 0, kTokenRowHeight);
}

std::wstring TFormConfigure::FormFontName() const { return formFontName_; }

void TFormConfigure::SetControlCaption(int id, const std::wstring& text) { SetDlgItemTextW(Handle(), id, text.c_str()); }

void TFormConfigure::SetPageCaption(TPage page, const std::wstring& text) {
    std::wstring copy = text;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = copy.data();
    SendMessageW(Item(IDC_CONFIG_TABS), TCM_SETITEMW, page, reinterpret_cast<LPARAM>(&item));
}

std::wstring TFormConfigure::PageCaption(TPage page) const {
    wchar_t buffer[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 127;
    SendMessageW(Item(IDC_CONFIG_TABS), TCM_GETITEMW, page, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int TFormConfigure::ActivePage() const {
    return static_cast<int>(SendMessageW(Item(IDC_CONFIG_TABS), TCM_GETCURSEL, 0, 0));
}

// ---- creation, showing, closing

void TFormConfigure::FormCreate() {
    HWND h = Handle();
    // The designed client size, whatever the dialog units came to.
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE)));
    const int w = r.right - r.left, ht = r.bottom - r.top;
    SetWindowPos(h, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - ht) / 2, w, ht,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    HWND tabs = Item(IDC_CONFIG_TABS);
    for (int i = 0; i < kPageCount; ++i) {
        std::wstring caption = kPageCaptions[i];
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    MoveWindow(tabs, 0, 0, kClientWidth, kClientHeight - kBottomPanel, FALSE);
    const int buttonTop = kClientHeight - kBottomPanel + 8;
    MoveWindow(Item(IDC_CONFIG_OK), kClientWidth - 3 * 80 - 8 + 5, buttonTop, 75, 25, FALSE);
    MoveWindow(Item(IDC_CONFIG_CANCEL), kClientWidth - 2 * 80 - 8 + 5, buttonTop, 75, 25, FALSE);
    MoveWindow(Item(IDC_CONFIG_UPDATE), kClientWidth - 80 - 8 + 5, buttonTop, 75, 25, FALSE);

    SendMessageW(Item(IDC_EDIT_EXTENSION), EM_LIMITTEXT, 10, 0);
    SendMessageW(Item(IDC_ABOUT_ICON), STM_SETICON, reinterpret_cast<WPARAM>(PluginIcon(false)), 0);
    for (int id : {IDC_BUTTON_WM_CONFIG, IDC_BUTTON_WM_FG, IDC_BUTTON_WM_BG})
        SetWindowLongPtrW(Item(id), GWL_STYLE, GetWindowLongPtrW(Item(id), GWL_STYLE) | BS_NOTIFY);
    SetFormFontName(kDesignedFormFont);
    InitGrids();
    SendMessageW(tabs, TCM_SETCURSEL, TabSheetFont, 0);
    ShowPage(TabSheetFont);
}

void TFormConfigure::FormShow() {
    TFormPlayList* pl = Plugin.PlayList;
    TWatermarkSkin* skin = pl ? pl->Skin.get() : nullptr;
    if (skin) {
        PendingPlayColor = skin->PlayColor();
        PendingSelectColor = skin->SelectColor();
        PendingNormalColor = skin->NormalColor();
        LOGFONTW lf{};
        if (GetObjectW(skin->Font(), sizeof lf, &lf) == sizeof lf) {
            SetPreviewFont(lf);
            previewPoints_ = skin->FontSpec().Size;
        }
        SetPreviewBackground(skin->ShadowColor());
    }
    FitTokenColumns();
    SetDlgItemTextW(Handle(), IDC_EDIT_WM_CONFIG, L"");
    SetDlgItemTextW(Handle(), IDC_EDIT_WM_FG, skin ? AnsiToWide(skin->FGFileName()).c_str() : L"");
    SetDlgItemTextW(Handle(), IDC_EDIT_WM_BG, skin ? AnsiToWide(skin->BGFileName()).c_str() : L"");
    SetCheck(IDC_CHECK_SONG_ADD_LAST, Option.SongAddLast);
    SetCheck(IDC_CHECK_SHOW_SONG_NUMBER, Option.ShowSongNumber);
    SetCheck(IDC_CHECK_SHOW_SONG_TIME, Option.ShowSongTime);
    SetCheck(IDC_CHECK_WINDOW_POS_OVERRIDE, Option.WindowPositionOverrideByWSC);
    SetCheck(IDC_CHECK_WINDOW_SIZE_OVERRIDE, Option.WindowSizeOverrideByWSC);
    SetCheck(IDC_CHECK_EQUALIZER_RELOCATION, Option.EnableEqualizerRelocation);
    SetCheck(IDC_CHECK_PREFER_ID3V2, Option.PreferID3v2);
    Plugin.AboutWinampEnabled = AboutWinampChecked();
    ShownAboutState = Plugin.AboutWinampEnabled;
    HWND list = Item(IDC_LIST_EXTENSION);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (pl)
        for (const std::string& ext : pl->AudioExtensions.Values())
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AnsiToWide(ext).c_str()));
    SetDlgItemTextW(Handle(), IDC_EDIT_TITLE_FORMAT, AnsiToWide(Option.PlaylistFormat).c_str());
    EnableUpdate(false);
}

void TFormConfigure::FormClose() { ShowWindow(Handle(), SW_HIDE); }

void TFormConfigure::ShowPage(int page) {
    for (int p = 0; p < kPageCount; ++p)
        if (p != page)
            for (int id : kPageControls[p]) ShowWindow(Item(id), SW_HIDE);
    if (page >= 0 && page < kPageCount)
        for (int id : kPageControls[page]) ShowWindow(Item(id), SW_SHOW);
}

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

// ---- handlers

void TFormConfigure::CheckBoxShowSongTimeClick() { EnableUpdate(); }

void TFormConfigure::EditWatermarkConfigChange() { EnableUpdate(); }

void TFormConfigure::ButtonPlaylistFontSelectClick() {
    LOGFONTW lf = previewLogFont_;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = Handle();
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ANSIONLY | CF_FORCEFONTEXIST;
    if (!ChooseFontW(&cf)) return;
    SetPreviewFont(lf);
    // Here the sample is measured with the dialog's own font, not the chosen one.
    HFONT dialogFont = formFont_ ? formFont_.get() : reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
    SetPreviewRowHeight(std::max(std::abs(static_cast<int>(lf.lfHeight)), SampleHeight(dialogFont)));
    if (cf.iPointSize > 0) previewPoints_ = cf.iPointSize / 10;
    EnableUpdate();
}

void TFormConfigure::ButtonSelectColorSelectClick(int sender) {
    std::uint32_t* field = sender == IDC_BUTTON_SELECT_COLOR   ? &PendingSelectColor
                           : sender == IDC_BUTTON_NORMAL_COLOR ? &PendingNormalColor
                                                               : &PendingPlayColor;
    static_assert(sizeof(COLORREF) == sizeof(std::uint32_t));
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = Handle();
    cc.rgbResult = *field;
    cc.lpCustColors = customColors_;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&cc)) return;
    if (cc.rgbResult == *field) return;
    *field = cc.rgbResult;
    InvalidateRect(Item(IDC_GRID_PREVIEW), nullptr, TRUE);
    EnableUpdate();
}

void TFormConfigure::GroupBoxWatermarkConfigExit() { GroupBoxWatermarkFGExit(IDC_EDIT_WM_CONFIG); }

void TFormConfigure::GroupBoxWatermarkFGExit(int editId) {
    const std::wstring text = ItemText(editId);
    if (text.empty() || IsFile(text)) return;
    SendMessageW(Item(IDC_CONFIG_TABS), TCM_SETCURSEL, TabSheetWatermark, 0);
    ShowPage(TabSheetWatermark);
    // Taking the focus back makes the control that had just got it lose it:
    // that loss is ours, not the user's leaving its group.
    ignoreExitOf_ = GroupEditOf(GetDlgCtrlID(GetFocus()));
    SetFocus(Item(editId));
}

// The focus left a watermark group's control: once it has settled, a group it
// left for another control of this dialog gets its exit check.
void TFormConfigure::CheckGroupExit() {
    const int group = pendingExitGroup_;
    pendingExitGroup_ = 0;
    if (!group || !IsWindowVisible(Handle())) return;
    HWND focus = GetFocus();
    if (!focus || !IsChild(Handle(), focus)) return;  // another window: not an exit
    if (GroupEditOf(GetDlgCtrlID(focus)) == group) return;
    if (group == IDC_EDIT_WM_CONFIG) GroupBoxWatermarkConfigExit();
    else GroupBoxWatermarkFGExit(group);
}

void TFormConfigure::SpeedButtonWatermarkConfigClick() {
    std::wstring file = configDialogFileName_;
    const std::wstring before = file;
    if (!ChooseFile(Handle(), L"WatermarkSkin Config\0*.wsc\0", L"wsc", file, DirectoryOf(file))) return;
    configDialogFileName_ = file;
    if (!HasExtension(file, L".wsc")) return;
    if (ItemText(IDC_EDIT_WM_CONFIG) != file) SetDlgItemTextW(Handle(), IDC_EDIT_WM_CONFIG, file.c_str());
    if (file != before) EnableUpdate();
}

void TFormConfigure::SpeedButtonWatermarkFGClick(int sender) {
    const int own = sender == IDC_BUTTON_WM_BG ? IDC_EDIT_WM_BG : IDC_EDIT_WM_FG;
    const int other = own == IDC_EDIT_WM_BG ? IDC_EDIT_WM_FG : IDC_EDIT_WM_BG;
    const std::wstring current = ItemText(own);
    std::wstring file = current;
    const std::wstring dir = DirectoryOf(current.empty() ? ItemText(other) : current);
    if (!ChooseFile(Handle(), L"WatermarkSkin\0*.bmp\0", nullptr, file, dir)) return;
    if (!HasExtension(file, L".bmp")) return;
    if (file != current) {
        SetDlgItemTextW(Handle(), own, file.c_str());
        EnableUpdate();
    }
}

void TFormConfigure::BitBtnExtAddClick() {
    const std::string text = NormalizeExtensionInput(WideToAnsi(ItemText(IDC_EDIT_EXTENSION)), &AnsiLeadByte);
    if (text.empty()) return;
    HWND list = Item(IDC_LIST_EXTENSION);
    const std::wstring wide = AnsiToWide(text);
    // LB_FINDSTRINGEXACT compares without regard to case.
    if (SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str())) == LB_ERR) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        EnableUpdate();
    }
    SetDlgItemTextW(Handle(), IDC_EDIT_EXTENSION, L"");
}

void TFormConfigure::BitBtnExtDelClick() {
    HWND list = Item(IDC_LIST_EXTENSION);
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR) return;
    if (!ItemText(IDC_EDIT_EXTENSION).empty()) {
        const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, sel, 0);
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(n, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
        SetDlgItemTextW(Handle(), IDC_EDIT_EXTENSION, text.c_str());
    }
    SendMessageW(list, LB_DELETESTRING, sel, 0);
    EnableUpdate();
}

void TFormConfigure::ButtonUpdateClick() {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl || !pl->Skin) return;
    TWatermarkSkin& skin = *pl->Skin;
    skin.ClearChanged();
    skin.SetPlayColor(PendingPlayColor);
    skin.SetSelectColor(PendingSelectColor);
    skin.SetNormalColor(PendingNormalColor);
    skin.LoadFG(WideToAnsi(ItemText(IDC_EDIT_WM_FG)));
    skin.LoadBG(WideToAnsi(ItemText(IDC_EDIT_WM_BG)));
    TFontSpec font;
    font.Name = WideToAnsi(previewLogFont_.lfFaceName);
    font.Size = previewPoints_;
    font.Bold = previewLogFont_.lfWeight >= FW_BOLD;
    font.Italic = previewLogFont_.lfItalic != 0;
    skin.AssignFont(font);

    if (Option.SongAddLast != Checked(IDC_CHECK_SONG_ADD_LAST)) Option.SongAddLast = Checked(IDC_CHECK_SONG_ADD_LAST);
    bool repaint = false;
    if (Option.ShowSongNumber != Checked(IDC_CHECK_SHOW_SONG_NUMBER)) {
        Option.ShowSongNumber = Checked(IDC_CHECK_SHOW_SONG_NUMBER);
        repaint = true;
    }
    if (Option.ShowSongTime != Checked(IDC_CHECK_SHOW_SONG_TIME)) {
        Option.ShowSongTime = Checked(IDC_CHECK_SHOW_SONG_TIME);
        repaint = true;
    }
    // The tag preference changes what the entries hold: read them again, then
    // build their titles once, together with a new format if there is one.
    bool retitle = false;
    if (Option.PreferID3v2 != Checked(IDC_CHECK_PREFER_ID3V2)) {
        Option.PreferID3v2 = Checked(IDC_CHECK_PREFER_ID3V2);
        pl->RereadMp3Tags();
        retitle = true;
    }
    const std::string format = WideToAnsi(ItemText(IDC_EDIT_TITLE_FORMAT));
    if (format != Option.PlaylistFormat || retitle) {
        Option.PlaylistFormat = format;
        pl->RetitleAll();  // repaints the list and clears Changed
        repaint = false;
    }
    Option.WindowPositionOverrideByWSC = Checked(IDC_CHECK_WINDOW_POS_OVERRIDE);
    Option.WindowSizeOverrideByWSC = Checked(IDC_CHECK_WINDOW_SIZE_OVERRIDE);
    Option.EnableEqualizerRelocation = Checked(IDC_CHECK_EQUALIZER_RELOCATION);

    // The list takes the preview's font; the old one goes only after the list has let it go.
    if (TFont listFont{CreateFontIndirectW(&previewLogFont_)}) {
        TFont old = std::move(pl->ListFont);
        pl->ListFont = std::move(listFont);
        pl->ApplyListFont();
    }
    if (repaint || skin.Changed()) {
        pl->RepaintList();
        if (pl->ListBox && pl->ListBox->Handle()) UpdateWindow(pl->ListBox->Handle());
        skin.ClearChanged();
    }
    Plugin.AboutWinampEnabled = AboutWinampChecked();

    TExtensionSet chosen(&AnsiLeadByte);
    HWND list = Item(IDC_LIST_EXTENSION);
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (n < 0) continue;
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(n));
        chosen.Add(WideToAnsi(text));
    }
    // Compared as sets: the list box sorts by the user's locale, the set by byte value.
    if (!(chosen == pl->AudioExtensions)) pl->AudioExtensions.Assign(chosen.Values());
    EnableUpdate(false);
}

void TFormConfigure::ButtonOKClick() {
    if (IsWindowEnabled(Item(IDC_CONFIG_UPDATE))) ButtonUpdateClick();
    FormClose();
}

void TFormConfigure::ButtonCancelClick() {
    SetCheck(IDC_CHECK_ABOUT_WINAMP, ShownAboutState);
    FormClose();
}

void TFormConfigure::SpeedButtonHomePageClick() {
    ShellExecuteW(Handle(), L"open", kHomePage, nullptr, L".", SW_SHOWNORMAL);
}

// ---- dispatch

void TFormConfigure::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_CONFIG_OK: if (code == BN_CLICKED) ButtonOKClick(); return;
    case IDC_CONFIG_CANCEL: if (code == BN_CLICKED) ButtonCancelClick(); return;
    case IDC_CONFIG_UPDATE: if (code == BN_CLICKED) ButtonUpdateClick(); return;
    case IDC_BUTTON_FONT_SELECT: if (code == BN_CLICKED) ButtonPlaylistFontSelectClick(); return;
    case IDC_BUTTON_NORMAL_COLOR: case IDC_BUTTON_SELECT_COLOR: case IDC_BUTTON_PLAY_COLOR:
        if (code == BN_CLICKED) ButtonSelectColorSelectClick(id);
        return;
    case IDC_CHECK_SONG_ADD_LAST: case IDC_CHECK_SHOW_SONG_NUMBER: case IDC_CHECK_SHOW_SONG_TIME:
    case IDC_CHECK_EQUALIZER_RELOCATION: case IDC_CHECK_ABOUT_WINAMP: case IDC_CHECK_WINDOW_POS_OVERRIDE:
    case IDC_CHECK_WINDOW_SIZE_OVERRIDE: case IDC_CHECK_PREFER_ID3V2:
        if (code == BN_CLICKED) CheckBoxShowSongTimeClick();
        return;
    case IDC_EDIT_TITLE_FORMAT:
        if (code == EN_CHANGE) EditWatermarkConfigChange();
        return;
    case IDC_BUTTON_WM_CONFIG: case IDC_BUTTON_WM_FG: case IDC_BUTTON_WM_BG:
    case IDC_EDIT_WM_CONFIG: case IDC_EDIT_WM_FG: case IDC_EDIT_WM_BG:
        if (code == EN_CHANGE) EditWatermarkConfigChange();
        else if (code == BN_CLICKED && id == IDC_BUTTON_WM_CONFIG) SpeedButtonWatermarkConfigClick();
        else if (code == BN_CLICKED) SpeedButtonWatermarkFGClick(id);
        else if (code == EN_KILLFOCUS || code == BN_KILLFOCUS) {
            const int group = GroupEditOf(id);
            if (group == ignoreExitOf_) {
                ignoreExitOf_ = 0;
            } else {
                pendingExitGroup_ = group;
                PostMessageW(Handle(), WM_VL_CHECK_GROUP_EXIT, 0, 0);
            }
        }
        return;
    case IDC_BUTTON_EXT_ADD: if (code == BN_CLICKED) BitBtnExtAddClick(); return;
    case IDC_BUTTON_EXT_DEL: if (code == BN_CLICKED) BitBtnExtDelClick(); return;
    case IDC_BUTTON_HOME_PAGE: if (code == BN_CLICKED) SpeedButtonHomePageClick(); return;
    case IDC_GRID_FORMAT_CHAR:
        // Whole-row selection never rests on the fixed row.
        if (code == LBN_SELCHANGE && SendMessageW(Item(id), LB_GETCURSEL, 0, 0) == 0)
            SendMessageW(Item(id), LB_SETCURSEL, 1, 0);
        return;
    default: return;
    }
}

INT_PTR TFormConfigure::OnNotify(const NMHDR* hdr) {
    if (hdr && hdr->idFrom == IDC_CONFIG_TABS && hdr->code == TCN_SELCHANGE) ShowPage(ActivePage());
    return FALSE;
}

INT_PTR TFormConfigure::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        FormCreate();
        return TRUE;
    case WM_SHOWWINDOW:
        if (wp) {
            FormShow();
            if (!keys_) keys_ = std::make_unique<TDialogKeys>(Handle());
        } else {
            keys_.reset();
        }
        return FALSE;
    case WM_DESTROY:
        keys_.reset();
        return FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<const NMHDR*>(lp));
    case WM_VL_CHECK_GROUP_EXIT:
        CheckGroupExit();
        return TRUE;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (dis->CtlID == IDC_GRID_PREVIEW) StringGridPrevirePlayListDrawCell(*dis);
        else if (dis->CtlID == IDC_GRID_FORMAT_CHAR) StringGridFormatCharDrawCell(*dis);
        else return FALSE;
        return TRUE;
    }
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == Item(IDC_GRID_PREVIEW) && previewBrush_)
            return reinterpret_cast<INT_PTR>(previewBrush_.get());
        return FALSE;
    case WM_CLOSE:
        FormClose();
        return TRUE;
    default:
        return FALSE;
    }
}
