// The playlist window's commands driven as a user drives them: keys with their
// modifiers through the list, clicks on the control panel, menu commands, and
// the real open and folder dialogs filled in by a worker thread.

#include "PlayListCommandsFixture.h"

TEST_F(PlayListCommands, KeysReachTheirCommandsOnlyWithTheExactModifiers) {
    auto files = StartWith(3);
    host->ClearMessages();
    Key('C', false, false, true);  // Alt+C is not in the table
    Key('Z', false, true, false);  // Ctrl+Z is randomise, not "previous"
    for (WPARAM id : HostCommands()) {
        EXPECT_NE(id, 40046u) << "Alt+C must not pause";
        EXPECT_NE(id, 40044u) << "Ctrl+Z must not go to the previous entry";
    }
    host->ClearMessages();
    Key('C');
    Key('Z', true);
    Key('B', true);
    Key('B');
    Key('X');
    Key('V');
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40046, 40061, 40060, 40048, 40045, 40047}));
    host->ClearMessages();
    Key('D', false, true);
    Key('P', true, true);
    Key('3', false, false, true);
    Key('S', false, false, true);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40165, 40012, 40188, 40219}));
    // Ctrl+Shift+Delete empties the list and the host's playlist.
    Key(VK_DELETE, true, true);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(host->Playlist.empty());
    // Enter on an empty list plays nothing.
    host->ClearMessages();
    Key(VK_RETURN);
    EXPECT_TRUE(HostCommands().empty());
    for (auto& m : host->MessagesTo(host->Main(), WM_USER)) EXPECT_NE(m.LParam, 121) << "no position set";
}

TEST_F(PlayListCommands, EnterAndDoubleClickPlayTheCaretRow) {
    StartWith(4);
    SendMessageW(List(), LB_SETCARETINDEX, 2, 0);
    Key(VK_RETURN);
    EXPECT_EQ(host->Position, 2);
    EXPECT_EQ(host->State, TPlayState::Playing);
    SendMessageW(List(), LB_SETCARETINDEX, 3, 0);
    SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 3));
    Pump();
    const int caret = static_cast<int>(SendMessageW(List(), LB_GETCARETINDEX, 0, 0));
    EXPECT_EQ(host->Position, caret);
    // "Play file(s)" does the same from the menu.
    SendMessageW(List(), LB_SETCARETINDEX, 1, 0);
    Menu(PopupItemPlayFile);
    EXPECT_EQ(host->Position, 1);
}

TEST_F(PlayListCommands, TransportButtonsFollowShiftAndCtrl) {
    StartWith(3);
    host->SetPosition(2);
    host->ClearMessages();
    ClickTool(ToolButtonCtrlPrev, false, true);  // Ctrl: the first entry plays
    EXPECT_EQ(host->Position, 0);
    EXPECT_EQ(host->State, TPlayState::Playing);
    host->ClearMessages();
    ClickTool(ToolButtonCtrlNext, false, true);  // Ctrl+next: plain next
    ClickTool(ToolButtonCtrlPrev, true);         // Shift: rewind
    ClickTool(ToolButtonCtrlNext, true);         // Shift: forward
    ClickTool(ToolButtonCtrlPause, true);        // Shift: plain pause
    ClickTool(ToolButtonCtrlStop, true);         // Shift: plain stop
    ClickTool(ToolButtonCtrlPrev);
    ClickTool(ToolButtonCtrlPlay);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40048, 40061, 40060, 40046, 40047, 40044, 40045}));

    // Shift+click on play opens the eject action (the open dialog) instead of playing.
    host->ClearMessages();
    std::wstring title;
    {
        TDialogDriver driver(GetCurrentThreadId(), [&](HWND dlg) {
            title = TextOf(dlg);
            PressCancel(dlg);
        });
        ClickTool(ToolButtonCtrlPlay, true);
        EXPECT_EQ(driver.Count(), 1);
    }
    EXPECT_EQ(title, L"Open file(s)");
    EXPECT_TRUE(HostCommands().empty()) << "cancelled: nothing played, nothing changed";
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(PlayListCommands, PlayControlMenuItemsSendTheirTransportIndex) {
    StartWith(2);
    host->ClearMessages();
    for (UINT id = PopupItemCtrlPrevious; id <= PopupItemCtrlNext; ++id) Menu(id);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40044, 40061, 40045, 40046, 40047, 40060, 40048}));

    // They show the tool bar's images, and "Play file(s)" the play image: the
    // menu asks the window to draw them, and it draws each image's opaque pixels.
    auto* pl = static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Bar(), TB_GETIMAGELIST, 0, 0));
    ASSERT_TRUE(images);
    const std::pair<UINT, int> items[] = {{PopupItemPlayFile, 2}, {PopupItemCtrlPrevious, 0}, {PopupItemCtrlRewind, 1},
                                          {PopupItemCtrlPlay, 2},  {PopupItemCtrlPause, 3},   {PopupItemCtrlStop, 4},
                                          {PopupItemCtrlForward, 5}, {PopupItemCtrlNext, 6},  {PopupItemCtrlEject, 7}};
    for (const auto& [item, image] : items) {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP;
        ASSERT_TRUE(GetMenuItemInfoW(pl->PopupMenuEdit(), item, FALSE, &mi));
        EXPECT_EQ(mi.hbmpItem, HBMMENU_CALLBACK) << item;
        const std::vector<bool> expected = MaskedPixels(images, image);
        EXPECT_EQ(DrawnMenuImage(PlayListWindow(), item, 14, 14), expected) << "item " << item << ", image " << image;
        EXPECT_GT(std::count(expected.begin(), expected.end(), true), 10);
    }
}

TEST_F(PlayListCommands, HostReceivesTheCompleteNewOrderAfterEachCommand) {
    auto files = StartWith(8);
    // Two entries the plug-in keeps without reading go through every command too.
    const std::string url = "http://radio.example/live", gone = PathIn("gone.mp3");
    host->Playlist.push_back(url);
    host->Playlist.push_back(gone);
    host->SetPosition(9);
    host->SetPosition(3);
    std::map<std::string, std::string> fileOf{{url, url}, {"gone", gone}};
    for (int i = 0; i < 8; ++i) fileOf["Song " + std::to_string(i)] = files[static_cast<size_t>(i)];
    auto check = [&](const char* what) {
        std::vector<std::string> expected;
        for (auto& t : Rows()) expected.push_back(fileOf[t]);
        EXPECT_EQ(host->Playlist, expected) << what;
        ASSERT_GE(host->Position, 0) << what;
        ASSERT_LT(host->Position, static_cast<int>(host->Playlist.size())) << what;
        EXPECT_EQ(host->Playlist[static_cast<size_t>(host->Position)], files[3]) << what << ": the playing entry kept";
    };
    // Nothing here may depend on time: the elapsed-time display stays off, and
    // the spin button's arrows are taken as the notification they send, without
    // the control's own repeat timer.
    KillTimer(PlayListWindow(), 1);
    HWND spin = FindWindowExW(PlayListWindow(), nullptr, UPDOWN_CLASSW, nullptr);
    ASSERT_NE(spin, nullptr);
    auto clickSpin = [&](bool up) {
        NMUPDOWN ud{};
        ud.hdr.hwndFrom = spin;
        ud.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(spin));
        ud.hdr.code = UDN_DELTAPOS;
        ud.iDelta = up ? 1 : -1;
        SendMessageW(PlayListWindow(), WM_NOTIFY, ud.hdr.idFrom, reinterpret_cast<LPARAM>(&ud));
        Pump();
    };
    Select({2, 3, 6});
    clickSpin(false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 1", "Song 4", "Song 2", "Song 3", "Song 5", "Song 7",
                                                "Song 6", url, "gone"}));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 7}));
    check("move down");
    // The last row is selected: moving down is blocked and the host is not told.
    Select({4, 9});
    host->ClearMessages();
    clickSpin(false);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
    clickSpin(true);
    check("move up");
    // The host's report after the push must not take the mark off a lone moved row.
    Select({5});
    clickSpin(true);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    check("move one row up");
    Menu(PopupItemSortTitle);
    EXPECT_EQ(Rows()[0], "gone");
    check("sort by title");
    Key('R', false, true);
    EXPECT_EQ(Rows()[0], "Song 7");
    check("reverse");
    Menu(PopupItemSortFilename);
    check("sort by filename");
    Key('Z', false, true);
    check("randomise");
    Menu(PopupItemSortPath);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"gone", "Song 0", "Song 1", "Song 2", "Song 3", "Song 4", "Song 5",
                                                "Song 6", "Song 7", url}));
    check("sort by path");
    // Nor off a lone row that a reordering (or crop) keeps marked.
    auto keepsLoneMark = [&](const char* what, int row, const std::function<void()>& command) {
        Select({row});
        const std::string lone = Rows()[static_cast<size_t>(row)];
        command();
        ASSERT_EQ(Selected().size(), 1u) << what;
        EXPECT_EQ(Rows()[static_cast<size_t>(Selected()[0])], lone) << what;
        check(what);
    };
    keepsLoneMark("lone sort", 4, [&] { Menu(PopupItemSortTitle); });
    keepsLoneMark("lone reverse", 4, [&] { Key('R', false, true); });
    keepsLoneMark("lone randomise", 4, [&] { Key('Z', false, true); });
    const std::vector<int> randomised = Selected();
    Menu(PopupItemUndo);
    EXPECT_EQ(Selected(), (std::vector<int>{4})) << "the lone mark of the time before";
    check("lone undo");
    Menu(PopupItemRedo);
    EXPECT_EQ(Selected(), randomised);
    check("lone redo");
    keepsLoneMark("lone sort by path", 4, [&] { Menu(PopupItemSortPath); });
    Select({0, 5});
    Key(VK_DELETE);
    EXPECT_EQ(Rows().size(), 8u);
    check("remove");
    Select({2, 3, 7});  // Song 2, Song 3 (playing) and the stream stay
    Key(VK_DELETE, false, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 2", "Song 3", url}));
    check("crop");
    SendMessageW(List(), LB_SETCARETINDEX, 2, 0);
    Key(VK_RETURN);
    EXPECT_EQ(host->Position, 2) << "a kept entry plays like any other";
    // Selection commands never involve the host.
    host->ClearMessages();
    Menu(PopupItemSelectAll);
    EXPECT_EQ(Selected().size(), 3u);
    Menu(PopupItemSelectInverse);
    EXPECT_TRUE(Selected().empty());
    Key('A', false, true);
    EXPECT_EQ(Selected().size(), 3u);
    Menu(PopupItemSelectClear);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
    EXPECT_EQ(host->CountOf(host->Main(), WM_USER), 0);
    keepsLoneMark("lone crop", 1, [&] { Key(VK_DELETE, false, true); });
    Menu(PopupItemDeleteAll);
    EXPECT_TRUE(host->Playlist.empty());
    // Nothing left: "Remove all" again does not tell the host.
    host->ClearMessages();
    Menu(PopupItemDeleteAll);
    EXPECT_EQ(host->CountOf(host->Main(), WM_USER), 0);
}

TEST_F(PlayListCommands, RemoveDuplicatesIgnoresLetterCaseAndRemoveDeadFilesHonoursEsc) {
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    // A letter pair of this code page that only the system's comparison folds:
    // full-width under 932, an accented one under 1252. Its width twin stays.
    const bool japanese = GetACP() == 932;
    const std::string lower = japanese ? "\x82\x93\x82\x8F" : "\xE9t\xE9";      // "ｓｏ" / "été"
    const std::string upper = japanese ? "\x82\x72\x82\x6E" : "\xC9T\xC9";      // "ＳＯ" / "ÉTÉ"
    const std::string other = japanese ? "so" : "ete";
    std::vector<std::string> files{WriteMp3("a.mp3", "A"), WriteMp3(lower + ".mp3", "L"), WriteMp3("b.mp3", "B"),
                                   WriteMp3(other + ".mp3", "O"), WriteMp3("c.mp3", "C")};
    const std::string upperPath = PathIn(upper + ".mp3");
    if (GetFileAttributesA(upperPath.c_str()) == INVALID_FILE_ATTRIBUTES) WriteMp3(upper + ".mp3", "U");
    std::string shouted = files[0];
    shouted.replace(shouted.size() - 5, 5, "A.MP3");
    StartHost();
    host->Playlist = {files[0], files[1], files[2], upperPath, shouted, files[3], files[4], files[2]};
    StartPlugin();
    ASSERT_EQ(Rows().size(), 8u);
    host->SetPosition(4);  // "A.MP3": goes, and the mark moves to "a.mp3"
    Pump();
    Select({2, 6});
    host->ClearMessages();
    Menu(PopupItemDeleteDuplicates);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{files[0], files[1], files[2], files[3], files[4]}));
    EXPECT_EQ(Rows().size(), 5u);
    EXPECT_EQ(host->Position, 0) << "the playing entry's name stays with its first entry";
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4})) << "marks stay on their entries";
    host->ClearMessages();
    Menu(PopupItemDeleteDuplicates);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0) << "nothing removed, nothing pushed";

    ASSERT_TRUE(DeleteFileA(files[1].c_str()));
    ASSERT_TRUE(DeleteFileA(files[4].c_str()));
    host->ClearMessages();
    // Esc held down as the command starts: the press waits in the queue.
    SetForegroundWindow(PlayListWindow());
    INPUT esc{INPUT_KEYBOARD};
    esc.ki.wVk = VK_ESCAPE;
    SendInput(1, &esc, sizeof esc);
    Menu(PopupItemDeleteDeadFiles);
    esc.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &esc, sizeof esc);
    Pump();
    EXPECT_EQ(Rows().size(), 5u) << "Esc removes nothing";
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
    Menu(PopupItemDeleteDeadFiles);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{files[0], files[2], files[3]}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "B", "O"}));
    host->ClearMessages();
    Menu(PopupItemDeleteDeadFiles);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);
}

TEST_F(PlayListCommands, UndoRestoresEachStepWithItsRecordsSelectionAndPlayingEntryAndRedoReappliesIt) {
    auto files = StartWith(6);
    host->SetPosition(2);
    Pump();
    auto* pl = static_cast<TFormPlayList*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(PlayListWindow(), GWLP_USERDATA)));
    EXPECT_FALSE(pl->IsEnabled(PopupItemUndo)) << "taking in the host's list at the start is no step";
    EXPECT_FALSE(pl->IsEnabled(PopupItemRedo));
    struct TSeen {
        std::vector<std::string> Rows, Host;
    };
    std::vector<TSeen> seen{{Rows(), host->Playlist}};
    Select({1, 4});
    Key(VK_DELETE);
    seen.push_back({Rows(), host->Playlist});
    Key('R', false, true);
    seen.push_back({Rows(), host->Playlist});
    const int steps = pl->Steps().StepsRecorded();
    Menu(PopupItemDeleteDuplicates);
    EXPECT_EQ(pl->Steps().StepsRecorded(), steps) << "a command that changes nothing is no step";
    ASSERT_TRUE(DeleteFileA(files[3].c_str()));
    Menu(PopupItemDeleteDeadFiles);
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Song 5", "Song 2", "Song 0"}));
    EXPECT_TRUE(pl->IsEnabled(PopupItemUndo));

    Key(VK_BACK, false, false, true);  // Alt+Backspace
    EXPECT_EQ(Rows(), seen[2].Rows) << "the gone file's entry is back with its record: nothing was read again";
    EXPECT_EQ(host->Playlist, seen[2].Host);
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), seen[1].Rows);
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), seen[0].Rows);
    EXPECT_EQ(host->Playlist, seen[0].Host);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 4})) << "the selection of the time before the step";
    EXPECT_EQ(host->Position, 2) << "the playing entry is still Song 2";
    EXPECT_FALSE(pl->IsEnabled(PopupItemUndo));
    host->ClearMessages();
    Menu(PopupItemUndo);
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0) << "nothing to undo: the host is not told";
    ASSERT_TRUE(pl->IsEnabled(PopupItemRedo));

    Key('Y', false, true);  // Ctrl+Y
    EXPECT_EQ(Rows(), seen[1].Rows);
    EXPECT_EQ(host->Playlist, seen[1].Host);
    Key('R', false, true);
    EXPECT_FALSE(pl->IsEnabled(PopupItemRedo)) << "a new step clears what could be redone";

    // A rebuild from the host that changes the list is a step too.
    const std::vector<std::string> before = Rows(), beforeHost = host->Playlist;
    host->Playlist = {files[0], files[5]};
    host->SetPosition(1);
    Pump();
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 5"}));
    Menu(PopupItemUndo);
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(host->Playlist, beforeHost) << "an undo is pushed to the host";
}

TEST_F(PlayListCommands, AlwaysOnTopRecreatesTheWindowWithOneWorkingIcon) {
    StartWith(30);
    HWND before = PlayListWindow();
    ASSERT_TRUE(IconRegistered(before));
    host->SetPosition(2);
    Pump();
    ASSERT_EQ(TextOf(before), L"Song 2 - VelvetLister");
    SendMessageW(List(), LB_SETTOPINDEX, 5, 0);
    SendMessageW(List(), LB_SETCARETINDEX, 7, 0);
    Select({7, 8});
    const int top = static_cast<int>(SendMessageW(List(), LB_GETTOPINDEX, 0, 0));
    const int caret = static_cast<int>(SendMessageW(List(), LB_GETCARETINDEX, 0, 0));
    auto rows = Rows();

    Key('T', false, true);
    HWND on = PlayListWindow();
    ASSERT_NE(on, nullptr);
    EXPECT_NE(on, before) << "a new native window";
    EXPECT_FALSE(IsWindow(before));
    EXPECT_TRUE(GetWindowLongW(on, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(on));
    EXPECT_TRUE(IconRegistered(on)) << "the icon names the new window";
    EXPECT_FALSE(IconRegistered(before));
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(SendMessageW(List(), LB_GETTOPINDEX, 0, 0), top);
    EXPECT_EQ(SendMessageW(List(), LB_GETCARETINDEX, 0, 0), caret);
    EXPECT_TRUE(Selected().empty()) << "marks are cleared";
    EXPECT_TRUE(PlayListWindow() == on);
    EXPECT_EQ(TextOf(on), L"Song 2 - VelvetLister") << "the caption still names the playing entry";
    EXPECT_EQ(GetFocus(), List());

    Menu(PopupItemAOT);
    HWND off = PlayListWindow();
    EXPECT_NE(off, on);
    EXPECT_FALSE(GetWindowLongW(off, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IconRegistered(off));
    EXPECT_FALSE(IconRegistered(on));
    // The icon still answers: hidden, a click asks the host for its playlist editor.
    ShowWindow(off, SW_HIDE);
    host->ClearMessages();
    SendMessageW(off, 0x8044, 68, WM_LBUTTONUP);
    Pump();
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40040}));
    // And the keys still reach the list of the new window.
    ShowWindow(off, SW_SHOW);
    Key(VK_DELETE, true, true);
    EXPECT_TRUE(host->Playlist.empty());
    // At the size a new window is created with, a switch brings no size message:
    // the panel is laid out all the same.
    RECT design{0, 0, 267, 116};
    AdjustWindowRectEx(&design, GetWindowLongW(off, GWL_STYLE), FALSE, GetWindowLongW(off, GWL_EXSTYLE));
    SetWindowPos(off, nullptr, 0, 0, std::max(275L, design.right - design.left),
                 std::max(116L, design.bottom - design.top), SWP_NOMOVE | SWP_NOZORDER);
    Menu(PopupItemAOT);
    EXPECT_EQ(TimeLabelWidth().first, TimeLabelWidth().second);
}

TEST_F(PlayListCommands, ControlPanelHidesAndShowsWithTheWatermarkAtTheCorner) {
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Locale=0000\r\n");
    StartHost();
    StartPlugin();
    HWND pl = PlayListWindow();
    HWND list = List();
    SetWindowPos(pl, nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    RECT client{}, lr{};
    GetClientRect(pl, &client);
    // The time label fills the space between "next" and the eject button.
    RECT eject{}, bar{};
    SendMessageW(Bar(), TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&eject));
    GetClientRect(Bar(), &bar);
    EXPECT_EQ(TimeLabelWidth().first, TimeLabelWidth().second);
    EXPECT_EQ(eject.right, bar.right - 4);
    {
        // Its digits: a 22-pixel cell height (internal leading included), ANSI characters.
        HWND time = FindWindowExW(Bar(), nullptr, L"Static", nullptr);
        HDC dc = GetDC(time);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(time, WM_GETFONT, 0, 0)));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(time, dc);
        EXPECT_EQ(tm.tmHeight, 22);
        EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
    }

    auto corner = [&](std::vector<COLORREF>& out) {
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r{};
        GetClientRect(list, &r);
        HDC dc = GetDC(list);
        out.clear();
        for (int y = r.bottom - 90; y < r.bottom; y += 5)
            for (int x = r.right - 150; x < r.right; x += 5) out.push_back(GetPixel(dc, x, y));
        ReleaseDC(list, dc);
        return r.bottom;
    };
    std::vector<COLORREF> shown, hidden, again;
    GetClientRect(list, &lr);
    EXPECT_EQ(lr.bottom, client.bottom - 20);
    corner(shown);
    Menu(PopupItemShowControlPanel);
    EXPECT_FALSE(IsWindowVisible(Bar()));
    GetClientRect(list, &lr);
    EXPECT_EQ(lr.bottom, client.bottom) << "the list takes the whole height";
    corner(hidden);
    EXPECT_EQ(hidden, shown) << "the watermark follows the bottom-right corner";
    std::set<COLORREF> colours(hidden.begin(), hidden.end());
    EXPECT_GT(colours.size(), 1u) << "an image, not a plain fill";
    Menu(PopupItemShowControlPanel);
    EXPECT_TRUE(IsWindowVisible(Bar()));
    GetClientRect(list, &lr);
    EXPECT_EQ(lr.bottom, client.bottom - 20);
    corner(again);
    EXPECT_EQ(again, shown);
}

TEST_F(PlayListCommands, ViewSwitchesAndInformation) {
    StartWith(1);
    host->ClearMessages();
    Menu(PopupItemFileInfo);
    EXPECT_EQ(HostCommands(), (std::vector<WPARAM>{40188}));
    // Ticking the automatic-show switches does nothing at once.
    host->ClearMessages();
    Menu(PopupItemAutomaticShowPL);
    Menu(PopupItemAutomaticShowEQ);
    EXPECT_TRUE(host->Messages.empty());
}

// ---- the player quits while a modal chooser of ours is open
