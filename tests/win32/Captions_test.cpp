// The captions in the real plug-in: English with "Arial", or every Japanese
// text of the table through the wide functions, readable on a system of any
// code page (the test process runs with code page 1252).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <string>
#include <vector>
#include "ConfigureDriver.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"
#include "plugin/Captions_win.h"
#include "plugin/PlayListPreferences_win.h"
#include "playlist/PlayList_win.h"
#include "preferences/Configure_win.h"
#include "resources/resource.h"

namespace {
struct TExpected {
    TCaptionTarget Target;
    int Id;
    const char* Component;
    const char* English;   // UTF-8
    const char* Japanese;  // UTF-8
};

// Written out separately from the plug-in's own table, in UTF-8.
const TExpected kExpected[] = {
    {TCaptionTarget::OpenDialogTitle, 0, "OpenDialogAudio", "Open file(s)", "ｵｰﾃﾞｨｵﾌｧｲﾙの選択"},
    {TCaptionTarget::MenuItem, PopupItemPlayFile, "PopupItemPlayFile", "Play file(s)", "再生"},
    {TCaptionTarget::MenuItem, PopupItemPlayBase, "PopupItemPlayBase", "Play control", "ﾌﾟﾚｲｺﾝﾄﾛｰﾙ"},
    {TCaptionTarget::MenuItem, PopupItemCtrlPrevious, "PopupItemCtrlPrevious", "Previous", "前曲"},
    {TCaptionTarget::MenuItem, PopupItemCtrlRewind, "PopupItemCtrlRewind", "Rewind", "巻戻し"},
    {TCaptionTarget::MenuItem, PopupItemCtrlPlay, "PopupItemCtrlPlay", "Play", "再生"},
    {TCaptionTarget::MenuItem, PopupItemCtrlPause, "PopupItemCtrlPause", "Pause", "一時停止"},
    {TCaptionTarget::MenuItem, PopupItemCtrlStop, "PopupItemCtrlStop", "Stop", "停止"},
    {TCaptionTarget::MenuItem, PopupItemCtrlForward, "PopupItemCtrlForward", "Forward", "早送り"},
    {TCaptionTarget::MenuItem, PopupItemCtrlNext, "PopupItemCtrlNext", "Next", "次曲"},
    {TCaptionTarget::MenuItem, PopupItemCtrlEject, "PopupItemCtrlEject", "Eject", "ｲｼﾞｪｸﾄ"},
    {TCaptionTarget::MenuItem, PopupItemJumpToFile, "PopupItemJumpToFile", "Jump to file...", "ファイルへジャンプ..."},
    {TCaptionTarget::MenuItem, PopupItemUndo, "PopupItemUndo", "Undo", "元に戻す"},
    {TCaptionTarget::MenuItem, PopupItemRedo, "PopupItemRedo", "Redo", "やり直し"},
    {TCaptionTarget::MenuItem, PopupItemAddBase, "PopupItemAddBase", "Add", "追加"},
    {TCaptionTarget::MenuItem, PopupItemAddFile, "PopupItemAddFile", "Add File...", "ﾌｧｲﾙ"},
    {TCaptionTarget::MenuItem, PopupItemAddFolder, "PopupItemAddFolder", "Add Directory...", "ﾃﾞｨﾚｸﾄﾘ"},
    {TCaptionTarget::MenuItem, PopupItemAddURL, "PopupItemAddURL", "Add URL...", "URL"},
    {TCaptionTarget::MenuItem, PopupItemDeleteBase, "PopupItemDeleteBase", "Delete", "削除"},
    {TCaptionTarget::MenuItem, PopupItemDeleteFile, "PopupItemDeleteFile", "Remove file(s)", "選択行"},
    {TCaptionTarget::MenuItem, PopupItemDeleteCrop, "PopupItemDeleteCrop", "Crop file(s)", "非選択行"},
    {TCaptionTarget::MenuItem, PopupItemDeleteAll, "PopupItemDeleteAll", "Remove all", "全て"},
    {TCaptionTarget::MenuItem, PopupItemDeleteDuplicates, "PopupItemDeleteDuplicates", "Remove duplicates", "重複した項目を削除"},
    {TCaptionTarget::MenuItem, PopupItemDeleteDeadFiles, "PopupItemDeleteDeadFiles", "Remove dead files", "存在しないファイルを削除"},
    {TCaptionTarget::MenuItem, PopupItemSelectBase, "PopupItemSelectBase", "Select", "選択"},
    {TCaptionTarget::MenuItem, PopupItemSelectAll, "PopupItemSelectAll", "&Select all", "全て"},
    {TCaptionTarget::MenuItem, PopupItemSelectClear, "PopupItemSelectClear", "&Unselect all", "解除"},
    {TCaptionTarget::MenuItem, PopupItemSelectInverse, "PopupItemSelectInverse", "&Inverse selection", "反転"},
    {TCaptionTarget::MenuItem, PopupItemSortBase, "PopupItemSortBase", "Sort", "並べ替え"},
    {TCaptionTarget::MenuItem, PopupItemSortTitle, "PopupItemSortTitle", "Sort list by &Title", "ﾀｲﾄﾙ"},
    {TCaptionTarget::MenuItem, PopupItemSortFilename, "PopupItemSortFilename", "Sort list by &Filename", "ﾌｧｲﾙ名"},
    {TCaptionTarget::MenuItem, PopupItemSortPath, "PopupItemSortPath", "Sort list by &Path && Filename", "ﾊﾟｽ名+ﾌｧｲﾙ名"},
    {TCaptionTarget::MenuItem, PopupItemSortRandomize, "PopupItemSortRandomize", "&Raandomize list", "ｼｬｯﾌﾙ"},
    {TCaptionTarget::MenuItem, PopupItemSortReverse, "PopupItemSortReverse", "R&everse list", "反転"},
    {TCaptionTarget::MenuItem, PopupItemSaveList, "PopupItemSaveList", "Save list...", "リストの保存..."},
    {TCaptionTarget::MenuItem, PopupItemInfoBase, "PopupItemInfoBase", "Information", "情報"},
    {TCaptionTarget::MenuItem, PopupItemShowControlPanel, "PopupItemShowControlPanel", "Show control panel", "制御パネルの表示"},
    {TCaptionTarget::MenuItem, PopupItemAutomaticShowPL, "PopupItemAutomaticShowPL", "Automatic show originl playlist", "ｵﾘｼﾞﾅﾙﾌﾟﾚｲﾘｽﾄの自動表示"},
    {TCaptionTarget::MenuItem, PopupItemAutomaticShowEQ, "PopupItemAutomaticShowEQ", "Automatic show equalizer", "ｲｺﾗｲｻﾞの自動表示"},
    {TCaptionTarget::MenuItem, PopupItemAOT, "PopupItemAOT", "Always on top", "常に手前に表示"},
    {TCaptionTarget::MenuItem, LaunchtheControlpanel1, "LaunchtheControlpanel1", "Launch the Control panel", "設定ｳｨﾝﾄﾞｳの表示..."},
    {TCaptionTarget::DialogControl, IDC_CONFIG_CANCEL, "ButtonCancel", "Cancel", "ｷｬﾝｾﾙ"},
    {TCaptionTarget::DialogControl, IDC_CONFIG_UPDATE, "ButtonUpdate", "Update", "更新"},
    {TCaptionTarget::DialogCaption, 0, "the preferences dialog", "VelvetLister Preferences", "VelvetLister - 設定"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetFont, "TabSheetFont", "Display font", "表示ﾌｫﾝﾄ"},
    {TCaptionTarget::DialogControl, IDC_GROUP_PLAYLIST, "GroupBoxPlaylist", "Playlist &display font", "プレイリスト"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_FONT_SELECT, "ButtonPlaylistFontSelect", "&Font", "フォント"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_NORMAL_COLOR, "ButtonNormalColorSelect", "&Normal color", "標準色"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_SELECT_COLOR, "ButtonSelectColorSelect", "&Select color", "選択色"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_PLAY_COLOR, "ButtonPlaytColorSelect", "&Play color", "再生色"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetFormat, "TabSheetFormat", "Display format", "表示形式"},
    {TCaptionTarget::DialogControl, IDC_GROUP_WM_FG, "GroupBoxWatermarkFG", "&Foreground image", "前景画像"},
    {TCaptionTarget::DialogControl, IDC_GROUP_WM_BG, "GroupBoxWatermarkBG", "&Background image", "背景画像"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetInherit, "TabSheetInherit", "Inherit", "継承"},
    {TCaptionTarget::DialogControl, IDC_CHECK_INHERIT_SKIN, "CheckBoxInheritSkinColors", "Use the colours and font of the player's skin", "プレーヤーのスキンの色とフォントを使う"},
    {TCaptionTarget::DialogControl, IDC_LABEL_INHERIT_FILE, "LabelInheritFile", "(none in the current skin)", "（現在のスキンにはありません）"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetSettings, "TabSheetSettings", "Options", "ｵﾌﾟｼｮﾝ"},
    {TCaptionTarget::DialogControl, IDC_CHECK_SONG_ADD_LAST, "CheckBoxSongAddLast", "Add songs at &last", "ﾌﾟﾚｲﾘｽﾄの最後に追加"},
    {TCaptionTarget::DialogControl, IDC_CHECK_SHOW_SONG_NUMBER, "CheckBoxShowSongNumber", "Show &numbers in playlist", "曲通番の表示"},
    {TCaptionTarget::DialogControl, IDC_CHECK_SHOW_SONG_TIME, "CheckBoxShowSongTime", "&Show song time", "曲長の表示"},
    {TCaptionTarget::DialogControl, IDC_CHECK_EQUALIZER_RELOCATION, "CheckBoxEnableEqualizerRelocation", "Enable Equalizer window position change", "ｲｺﾗｲｻﾞｳｨﾝﾄﾞｳの自動位置変更"},
    {TCaptionTarget::DialogControl, IDC_CHECK_ABOUT_WINAMP, "CheckBoxEnableAboutWinamp", "&Launch the About Winamp Dialog", "About Winampﾀﾞｲｱﾛｸﾞﾎﾞﾀﾝ有効"},
    {TCaptionTarget::DialogControl, IDC_CHECK_WINDOW_POS_OVERRIDE, "CheckBoxWindowPosOverride", "Window position override by WSC", ".wscによるｳｨﾝﾄﾞｳ位置変更を許可する"},
    {TCaptionTarget::DialogControl, IDC_CHECK_WINDOW_SIZE_OVERRIDE, "CheckBoxWindowSizeOverride", "Window size override by WSC", ".wscによるｳｨﾝﾄﾞｳｻｲｽﾞ変更を許可する"},
    {TCaptionTarget::DialogControl, IDC_CHECK_PREFER_ID3V2, "CheckBoxPreferID3v2", "Prefer ID3v2 tags", "ID3v2タグを優先"},
    {TCaptionTarget::DialogControl, IDC_CHECK_READ_SONG_LENGTH, "CheckBoxReadSongLength", "Read song lengths from files", "ファイルから曲の長さを読む"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetExtension, "TabSheetExtension", "Extension", "拡張子"},
    {TCaptionTarget::DialogControl, IDC_LABEL_EXTENSION, "LabelExtension", "Audio file extensions", "ｵｰﾃﾞｨｵ拡張子"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_EXT_ADD, "BitBtnExtAdd", " Add", "追加"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_EXT_DEL, "BitBtnExtDel", " Remove", "削除"},
    {TCaptionTarget::DialogControl, IDC_LABEL_EXTENSION_NOTICE, "LabelExtensionNotice", "* Don't add playlist's extension", "* ﾌﾟﾚｲﾘｽﾄの拡張子は追加しないで下さい"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetAbout, "TabSheetAbout", "About", "VelvetListerについて"},
};

// A visible dialog of this process other than the preferences.
BOOL CALLBACK FindOtherDialog(HWND h, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (pid == GetCurrentProcessId() && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) &&
        !GetDlgItem(h, IDC_CONFIG_TABS)) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

// "ＭＳ Ｐゴシック" by its code points: full-width M, S, P and katakana, not the
// half-width look-alikes that no font is named by.
const wchar_t kDesignedFont[] = {0xFF2D, 0xFF33, 0x0020, 0xFF30, 0x30B4, 0x30B7, 0x30C3, 0x30AF, 0};

class CaptionsTest : public TPluginTest {
protected:
    virtual bool Japanese() const = 0;
    void SetUp() override {
        TPluginTest::SetUp();
        WriteFile("plugin.ini", Japanese() ? "[VelvetLister Plug-in]\r\nOption.Locale=0411\r\n"
                                           : "[VelvetLister Plug-in]\r\nOption.Locale=0409\r\n");
        StartPlugin();
        host->Config();
        Pump();
        dlg = FindPreferences();
        ASSERT_NE(dlg, nullptr);
    }

    TFormPlayList* PlayList() const {
        return static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    }

    std::wstring MenuText(int id) const {
        wchar_t buffer[256] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_STRING;
        mi.dwTypeData = buffer;
        mi.cch = 255;
        if (!GetMenuItemInfoW(PlayList()->PopupMenuEdit(), static_cast<UINT>(id), FALSE, &mi)) return L"<missing>";
        return buffer;
    }
    // A caption as shown, without a menu item's shortcut text.
    std::wstring Shown(const TExpected& e) const {
        TConfigureDriver d(dlg);
        switch (e.Target) {
        case TCaptionTarget::MenuItem: {
            std::wstring s = MenuText(e.Id);
            return s.substr(0, s.find(L'\t'));
        }
        case TCaptionTarget::DialogCaption: {
            wchar_t buffer[256] = {};
            GetWindowTextW(dlg, buffer, 256);
            return buffer;
        }
        case TCaptionTarget::Page: {
            wchar_t buffer[256] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = buffer;
            item.cchTextMax = 255;
            SendMessageW(d.Item(IDC_CONFIG_TABS), TCM_GETITEMW, e.Id, reinterpret_cast<LPARAM>(&item));
            return buffer;
        }
        case TCaptionTarget::DialogControl: return d.Text(e.Id);
        case TCaptionTarget::OpenDialogTitle: return OpenDialogTitleShown();
        }
        return {};
    }
    // Opens the eject command's file dialog and reads its title.
    std::wstring OpenDialogTitleShown() const {
        std::wstring title;
        std::atomic<bool> stop{false};
        std::thread watcher([&] {
            for (int i = 0; i < 1000 && !stop; ++i) {
                HWND found = nullptr;
                EnumWindows(&FindOtherDialog, reinterpret_cast<LPARAM>(&found));
                if (found) {
                    wchar_t buffer[256] = {};
                    GetWindowTextW(found, buffer, 256);
                    title = buffer;
                    PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
                    return;
                }
                Sleep(10);
            }
        });
        SendMessageW(PlayListWindow(), WM_COMMAND, PopupItemCtrlEject, 0);
        stop = true;
        watcher.join();
        Pump();
        return title;
    }

    static TFormConfigure* Form(const TConfigureDriver& d) {
        return static_cast<TFormConfigure*>(reinterpret_cast<TDialog*>(GetWindowLongPtrW(d.Dialog(), DWLP_USER)));
    }

    HWND dlg = nullptr;
};

class EnglishCaptions : public CaptionsTest {
    bool Japanese() const override { return false; }
};
class JapaneseCaptions : public CaptionsTest {
    bool Japanese() const override { return true; }
};

// Ink: the pixels that differ from the background, in a bitmap of the given size.
std::vector<bool> InkOf(HDC dc, int w, int h, COLORREF background) {
    std::vector<bool> ink(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ink[static_cast<size_t>(y) * w + x] = GetPixel(dc, x, y) != background;
    return ink;
}

int Count(const std::vector<bool>& ink) { return static_cast<int>(std::count(ink.begin(), ink.end(), true)); }

int Differences(const std::vector<bool>& a, const std::vector<bool>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
}

// The ink of a text drawn as a static control draws it, in a font, on a plain background.
std::vector<bool> RenderedInk(const std::wstring& text, HFONT font, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    HGDIOBJ oldFont = SelectObject(mem, font);
    RECT r{0, 0, w, h};
    FillRect(mem, &r, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(mem, text.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    std::vector<bool> ink = InkOf(mem, w, h, GetPixel(mem, w - 1, h - 1));
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ink;
}
}  // namespace

TEST_F(EnglishCaptions, EveryCaptionStaysEnglishInArial) {
    for (const TExpected& e : kExpected) {
        if (e.Target == TCaptionTarget::OpenDialogTitle) continue;  // checked below, once
        EXPECT_EQ(Shown(e), W(e.English)) << e.Component;
    }
    EXPECT_EQ(OpenDialogTitleShown(), L"Open file(s)");
    TConfigureDriver d(dlg);
    for (int id : {IDC_CONFIG_OK, IDC_CONFIG_CANCEL, IDC_CHECK_SHOW_SONG_TIME, IDC_LABEL_EXTENSION, IDC_CONFIG_TABS,
                   IDC_GRID_FORMAT_CHAR})
        EXPECT_EQ(FontFaceOf(d.Item(id)), L"Arial") << "control " << id;
    EXPECT_EQ(FontFaceOf(PlayListWindow()), L"Arial");
    EXPECT_EQ(PlayList()->FormFontName(), L"Arial");
    EXPECT_EQ(Form(d)->FormFontName(), L"Arial");
}

TEST_F(JapaneseCaptions, EveryTextOfTheTableIsSet) {
    ASSERT_TRUE(ScreenFontInstalled(L"MS UI Gothic")) << "the test prefix maps it to VL Gothic";
    for (const TExpected& e : kExpected) {
        if (e.Target == TCaptionTarget::OpenDialogTitle) continue;
        EXPECT_EQ(Shown(e), W(e.Japanese)) << e.Component;
    }
    EXPECT_EQ(OpenDialogTitleShown(), W("ｵｰﾃﾞｨｵﾌｧｲﾙの選択"));
    TConfigureDriver d(dlg);
    for (int id : {IDC_CONFIG_OK, IDC_CONFIG_UPDATE, IDC_CHECK_SHOW_SONG_TIME, IDC_LABEL_EXTENSION, IDC_CONFIG_TABS})
        EXPECT_EQ(FontFaceOf(d.Item(id)), L"MS UI Gothic") << "control " << id;
    EXPECT_EQ(FontFaceOf(PlayListWindow()), L"MS UI Gothic");
    // A menu item keeps its shortcut after the caption.
    EXPECT_EQ(MenuText(PopupItemAOT), W("常に手前に表示") + L"\tCtrl+T");
}

TEST_F(JapaneseCaptions, SharedTextsAreEqualAndTheRestStaysEnglish) {
    auto shown = [&](const char* component) {
        for (const TExpected& e : kExpected)
            if (std::string(e.Component) == component) return Shown(e);
        ADD_FAILURE() << component;
        return std::wstring();
    };
    EXPECT_EQ(shown("PopupItemPlayFile"), shown("PopupItemCtrlPlay"));
    EXPECT_EQ(shown("PopupItemDeleteAll"), shown("PopupItemSelectAll"));
    EXPECT_EQ(shown("PopupItemSelectInverse"), shown("PopupItemSortReverse"));
    EXPECT_EQ(shown("PopupItemAddBase"), shown("BitBtnExtAdd"));
    EXPECT_EQ(shown("PopupItemDeleteBase"), shown("BitBtnExtDel"));
    EXPECT_EQ(shown("PopupItemAddURL"), L"URL");

    TConfigureDriver d(dlg);
    EXPECT_EQ(d.Text(IDC_CONFIG_OK), L"OK");
    EXPECT_EQ(d.Text(IDC_GROUP_WM_CONFIG), L"&WatermarkSkin");
    EXPECT_EQ(d.Text(IDC_LABEL_RESTART), L"Effects after restart the WinAMP");
    EXPECT_EQ(d.Text(IDC_CHECK_JAPANESE), L"&Messages in Japanese");
    EXPECT_EQ(Form(d)->PageCaption(TFormConfigure::TabSheetWatermark), L"WatermarkSkin");
    EXPECT_EQ(MenuText(PopupItemFileInfo).substr(0, 9), L"File Info");
    EXPECT_EQ(MenuText(PopupItemPlaylistEntry).substr(0, 14), L"Playlist Entry");
}

TEST_F(JapaneseCaptions, JapaneseCaptionsRenderAsGlyphs) {
    TConfigureDriver d(dlg);
    d.ClickPage(TFormConfigure::TabSheetExtension);
    HWND label = d.Item(IDC_LABEL_EXTENSION);
    ASSERT_TRUE(IsWindowVisible(label));
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    RECT r{};
    GetClientRect(label, &r);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const std::wstring text = W("ｵｰﾃﾞｨｵ拡張子");

    HDC dc = GetDC(label);
    const std::vector<bool> shown = InkOf(dc, r.right, r.bottom, GetPixel(dc, r.right - 1, r.bottom - 1));
    ReleaseDC(label, dc);

    const std::vector<bool> glyphs = RenderedInk(text, font, r.right, r.bottom);
    const std::vector<bool> questionMarks = RenderedInk(std::wstring(text.size(), L'?'), font, r.right, r.bottom);
    // An unassigned code point has a glyph in no font: it shows as the missing-glyph box.
    const std::vector<bool> boxes = RenderedInk(std::wstring(text.size(), L'\x0378'), font, r.right, r.bottom);

    const int ink = Count(glyphs);
    ASSERT_GT(ink, 0);
    ASSERT_GT(Differences(glyphs, boxes), ink / 3) << "the font has the glyphs";
    // What the label shows is the glyph rendering, pixel for pixel, and neither
    // question marks nor boxes.
    EXPECT_LE(Differences(shown, glyphs), ink / 20) << "shown ink " << Count(shown) << ", glyph ink " << ink;
    EXPECT_GT(Differences(shown, questionMarks), ink / 3);
    EXPECT_GT(Differences(shown, boxes), ink / 3);
}

// Without "MS UI Gothic" the Japanese captions come with the designed font.
TEST(CaptionsWithoutUiGothic, KeepTheDesignedFont) {
    TPlayListPreferences target;
    TFormConfigure form(target);
    ASSERT_TRUE(form.Create());
    auto* playList = new TFormPlayList();
    ASSERT_TRUE(playList->Create());
    ApplyCaptionsTo(playList, &form, true, false);
    EXPECT_EQ(playList->FormFontName(), kDesignedFont);
    playList->Release();
    DestroyPendingWindows();
    EXPECT_EQ(form.FormFontName(), kDesignedFont);
    EXPECT_EQ(FontFaceOf(GetDlgItem(form.Handle(), IDC_CONFIG_OK)), kDesignedFont);
    wchar_t caption[64] = {};
    GetDlgItemTextW(form.Handle(), IDC_CONFIG_UPDATE, caption, 64);
    EXPECT_EQ(std::wstring(caption), W("更新"));
    EXPECT_EQ(form.PageCaption(TFormConfigure::TabSheetAbout), W("VelvetListerについて"));
}
