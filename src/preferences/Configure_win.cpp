// The preferences dialog: creation and showing, the pages and the dispatch of
// its messages (the grids and the handlers have files of their own). The dialog
// works on copies; ButtonUpdateClick applies them to the playlist window and
// its style object.
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
#include "entries/Options.h"
#include "host/SettingsValues.h"
#include "preferences/ConfigureParts_win.h"
#include "preferences/ConfigureRules.h"
#include "resources/resource.h"
#include "skin/WatermarkSkin_win.h"

using namespace ConfigureParts;

namespace {
constexpr int kClientWidth = 371;
constexpr int kClientHeight = 263;
constexpr int kBottomPanel = 41;
constexpr int kFormFontHeight = 12;

const wchar_t* const kPageCaptions[TFormConfigure::kPageCount] = {
    L"Display font", L"Display format", L"WatermarkSkin", L"Inherit", L"Options", L"Extension", L"About"};

// The controls of each page; the tab control shows one page's controls at a time.
const std::vector<int> kPageControls[TFormConfigure::kPageCount] = {
    {IDC_GROUP_PLAYLIST, IDC_BUTTON_FONT_SELECT, IDC_BUTTON_NORMAL_COLOR, IDC_BUTTON_SELECT_COLOR,
     IDC_BUTTON_PLAY_COLOR, IDC_GRID_PREVIEW},
    {IDC_EDIT_TITLE_FORMAT, IDC_GRID_FORMAT_CHAR, IDC_CHECK_READ_SONG_LENGTH},
    {IDC_GROUP_WM_CONFIG, IDC_EDIT_WM_CONFIG, IDC_BUTTON_WM_CONFIG, IDC_GROUP_WM_FG, IDC_EDIT_WM_FG,
     IDC_BUTTON_WM_FG, IDC_GROUP_WM_BG, IDC_EDIT_WM_BG, IDC_BUTTON_WM_BG},
    {IDC_CHECK_INHERIT_SKIN, IDC_LABEL_INHERIT_FILE},
    {IDC_CHECK_JAPANESE, IDC_LABEL_RESTART, IDC_CHECK_SONG_ADD_LAST, IDC_CHECK_SHOW_SONG_NUMBER,
     IDC_CHECK_SHOW_SONG_TIME, IDC_CHECK_EQUALIZER_RELOCATION, IDC_CHECK_ABOUT_WINAMP,
     IDC_CHECK_WINDOW_POS_OVERRIDE, IDC_CHECK_WINDOW_SIZE_OVERRIDE, IDC_CHECK_PREFER_ID3V2},
    {IDC_LABEL_EXTENSION, IDC_LIST_EXTENSION, IDC_BUTTON_EXT_ADD, IDC_EDIT_EXTENSION, IDC_BUTTON_EXT_DEL,
     IDC_LABEL_EXTENSION_NOTICE},
    {IDC_ABOUT_ICON, IDC_ABOUT_NAME, IDC_ABOUT_VERSION, IDC_ABOUT_COPYRIGHT, IDC_ABOUT_NOTE,
     IDC_BUTTON_HOME_PAGE},
};

int ScreenDpiY() {
    TClientDc dc(nullptr);
    int dpi = GetDeviceCaps(dc.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}
}  // namespace

int ConfigureParts::GroupEditOf(int id) {
    switch (id) {
    case IDC_EDIT_WM_CONFIG: case IDC_BUTTON_WM_CONFIG: return IDC_EDIT_WM_CONFIG;
    case IDC_EDIT_WM_FG: case IDC_BUTTON_WM_FG: return IDC_EDIT_WM_FG;
    case IDC_EDIT_WM_BG: case IDC_BUTTON_WM_BG: return IDC_EDIT_WM_BG;
    default: return 0;
    }
}

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
    TWatermarkSkin* skin = target_.StyleObject();
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
    ShowInheritPage();
    SetCheck(IDC_CHECK_READ_SONG_LENGTH, Option.ReadSongLength);
    Plugin.AboutWinampEnabled = AboutWinampChecked();
    ShownAboutState = Plugin.AboutWinampEnabled;
    HWND list = Item(IDC_LIST_EXTENSION);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const TExtensionSet extensions = target_.AudioExtensions();
    for (const std::string& ext : extensions.Values())
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
    case IDC_CHECK_WINDOW_SIZE_OVERRIDE: case IDC_CHECK_PREFER_ID3V2: case IDC_CHECK_INHERIT_SKIN:
    case IDC_CHECK_READ_SONG_LENGTH:
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
