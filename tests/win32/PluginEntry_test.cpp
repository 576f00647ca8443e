// The plug-in loaded into the emulated host: the export, init and its failure
// paths, teardown, and the host operations.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <vector>
#include "ConfigureDriver.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "resources/resource.h"

namespace {
WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)); }

// A host window in another process: its procedure cannot be replaced from here.
struct TForeignHost {
    PROCESS_INFORMATION pi{};
    HWND window = nullptr;
    TForeignHost(const char* only, const char* cls, const char* title) {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string dir(exe);
        dir = dir.substr(0, dir.find_last_of('\\'));
        std::string cmd = "\"" + dir + "\\testhost.exe\" --only " + only;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        for (int i = 0; i < 500 && !window; ++i) {
            HWND h = nullptr;
            while ((h = FindWindowExA(nullptr, h, cls, title)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                if (owner == pi.dwProcessId) { window = h; break; }
            }
            if (!window) Sleep(10);
        }
    }
    ~TForeignHost() {
        if (pi.hProcess) {
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

class PluginEntry : public TPluginTest {};

class WithoutEqualizer : public TPluginTest {
    TTestHostOptions HostOptions() override {
        TTestHostOptions o;
        o.Equalizer = false;
        return o;
    }
};

class WithoutEditor : public TPluginTest {
    TTestHostOptions HostOptions() override {
        TTestHostOptions o;
        o.PlaylistEditor = false;
        return o;
    }
};
}  // namespace

TEST_F(PluginEntry, RecordIsFilledAtLoad) {
    ASSERT_TRUE(Load());
    TGeneralPurposePlugin* r = host->Record();
    EXPECT_EQ(r->version, 16);
    EXPECT_STREQ(r->description, "KDZR VelvetLyster Plug-In v0.00 (gen_VelvetLister.dll)");
    EXPECT_NE(r->init, nullptr);
    EXPECT_NE(r->config, nullptr);
    EXPECT_NE(r->quit, nullptr);
    EXPECT_EQ(sizeof(TGeneralPurposePlugin), 28u);
    EXPECT_EQ(PlayListWindow(), nullptr) << "nothing is created at load";
}

TEST_F(PluginEntry, FileAndWindowsCarryThePluginsIconAndVersion) {
    StartPlugin();
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(host->Module(), path, MAX_PATH);
    std::vector<char> info(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(info.size()), info.data()));
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT n = 0;
        std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        return VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &n) && value ? std::wstring(value) : L"";
    };
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT n = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &n) && fixed);
    EXPECT_EQ(text(L"ProductName"), L"VelvetLister");
    EXPECT_EQ(text(L"OriginalFilename"), L"gen_VelvetLister.dll");
    EXPECT_FALSE(text(L"FileDescription").empty());
    EXPECT_EQ(text(L"FileVersion"), std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                        std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                        std::to_wstring(HIWORD(fixed->dwFileVersionLS)));
    EXPECT_EQ(text(L"ProductVersion"), text(L"FileVersion"));
    EXPECT_NE(fixed->dwFileVersionMS | fixed->dwFileVersionLS, 0u);

    // The window, its small icon (which the notification area shows too) and the
    // About page show the module's own icon, not the system's generic one.
    auto pixels = [](HICON icon) {
        ICONINFO ii{};
        std::vector<std::uint32_t> out;
        if (!icon || !GetIconInfo(icon, &ii)) return out;
        BITMAP bm{};
        GetObjectW(ii.hbmColor, sizeof bm, &bm);
        BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
        out.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, ii.hbmColor, 0, bm.bmHeight, out.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
        return out;
    };
    auto own = [&](int metric) {
        const int size = GetSystemMetrics(metric);
        return pixels(static_cast<HICON>(LoadImageW(host->Module(), MAKEINTRESOURCEW(IDI_VELVETLISTER), IMAGE_ICON, size, size, LR_SHARED)));
    };
    ASSERT_FALSE(own(SM_CXICON).empty());
    EXPECT_NE(own(SM_CXICON), pixels(LoadIconW(nullptr, IDI_APPLICATION)));
    const auto shown = [&](WPARAM which) {
        return pixels(reinterpret_cast<HICON>(SendMessageW(PlayListWindow(), WM_GETICON, which, 0)));
    };
    EXPECT_EQ(shown(ICON_BIG), own(SM_CXICON));
    EXPECT_EQ(shown(ICON_SMALL), own(SM_CXSMICON));
    host->Config();
    Pump();
    HWND about = GetDlgItem(FindPreferences(), IDC_ABOUT_ICON);
    EXPECT_EQ(pixels(reinterpret_cast<HICON>(SendMessageW(about, STM_GETICON, 0, 0))), own(SM_CXICON));
}

TEST_F(PluginEntry, RefusesBesideMoeWinamp) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Tjwinamp";
    RegisterClassA(&wc);
    HWND moe = CreateWindowExA(0, "Tjwinamp", "MoeWinamp", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(moe, nullptr);
    {
        TMessageBoxCatcher catcher;
        EXPECT_FALSE(Load()) << "the export must return null";
        ASSERT_EQ(catcher.Count(), 1u);
        EXPECT_EQ(catcher.Texts()[0], L"MoeWinamp detected !!\nVelvetLister is automatically disabled.");
    }
    DestroyWindow(moe);
    EXPECT_EQ(PlayListWindow(), nullptr);
}

TEST_F(PluginEntry, RefusesHostVersion2003WithMessage) {
    StartHost();
    host->Version = 0x2003;
    ASSERT_TRUE(Load());
    TMessageBoxCatcher catcher;
    EXPECT_EQ(Init(), 1);
    ASSERT_EQ(catcher.Count(), 1u);
    EXPECT_EQ(catcher.Texts()[0], L"VelvetLister requires WinAMP 2.04 or later version.");
    EXPECT_EQ(PlayListWindow(), nullptr);
}

TEST_F(PluginEntry, AcceptsHostVersion2004) {
    StartHost();
    host->Version = 0x2004;
    ASSERT_TRUE(Load());
    TMessageBoxCatcher catcher;
    EXPECT_EQ(Init(), 0);
    EXPECT_EQ(catcher.Count(), 0u);
    EXPECT_NE(PlayListWindow(), nullptr);
}

TEST_F(WithoutEqualizer, InitFailsSilentlyAndCreatesNothing) {
    ASSERT_TRUE(Load());
    WNDPROC before = ProcOf(host->PlaylistEditor());
    WNDPROC mainBefore = ProcOf(host->Main());
    TMessageBoxCatcher catcher;
    EXPECT_EQ(Init(), 1);
    EXPECT_EQ(catcher.Count(), 0u);
    EXPECT_EQ(PlayListWindow(), nullptr);
    EXPECT_EQ(ProcOf(host->PlaylistEditor()), before);
    EXPECT_EQ(ProcOf(host->Main()), mainBefore);
}

TEST_F(WithoutEditor, InitFailsSilentlyAndCreatesNothing) {
    ASSERT_TRUE(Load());
    WNDPROC before = ProcOf(host->Equalizer());
    EXPECT_EQ(Init(), 1);
    EXPECT_EQ(PlayListWindow(), nullptr);
    EXPECT_EQ(ProcOf(host->Equalizer()), before);
    host->Config();  // an inert plug-in ignores configure
    Pump();
}

TEST_F(PluginEntry, MainWindowHookFailureRestoresEditorAndEqualizer) {
    // The host's main window lives in another process, so replacing its procedure
    // fails for real (access denied), after the editor and equaliser were hooked.
    TForeignHost foreign("main", "Winamp v1.x", "Winamp 2.91");
    ASSERT_NE(foreign.window, nullptr);
    ASSERT_TRUE(Load());
    host->Record()->hwndParent = foreign.window;
    WNDPROC pe = ProcOf(host->PlaylistEditor());
    WNDPROC eq = ProcOf(host->Equalizer());
    EXPECT_EQ(Init(), 1);
    Pump();
    EXPECT_EQ(ProcOf(host->PlaylistEditor()), pe);
    EXPECT_EQ(ProcOf(host->Equalizer()), eq);
    EXPECT_EQ(PlayListWindow(), nullptr) << "both plug-in windows are released";
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(host->PlaylistEditor(), rgn), ERROR) << "the host editor is not masked";
    DeleteObject(rgn);
}

TEST_F(WithoutEqualizer, EqualizerHookFailureRestoresEditor) {
    TForeignHost foreign("eq", "Winamp EQ", "Winamp Equalizer");
    ASSERT_NE(foreign.window, nullptr);
    ASSERT_TRUE(Load());
    WNDPROC pe = ProcOf(host->PlaylistEditor());
    WNDPROC mainProc = ProcOf(host->Main());
    EXPECT_EQ(Init(), 1);
    Pump();
    EXPECT_EQ(ProcOf(host->PlaylistEditor()), pe);
    EXPECT_EQ(ProcOf(host->Main()), mainProc);
    EXPECT_EQ(PlayListWindow(), nullptr);
}

namespace {
// The list control is made without its no-data style as it is created, so it
// refuses every row count: the error the list raises when its rows cannot be placed.
LRESULT CALLBACK RefuseRowCounts(int code, WPARAM wp, LPARAM lp) {
    HWND h = reinterpret_cast<HWND>(wp);
    wchar_t cls[32] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(h, cls, 32) && lstrcmpW(cls, L"TPlayListBox") == 0)
        SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) & ~LBS_NODATA);
    return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(PluginEntry, ErrorAfterTheHooksUndoesTheWholeInit) {
    StartHost();
    host->Playlist = {WriteMp3("a.mp3", "A")};  // the settings load builds the list from it
    ASSERT_TRUE(Load());
    const WNDPROC pe = ProcOf(host->PlaylistEditor()), eq = ProcOf(host->Equalizer()), mainProc = ProcOf(host->Main());
    HHOOK cbt = SetWindowsHookExW(WH_CBT, &RefuseRowCounts, nullptr, GetCurrentThreadId());
    TMessageBoxCatcher catcher;
    EXPECT_EQ(host->Init(), 1);
    UnhookWindowsHookEx(cbt);
    EXPECT_EQ(catcher.Count(), 1u) << "the error is reported";
    EXPECT_EQ(PlayListWindow(), nullptr) << "destroyed before init returns";
    EXPECT_EQ(ProcOf(host->PlaylistEditor()), pe);
    EXPECT_EQ(ProcOf(host->Equalizer()), eq);
    EXPECT_EQ(ProcOf(host->Main()), mainProc);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(host->PlaylistEditor(), rgn), ERROR) << "the host editor shows again";
    DeleteObject(rgn);
}

TEST_F(PluginEntry, SuccessfulInitMasksEditorAndPostsWindowHandle) {
    StartPlugin();
    HRGN rgn = CreateRectRgn(1, 1, 2, 2);
    EXPECT_EQ(GetWindowRgn(host->PlaylistEditor(), rgn), NULLREGION);
    DeleteObject(rgn);
    EXPECT_TRUE(IsWindowVisible(host->PlaylistEditor())) << "the host still counts its editor as open";
    HWND pl = PlayListWindow();
    ASSERT_NE(pl, nullptr);
    auto posted = host->MessagesTo(host->Main(), 1126);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].WParam, 7u);
    EXPECT_EQ(reinterpret_cast<HWND>(posted[0].LParam), pl);
}

TEST_F(PluginEntry, PlaylistWindowCreationParameters) {
    StartPlugin();
    HWND pl = PlayListWindow();
    ASSERT_NE(pl, nullptr);
    LONG ex = GetWindowLongW(pl, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_TOPMOST);
    LONG style = GetWindowLongW(pl, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(IsWindowUnicode(pl));
    // Dragged smaller than the minimum tracking size: held at 275 x 116.
    MINMAXINFO mmi{};
    SendMessageW(pl, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 275);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 116);
}

TEST_F(PluginEntry, QuitAloneChangesNothing) {
    StartPlugin();
    host->Quit();
    Pump();
    EXPECT_NE(PlayListWindow(), nullptr);
    EXPECT_FALSE(GetFileAttributesA(PluginIniPath().c_str()) != INVALID_FILE_ATTRIBUTES &&
                 GetPrivateProfileIntA("VelvetLister Plug-in", "Option.SongAddLast", -7, PluginIniPath().c_str()) != static_cast<UINT>(-7))
        << "settings are saved only by the teardown";
}

TEST_F(PluginEntry, AfterMainWindowDestroyedEverythingPassesThrough) {
    StartPlugin();
    HWND pe = host->PlaylistEditor(), eq = host->Equalizer();
    DestroyWindow(host->Main());
    Pump();
    EXPECT_EQ(PlayListWindow(), nullptr) << "both plug-in windows are released";
    EXPECT_FALSE(IsWindowVisible(pe)) << "the host editor ends hidden";
    host->ClearMessages();
    SendMessageA(pe, WM_SHOWWINDOW, TRUE, 0);
    SendMessageA(pe, WM_USER, 0, 3);
    SendMessageA(eq, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(host->CountOf(pe, WM_SHOWWINDOW), 1) << "no longer swallowed by the hook";
    auto user = host->MessagesTo(pe, WM_USER);
    ASSERT_EQ(user.size(), 1u);
    EXPECT_EQ(user[0].LParam, 3);
    EXPECT_EQ(host->CountOf(eq, WM_ACTIVATE), 1);
}

TEST_F(PluginEntry, UnloadWithHookedWindowsLeavesThemWorking) {
    StartPlugin();
    HWND pe = host->PlaylistEditor();
    host->UnloadPlugin();  // a player that frees plug-ins before destroying its windows
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(pe, rgn), ERROR) << "the host editor shows again";
    DeleteObject(rgn);
    host->ClearMessages();
    SendMessageA(pe, WM_USER, 0, 1);
    SendMessageA(host->Main(), WM_USER, 0, 124);
    EXPECT_EQ(host->CountOf(pe, WM_USER), 1);
    EXPECT_EQ(host->CountOf(host->Main(), WM_USER), 1);
}

// The host operations, run in this process against the emulated host.
class HostOperations : public TPluginTest {
protected:
    void SetUp() override {
        TPluginTest::SetUp();
        StartHost();
        Plugin = TPluginState{};
        Plugin.HostMainWindow = host->Main();
        Plugin.HostPlaylistEditorWindow = host->PlaylistEditor();
        Plugin.HostEqualizerWindow = host->Equalizer();
        host->Playlist = {"C:\\a.mp3", "C:\\b.mp3"};
        host->TrackLengths["C:\\a.mp3"] = 187;
        host->SkinDirectory = "C:\\Skins\\Blue";
        host->ClearMessages();
    }
    void TearDown() override {
        Plugin = TPluginState{};
        TPluginTest::TearDown();
    }
    std::vector<TRecordedMessage> Main(UINT m) { return host->MessagesTo(host->Main(), m); }
};

TEST_F(HostOperations, EachSendsItsMessage) {
    EXPECT_EQ(HostGetVersion(), 0x2091);
    EXPECT_EQ(HostGetListLength(), 2);
    EXPECT_EQ(HostGetPlaylistFile(1), "C:\\b.mp3");
    EXPECT_EQ(HostGetPlaylistFile(9), "");
    HostPlayEntry(0);
    EXPECT_EQ(HostGetPlayTime(), 0);
    host->ElapsedMs = 1500;
    EXPECT_EQ(HostGetPlayTime(), 1500);
    EXPECT_EQ(HostGetTrackLength(), 187);
    HostTransport(3);
    EXPECT_EQ(HostGetPlayTime(), -1500) << "paused: negated";
    HostTransport(4);
    EXPECT_EQ(HostGetPlayTime(), -1) << "stopped";
    std::string skin;
    EXPECT_TRUE(HostGetSkin(skin));
    EXPECT_EQ(skin, "C:\\Skins\\Blue");
    auto users = Main(WM_USER);
    std::vector<LPARAM> ops;
    for (auto& m : users) ops.push_back(m.LParam);
    EXPECT_EQ(ops, (std::vector<LPARAM>{0, 124, 211, 211, 121, 104, 105, 104, 105, 105, 104, 105, 104, 201}));

    host->ClearMessages();
    HostAddFile("C:\\c.mp3");
    auto cd = Main(WM_COPYDATA);
    ASSERT_EQ(cd.size(), 1u);
    EXPECT_EQ(cd[0].Path, "C:\\c.mp3");
    EXPECT_EQ(host->Playlist.back(), "C:\\c.mp3");
    HostClearPlaylist();
    EXPECT_TRUE(host->Playlist.empty());

    host->ClearMessages();
    for (int k = 0; k <= 6; ++k) HostTransport(k);
    std::vector<WPARAM> ids;
    for (auto& m : Main(WM_COMMAND)) ids.push_back(m.WParam);
    EXPECT_EQ(ids, (std::vector<WPARAM>{40044, 40061, 40045, 40046, 40047, 40060, 40048}));
}

TEST_F(HostOperations, PostedOperations) {
    HostShowPreferences();
    HostToggleDoubleSize();
    HostShowFileInfo();
    HostShowSkinSelector();
    HostClickMainWindow();
    HostPostWindowHandle(reinterpret_cast<HWND>(0x1234));
    Pump();
    std::vector<WPARAM> ids;
    for (auto& m : Main(WM_COMMAND)) ids.push_back(m.WParam);
    EXPECT_EQ(ids, (std::vector<WPARAM>{40012, 40165, 40188, 40219}));
    auto down = Main(WM_LBUTTONDOWN), up = Main(WM_LBUTTONUP);
    ASSERT_EQ(down.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(down[0].LParam, MAKELPARAM(1, 40));
    EXPECT_EQ(up[0].WParam, static_cast<WPARAM>(MK_LBUTTON));
    auto h = Main(1126);
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0].WParam, 7u);
    EXPECT_EQ(h[0].LParam, 0x1234);
    // Double size resized the equaliser too, and the system may have sent it a
    // mouse move of its own for that: count only what the nudge sends.
    host->ClearMessages();
    HostNudgeEqualizer();
    EXPECT_EQ(host->CountOf(host->Equalizer(), WM_LBUTTONDOWN), 1);
    EXPECT_EQ(host->CountOf(host->Equalizer(), WM_MOUSEMOVE), 1);
    EXPECT_EQ(host->CountOf(host->Equalizer(), WM_LBUTTONUP), 1);
}

TEST_F(HostOperations, EqualizerAndEditorVisibility) {
    HostSetEqualizerVisible(true);  // already visible: nothing sent
    EXPECT_EQ(Main(WM_COMMAND).size(), 0u);
    HostSetEqualizerVisible(false);
    EXPECT_FALSE(IsWindowVisible(host->Equalizer()));
    ShowWindow(host->Main(), SW_HIDE);
    HostSetEqualizerVisible(true);  // main hidden: nothing sent
    EXPECT_FALSE(IsWindowVisible(host->Equalizer()));
    EXPECT_EQ(Main(WM_COMMAND).size(), 1u);

    HostMaskPlaylistEditor(false);
    HRGN rgn = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetWindowRgn(host->PlaylistEditor(), rgn), NULLREGION);
    HostMaskPlaylistEditor(true);
    EXPECT_EQ(GetWindowRgn(host->PlaylistEditor(), rgn), ERROR) << "no region: whole window visible";
    DeleteObject(rgn);
    HostTogglePlaylistEditor();
    EXPECT_FALSE(IsWindowVisible(host->PlaylistEditor()));
}

TEST_F(HostOperations, GoneHostGetsNeutralValuesAndNoMessages) {
    Plugin.HostGone = true;
    EXPECT_EQ(HostGetListLength(), -1);
    EXPECT_EQ(HostGetPlaylistFile(0), "");
    EXPECT_EQ(HostGetPlayTime(), -1);
    EXPECT_EQ(HostGetTrackLength(), -1);
    std::string skin = "unchanged";
    EXPECT_FALSE(HostGetSkin(skin));
    HostClearPlaylist();
    HostAddFile("C:\\x.mp3");
    HostSetPlaylistPosition(1);
    HostPlayEntry(1);
    HostTransport(2);
    HostTogglePlaylistEditor();
    EXPECT_EQ(Main(WM_USER).size(), 0u);
    EXPECT_EQ(Main(WM_COPYDATA).size(), 0u);
    EXPECT_EQ(Main(WM_COMMAND).size(), 0u);
    EXPECT_EQ(host->Playlist.size(), 2u);
    // Operations without a "gone" value still act.
    HostShowPreferences();
    Pump();
    EXPECT_EQ(Main(WM_COMMAND).size(), 1u);
}
