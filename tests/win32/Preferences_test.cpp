// The preferences dialog in the real plug-in, driven as a user would: pages
// clicked, text typed, buttons pressed, grid rows double-clicked, the system's
// font and colour choosers answered.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "ConfigureDriver.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"
#include "playlist/PlayList_win.h"
#include "preferences/Configure_win.h"
#include "resources/resource.h"

namespace {
constexpr int kRowHeight = 16;

class Preferences : public TPluginTest {
protected:
    virtual std::string PluginLines() { return "Option.EnableAboutWinamp=1\r\n"; }
    void SetUp() override {
        TPluginTest::SetUp();
        WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\n" + PluginLines());
        StartHost();
        host->Playlist = {WriteMp3("one.mp3", "First", "Band"), WriteMp3("two.mp3", "Second", "Band")};
        StartPlugin();
    }

    // Opens the dialog the way the host's configure call does.
    TConfigureDriver Open() {
        host->Config();
        Pump();
        HWND dlg = FindPreferences();
        EXPECT_NE(dlg, nullptr);
        EXPECT_TRUE(IsWindowVisible(dlg));
        return TConfigureDriver(dlg);
    }

    // The plug-in's own objects, read through their windows (same process).
    TFormPlayList* PlayList() const {
        auto* w = reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA));
        return static_cast<TFormPlayList*>(w);
    }
    static TFormConfigure* Form(const TConfigureDriver& d) {
        auto* dialog = reinterpret_cast<TDialog*>(GetWindowLongPtrW(d.Dialog(), DWLP_USER));
        return static_cast<TFormConfigure*>(dialog);
    }
    HWND ListBoxWindow() const { return PlayList()->ListBox()->Handle(); }
    // A key as the user presses it: posted to the focused control and taken off the
    // queue by the message loop, with the modifiers down meanwhile.
    static void PressKey(UINT message, WPARAM key, bool shift = false, bool alt = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetFocus(), message, key, alt ? (1 << 29) : 0);
        Pump();
        keys[VK_SHIFT] = keys[VK_MENU] = 0;
        SetKeyboardState(keys);
    }
};

// English captions, which have access keys.
class EnglishPreferences : public Preferences {
    std::string PluginLines() override { return "Option.EnableAboutWinamp=1\r\nOption.Locale=0000\r\n"; }
};

}  // namespace

TEST_F(Preferences, ClosingOnlyHidesAndShowingReloadsTheControls) {
    TConfigureDriver d = Open();
    EXPECT_EQ(d.ActivePage(), TFormConfigure::TabSheetFont);
    EXPECT_FALSE(d.Enabled(IDC_CONFIG_UPDATE)) << "nothing edited yet";
    d.ClickPage(TFormConfigure::TabSheetFormat);
    const std::wstring format = d.Text(IDC_EDIT_TITLE_FORMAT);
    EXPECT_EQ(format, L"${INAM}");
    d.Type(IDC_EDIT_TITLE_FORMAT, L" x");
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE)) << "an edit of the format enables Update";

    SendMessageW(d.Dialog(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(IsWindow(d.Dialog()));
    EXPECT_FALSE(IsWindowVisible(d.Dialog()));

    // The menu's "Launch the Control panel" shows the same dialog, reloaded.
    SendMessageW(PlayListWindow(), WM_COMMAND, LaunchtheControlpanel1, 0);
    Pump();
    EXPECT_EQ(FindPreferences(), d.Dialog());
    EXPECT_TRUE(IsWindowVisible(d.Dialog()));
    EXPECT_EQ(d.Text(IDC_EDIT_TITLE_FORMAT), format) << "unapplied edits are discarded";
    EXPECT_FALSE(d.Enabled(IDC_CONFIG_UPDATE));
}

TEST_F(Preferences, ExtensionsAreAddedNormalisedAndOnlyOnce) {
    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetExtension);
    const int initial = d.ListCount(IDC_LIST_EXTENSION);
    ASSERT_GE(d.ListFind(IDC_LIST_EXTENSION, L".mp3"), 0) << "a default extension";

    // Remove with an empty edit: the line goes, the edit stays empty.
    SendMessageW(d.Item(IDC_LIST_EXTENSION), LB_SETCURSEL, d.ListFind(IDC_LIST_EXTENSION, L".mp3"), 0);
    d.Click(IDC_BUTTON_EXT_DEL);
    EXPECT_EQ(d.ListFind(IDC_LIST_EXTENSION, L".mp3"), -1);
    EXPECT_EQ(d.Text(IDC_EDIT_EXTENSION), L"");
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE));

    d.Type(IDC_EDIT_EXTENSION, L"MP3");
    d.Click(IDC_BUTTON_EXT_ADD);
    EXPECT_GE(d.ListFind(IDC_LIST_EXTENSION, L".mp3"), 0);
    EXPECT_EQ(d.ListText(IDC_LIST_EXTENSION, d.ListFind(IDC_LIST_EXTENSION, L".mp3")), L".mp3") << "lower case, with its dot";
    EXPECT_EQ(d.ListCount(IDC_LIST_EXTENSION), initial);
    EXPECT_EQ(d.Text(IDC_EDIT_EXTENSION), L"");

    d.Type(IDC_EDIT_EXTENSION, L".Mp3");
    d.Click(IDC_BUTTON_EXT_ADD);
    EXPECT_EQ(d.ListCount(IDC_LIST_EXTENSION), initial) << "already there";
    EXPECT_EQ(d.Text(IDC_EDIT_EXTENSION), L"") << "the edit is emptied all the same";

    d.Type(IDC_EDIT_EXTENSION, L"   ");
    d.Click(IDC_BUTTON_EXT_ADD);
    EXPECT_EQ(d.ListCount(IDC_LIST_EXTENSION), initial);
    EXPECT_EQ(d.Text(IDC_EDIT_EXTENSION), L"   ") << "a blank edit changes nothing";

    d.SetText(IDC_EDIT_EXTENSION, L"");
    d.Type(IDC_EDIT_EXTENSION, L"abcdefghijklmn");
    EXPECT_EQ(d.Text(IDC_EDIT_EXTENSION), L"abcdefghij") << "ten characters at most";

    // Remove with text in the edit: the edit takes the removed extension.
    const int wav = d.ListFind(IDC_LIST_EXTENSION, L".wav");
    ASSERT_GE(wav, 0);
    SendMessageW(d.Item(IDC_LIST_EXTENSION), LB_SETCURSEL, wav, 0);
    d.Click(IDC_BUTTON_EXT_DEL);
    EXPECT_EQ(d.Text(IDC_EDIT_EXTENSION), L".wav");
    EXPECT_EQ(d.ListFind(IDC_LIST_EXTENSION, L".wav"), -1);

    d.SetText(IDC_EDIT_EXTENSION, L"ogg");
    d.Click(IDC_BUTTON_EXT_ADD);
    d.Click(IDC_CONFIG_UPDATE);
    const TExtensionSet& applied = PlayList()->AudioExtensions();
    EXPECT_TRUE(applied.Contains(".ogg"));
    EXPECT_FALSE(applied.Contains(".wav"));
    EXPECT_TRUE(applied.Contains(".mp3"));
    EXPECT_FALSE(d.Enabled(IDC_CONFIG_UPDATE));
}

TEST_F(Preferences, DoubleClickingATokenRowAppendsItsToken) {
    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetFormat);
    d.SetText(IDC_EDIT_TITLE_FORMAT, L"${INAM} - ");
    d.DoubleClick(IDC_GRID_FORMAT_CHAR, 10, 2 * kRowHeight + kRowHeight / 2);
    EXPECT_EQ(d.Text(IDC_EDIT_TITLE_FORMAT), L"${INAM} - ${IART}");
    EXPECT_EQ(SendMessageW(d.Item(IDC_GRID_FORMAT_CHAR), LB_GETCURSEL, 0, 0), 2) << "the whole row is selected";
    EXPECT_EQ(Form(d)->LastGridMouseX, 10);
    EXPECT_EQ(Form(d)->LastGridMouseY, 2 * kRowHeight + kRowHeight / 2);

    d.DoubleClick(IDC_GRID_FORMAT_CHAR, 10, kRowHeight / 2);
    EXPECT_EQ(d.Text(IDC_EDIT_TITLE_FORMAT), L"${INAM} - ${IART}Descriptions") << "the fixed row counts too";
    EXPECT_NE(SendMessageW(d.Item(IDC_GRID_FORMAT_CHAR), LB_GETCURSEL, 0, 0), 0) << "the fixed row takes no selection";

    // Below the last row and right of the last column there is no cell.
    d.DoubleClick(IDC_GRID_FORMAT_CHAR, 10, 9 * kRowHeight + 2);
    RECT client{};
    GetClientRect(d.Item(IDC_GRID_FORMAT_CHAR), &client);
    if (client.right > 0) d.DoubleClick(IDC_GRID_FORMAT_CHAR, client.right - 1, 3 * kRowHeight + 4);
    EXPECT_EQ(d.Text(IDC_EDIT_TITLE_FORMAT), L"${INAM} - ${IART}Descriptions");
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE));
}

TEST_F(Preferences, OkWithoutChangesAppliesNothing) {
    TFormPlayList* pl = PlayList();
    TConfigureDriver d = Open();
    const int retitles = pl->RetitleCount(), repaints = pl->RepaintCount();
    const LONG fontHeight = FontHeightOf(ListBoxWindow());
    EXPECT_FALSE(d.Enabled(IDC_CONFIG_UPDATE));
    d.Click(IDC_CONFIG_OK);
    EXPECT_FALSE(IsWindowVisible(d.Dialog()));
    EXPECT_EQ(pl->RetitleCount(), retitles);
    EXPECT_EQ(pl->RepaintCount(), repaints);
    EXPECT_EQ(FontHeightOf(ListBoxWindow()), fontHeight);
}

TEST_F(Preferences, ShowSongTimeAloneRepaintsOnceWithoutRetitling) {
    TFormPlayList* pl = PlayList();
    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetSettings);
    const bool before = d.Checked(IDC_CHECK_SHOW_SONG_TIME);
    d.Click(IDC_CHECK_SHOW_SONG_TIME);
    EXPECT_NE(d.Checked(IDC_CHECK_SHOW_SONG_TIME), before);
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE));
    const int retitles = pl->RetitleCount(), repaints = pl->RepaintCount();
    d.Click(IDC_CONFIG_UPDATE);
    EXPECT_EQ(pl->RetitleCount() - retitles, 0);
    EXPECT_EQ(pl->RepaintCount() - repaints, 1);
    EXPECT_FALSE(d.Enabled(IDC_CONFIG_UPDATE));
    EXPECT_TRUE(IsWindowVisible(d.Dialog())) << "Update keeps the dialog open";

    // OK with Update disabled applies nothing more.
    d.Click(IDC_CONFIG_OK);
    EXPECT_EQ(pl->RepaintCount() - repaints, 1);
}

TEST_F(Preferences, LengthsFromFilesComeWhenSwitchedOnAndGoWhenOff) {
    TFormPlayList* pl = PlayList();
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/cbr-plain.mp3", PathIn("one.mp3").c_str(), FALSE));  // 4 s now
    for (bool on : {false, true, false}) {
        TConfigureDriver d = Open();
        d.ClickPage(TFormConfigure::TabSheetFormat);
        EXPECT_EQ(d.Checked(IDC_CHECK_READ_SONG_LENGTH), !on);
        d.Click(IDC_CHECK_READ_SONG_LENGTH);
        d.Click(IDC_CONFIG_OK);
        pl->FinishReading(false);
        EXPECT_EQ(pl->Record(0)->SongLength, on ? 4 : -1);
        EXPECT_EQ(pl->Record(0)->SongLengthText(), on ? "0:04" : "");
        EXPECT_EQ(pl->Lengths().TotalText(), on ? L"0:00/0:04+" : L"0:00/0:00+");
    }
}

TEST_F(Preferences, PreferringId3v2ReadsTheTagsAgainAndRetitlesOnce) {
    TFormPlayList* pl = PlayList();
    // one.mp3 gains an ID3v2 tag in front of its ID3v1 tag.
    const std::string body = "TIT2" + std::string("\0\0\0\x0C\0\0\0", 7) + "First, long";
    const std::string tag = std::string("ID3\x03\0\0\0\0\0", 9) + char(body.size()) + body;
    const std::string path = PathIn("one.mp3");
    std::ifstream in(path, std::ios::binary);
    const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::ofstream(path, std::ios::binary) << tag << old;

    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetSettings);
    EXPECT_FALSE(d.Checked(IDC_CHECK_PREFER_ID3V2));
    d.Click(IDC_CHECK_PREFER_ID3V2);
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE));
    const int retitles = pl->RetitleCount();
    d.Click(IDC_CONFIG_OK);
    EXPECT_EQ(pl->RetitleCount() - retitles, 1);
    EXPECT_EQ(pl->Title(0), "First, long");
    EXPECT_EQ(pl->Title(1), "Second");
    EXPECT_EQ(pl->Record(0)->Artist(), "Band") << "ID3v1 still fills what ID3v2 lacks";
    EXPECT_TRUE(Open().Checked(IDC_CHECK_PREFER_ID3V2));
}

TEST_F(Preferences, FormatAndColourTogetherRetitleOnceAndRepaintOnce) {
    TFormPlayList* pl = PlayList();
    TConfigureDriver d = Open();
    TFormConfigure* form = Form(d);
    {
        // The colour chooser opens with its custom part; the user types a colour.
        TDialogAnswerer answer(L"Color", [](HWND chooser) {
            SetDlgItemTextW(chooser, 706, L"1");
            SetDlgItemTextW(chooser, 707, L"2");
            SetDlgItemTextW(chooser, 708, L"3");
            PostMessageW(chooser, WM_COMMAND, IDOK, 0);
        });
        d.Click(IDC_BUTTON_PLAY_COLOR);
        ASSERT_TRUE(answer.Answered());
    }
    EXPECT_EQ(form->PendingPlayColor, RGB(1, 2, 3));
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE));

    d.ClickPage(TFormConfigure::TabSheetFormat);
    d.DoubleClick(IDC_GRID_FORMAT_CHAR, 10, 2 * kRowHeight + kRowHeight / 2);
    const int retitles = pl->RetitleCount(), repaints = pl->RepaintCount();
    d.Click(IDC_CONFIG_OK);
    EXPECT_FALSE(IsWindowVisible(d.Dialog()));
    EXPECT_EQ(pl->RetitleCount() - retitles, 1);
    EXPECT_EQ(pl->RepaintCount() - repaints, 1);

    // Shown again, the dialog starts from what was applied.
    TConfigureDriver again = Open();
    EXPECT_EQ(form->PendingPlayColor, RGB(1, 2, 3));
    EXPECT_EQ(again.Text(IDC_EDIT_TITLE_FORMAT), L"${INAM}${IART}");
}

TEST_F(Preferences, CancelRestoresTheAboutOption) {
    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetSettings);
    ASSERT_TRUE(d.Checked(IDC_CHECK_ABOUT_WINAMP));
    d.Click(IDC_CHECK_ABOUT_WINAMP);
    EXPECT_FALSE(d.Checked(IDC_CHECK_ABOUT_WINAMP));
    d.Click(IDC_CONFIG_CANCEL);
    EXPECT_FALSE(IsWindowVisible(d.Dialog()));

    TConfigureDriver again = Open();
    again.ClickPage(TFormConfigure::TabSheetSettings);
    EXPECT_TRUE(again.Checked(IDC_CHECK_ABOUT_WINAMP));
    EXPECT_TRUE(Form(again)->ShownAboutState);
}

TEST_F(Preferences, UpdateAppliesTheAboutOption) {
    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetSettings);
    d.Click(IDC_CHECK_ABOUT_WINAMP);
    d.Click(IDC_CONFIG_OK);
    TConfigureDriver again = Open();
    EXPECT_FALSE(again.Checked(IDC_CHECK_ABOUT_WINAMP)) << "applied, not restored";
    EXPECT_FALSE(Form(again)->ShownAboutState);
}

TEST_F(Preferences, ATwentyPointFontIsAccepted) {
    TConfigureDriver d = Open();
    {
        TDialogAnswerer answer(L"Font", [](HWND chooser) {
            // The size box: 20 typed and picked from its list.
            HWND size = GetDlgItem(chooser, 0x472);
            SetWindowTextW(size, L"20");
            SendMessageW(size, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"20"));
            SendMessageW(chooser, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
            PostMessageW(chooser, WM_COMMAND, IDOK, 0);
        });
        d.Click(IDC_BUTTON_FONT_SELECT);
        ASSERT_TRUE(answer.Answered());
    }
    HDC screen = GetDC(nullptr);
    const LONG expected = -MulDiv(20, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(FontHeightOf(d.Item(IDC_GRID_PREVIEW)), expected);
    // The rows: the font's height, or the sample's height in the dialog's own font if taller.
    HDC dc = GetDC(d.Dialog());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(d.Item(IDC_BUTTON_FONT_SELECT), WM_GETFONT, 0, 0)));
    SIZE sample{};
    GetTextExtentPoint32W(dc, L"hg\xFF48\xFF47hgy\xFF48\xFF47\xFF59|\x2502", 13, &sample);
    SelectObject(dc, old);
    ReleaseDC(d.Dialog(), dc);
    EXPECT_EQ(SendMessageW(d.Item(IDC_GRID_PREVIEW), LB_GETITEMHEIGHT, 0, 0), std::max<LONG>(-expected, sample.cy));
    EXPECT_TRUE(d.Enabled(IDC_CONFIG_UPDATE));

    d.Click(IDC_CONFIG_UPDATE);
    EXPECT_EQ(FontHeightOf(ListBoxWindow()), expected) << "the list takes the chosen font";
    EXPECT_GE(SendMessageW(ListBoxWindow(), LB_GETITEMHEIGHT, 0, 0), -expected);
}

TEST_F(Preferences, ACancelledChooserChangesNothing) {
    TConfigureDriver d = Open();
    TFormConfigure* form = Form(d);
    const auto select = form->PendingSelectColor;
    {
        TDialogAnswerer answer(L"Color", [](HWND chooser) { PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0); });
        d.Click(IDC_BUTTON_SELECT_COLOR);
        ASSERT_TRUE(answer.Answered());
    }
    EXPECT_EQ(form->PendingSelectColor, select);
    EXPECT_FALSE(d.Enabled(IDC_CONFIG_UPDATE));
}

TEST_F(Preferences, LeavingAPictureGroupWithAMissingFileKeepsTheFocus) {
    TConfigureDriver d = Open();
    d.ClickPage(TFormConfigure::TabSheetWatermark);
    d.SetText(IDC_EDIT_WM_FG, W((Dir() + "\\missing.bmp").c_str()));
    SetFocus(d.Item(IDC_EDIT_WM_FG));
    Pump();
    SetFocus(d.Item(IDC_EDIT_WM_BG));
    Pump();
    EXPECT_EQ(GetFocus(), d.Item(IDC_EDIT_WM_FG)) << "the focus goes back to the missing file";

    // Leaving for another page brings the pictures' page back.
    d.ClickPage(TFormConfigure::TabSheetSettings);
    EXPECT_EQ(d.ActivePage(), TFormConfigure::TabSheetWatermark);
    EXPECT_EQ(GetFocus(), d.Item(IDC_EDIT_WM_FG));
    EXPECT_TRUE(IsWindowVisible(d.Item(IDC_EDIT_WM_FG)));

    // Moving inside the group is no exit; an existing file or an empty edit lets the focus go.
    SetFocus(d.Item(IDC_BUTTON_WM_FG));
    Pump();
    EXPECT_EQ(GetFocus(), d.Item(IDC_BUTTON_WM_FG));
    d.SetText(IDC_EDIT_WM_FG, W(WriteMp3("real.bmp", "x").c_str()));
    SetFocus(d.Item(IDC_EDIT_WM_BG));
    Pump();
    EXPECT_EQ(GetFocus(), d.Item(IDC_EDIT_WM_BG));
    d.SetText(IDC_EDIT_WM_FG, L"");
    SetFocus(d.Item(IDC_EDIT_WM_FG));
    Pump();
    d.ClickPage(TFormConfigure::TabSheetSettings);
    EXPECT_EQ(d.ActivePage(), TFormConfigure::TabSheetSettings);
}

TEST_F(Preferences, ThePreviewDrawsEachRowInItsColour) {
    TConfigureDriver d = Open();
    TFormConfigure* form = Form(d);
    HWND grid = d.Item(IDC_GRID_PREVIEW);
    UpdateWindow(grid);
    const int row = static_cast<int>(SendMessageW(grid, LB_GETITEMHEIGHT, 0, 0));
    const COLORREF colours[3] = {form->PendingNormalColor, form->PendingSelectColor, form->PendingPlayColor};
    HDC dc = GetDC(grid);
    RECT client{};
    GetClientRect(grid, &client);
    ASSERT_GT(client.bottom, 3 * row) << "room below the rows";
    const COLORREF background = GetPixel(dc, client.right - 1, client.bottom - 1);
    for (int r = 0; r < 3; ++r) {
        ASSERT_NE(colours[r], background);
        int hits = 0;
        for (int y = r * row; y < (r + 1) * row; ++y)
            for (int x = 0; x < client.right; ++x)
                if (GetPixel(dc, x, y) == colours[r]) ++hits;
        EXPECT_GT(hits, 10) << "row " << r << " shows its text in its colour";
    }
    ReleaseDC(grid, dc);
}

TEST_F(Preferences, EachOptionCheckBoxSetsItsOwnOption) {
    const int boxes[] = {IDC_CHECK_SONG_ADD_LAST,        IDC_CHECK_SHOW_SONG_NUMBER,    IDC_CHECK_SHOW_SONG_TIME,
                         IDC_CHECK_EQUALIZER_RELOCATION, IDC_CHECK_WINDOW_POS_OVERRIDE, IDC_CHECK_WINDOW_SIZE_OVERRIDE,
                         IDC_CHECK_PREFER_ID3V2};
    for (size_t i = 0; i < std::size(boxes); ++i) {
        TConfigureDriver d = Open();
        d.ClickPage(TFormConfigure::TabSheetSettings);
        std::vector<bool> expected;
        for (int box : boxes) expected.push_back(d.Checked(box));
        d.Click(boxes[i]);
        expected[i] = !expected[i];
        d.Click(i % 2 ? IDC_CONFIG_OK : IDC_CONFIG_UPDATE);
        SendMessageW(d.Dialog(), WM_CLOSE, 0, 0);
        // Shown again, every box shows its option as applied.
        TConfigureDriver again = Open();
        for (size_t k = 0; k < std::size(boxes); ++k)
            EXPECT_EQ(again.Checked(boxes[k]), expected[k]) << "box " << k << " after clicking box " << i;
        SendMessageW(again.Dialog(), WM_CLOSE, 0, 0);
    }
}

TEST_F(EnglishPreferences, KeysReachTheDialogThroughTheMessageLoop) {
    TConfigureDriver d = Open();
    SetFocus(d.Item(IDC_BUTTON_FONT_SELECT));
    PressKey(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), d.Item(IDC_BUTTON_NORMAL_COLOR)) << "Tab";
    PressKey(WM_KEYDOWN, VK_TAB, true);
    EXPECT_EQ(GetFocus(), d.Item(IDC_BUTTON_FONT_SELECT)) << "Shift+Tab";
    // A loop that looks at the key before it takes it: one Tab, one step.
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    MSG peeked{};
    EXPECT_TRUE(PeekMessageW(&peeked, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
    Pump();
    EXPECT_EQ(GetFocus(), d.Item(IDC_BUTTON_NORMAL_COLOR)) << "a Tab peeked first";

    d.ClickPage(TFormConfigure::TabSheetSettings);
    const bool numbers = d.Checked(IDC_CHECK_SHOW_SONG_NUMBER);
    SetFocus(d.Item(IDC_CHECK_SONG_ADD_LAST));
    PressKey(WM_SYSKEYDOWN, 'N', false, true);
    EXPECT_NE(d.Checked(IDC_CHECK_SHOW_SONG_NUMBER), numbers) << "Alt+N: \"Show &numbers in playlist\"";
    PressKey(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(d.Dialog())) << "Esc cancels";

    TConfigureDriver again = Open();
    EXPECT_EQ(again.Checked(IDC_CHECK_SHOW_SONG_NUMBER), numbers) << "nothing was applied";
    again.ClickPage(TFormConfigure::TabSheetSettings);
    again.Click(IDC_CHECK_SHOW_SONG_NUMBER);
    SetFocus(again.Item(IDC_CHECK_SONG_ADD_LAST));
    PressKey(WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(again.Dialog())) << "Enter is OK";
    EXPECT_NE(Open().Checked(IDC_CHECK_SHOW_SONG_NUMBER), numbers) << "and OK applied the change";
}
