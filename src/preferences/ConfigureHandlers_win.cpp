// The preferences dialog's handlers: the choosers, the watermark groups, the
// extension list and the three buttons.
#include "preferences/Configure_win.h"
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include "base/FileExists_win.h"
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
}  // namespace

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
    if (text.empty() || FileExists(text)) return;
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
    TWatermarkSkin* style = target_.StyleObject();
    if (!style) return;
    TWatermarkSkin& skin = *style;
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
        target_.RereadTags();
        retitle = true;
    }
    if (Option.ReadSongLength != Checked(IDC_CHECK_READ_SONG_LENGTH)) {
        Option.ReadSongLength = Checked(IDC_CHECK_READ_SONG_LENGTH);
        target_.ReadSongLengthChanged();
    }
    const std::string format = WideToAnsi(ItemText(IDC_EDIT_TITLE_FORMAT));
    if (format != Option.PlaylistFormat || retitle) {
        Option.PlaylistFormat = format;
        target_.RetitleAll();  // repaints the list and clears Changed
        repaint = false;
    }
    Option.WindowPositionOverrideByWSC = Checked(IDC_CHECK_WINDOW_POS_OVERRIDE);
    Option.WindowSizeOverrideByWSC = Checked(IDC_CHECK_WINDOW_SIZE_OVERRIDE);
    Option.EnableEqualizerRelocation = Checked(IDC_CHECK_EQUALIZER_RELOCATION);

    // The list takes the preview's font.
    if (TFont listFont{CreateFontIndirectW(&previewLogFont_)}) target_.TakeListFont(std::move(listFont));
    ApplyInheritPage();
    if (repaint || skin.Changed()) target_.RepaintListNow();
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
    if (!(chosen == target_.AudioExtensions())) target_.SetAudioExtensions(chosen);
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
