// The playlist window as a user and the host meet it: snapping and size limits,
// the notification icon, dropped files and playlists, and what the list draws.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>
#include "DropBuilder.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"

namespace {
constexpr UINT kTrayCallback = 0x8044;
constexpr WORD kCmdTogglePlaylistEditor = 40040;
// A white watermark over white tiles, so that only the rows' text has colour.
const std::string kPlain = "Option.WatermarkSkin.FG=plain.bmp\r\nOption.WatermarkSkin.BG=plain.bmp\r\n";

struct TPixels {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Bits;  // 0x00RRGGBB, top-down
    COLORREF At(int x, int y) const {
        std::uint32_t v = Bits[static_cast<size_t>(y) * Width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Bounding box of the pixels of one colour inside a rectangle; empty when none.
    RECT BoxOf(COLORREF c, RECT in) const {
        RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = std::max(0L, in.top); y < std::min<LONG>(Height, in.bottom); ++y)
            for (int x = std::max(0L, in.left); x < std::min<LONG>(Width, in.right); ++x)
                if (At(x, y) == c) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
        return box;
    }
    // Bounding box of everything that is not white (text, anti-aliased edges included).
    RECT InkBox(RECT in) const {
        RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = std::max(0L, in.top); y < std::min<LONG>(Height, in.bottom); ++y)
            for (int x = std::max(0L, in.left); x < std::min<LONG>(Width, in.right); ++x)
                if (At(x, y) != RGB(255, 255, 255)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
        return box;
    }
    static bool Empty(const RECT& r) { return r.left > r.right; }
};

// A 24-bit bottom-up BMP whose pixel colours come from a function.
std::string MakeBmp(int w, int h, const std::function<COLORREF(int, int)>& color) {
    const int stride = (w * 3 + 3) & ~3;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * h);
    std::string out(54 + imageSize, '\0');
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) out[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    out[26] = 1;
    out[28] = 24;
    put32(34, imageSize);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = color(x, y);
            size_t at = 54 + static_cast<size_t>(h - 1 - y) * stride + x * 3;
            out[at] = static_cast<char>(GetBValue(c));
            out[at + 1] = static_cast<char>(GetGValue(c));
            out[at + 2] = static_cast<char>(GetRValue(c));
        }
    return out;
}

void SetKeys(bool shift, bool ctrl) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
}

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

class FormPlayList : public TPluginTest {
protected:
    std::string hostIni_ = "[Winamp]\r\npe_open=1\r\n";
    std::string HostIni() override { return hostIni_; }
    void TearDown() override {
        SetKeys(false, false);
        TPluginTest::TearDown();
    }

    // Writes plugin.ini (the lines of our section) and starts the plug-in with the host's playlist.
    void Start(const std::vector<std::string>& playlist, const std::string& pluginLines = "") {
        if (!pluginLines.empty()) WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\n" + pluginLines);
        WriteFile("plain.bmp", MakeBmp(8, 8, [](int, int) { return RGB(255, 255, 255); }));
        StartHost();
        host->Playlist = playlist;
        StartPlugin();
    }
    // The host reports its current entry, whatever its list holds.
    void Report(int index) {
        host->Position = index;
        SendMessageA(host->PlaylistEditor(), WM_USER, 0, index);
    }
    HWND List() { return FindWindowExW(PlayListWindow(), nullptr, L"TPlayListBox", nullptr); }
    std::vector<std::string> Rows() {
        FinishReading();
        std::vector<std::string> out;
        int n = static_cast<int>(SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char buffer[4096] = {};
            SendMessageA(List(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            out.push_back(buffer);
        }
        return out;
    }
    int ItemHeight() { return static_cast<int>(SendMessageW(List(), LB_GETITEMHEIGHT, 0, 0)); }
    // The list's rectangle in the window's client coordinates.
    RECT ListRect() {
        RECT r{};
        GetWindowRect(List(), &r);
        MapWindowPoints(nullptr, PlayListWindow(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void Drop(const std::vector<std::string>& files, POINT pt, bool shift = false, bool ctrl = false) {
        SetKeys(shift, ctrl);
        SendMessageW(PlayListWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files, pt)), 0);
        SetKeys(false, false);
    }
    POINT OnRow(int row) {
        RECT r = ListRect();
        return POINT{r.left + 5, r.top + row * ItemHeight() + ItemHeight() / 2};
    }
    POINT OnToolBar() {
        RECT c{};
        GetClientRect(PlayListWindow(), &c);
        return POINT{5, c.bottom - 3};
    }
    // Sizes the window so the list's client area is about w x h, and captures it.
    TPixels Capture() {
        HWND list = List();
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
        RECT c{};
        GetClientRect(list, &c);
        TPixels p;
        p.Width = c.right;
        p.Height = c.bottom;
        p.Bits.resize(static_cast<size_t>(p.Width) * p.Height);
        HDC screen = GetDC(list);
        HDC mem = CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = p.Width;
        bi.bmiHeader.biHeight = -p.Height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, p.Width, p.Height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        std::copy_n(static_cast<std::uint32_t*>(bits), p.Bits.size(), p.Bits.begin());
        SelectObject(mem, old);
        DeleteObject(dib);
        DeleteDC(mem);
        ReleaseDC(list, screen);
        return p;
    }
    void ResizeClient(int w, int h) {
        HWND pl = PlayListWindow();
        RECT r{0, 0, w, h};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(pl, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(pl, GWL_EXSTYLE)));
        SetWindowPos(pl, nullptr, 300, 200, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    }
    RECT RowRect(int i) {
        RECT r{};
        SendMessageW(List(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

// ---- window: snapping, size limits, icon

TEST_F(FormPlayList, SnapsToTheScreenEdgesWithinTheHostsSnapDistance) {
    hostIni_ += "snaplen=-10\r\n";  // the distance is the absolute value
    Start({});
    HWND pl = PlayListWindow();
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    SetWindowPos(pl, nullptr, 7, 300, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 300) << "far from the top and bottom edges";
    SetWindowPos(pl, nullptr, 200, 11 + 0, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.top, 11) << "11 pixels is beyond the distance";
    SetWindowPos(pl, nullptr, sw - 300 + 9, sh - 150 - 10, 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.left, sw - 300);
    EXPECT_EQ(r.top, sh - 150);
    // Wider than the screen: the right edge rule compares with a negative position.
    SetWindowPos(pl, nullptr, -(300 + 5), 300, sw + 300, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(pl, &r);
    EXPECT_EQ(r.left, -300);
}

TEST_F(FormPlayList, CannotBeMadeSmallerThanTheMinimumSize) {
    Start({});
    HWND pl = PlayListWindow();
    MINMAXINFO info{};
    SendMessageW(pl, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 275);
    EXPECT_EQ(info.ptMinTrackSize.y, 116);
}

TEST_F(FormPlayList, IconClickShowsTheHostsEditorOnlyWhileHidden) {
    Start({});
    HWND pl = PlayListWindow();
    ASSERT_TRUE(IsWindowVisible(pl));
    auto toggles = [&] {
        int n = 0;
        for (auto& m : host->MessagesTo(host->Main(), WM_COMMAND))
            if (LOWORD(m.WParam) == kCmdTogglePlaylistEditor) ++n;
        return n;
    };
    host->ClearMessages();
    SendMessageW(pl, kTrayCallback, 68, WM_LBUTTONUP);
    EXPECT_EQ(toggles(), 0) << "visible: only brought forward";
    EXPECT_TRUE(IsWindowVisible(pl));

    ShowWindow(pl, SW_HIDE);
    const UINT buttons[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    int expected = 0;
    for (UINT b : buttons) {
        host->ClearMessages();
        SendMessageW(pl, kTrayCallback, 68, static_cast<LPARAM>(b));
        EXPECT_EQ(toggles(), 1) << "button message " << b;
        ShowWindow(pl, SW_HIDE);
        ++expected;
    }
    host->ClearMessages();
    SendMessageW(pl, kTrayCallback, 68, WM_LBUTTONDOWN);
    SendMessageW(pl, kTrayCallback, 68, WM_MOUSEMOVE);
    EXPECT_EQ(toggles(), 0) << "other mouse messages are ignored";
}

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

// ---- the host's list differs from ours in every way at once

TEST_F(FormPlayList, RebuildAndPushStayInStepThroughEveryKindOfDifference) {
    std::vector<std::string> f;
    for (int i = 0; i < 6; ++i) f.push_back(WriteMp3("f" + std::to_string(i) + ".mp3", "F" + std::to_string(i)));
    Start({f[0], f[1], f[2]});
    const std::string url = "http://example.com/live", missing = PathIn("gone.mp3");
    auto titles = [&](const std::vector<std::string>& files) {
        std::vector<std::string> t;
        for (auto& s : files) t.push_back(s.find("://") != std::string::npos ? s : s == missing ? "gone" : "F" + s.substr(s.size() - 5, 1));
        return t;
    };
    struct TCase {
        const char* what;
        std::vector<std::string> hostList;
        int report;
        std::vector<std::string> expected;
    };
    const TCase cases[] = {
        {"longer", {f[0], f[1], f[2], f[3], f[4]}, 4, {f[0], f[1], f[2], f[3], f[4]}},
        {"shorter", {f[0], f[1]}, 1, {f[0], f[1]}},  // same file at the index: not seen yet
        {"shorter, past the end", {f[0], f[1]}, 3, {f[0], f[1]}},
        {"other file at the index", {f[0], f[5]}, 1, {f[0], f[5]}},
        {"missing files and a stream", {missing, f[2], url, f[3], f[4]}, 2, {missing, f[2], url, f[3], f[4]}},
        {"only streams", {url, url + "2"}, 0, {url, url + "2"}},
        {"back to files", {f[2], f[3], f[4]}, 2, {f[2], f[3], f[4]}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        host->Playlist = c.hostList;
        Report(c.report);
        if (std::string(c.what) == "shorter") {
            // The host's shorter list keeps f1 at index 1: no mismatch, no rebuild.
            EXPECT_EQ(Rows().size(), 5u);
            continue;
        }
        EXPECT_EQ(Rows(), titles(c.expected));
        EXPECT_EQ(host->Playlist, c.expected) << "no lost or duplicated entries on the host";
    }
    // A push after all that: the reversed list arrives whole.
    SetKeys(false, true);
    SendMessageW(List(), WM_KEYDOWN, 'R', 0);
    SetKeys(false, false);
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{f[4], f[3], f[2]}));
    EXPECT_EQ(Rows(), titles({f[4], f[3], f[2]}));
}

TEST_F(FormPlayList, AReportAcrossKeptEntriesMarksTheHostsOwnEntry) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), c = WriteMp3("c.mp3", "C");
    WriteFile("notes.txt", "not audio");
    Start({a});
    const std::vector<std::string> edited = {a, PathIn("gone.mp3"), PathIn("notes.txt"), b, c};  // behind the plug-in
    host->Playlist = edited;
    host->SetPosition(3);
    EXPECT_EQ(host->Playlist, edited);
    EXPECT_EQ(host->Position, 3);
    FinishReading();
    wchar_t caption[256] = {};
    GetWindowTextW(PlayListWindow(), caption, 256);
    EXPECT_STREQ(caption, L"B - VelvetLister");

    // The marked song's row is cut off by a shorter host list: the mark goes, and
    // a later push does not send the host to whatever row takes that place.
    host->Playlist = {a, PathIn("gone.mp3")};
    Report(4);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A", "gone"}));
    std::string d = WriteMp3("d.mp3", "D"), e = WriteMp3("e.mp3", "E");
    Drop({d, e}, OnRow(0));
    EXPECT_EQ(host->Playlist.size(), 4u);
    EXPECT_EQ(host->Position, 0) << "no stale mark moved the host";
}

TEST_F(FormPlayList, PushReentersThroughTheHostsReportWithoutRecursing) {
    std::vector<std::string> f;
    for (int i = 0; i < 40; ++i) f.push_back(WriteMp3("r" + std::to_string(i) + ".mp3", "R" + std::to_string(i)));
    Start(f);
    host->SetPosition(30);
    host->ClearMessages();
    SetKeys(false, true);
    SendMessageW(List(), WM_KEYDOWN, 'R', 0);  // reverse: push, then the host reports the position back
    SetKeys(false, false);
    std::vector<std::string> reversed(f.rbegin(), f.rend());
    EXPECT_EQ(host->Playlist, reversed);
    EXPECT_EQ(host->Position, 9) << "the playing entry followed its song";
    int positionSets = 0;
    for (auto& m : host->MessagesTo(host->Main(), WM_USER))
        if (m.LParam == 121) ++positionSets;
    EXPECT_EQ(positionSets, 1) << "the report echoed by the host is handled, not answered with another push";
    wchar_t caption[256] = {};
    GetWindowTextW(PlayListWindow(), caption, 256);
    EXPECT_STREQ(caption, L"R30 - VelvetLister");
}

TEST_F(FormPlayList, AReportClearsASingleSelectionButKeepsSeveral) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B"), c = WriteMp3("c.mp3", "C");
    Start({a, b, c});
    auto selected = [&] {
        std::vector<int> out;
        for (int i = 0; i < 3; ++i)
            if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) out.push_back(i);
        return out;
    };
    SendMessageW(List(), LB_SETSEL, TRUE, 2);
    host->SetPosition(1);
    EXPECT_EQ(selected(), std::vector<int>{});
    SendMessageW(List(), LB_SETSEL, TRUE, 0);
    SendMessageW(List(), LB_SETSEL, TRUE, 2);
    host->SetPosition(0);
    EXPECT_EQ(selected(), (std::vector<int>{0, 2}));
}

// ---- drawing

TEST_F(FormPlayList, ALengthTheHostToldBeforeTheFileWasReadStaysDrawn) {
    const std::string a = PathIn("a.mp3");
    ASSERT_TRUE(CopyFileA(VL_TEST_DATA_DIR "/lengths/cbr-plain.mp3", a.c_str(), FALSE));  // 4 s of its own
    WriteFile("plugin.ini", "[VelvetLister Plug-in]\r\n" + kPlain + "Option.ShowSongTime=1\r\n");
    WriteFile("plain.bmp", MakeBmp(8, 8, [](int, int) { return RGB(255, 255, 255); }));
    StartHost();
    host->Playlist = {a};
    host->TrackLengths[a] = 3723;  // asked at start, as the entry is current, before its file is read
    StartPlugin();
    ResizeClient(400, 200);
    TPixels p = Capture();
    const RECT row = RowRect(0);
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(RGB(255, 0, 0), RECT{p.Width / 2, row.top, p.Width, row.bottom})))
        << "the host's length, in the play colour";
}

TEST_F(FormPlayList, PlayingAndSelectedRowsUseTheirColours) {
    std::string a = WriteMp3("a.mp3", "WWWW"), b = WriteMp3("b.mp3", "WWWW"), c = WriteMp3("c.mp3", "WWWW");
    Start({a, b, c, PathIn("WWWW.mp3")}, kPlain + "Option.ShowSongNumber=1\r\nOption.ShowSongTime=1\r\nOption.EnableDrawFontShadow=0\r\n");
    host->TrackLengths[b] = 3723;
    host->SetPosition(1);
    SendMessageW(List(), LB_SETSEL, TRUE, 1);
    SendMessageW(List(), LB_SETSEL, TRUE, 2);
    ResizeClient(400, 200);
    TPixels p = Capture();
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    RECT row1 = RowRect(1), row2 = RowRect(2), row0 = RowRect(0);
    const int mid = p.Width / 2;
    // Row 1 plays and is selected: title blue, number and length red.
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(blue, RECT{20, row1.top, mid, row1.bottom})));
    RECT numberInk = p.BoxOf(red, RECT{0, row1.top, 20, row1.bottom});
    EXPECT_FALSE(TPixels::Empty(numberInk)) << "the number keeps the play colour";
    RECT lengthInk = p.BoxOf(red, RECT{mid, row1.top, p.Width, row1.bottom});
    ASSERT_FALSE(TPixels::Empty(lengthInk)) << "1:02:03 in the play colour";
    EXPECT_GE(lengthInk.right, p.Width - 3) << "right-aligned";
    // Row 2 is only selected: its title is blue and nothing of it is red.
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(blue, row2)));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(red, row2)));
    // Row 0: neither; no length is known, so nothing is drawn right of the title.
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(red, row0)));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(blue, row0)));
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(RGB(0, 0, 0), RECT{0, row0.top, mid, row0.bottom})));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(RGB(0, 0, 0), RECT{mid, row0.top, p.Width, row0.bottom})));
    // Row 3 is kept (no such file): half way from the normal colour to the background.
    EXPECT_FALSE(TPixels::Empty(p.BoxOf(RGB(127, 127, 127), RowRect(3))));
    EXPECT_TRUE(TPixels::Empty(p.BoxOf(RGB(0, 0, 0), RowRect(3))));
}

TEST_F(FormPlayList, NumberColumnWidensWithTheTenthEntry) {
    std::vector<std::string> f;
    for (int i = 0; i < 10; ++i) f.push_back(WriteMp3("n" + std::to_string(i) + ".mp3", "WWWW"));
    const std::string lines = kPlain + "Option.ShowSongNumber=1\r\nOption.EnableDrawFontShadow=0\r\n";
    Start(std::vector<std::string>(f.begin(), f.begin() + 9), lines);
    ResizeClient(400, 300);
    auto titleLeft = [&] {
        TPixels p = Capture();
        RECT r = RowRect(1);
        // The title begins after the number's ink and a gap: find the first ink column after a gap.
        int x = 0, lastInk = -1;
        for (; x < p.Width; ++x) {
            bool ink = false;
            for (int y = r.top; y < r.bottom; ++y) ink |= p.At(x, y) == RGB(0, 0, 0);
            if (ink && lastInk >= 0 && x - lastInk > 2) return x;
            if (ink) lastInk = x;
        }
        return -1;
    };
    const int nine = titleLeft();
    host->Playlist = f;
    host->SetPosition(9);  // rebuild to ten entries
    ASSERT_EQ(Rows().size(), 10u);
    const int ten = titleLeft();
    ASSERT_GT(nine, 0);
    EXPECT_GT(ten, nine) << "one more digit's width for every row";
}

TEST_F(FormPlayList, ShadowIsOnePixelDownRight) {
    std::string a = WriteMp3("a.mp3", "Hello");
    // A font drawn without smoothing on every code page, so that both colours have
    // pixels of their own.
    Start({a}, kPlain + "Font.Face=Tahoma\r\nOption.EnableDrawFontShadow=1\r\nFont.Color.Shadow=#808080\r\n"
                        "Font.Color.Play=#00C000\r\n");
    host->SetPosition(0);
    TPixels p = Capture();
    RECT row = RowRect(0);
    RECT text = p.BoxOf(RGB(0, 0xC0, 0), row), shadow = p.BoxOf(RGB(0x80, 0x80, 0x80), RECT{0, 0, p.Width, row.bottom + 2});
    ASSERT_FALSE(TPixels::Empty(text));
    ASSERT_FALSE(TPixels::Empty(shadow));
    EXPECT_EQ(shadow.right, text.right + 1);
    EXPECT_EQ(shadow.bottom, text.bottom + 1);
}

TEST_F(FormPlayList, AmpersandsAreDrawnAsTheyAre) {
    std::string a = WriteMp3("a.mp3", "&"), b = WriteMp3("b.mp3", "&&");
    Start({a, b}, kPlain + "Option.EnableDrawFontShadow=0\r\n");
    TPixels p = Capture();
    RECT one = p.InkBox(RowRect(0)), two = p.InkBox(RowRect(1));
    ASSERT_FALSE(TPixels::Empty(one)) << "a lone '&' is not taken as a prefix";
    ASSERT_FALSE(TPixels::Empty(two));
    EXPECT_GT(two.right - two.left, (one.right - one.left) * 3 / 2) << "'&&' shows two characters";
}

TEST_F(FormPlayList, ForegroundSmallerThanTheListSitsBottomRightOverTheShadowBands) {
    WriteFile("fg.bmp", MakeBmp(40, 30, [](int x, int y) { return x == 0 && y == 0 ? RGB(255, 255, 255) : RGB(0, 160, 0); }));
    Start({}, "Option.WatermarkSkin.FG=fg.bmp\r\nFont.Color.Shadow=#404040\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    const COLORREF band = RGB(0x40, 0x40, 0x40);
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB(0, 160, 0));
    EXPECT_EQ(p.At(p.Width - 40, p.Height - 30), RGB(255, 255, 255)) << "copied whole, key pixels included";
    EXPECT_EQ(p.At(p.Width - 41, p.Height - 1), band) << "left band";
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 31), band) << "upper band";
    EXPECT_EQ(p.At(0, 0), band);
}

TEST_F(FormPlayList, ForegroundLargerThanTheListShowsItsBottomRightPart) {
    const int fw = 1200, fh = 900;
    WriteFile("fg.bmp", MakeBmp(fw, fh, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x80); }));
    Start({}, "Option.WatermarkSkin.FG=fg.bmp\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB((fw - 1) & 0xFF, (fh - 1) & 0xFF, 0x80));
    EXPECT_EQ(p.At(0, 0), RGB((fw - p.Width) & 0xFF, (fh - p.Height) & 0xFF, 0x80));
}

TEST_F(FormPlayList, TilesShowBehindTheForegroundsTransparentPixels) {
    WriteFile("bg.bmp", MakeBmp(64, 48, [](int x, int y) { return RGB(x * 4, y * 5, 0x20); }));
    WriteFile("fg.bmp", MakeBmp(50, 40, [](int x, int y) { return x >= 25 ? RGB(0, 0, 0xF0) : RGB(255, 255, 255); }));
    Start({}, "Option.WatermarkSkin.FG=fg.bmp\r\nOption.WatermarkSkin.BG=bg.bmp\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    auto tile = [](int x, int y) { return RGB((x % 64) * 4, (y % 48) * 5, 0x20); };
    for (POINT q : {POINT{0, 0}, POINT{63, 47}, POINT{64, 48}, POINT{130, 100}, POINT{p.Width - 30, p.Height - 5}})
        EXPECT_EQ(p.At(q.x, q.y), tile(q.x, q.y)) << q.x << "," << q.y;
    EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), RGB(0, 0, 0xF0)) << "opaque foreground pixels on top";
    EXPECT_EQ(p.At(p.Width - 25, p.Height - 40), RGB(0, 0, 0xF0));
    EXPECT_EQ(p.At(p.Width - 26, p.Height - 40), tile(p.Width - 26, p.Height - 40)) << "a key pixel of the foreground";
}

TEST_F(FormPlayList, ForegroundWithoutOpaquePixelsLeavesOnlyTiles) {
    WriteFile("bg.bmp", MakeBmp(64, 48, [](int x, int y) { return RGB(x * 4, y * 5, 0x20); }));
    WriteFile("clear.bmp", MakeBmp(50, 40, [](int, int) { return RGB(255, 255, 255); }));
    Start({}, "Option.WatermarkSkin.FG=clear.bmp\r\nOption.WatermarkSkin.BG=bg.bmp\r\n");
    ResizeClient(300, 150);
    TPixels p = Capture();
    for (POINT q : {POINT{p.Width - 1, p.Height - 1}, POINT{p.Width - 50, p.Height - 40}, POINT{10, 10}})
        EXPECT_EQ(p.At(q.x, q.y), RGB((q.x % 64) * 4, (q.y % 48) * 5, 0x20)) << q.x << "," << q.y;
}
}  // namespace

// ---- faults: out of memory while adding, the host gone in the middle of a push

class FormPlayListFaults : public FormPlayList {
protected:
    const char* DllBuild() override { return "gen_VelvetLister_test.dll"; }
};

TEST_F(FormPlayListFaults, OutOfMemoryAnywhereInADropLeavesListAndHostAsTheyWere) {
    std::string a = WriteMp3("a.mp3", "A"), b = WriteMp3("b.mp3", "B");
    CreateDirectoryA(PathIn("more").c_str(), nullptr);
    WriteMp3("more\\c.mp3", "C");
    WriteMp3("more\\d.mp3", "D");
    WriteFile("list.m3u", "b.mp3\r\nmore\\c.mp3\r\n");
    Start({a, b});
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    const std::vector<std::string> rows = Rows(), hostList = host->Playlist;
    const std::vector<std::string> whole{"A", "B", "C", "D", "B", "C", "A"};  // appended at the end
    // Each allocation of the drop fails in turn, until the drop gets through. Only the drop allocates
    // meanwhile, in the same order each time: nothing read or painted beside it, the walk's names come whole.
    TMessageBoxCatcher boxes;
    int failed = 0;
    seam->HoldReader = seam->HoldScan = 1;
    for (long limit = 0;; limit += limit < 60 ? 1 : 7) {
        ASSERT_LT(limit, 20000);
        Pump();
        seam->AllocationsLeft = limit;
        Drop({PathIn("more"), PathIn("list.m3u"), a}, OnRow(1));
        seam->AllocationsLeft = -1;
        ASSERT_EQ(seam->UnexpectedExceptions, 0) << "limit " << limit;
        const std::size_t count = Rows().size();
        ASSERT_EQ(seam->LiveRecords, static_cast<long>(count)) << "limit " << limit;
        if (Rows() != rows) {
            EXPECT_EQ(Rows(), whole) << "a drop that got through is whole; limit " << limit;
            EXPECT_EQ(host->Playlist.size(), whole.size());
            break;
        }
        ASSERT_EQ(host->Playlist, hostList) << "limit " << limit;
        ASSERT_EQ(boxes.Count(), static_cast<size_t>(++failed)) << "a failed drop says so; limit " << limit;
        EXPECT_EQ(boxes.Texts().back(), L"Out of memory: the command was abandoned.");
    }
    EXPECT_GT(failed, 10);
}

TEST_F(FormPlayListFaults, HostGoneInTheMiddleOfAPushEndsQuietly) {
    std::vector<std::string> f;
    for (int i = 0; i < 6; ++i) f.push_back(WriteMp3("g" + std::to_string(i) + ".mp3", "G" + std::to_string(i)));
    Start(f);
    TTestSeam* seam = Seam();
    ASSERT_NE(seam, nullptr);
    host->OnFileAdded = [&](int n) {
        if (n == 3) host->DestroyMainWindow();
    };
    TMessageBoxCatcher boxes;
    SetKeys(false, true);
    SendMessageW(List(), WM_KEYDOWN, 'R', 0);  // reverse: the host goes after the third file
    SetKeys(false, false);
    host->OnFileAdded = nullptr;
    EXPECT_EQ(host->Playlist, (std::vector<std::string>{f[5], f[4], f[3]})) << "nothing more reached the gone host";
    EXPECT_EQ(seam->UnexpectedExceptions, 0);
    EXPECT_EQ(boxes.Count(), 0u);
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr) << "the plug-in shut down with its host";
    EXPECT_EQ(seam->LiveRecords, 0) << "and took its records with it";
    EXPECT_NE(GetFileAttributesA(PluginIniPath().c_str()), INVALID_FILE_ATTRIBUTES) << "the settings were saved";
}
