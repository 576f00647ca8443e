// The playlist window in step with the host: rebuild, push, the current entry,
// the caption, lengths and the elapsed time.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <thread>
#include "DropBuilder.h"

#include "PlayListSyncFixture.h"

TEST_F(PlayListSync, StartBuildsTheListFromTheHost) {
    std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta");
    StartHost();
    host->Playlist = {a, b};
    StartPlugin();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(Caption(), L"Alpha - VelvetLister");
}

TEST_F(PlayListSync, EntriesThePlugInDoesNotReadAreKeptAndNeverPushed) {
    std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta");
    WriteFile("notes.txt", "x");
    WriteFile("list.m3u", "a.mp3\r\n");
    CreateDirectoryA(PathIn("folder.mp3").c_str(), nullptr);
    const std::vector<std::string> hostList = {"http://example.com:8000/live", a,  PathIn("back.mp3"), b,
                                               PathIn("notes.txt"), PathIn("folder.mp3"), PathIn("list.m3u"),
                                               PathIn("later.mp3")};
    StartHost();
    host->Playlist = hostList;
    StartPlugin();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"http://example.com:8000/live", "Alpha", "back", "Beta", "notes",
                                                "folder", "list", "later"}));
    EXPECT_EQ(host->Playlist, hostList);
    for (auto& m : host->MessagesTo(host->Main(), WM_USER)) {
        EXPECT_NE(m.LParam, 101) << "the host's list is never cleared";
        EXPECT_NE(m.LParam, 214) << "an older host is not asked for wide names";
    }
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0);

    // The missing file turns up (the drive is back): it is read when it becomes current.
    WriteMp3("back.mp3", "Returned");
    host->SetPosition(2);
    EXPECT_EQ(Rows()[2], "Returned");
    EXPECT_EQ(Caption(), L"Returned - VelvetLister");
    EXPECT_EQ(host->Playlist, hostList);
    // ... or by the next rebuild; a directory and a playlist stay kept.
    WriteMp3("later.mp3", "Later");
    host->Playlist[1] = b;
    host->SetPosition(1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"http://example.com:8000/live", "Beta", "Returned", "Beta", "notes",
                                                "folder", "list", "Later"}));
    // A stream as the current entry: its address is the caption, whatever the format makes of it.
    host->SetPosition(0);
    EXPECT_EQ(Caption(), L"http://example.com:8000/live - VelvetLister");
}

TEST_F(PlayListSync, HostWithOnlyStreamsGivesTheirRowsAndAnEmptyHostNeverEmptiesTheList) {
    std::string a = WriteMp3("a.mp3", "Alpha");
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.Playlist.Format=[${IART}] ${INAM}\r\n");
    StartHost();
    host->Playlist = {a};
    StartPlugin();
    host->Playlist = {"http://example.com/1", "http://example.com/2"};
    host->SetPosition(1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"[] http://example.com/1", "[] http://example.com/2"}));
    EXPECT_EQ(Caption(), L"http://example.com/2 - VelvetLister");
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{"http://example.com/1", "http://example.com/2"}));
    host->Playlist.clear();
    SendMessageA(host->PlaylistEditor(), WM_USER, 0, 0);
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(PlayListSync, KeptShiftJisNamesGoBackByteForByte) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (the _cp932 run)";
    // "表" and "ソ" end in 0x5C, the byte of "\\".
    const std::string hyo = "\x95\x5C", so = "\x83\x5C";
    CreateDirectoryA(PathIn(so).c_str(), nullptr);
    WriteFile(so + "\\" + hyo + ".ogg", "OggS");
    const std::string a = WriteMp3("a.mp3", "A");
    const std::vector<std::string> hostList = {PathIn(so + "\\" + hyo + ".ogg"), a, PathIn(hyo + "\\" + so + hyo + ".mp3"),
                                               "http://example.jp/" + hyo + so};
    StartHost();
    host->Playlist = hostList;
    StartPlugin();
    EXPECT_EQ(Rows(), (std::vector<std::string>{hyo, "A", so + hyo, "http://example.jp/" + hyo + so}));
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemSortFilename, 0), 0);
    ASSERT_EQ(host->Playlist.size(), hostList.size());
    std::vector<std::string> sortedHost = host->Playlist, sortedOwn = hostList;
    std::sort(sortedHost.begin(), sortedHost.end());
    std::sort(sortedOwn.begin(), sortedOwn.end());
    EXPECT_EQ(sortedHost, sortedOwn) << "every name went back as it was";
}

TEST_F(PlayListSync, IndexBeyondTheListRebuilds) {
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i) files.push_back(WriteMp3("s" + std::to_string(i) + ".mp3", "Song " + std::to_string(i)));
    StartHost();
    host->Playlist = {files[0], files[1], files[2]};
    StartPlugin();
    ASSERT_EQ(Rows().size(), 3u);
    host->Playlist = files;
    host->SetPosition(5);
    EXPECT_EQ(Rows().size(), 6u);
    EXPECT_EQ(Caption(), L"Song 5 - VelvetLister");
}

TEST_F(PlayListSync, OtherFileAtTheIndexRebuilds) {
    std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta"), c = WriteMp3("c.mp3", "Gamma");
    StartHost();
    host->Playlist = {a, b, c};
    StartPlugin();
    host->Playlist[2] = a;
    host->SetPosition(2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Alpha", "Beta", "Alpha"}));
    EXPECT_EQ(Caption(), L"Alpha - VelvetLister");
}

TEST_F(PlayListSync, LengthIsAskedOnceAndShownInItsText) {
    std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta");
    StartHost();
    host->Playlist = {a, b};
    host->TrackLengths[a] = 3725;
    host->TrackLengths[b] = 185;
    StartPlugin();
    host->Play();
    host->Next();
    host->Previous();
    int asked = 0;
    for (auto& m : host->MessagesTo(host->Main(), WM_USER))
        if (m.LParam == 105 && m.WParam == 1) ++asked;
    EXPECT_EQ(asked, 2) << "once per entry, kept in the record";
}

TEST_F(PlayListSync, ElapsedTimeFollowsTheHostAndBlinksWhilePaused) {
    std::string a = WriteMp3("a.mp3", "Alpha");
    StartHost();
    host->Playlist = {a};
    host->TrackLengths[a] = 5000;
    StartPlugin();
    HWND pl = PlayListWindow();
    HWND label = nullptr;
    HWND bar = FindWindowExW(pl, nullptr, L"ToolbarWindow32", nullptr);
    label = FindWindowExW(bar, nullptr, L"Static", nullptr);
    ASSERT_NE(label, nullptr);
    auto text = [&] {
        wchar_t b[64] = {};
        GetWindowTextW(label, b, 64);
        return std::wstring(b);
    };
    auto tick = [&] { SendMessageW(pl, WM_TIMER, 1, 0); };
    tick();
    EXPECT_EQ(text(), L"") << "stopped";
    host->Play();
    host->AdvanceClock(185700);
    tick();
    EXPECT_EQ(text(), L"03:05");
    host->AdvanceClock(3725000 - 185700);
    tick();
    EXPECT_EQ(text(), L"1:02:05");
    SendMessageA(host->Main(), WM_COMMAND, 40046, 0);  // pause
    tick();
    EXPECT_EQ(text(), L"");
    tick();
    EXPECT_EQ(text(), L"1:02:05");
    tick();
    EXPECT_EQ(text(), L"");
}

TEST_F(PlayListSync, PushSendsTheWholeListInOrder) {
    std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta"), c = WriteMp3("c.mp3", "Gamma");
    StartHost();
    host->Playlist = {a, b, c};
    StartPlugin();
    host->SetPosition(1);
    host->ClearMessages();
    HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
    // Ctrl+R reverses the list: the host receives the complete new order.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(list, WM_KEYDOWN, 'R', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{c, b, a}));
    auto users = host->MessagesTo(host->Main(), WM_USER);
    ASSERT_FALSE(users.empty());
    EXPECT_EQ(users.front().LParam, 101) << "cleared first";
    EXPECT_EQ(host->Position, 1) << "the playing entry keeps its place in the middle";
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
    host->SetPosition(2);  // Alpha starts
    Command(PopupItemUndo);
    EXPECT_EQ(host->Position, 0) << "an undo keeps the entry playing now, not the one that played before the step";
}


// Titles come from a reader thread; the test build lets the test hold it.
class PlayListReading : public PlayListSync {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
    // Runs messages as the player's loop does (never asking for the titles)
    // until the last row reads title; 10 s at most.
    bool LastRowBecomes(const std::string& title) {
        for (int i = 0; i < 1000 && RowsNow().back() != title; ++i) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
        }
        return RowsNow().back() == title;
    }
};

TEST_F(PlayListReading, EntriesComeAtOnceTheirTitlesLaterAndWhatLeftTheListIsNotRead) {
    std::vector<std::string> f;
    for (int i = 0; i < 6; ++i) f.push_back(WriteMp3("s" + std::to_string(i) + ".mp3", "Song " + std::to_string(i)));
    StartHost();
    host->Playlist = f;
    ASSERT_TRUE(Load());
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    seam->HoldReader = 1;
    ASSERT_EQ(host->Init(), 0);
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);  // no wait for the reading
    EXPECT_EQ(RowsNow(), (std::vector<std::string>{"s0", "s1", "s2", "s3", "s4", "s5"})) << "titled by their names meanwhile";
    EXPECT_EQ(host->Playlist, f);
    HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
    SendMessageW(list, LB_SETSEL, TRUE, 4);
    SendMessageW(list, LB_SETSEL, TRUE, 5);
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(host->Playlist, std::vector<std::string>(f.begin(), f.begin() + 4)) << "the names never wait for the tags";
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    seam->HoldReader = 0;
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 1", "Song 2", "Song 3"}));
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 1, 0), 1) << "a title coming in keeps the row's selection";
    // The removed entries were not read; brought back, they are.
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemUndo, 0), 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Song 0", "Song 1", "Song 2", "Song 3", "Song 4", "Song 5"}));

    // A rebuild keeps the titles it had while the files are read again; the
    // host leaving with reading still out takes everything of ours with it.
    seam->HoldReader = 1;
    host->Playlist = {f[5], f[0], PathIn("gone.mp3")};
    host->SetPosition(0);
    EXPECT_EQ(RowsNow(), (std::vector<std::string>{"Song 5", "Song 0", "gone"}));
    host->Playlist = {f[0], f[5]};  // again before those were read: they keep what they showed
    host->SetPosition(0);
    EXPECT_EQ(RowsNow(), (std::vector<std::string>{"Song 0", "Song 5"}));
    host->DestroyMainWindow();
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr);
    EXPECT_EQ(seam->LiveRecords, 0);
    EXPECT_EQ(seam->UnexpectedExceptions, 0);
}

// A player that frees us before its windows go, with titles still out: the
// reader's thread holds nothing that keeps us mapped, so the library goes at
// once and takes its windows and hooks with it; the player goes on.
TEST_F(PlayListReading, FreedWithTitlesStillOutTheLibraryGoesWithItsThreadAndWindows) {
    std::vector<std::string> names;
    for (int i = 0; i < 1500; ++i) names.push_back("C:\\nowhere\\t" + std::to_string(i) + ".mp3");
    StartHost();
    host->Playlist = names;
    ASSERT_TRUE(Load());
    Seam()->HoldReader = 1;
    ASSERT_EQ(host->Init(), 0);
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    ASSERT_NE(PlayListWindow(), nullptr);
    host->Quit();
    host->UnloadPlugin();
    EXPECT_EQ(GetModuleHandleW(L"gen_VelvetLister.dll"), nullptr) << "still mapped after the player freed it";
    EXPECT_EQ(PlayListWindow(), nullptr);
    host->DestroyWindows();
    EXPECT_EQ(host->Playlist, names);
}

TEST_F(PlayListReading, ALongRebuildShowsTheOldRowsUntilItsEntriesAreInAndEverythingElseWaitsForThem) {
    const std::string a = WriteMp3("a.mp3", "Alpha");
    StartHost();
    host->Playlist = {a};
    StartPlugin();
    ASSERT_EQ(Rows(), (std::vector<std::string>{"Alpha"}));
    // The host's list grows long: its report returns with the names copied, the entries still to make.
    std::vector<std::string> grown;
    for (int i = 0; i < 2500; ++i) grown.push_back("C:\\nowhere\\t" + std::to_string(i) + ".mp3");
    host->Playlist = grown;
    host->SetPosition(2400);
    EXPECT_EQ(RowsNow(), (std::vector<std::string>{"Alpha"})) << "the old rows meanwhile";
    // A command before the pieces came acts on the host's list, never pushes the old one.
    HWND list = FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr);
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemSortReverse, 0), 0);
    EXPECT_EQ(host->Playlist, std::vector<std::string>(grown.rbegin(), grown.rend()));
    EXPECT_EQ(Caption(), L"t2400 - VelvetLister") << "the report was answered once the rows were in";
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemUndo, 0), 0);
    EXPECT_EQ(host->Playlist, grown) << "the rebuild came before the command's step";
    // A key is input too; the host leaving with a rebuild pending takes everything with it.
    host->Playlist = {grown.rbegin(), grown.rbegin() + 2200};
    host->SetPosition(0);
    SendMessageW(list, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), 2199);
    host->Playlist = grown;
    host->SetPosition(0);
    host->DestroyMainWindow();
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr);
    EXPECT_EQ(Seam()->LiveRecords, 0);
    EXPECT_EQ(Seam()->UnexpectedExceptions, 0);
}

// "Always on top" makes a new window: what was posted to the old one (the walk
// that queues the reading, a long rebuild's next piece) is posted again.
TEST_F(PlayListReading, AlwaysOnTopRightAfterStartLeavesNoRowUnreadAndNoRebuildStuck) {
    const std::string a = WriteMp3("a.mp3", "Alpha"), b = WriteMp3("b.mp3", "Beta");
    StartHost();
    host->Playlist.assign(3000, a);
    ASSERT_TRUE(Load());
    ASSERT_EQ(host->Init(), 0);  // no message handled yet
    SendMessageW(PlayListWindow(), WM_COMMAND, MAKEWPARAM(PopupItemAOT, 0), 0);
    EXPECT_TRUE(LastRowBecomes("Alpha")) << "the whole list is read";
    host->Playlist.assign(2500, b);
    host->SetPosition(0);
    EXPECT_TRUE(LastRowBecomes("Beta")) << "a later long rebuild gets its pieces";
}

// Esc after the walk of a dropped folder is over and before its names are in
// ends the drop: nothing of the folder comes, nothing is pushed.
TEST_F(PlayListReading, EscAfterAFolderWalkIsOverEndsTheDropBeforeItsNamesAreIn) {
    CreateDirectoryA(PathIn("many").c_str(), nullptr);
    for (int i = 0; i < 40; ++i) WriteMp3("many\\f" + std::to_string(i) + ".mp3", "F");
    StartHost();
    host->Playlist = {WriteMp3("a.mp3", "Alpha")};
    StartPlugin();
    HWND window = PlayListWindow(), list = FindWindowExW(window, nullptr, L"TPlayListBox", nullptr);
    Seam()->HoldScan = 2;
    std::thread esc([&] {
        for (int i = 0; i < 1000 && !Seam()->ScanHeld; ++i) Sleep(10);
        PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
        Seam()->HoldScan = 0;
    });
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({PathIn("many")})), 0);
    esc.join();
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(host->Playlist.size(), 1u);
}

// A wait for the titles (sort by title) runs the player's messages and sees Esc
// while a file on a share out of reach holds the reader; a key to the list and
// a drop meanwhile go. The player quitting ends such a wait too.
TEST_F(PlayListReading, AWaitForTitlesGoesOnWithMessagesWhileAShareIsOutOfReach) {
    const std::string z = WriteMp3("z.mp3", "Zed"), a = WriteMp3("a.mp3", "Alpha"), share = "\\\\vl-nowhere\\music\\slow.mp3";
    StartHost();
    host->Playlist = {z, share, a};
    ASSERT_TRUE(Load());
    TTestSeam* seam = Seam();
    seam->HoldShares = 1;
    ASSERT_EQ(host->Init(), 0);
    HWND window = PlayListWindow(), list = FindWindowExW(window, nullptr, L"TPlayListBox", nullptr);
    SendMessageW(list, LB_SETSEL, TRUE, 0);
    const HWND player = host->Main();
    std::thread other([&] {
        DWORD_PTR r = 0;  // unanswered: the thread held is this one, let it go
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r)) seam->HoldShares = 0;
        PostMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
        PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({z})), 0);
        PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
        for (int i = 0; i < 1000 && IsWindow(player); ++i) Sleep(10);
        seam->HoldShares = 0;
    });
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(PopupItemSortTitle, 0), 0);
    EXPECT_EQ(seam->HoldShares, 1) << "a message sent meanwhile is answered";
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{z, share, a})) << "Esc: no sort, nothing deleted or added";
    PostMessageW(player, WM_CLOSE, 0, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(PopupItemSortTitle, 0), 0);
    other.join();
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr) << "the player quit in the middle of the wait";
}

// The control panel's total, as a screen reader reads it (the static inside the elapsed time's).
namespace {
std::wstring Total(HWND pl) {
    SendMessageW(pl, WM_APP + 0x3C4, 0, 0);
    HWND bar = FindWindowExW(pl, nullptr, L"ToolbarWindow32", nullptr);
    wchar_t text[64] = {};
    GetWindowTextW(FindWindowExW(FindWindowExW(bar, nullptr, L"Static", nullptr), nullptr, L"Static", nullptr), text, 64);
    return text;
}
}  // namespace

TEST_F(PlayListReading, FilesGiveLengthsTheHostsReportWinsAndTheTotalCountsThem) {
    const std::string a = PathIn("a.mp3"), b = WriteMp3("b.mp3", "Beta"), c = PathIn("c.rmp");
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/cbr-plain.mp3", a.c_str(), FALSE));  // 4 s
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/riff.rmp", c.c_str(), FALSE));       // 4 s
    StartHost();
    host->Playlist = {a, b, c};
    host->TrackLengths[a] = 300;  // asked at start: a is current
    host->TrackLengths[c] = 10;
    ASSERT_TRUE(Load());
    Seam()->HoldReader = 1;
    ASSERT_EQ(host->Init(), 0);
    for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    EXPECT_EQ(Total(PlayListWindow()), L"\x8AAD\x307F\x8FBC\x307F\x4E2D 0 %");
    Seam()->HoldReader = 0;
    Pump();
    EXPECT_EQ(Total(PlayListWindow()), L"0:00/5:04+") << "a's 300 s from the host, c's 4 from its file, b unknown";
    Command(PopupItemSelectAll);
    EXPECT_EQ(Total(PlayListWindow()), L"5:04/5:04+");
    for (int i : {2, 0, 2}) host->SetPosition(i);
    Pump();
    EXPECT_EQ(Total(PlayListWindow()), L"5:10/5:10+") << "the host's 10 s replace c's 4";
    int asked = 0;
    for (auto& m : host->MessagesTo(host->Main(), WM_USER)) asked += m.LParam == 105 && m.WParam == 1;
    EXPECT_EQ(asked, 2) << "once for a, once for c's file length";
}

TEST_F(PlayListReading, WithoutLengthsFromFilesOnlyTheHostTellsThem) {
    const std::string a = PathIn("a.mp3");
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/cbr-plain.mp3", a.c_str(), FALSE));
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\nOption.ReadSongLength=0\r\n");
    StartHost();
    host->Playlist = {a};
    StartPlugin();
    Pump();
    EXPECT_EQ(Total(PlayListWindow()), L"0:00/0:00+");
}
