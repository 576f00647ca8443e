// testhost.exe: the emulated player, for the demo and for tests that need a
// second process.
//   testhost.exe [plugin.dll] [files or .m3u ...] [--play] [--skin DIR]
//                [--only main,pe,eq] [--config] [--screenshot FILE.bmp --after MS]
//                [--capture playlist|config FILE.bmp ...] [--menu]
// --config opens the plug-in's preferences; --capture saves one window's part of
// the screen when the screenshot is taken; --menu opens the playlist window's
// popup menu first, and the playlist capture takes in the menu.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>
#include "TestHost.h"

namespace {
std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && lstrcmpiA(s.c_str() + s.size() - tail.size(), tail.c_str()) == 0;
}

void AddM3u(TTestHost& host, const std::string& path) {
    std::ifstream in(path);
    std::string dir = path.substr(0, static_cast<size_t>(PathFindFileNameA(path.c_str()) - path.c_str()));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        bool absolute = line.size() > 1 && (line[1] == ':' || line[0] == '\\');
        host.Playlist.push_back(absolute ? line : dir + line);
    }
}

// The plug-in's playlist window or its preferences dialog, found by class.
struct TFindPluginWindow {
    const wchar_t* Class;
    bool Dialog;
    HWND Found;
};
BOOL CALLBACK FindPluginWindow(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<TFindPluginWindow*>(lp);
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    // The preferences: the dialog that holds a tab control.
    const bool match = lstrcmpW(cls, f->Class) == 0 &&
                       (!f->Dialog || FindWindowExW(h, nullptr, L"SysTabControl32", nullptr) != nullptr);
    if (match && IsWindowVisible(h)) {
        f->Found = h;
        return FALSE;
    }
    return TRUE;
}

HWND PluginWindow(const std::wstring& kind) {
    TFindPluginWindow f{kind == L"config" ? L"#32770" : L"TFormPlayList", kind == L"config", nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindPluginWindow, reinterpret_cast<LPARAM>(&f));
    return f.Found;
}

// The open popup menus (class "#32768") widen a capture of the window under them.
BOOL CALLBACK AddMenuRect(HWND h, LPARAM lp) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(h)) {
        RECT r{};
        GetWindowRect(h, &r);
        UnionRect(reinterpret_cast<RECT*>(lp), reinterpret_cast<RECT*>(lp), &r);
    }
    return TRUE;
}

// Saves the screen, or the part of it a window (and any open menu) covers.
bool SaveScreenshot(const std::wstring& file, HWND window = nullptr) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    int left = 0, top = 0;
    if (window) {
        RECT r{};
        GetWindowRect(window, &r);
        EnumWindows(&AddMenuRect, reinterpret_cast<LPARAM>(&r));
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, w);
        r.bottom = std::min<LONG>(r.bottom, h);
        left = r.left;
        top = r.top;
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, left, top, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    int stride = ((w * 3) + 3) & ~3;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + stride * h;
    std::ofstream out(file.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * h);
    DeleteObject(dib);
    return out.good();
}
// What is saved when the time has come.
struct TShots {
    std::wstring Screenshot;
    std::vector<std::pair<std::wstring, std::wstring>> Captures;  // kind, file
    bool Done = false;
} Shots;

void TakeShots() {
    for (const auto& [kind, file] : Shots.Captures)
        if (HWND w = PluginWindow(kind)) SaveScreenshot(file, w);
    SaveScreenshot(Shots.Screenshot);
    Shots.Done = true;
}

// Runs inside the popup menu's own message loop.
void CALLBACK MenuShot(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    TakeShots();
    EndMenu();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring plugin, screenshot;
    std::vector<std::string> files;
    std::string skin, only;
    bool play = false;
    bool config = false, menu = false;
    std::vector<int> selectRows;
    auto& captures = Shots.Captures;
    int after = 3000;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--play") play = true;
        else if (a == L"--skin" && i + 1 < argc) skin = Narrow(argv[++i]);
        else if (a == L"--only" && i + 1 < argc) only = Narrow(argv[++i]);
        else if (a == L"--screenshot" && i + 1 < argc) screenshot = argv[++i];
        else if (a == L"--after" && i + 1 < argc) after = _wtoi(argv[++i]);
        else if (a == L"--config") config = true;
        else if (a == L"--menu") menu = true;
        else if (a == L"--select" && i + 1 < argc) selectRows.push_back(_wtoi(argv[++i]));
        else if (a == L"--capture" && i + 2 < argc) {
            captures.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        }
        else if (plugin.empty() && a.size() > 4 && lstrcmpiW(a.c_str() + a.size() - 4, L".dll") == 0) plugin = a;
        else files.push_back(Narrow(a));
    }
    LocalFree(argv);

    TTestHostOptions options;
    if (!only.empty()) {
        options.MainWindow = only.find("main") != std::string::npos;
        options.PlaylistEditor = only.find("pe") != std::string::npos;
        options.Equalizer = only.find("eq") != std::string::npos;
    }
    TTestHost host(options);
    host.SkinDirectory = skin;
    for (const auto& f : files) {
        if (EndsWithNoCase(f, ".m3u")) AddM3u(host, f);
        else host.Playlist.push_back(f);
    }
    for (const auto& f : host.Playlist) host.TrackLengths[f] = 180 + static_cast<int>(f.size() % 120);

    if (!plugin.empty()) {
        if (!host.LoadPlugin(plugin)) return 2;
        if (host.Init() != 0) return 3;
    }
    if (play) host.Play();
    // Rows of the plug-in's list shown selected, as a user's click leaves them.
    if (HWND playlist = PluginWindow(L"playlist"))
        if (HWND list = FindWindowExW(playlist, nullptr, L"TPlayListBox", nullptr))
            for (int row : selectRows) SendMessageW(list, LB_SETSEL, TRUE, row);
    if (config && host.Record()) {
        host.Config();
        // Below the playlist window, so that a capture of either shows it alone.
        if (HWND dialog = PluginWindow(L"config"))
            SetWindowPos(dialog, nullptr, 380, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SetTimer(nullptr, 0, 500, nullptr);
    DWORD start = GetTickCount();
    bool menuOpened = false;
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_TIMER && m.hwnd == nullptr) {
            host.AdvanceClock(500);
            if (!screenshot.empty() && !menuOpened && GetTickCount() - start >= static_cast<DWORD>(after)) {
                Shots.Screenshot = screenshot;
                HWND playlist = PluginWindow(L"playlist");
                if (menu && playlist) {
                    // The menu's loop runs the capture; the menu opens near the list's top left.
                    RECT r{};
                    GetWindowRect(playlist, &r);
                    SetTimer(nullptr, 0, 800, &MenuShot);
                    PostMessageW(playlist, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(playlist),
                                 MAKELPARAM(r.left + 60, r.top + 40));
                    menuOpened = true;
                } else {
                    TakeShots();
                }
            }
            if (Shots.Done) {
                host.DestroyWindows();
                break;
            }
            if (!host.Main() && !only.empty() && only.find("main") == std::string::npos) continue;
            if (host.Main() && !IsWindow(host.Main())) break;
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
        if (Shots.Done) {
            host.DestroyWindows();
            break;
        }
        if (host.Main() && !IsWindow(host.Main())) break;
    }
    return 0;
}
