// testhost.exe: the emulated player, for the demo and for tests that need a
// second process.
//   testhost.exe [plugin.dll] [files or .m3u ...] [--play] [--skin DIR]
//                [--only main,pe,eq] [--screenshot FILE.bmp --after MS]
#include <windows.h>
#include <shellapi.h>
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
    std::string dir = path.substr(0, path.find_last_of("\\/") + 1);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        bool absolute = line.size() > 1 && (line[1] == ':' || line[0] == '\\');
        host.Playlist.push_back(absolute ? line : dir + line);
    }
}

bool SaveScreenshot(const std::wstring& file) {
    HDC screen = GetDC(nullptr);
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
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
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
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
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring plugin, screenshot;
    std::vector<std::string> files;
    std::string skin, only;
    bool play = false;
    int after = 3000;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        if (a == L"--play") play = true;
        else if (a == L"--skin" && i + 1 < argc) skin = Narrow(argv[++i]);
        else if (a == L"--only" && i + 1 < argc) only = Narrow(argv[++i]);
        else if (a == L"--screenshot" && i + 1 < argc) screenshot = argv[++i];
        else if (a == L"--after" && i + 1 < argc) after = _wtoi(argv[++i]);
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

    SetTimer(nullptr, 0, 500, nullptr);
    DWORD start = GetTickCount();
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_TIMER && m.hwnd == nullptr) {
            host.AdvanceClock(500);
            if (!screenshot.empty() && GetTickCount() - start >= static_cast<DWORD>(after)) {
                SaveScreenshot(screenshot);
                host.DestroyWindows();
                break;
            }
            if (!host.Main() && !only.empty() && only.find("main") == std::string::npos) continue;
            if (host.Main() && !IsWindow(host.Main())) break;
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
        if (host.Main() && !IsWindow(host.Main())) break;
    }
    return 0;
}
