// Files, folders and playlists dropped on the playlist window: where they go,
// folder scans, names whose double-byte characters end in the backslash's byte, and
// unreadable playlists.
#include "FormPlayListFixture.h"

namespace {

// Runs bash: Wine starts Unix programs, which make files far faster than Wine
// does, and links (Wine's CreateSymbolicLinkA makes none). Wine gives no process
// handle, so this waits until `path` exists (or is gone).
void Bash(const std::string& script, const std::string& path, bool exists = true) {
    std::string cmd = "/bin/bash -c \"" + script + "\"";
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA("Z:\\bin\\bash", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    for (int i = 0; i < 1000 && (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) != exists; ++i) Sleep(10);
}

// A folder filled by a bash script (run inside it), removed by bash at scope end.
struct TUnixFolder {
    TUnixFolder(const std::string& dir, const std::string& script, const std::string& last) : Dir(dir) {
        CreateDirectoryA(dir.c_str(), nullptr);
        auto unixName = reinterpret_cast<char*(CDECL*)(LPCWSTR)>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
        char* u = unixName(std::wstring(dir.begin(), dir.end()).c_str());
        Unix = u;
        HeapFree(GetProcessHeap(), 0, u);
        Bash("cd '" + Unix + "' && " + script, In(last));
    }
    ~TUnixFolder() { Bash("rm -rf '" + Unix + "'", Dir, false); }
    std::string In(const std::string& name) const { return Dir + "\\" + name; }
    std::string Dir, Unix;
};

// ---- dropped files

TEST_F(FormPlayList, DropAppendsOrInsertsByShiftAndPosition) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), c = WriteMp3("c.mp3", "C"),
                d = WriteMp3("d.mp3", "D");
    std::string x = WriteMp3("x.mp3", "X"), y = WriteMp3("y.mp3", "Y");
    Start({a, b, c, d}, "Option.SongAddLast=1\r\n");
    host->SetPosition(3);  // D plays
    Drop({x}, OnRow(0));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "B", "C", "D", "X"})) << "plain drop appends";
    Drop({x, y}, OnRow(2), /*shift*/ true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "B", "X", "Y", "C", "D", "X"})) << "Shift inserts on the third row";
    EXPECT_EQ(host->Position, 5) << "the playing mark moved with D";
    EXPECT_EQ(host->Playlist.size(), 7u);
    EXPECT_EQ(host->Playlist[5], d);
    ResizeClient(300, 40 + 10 * ItemHeight());
    RECT lr = ListRect();
    Drop({y}, POINT{lr.left + 5, lr.bottom - 2}, true);
    EXPECT_EQ(Rows().back(), "Y") << "below the last row appends";
    EXPECT_EQ(Rows().size(), 8u);
    // Inserted on the playing row itself: the playing entry moves down by the rows inserted.
    Drop({x, y}, OnRow(5), true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "B", "X", "Y", "C", "X", "Y", "D", "X", "Y"}));
    EXPECT_EQ(host->Position, 7) << "the playing mark stays on D";
    // A folder among the names is walked in the background; all land where dropped, in order.
    CreateDirectoryA(PathIn("more").c_str(), nullptr);
    const std::string m = WriteMp3("more\\m.mp3", "M");
    Drop({y, PathIn("more"), x}, OnRow(1), true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "Y", "M", "X", "B", "X", "Y", "C", "X", "Y", "D", "X", "Y"}));
    EXPECT_EQ(host->Position, 10);
    EXPECT_EQ(host->Playlist[2], m);
    EXPECT_TRUE(IsWindowEnabled(PlayListWindow()));
}

TEST_F(FormPlayList, WithoutAddLastAPlainDropOnARowInserts) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), x = WriteMp3("x.mp3", "X");
    Start({a, b}, "Option.SongAddLast=0\r\n");
    Drop({x}, OnRow(1));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "X", "B"}));
    Drop({x}, OnToolBar());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "X", "B", "X"})) << "a drop on the control panel appends";
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{a, x, b, x}));
}

TEST_F(FormPlayList, CtrlDropReplacesTheListAndPlaysTheFirstEntry) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), x = WriteMp3("x.mp3", "X");
    WriteFile("notes.txt", "not audio");
    Start({a, b});
    Drop({PathIn("notes.txt")}, OnRow(0), false, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "B"})) << "nothing usable: list untouched";
    EXPECT_EQ(host->State, TPlayState::Stopped);
    Drop({x, a}, OnRow(0), false, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"X", "A"}));
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{x, a}));
    EXPECT_EQ(host->State, TPlayState::Playing);
    EXPECT_EQ(host->Position, 0);
    // With a folder too: the list goes only once the folder is walked.
    CreateDirectoryA(PathIn("more").c_str(), nullptr);
    const std::string m = WriteMp3("more\\m.mp3", "M");
    Drop({PathIn("more"), b}, OnRow(0), false, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"M", "B"}));
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{m, b}));
    EXPECT_EQ(host->Position, 0);
}

TEST_F(FormPlayList, DroppedDirectoriesAreScannedAndTheirPlaylistsIgnored) {
    CreateDirectoryA(PathIn("music").c_str(), nullptr);
    CreateDirectoryA(PathIn("music\\sub").c_str(), nullptr);
    std::string one = WriteMp3("music\\one.mp3", "One");
    WriteMp3("music\\two.mp3", "Two");
    WriteFile("music\\sub\\three.wav", "RIFF....WAVE");
    WriteFile("music\\list.m3u", one + "\r\n");
    Start({});
    Drop({PathIn("music")}, OnRow(0));
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"One", "Two", "three"}));
    // From a folder that holds audio, and its parent: the names themselves add nothing.
    char was[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, was);
    ASSERT_TRUE(SetCurrentDirectoryA(PathIn("music\\sub").c_str()));
    WriteMp3("music\\sub\\four.mp3", "Four");
    Drop({".", ".."}, OnRow(0));
    EXPECT_EQ(Rows().size(), 3u) << "'.' and '..' add nothing";
    Drop({".", PathIn("music\\sub")}, OnRow(0));  // beside a folder, walked in the background
    SetCurrentDirectoryA(was);
    EXPECT_EQ(Rows().size(), 5u) << "the folder's three and four alone";
}

TEST_F(FormPlayList, DroppedPlaylistAddsExistingFilesRelativeToItsFolder) {
    CreateDirectoryA(PathIn("lists").c_str(), nullptr);
    std::string rel = WriteMp3("lists\\rel.mp3", "Relative");
    std::string abs = WriteMp3("abs.mp3", "Absolute");
    WriteFile("lists\\mix.m3u", "#EXTM3U\r\n#EXTINF:123,Someone - Something\r\nrel.mp3\r\n" + abs + "\r\nmissing.mp3\r\n");
    Start({});
    Drop({PathIn("lists\\mix.m3u")}, OnRow(0));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Relative", "Absolute"}));
    ASSERT_EQ(host->Playlist.size(), 2u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[0].c_str(), rel.c_str()), 0) << host->Playlist[0];

    // A rooted line is found and added on the playlist's drive, a drive-relative one
    // in the playlist's folder: each time the file found.
    const std::string rooted = Dir().substr(0, 3) + "vl-rooted-" + std::to_string(GetCurrentProcessId()) + ".mp3";
    ASSERT_TRUE(CopyFileA(WriteMp3("lists\\near.mp3", "Near").c_str(), rooted.c_str(), FALSE));
    WriteFile("lists\\drives.m3u", rooted.substr(2) + "\r\n" + Dir().substr(0, 2) + "near.mp3\r\n");
    Drop({PathIn("lists\\drives.m3u")}, OnRow(0), false, true);
    FinishReading();  // a file gone before it is read stays by its name
    DeleteFileA(rooted.c_str());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Near", "Near"}));
    ASSERT_EQ(host->Playlist.size(), 2u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[0].c_str(), rooted.c_str()), 0) << host->Playlist[0];
    EXPECT_EQ(lstrcmpiA(host->Playlist[1].c_str(), PathIn("lists\\near.mp3").c_str()), 0) << host->Playlist[1];
}

// On a Japanese system "表", "ソ", "十" and "能" end in byte 0x5C, the byte of "\\":
// folders and playlists named with them at several depths still give every file.
TEST_F(FormPlayList, ShiftJisNamesEndingInTheBackslashByte) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932 (the _cp932 run)";
    const std::string hyo = "\x95\x5C", so = "\x83\x5C", ju = "\x8F\x5C", no = "\x94\x5C";
    const std::string top = hyo, mid = hyo + "\\" + so, deep = mid + "\\" + no;
    for (const std::string& d : {top, mid, deep, ju}) ASSERT_TRUE(CreateDirectoryA(PathIn(d).c_str(), nullptr)) << d;
    const std::string a = WriteMp3(top + "\\a" + hyo + ".mp3", ""), b = WriteMp3(mid + "\\" + so + ".mp3", "");
    WriteFile(deep + "\\c" + ju + ".wav", "RIFF....WAVE");
    std::vector<std::string> expected{"a" + hyo, so, "c" + ju};
    std::sort(expected.begin(), expected.end());
    Start({});
    Drop({PathIn(top)}, OnRow(0));
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, expected) << "the dropped folder and both levels below it";
    EXPECT_EQ(host->Playlist.size(), 3u);

    // A playlist named "表.m3u" in the folder "十", on the drive of the test folder
    // while the current directory is on another drive; a line with an invalid
    // double-byte sequence and one ending in a lone lead byte name nothing.
    const std::string rooted = a.substr(2);  // "\\...\\表\\a表.mp3"
    WriteFile(ju + "\\" + hyo + ".m3u", "#EXTM3U\r\n..\\" + mid + "\\" + so + ".mp3\r\n" + rooted + "\r\n" + b +
                                            "\r\n..\\" + deep + "\\c" + ju + ".wav\r\n" + so + ".mp3\r\n..\\" + mid +
                                            "\\\x81:\r\n..\\" + hyo + "\x95");  // last: a lone lead byte
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(Dir()[0] == 'Z' ? "C:\\" : "Z:\\"));
    Drop({PathIn(ju + "\\" + hyo + ".m3u")}, OnRow(0), false, true);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(Rows(), (std::vector<std::string>{so, "a" + hyo, so, "c" + ju})) << "relative, rooted, absolute, deeper";
    ASSERT_EQ(host->Playlist.size(), 4u);
    EXPECT_EQ(lstrcmpiA(host->Playlist[1].c_str(), a.c_str()), 0) << host->Playlist[1];
    EXPECT_EQ(lstrcmpiA(host->Playlist[2].c_str(), b.c_str()), 0) << host->Playlist[2];
}

TEST_F(FormPlayList, SkinFileAmongAudioFilesIsAppliedNotListed) {
    std::string a = WriteMp3("a.mp3", "A");
    WriteFile("fg.bmp", MakeBmp(8, 8, [](int, int) { return RGB(10, 200, 30); }));
    Start({});
    Drop({a, PathIn("fg.bmp")}, OnRow(0));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A"}));
    TPixels p = Capture();
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB(10, 200, 30)) << "the dropped image is the new watermark";
}

namespace {
HWND g_quitHost, g_quitList;
int g_quitStep;
bool g_listAliveWithBox;
// In the error box's own loop: the player quits, and its teardown releases our
// windows; a tick later the box's loop has run the release.
void CALLBACK QuitWhileBoxIsOpen(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowW(L"#32770", L"VelvetLister");
    if (box && g_quitStep++ == 0) DestroyWindow(g_quitHost);
    else if (box && g_quitStep == 2 && (g_listAliveWithBox = IsWindow(g_quitList))) PostMessageW(box, WM_COMMAND, IDOK, 0);
}
}  // namespace

// The error box of an unreadable playlist; the player quitting while it is open.
TEST_F(FormPlayList, UnreadablePlaylistAbortsTheWholeDrop) {
    std::string a = WriteMp3("a.mp3", "A"), x = WriteMp3("x.mp3", "X");
    WriteFile("locked.m3u", x + "\r\n");
    Start({a});
    HANDLE lock = CreateFileA(PathIn("locked.m3u").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    host->ClearMessages();
    {
        TMessageBoxCatcher boxes;
        Drop({x, PathIn("locked.m3u")}, OnRow(0));
        EXPECT_EQ(boxes.Count(), 1u);
    }
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{a}));
    EXPECT_EQ(host->CountOf(host->Main(), WM_COPYDATA), 0) << "nothing was pushed";

    g_quitHost = host->Main();
    g_quitList = PlayListWindow();
    g_quitStep = 0;
    g_listAliveWithBox = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, &QuitWhileBoxIsOpen);
    Drop({PathIn("locked.m3u")}, OnRow(0));
    KillTimer(nullptr, timer);
    CloseHandle(lock);
    EXPECT_TRUE(g_listAliveWithBox) << "the window is deleted under its own handler";
    Pump();
    EXPECT_FALSE(IsWindow(g_quitList)) << "and released once the handler is done";
}

// Links back up make a scan that follows links exponential, and one to a sibling
// reaches a folder twice; Esc pressed for real during a big scan stops it, keeping what was
// found.
TEST_F(FormPlayList, ScansEnterEachFolderOnceAndStopOnEsc) {
    TUnixFolder made(PathIn("made"),
                     "mkdir -p music/sub tree && touch music/one.mp3 music/sub/two.mp3 && ln -s .. music/sub/up && "
                     "ln -s . music/sub/self && ln -s sub music/again && cd tree && mkdir d{1..10} && "
                     "touch d{1..10}/f{1..100}.mp3",
                     "tree\\d10\\f100.mp3");
    // Wine shows a linked folder as a directory and a reparse point.
    ASSERT_EQ(GetFileAttributesA(made.In("music\\sub\\up").c_str()), 0x410u);
    Start({});
    Drop({made.In("music")}, OnRow(0));
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"one", "two"}));
    Drop({made.In("music\\again")}, OnRow(0));
    EXPECT_EQ(Rows().size(), 3u) << "a link dropped as such is entered";

    // Esc held down as a big folder is dropped stops its scan; the list keeps what it had.
    SetForegroundWindow(PlayListWindow());
    INPUT key{INPUT_KEYBOARD};
    key.ki.wVk = VK_ESCAPE;
    ASSERT_EQ(SendInput(1, &key, sizeof key), 1u);
    Drop({made.In("tree")}, OnRow(0));
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof key);
    Pump();
    const std::size_t held = Rows().size();
    EXPECT_GE(held, 3u);
    EXPECT_LT(held, 3u + 100);
    // A short tap, over before the scan looks: it stops every folder still to come too.
    INPUT tap[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    tap[0].ki.wVk = tap[1].ki.wVk = VK_ESCAPE;
    tap[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, tap, sizeof tap[0]), 2u);
    Drop({made.In("tree")}, OnRow(0));
    EXPECT_LT(Rows().size(), held + 100);
    EXPECT_NE(GetCursor(), LoadCursor(nullptr, IDC_WAIT)) << "the wait cursor goes with the scan";
    EXPECT_EQ(host->Playlist.size(), Rows().size());
}

}  // namespace
