// The playlist window's commands that open the real common dialogs, filled in or
// cancelled by a worker thread, and the player quitting while one is open.

#include "PlayListCommandsFixture.h"

TEST_F(PlayListCommands, OpenDialogReplacesTheListSortedAndPlaysTheFirst) {
    StartWith(2);
    std::string b = WriteMp3("b.mp3", "Bee"), a = WriteMp3("A.mp3", "Ay");
    WriteFile("c.wav", "not really a wave");
    CreateDirectoryA(PathIn("sub").c_str(), nullptr);
    WriteFile(PathIn("sub\\d.mp3"), std::string(300, '\xFF'));
    WriteFile(PathIn("sub\\e.mp3"), std::string(300, '\xFF'));
    struct TRestoreDirectory {
        ~TRestoreDirectory() { SetCurrentDirectoryA("C:\\"); }  // the test folder must be removable
    } restore;
    SetCurrentDirectoryA(Dir().c_str());  // where the dialog starts the first time
    TOpenDialogSeen seen;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            std::lock_guard<std::mutex> lock(seen.m);
            seen.Title = TextOf(dlg);
            HWND types = GetDlgItem(dlg, kFileTypeList);
            seen.FilterCount = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
            seen.FilterIndex = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
            wchar_t text[256] = {};
            SendMessageW(types, CB_GETLBTEXT, seen.FilterIndex, reinterpret_cast<LPARAM>(text));
            seen.FilterText = text;
            // Plain names: found only in the folder the dialog starts in.
            SetDlgItemTextW(dlg, kFileNameBox, L"\"b.mp3\" \"A.mp3\" \"c.wav\"");
            PressOk(dlg);
        });
        host->SetPosition(1);
        host->ClearMessages();
        Menu(PopupItemCtrlEject);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(seen.Title, L"Open file(s)");
    EXPECT_EQ(seen.FilterCount, 14);
    EXPECT_EQ(seen.FilterIndex, 9) << "the tenth filter";
    EXPECT_EQ(seen.FilterText.rfind(L"MPEG Audio Files", 0), 0u) << std::string(seen.FilterText.begin(), seen.FilterText.end());
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Ay", "Bee", "c"}));
    EXPECT_EQ(host->Playlist.size(), 3u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[0].c_str(), a.c_str()), 0) << host->Playlist[0];
    EXPECT_EQ(host->Position, 0);
    EXPECT_EQ(host->State, TPlayState::Playing);
    std::vector<WPARAM> positions;
    for (auto& m : host->MessagesTo(host->Main(), WM_USER))
        if (m.LParam == 121) positions.push_back(m.WParam);
    EXPECT_EQ(positions, (std::vector<WPARAM>{static_cast<WPARAM>(-1), 0})) << "the old mark named a row of the old list";

    SetCurrentDirectoryA((Dir() + "\\sub").c_str());
    // The folder chooser starts where the files were chosen; OK there appends
    // everything under it (the sub folder too), whatever SongAddLast says.
    host->SetPosition(1);
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) { PressOk(dlg); });
        Key(VK_INSERT, false, true);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "the folder chooser left no COM behind";
    CoUninitialize();
    auto rows = Rows();
    ASSERT_EQ(rows.size(), 10u) << "3 entries, then A, b, c, the two songs of the start, d and e appended";
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 3), (std::vector<std::string>{"Ay", "Bee", "c"}));
    EXPECT_EQ(host->Playlist.size(), 10u);
    EXPECT_EQ(host->Position, 1) << "the playing entry stays";
    std::multiset<std::string> added(rows.begin() + 3, rows.end());
    EXPECT_EQ(added, (std::multiset<std::string>{"Ay", "Bee", "c", "Song 0", "Song 1", "d", "e"}));

    // The second open dialog starts there too: plain names are found.
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            SetDlgItemTextW(dlg, kFileNameBox, L"b.mp3");
            PressOk(dlg);
        });
        ClickTool(ToolButtonCtrlEject);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Bee"}));
    ASSERT_EQ(host->Playlist.size(), 1u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[0].c_str(), b.c_str()), 0) << host->Playlist[0];
}

// On a Japanese system: a file "能.mp3" (its second byte is 0x5C, the byte of
// "\\") chosen in the folder "表\\ソ": both dialogs start there next time.
TEST_F(PlayListCommands, DialogsStartInAShiftJisFolderEndingInTheBackslashByte) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (the _cp932 run)";
    const std::string folder = "\x95\x5C\\\x83\x5C", no = "\x94\x5C";
    ASSERT_TRUE(CreateDirectoryA(PathIn("\x95\x5C").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(PathIn(folder).c_str(), nullptr));
    WriteMp3(folder + "\\" + no + ".mp3", "");
    WriteMp3(folder + "\\y.mp3", "Y");
    StartWith(1);
    wchar_t chosen[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, PathIn(folder + "\\" + no + ".mp3").c_str(), -1, chosen, MAX_PATH);
    for (const wchar_t* name : {static_cast<const wchar_t*>(chosen), L"y.mp3"}) {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            SetDlgItemTextW(dlg, kFileNameBox, name);
            PressOk(dlg);
        });
        Menu(PopupItemCtrlEject);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Y"})) << "the plain name was found where the first file was chosen";
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) { PressOk(dlg); });
        Key(VK_INSERT, false, true);
        EXPECT_EQ(driver.Count(), 1);
    }
    const auto rows = Rows();
    EXPECT_EQ(std::multiset<std::string>(rows.begin(), rows.end()), (std::multiset<std::string>{"Y", no, "Y"}))
        << "the folder chooser started there too";
    EXPECT_EQ(host->Playlist.size(), 3u);
}

TEST_F(PlayListCommands, OpenDialogTakesFiveThousandFiles) {
    StartWith(1);
    // 5,000 names, more than the dialog's first buffer holds (about 210,000
    // characters); 50 files on disk, each chosen 100 times, keep the test quick.
    std::wstring names;
    for (int i = 0; i < 5000; ++i) {
        char name[64] = {};
        wsprintfA(name, "track %02d of a rather long album title.mp3", i % 50);
        if (i < 50) WriteFile(name, "x");
        names += L"\"" + std::wstring(name, name + lstrlenA(name)) + L"\" ";
    }
    struct TRestoreDirectory {
        ~TRestoreDirectory() { SetCurrentDirectoryA("C:\\"); }
    } restore;
    SetCurrentDirectoryA(Dir().c_str());
    std::vector<std::wstring> notices;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            if (GetDlgItem(dlg, kFileNameBox)) SetDlgItemTextW(dlg, kFileNameBox, names.c_str());
            else notices.push_back(TextOf(GetDlgItem(dlg, 0xFFFF)));  // a message box
            PressOk(dlg);
        });
        Menu(PopupItemCtrlEject);
    }
    EXPECT_LE(notices.size(), 1u) << "at most one notice before the dialog asks again";
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 5000u) << "all of them, not a silent cancel";
    EXPECT_EQ(rows.front(), "track 00 of a rather long album title");
    EXPECT_EQ(rows.back(), "track 49 of a rather long album title");
    EXPECT_EQ(host->Playlist.size(), 5000u);
}

TEST_F(PlayListCommands, CancelledDialogsChangeNothing) {
    StartWith(3, false);  // Japanese captions, the default
    host->ClearMessages();
    // In a thread of the other apartment the chooser's own initialisation is refused and not undone.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    std::vector<std::wstring> titles;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            titles.push_back(TextOf(dlg));
            PressCancel(dlg);
        });
        ClickTool(ToolButtonCtrlEject);
        Key(VK_INSERT, false, true);
        EXPECT_EQ(driver.Count(), 2);
    }
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0], L"\xFF75\xFF70\xFF83\xFF9E\xFF68\xFF75\xFF8C\xFF67\xFF72\xFF99\x306E\x9078\x629E");
    EXPECT_EQ(Rows().size(), 3u);
    // The time display may read the play state meanwhile; nothing is written.
    for (auto& m : host->MessagesTo(host->Main(), WM_USER)) {
        EXPECT_NE(m.LParam, 101) << "the host's playlist cleared";
        EXPECT_NE(m.LParam, 121) << "the host's position set";
    }
    EXPECT_TRUE(HostCommands().empty());
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
}

namespace {
TTestHost* g_quitHost;
HWND g_quitForm;
int g_quitTicks;
bool g_formAliveInChooser;

BOOL CALLBACK FindChooser(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) && h != FindPreferences()) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
    }
    return TRUE;
}

// In the chooser's own loop: the player's main window goes, its teardown
// releases our windows, and the loop delivers the release; a tick later the
// chooser is cancelled.
void CALLBACK QuitWhileChooserIsOpen(HWND, UINT, UINT_PTR, DWORD) {
    HWND chooser = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindChooser, reinterpret_cast<LPARAM>(&chooser));
    if (!chooser) return;
    if (g_quitTicks++ == 0) {
        g_quitHost->DestroyMainWindow();
    } else if (g_quitTicks == 3) {
        g_formAliveInChooser = IsWindow(g_quitForm) != FALSE;
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    }
}
}  // namespace

class PlayListQuit : public PlayListCommands, public ::testing::WithParamInterface<const char*> {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
};

// The folder chooser from Ctrl+Insert runs inside the list's key handler, the
// colour and font choosers inside the preferences' handlers, the open dialog
// inside the tool bar's click: none may lose the window under it.
TEST_P(PlayListQuit, WhileAChooserIsOpenEverythingOfOursGoesAfterIt) {
    StartWith(3);
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    const std::string chooser = GetParam();
    if (chooser != "folder" && chooser != "open") {
        host->Config();
        Pump();
        ASSERT_NE(FindPreferences(), nullptr);
    }
    g_quitHost = host.get();
    g_quitForm = PlayListWindow();
    g_quitTicks = 0;
    g_formAliveInChooser = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &QuitWhileChooserIsOpen);
    // The key and the click as the loop dispatches them: the windows they reach
    // must outlive the message, and go with the next one.
    HWND list = List(), bar = Bar();
    if (chooser == "folder") {
        SetModifiers(false, true, false);
        SendMessageW(list, WM_KEYDOWN, VK_INSERT, 0);
        SetModifiers(false, false, false);
    }
    if (chooser == "open") {
        RECT r{};
        ASSERT_TRUE(SendMessageW(bar, TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(bar, WM_LBUTTONUP, 0, at);
    }
    if (chooser == "folder" || chooser == "open") {
        EXPECT_TRUE(IsWindow(g_quitForm) && IsWindow(list) && IsWindow(bar)) << "gone under the control's own message";
    }
    if (chooser == "colour") TConfigureDriver(FindPreferences()).Click(IDC_BUTTON_PLAY_COLOR);
    if (chooser == "font") TConfigureDriver(FindPreferences()).Click(IDC_BUTTON_FONT_SELECT);
    KillTimer(nullptr, timer);
    EXPECT_GE(g_quitTicks, 3) << "the chooser was open while the player quit";
    EXPECT_TRUE(g_formAliveInChooser) << "released under a handler of ours";
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr);
    EXPECT_EQ(FindPreferences(), nullptr);
    EXPECT_EQ(seam->LiveRecords, 0) << "the window objects were deleted, not only their windows";
    EXPECT_EQ(seam->UnexpectedExceptions, 0);
    EXPECT_NE(GetFileAttributesA(PluginIniPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the settings were saved";
}

INSTANTIATE_TEST_SUITE_P(Choosers, PlayListQuit, ::testing::Values("folder", "open", "colour", "font"),
                         [](const ::testing::TestParamInfo<const char*>& p) { return std::string(p.param); });
