// The playlist window against the floors of what it must do anyway, side by
// side in one run inside the emulated host:
//   rebuild: RebuildFromHost of 10,000 and 100,000 tagged files against asking
//            each file's attributes and reading its last 128 bytes;
//   push:    PushListToHost of 100,000 entries against the same WM_COPYDATA
//            messages sent from a bare loop;
//   paint:   a full repaint of a 1000 x 800 list (50 rows) over a foreground and
//            a tiled background against one block copy of that area;
//   memory:  process bytes per entry at 100,000 entries.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestHost.h"
#include "base/Window_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "skin/WatermarkSkin_win.h"

namespace {
double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

// Some frame-like bytes and an ID3v1 tag with title and artist.
std::string TaggedFile(int i) {
    std::string out(512, '\0');
    out[0] = static_cast<char>(0xFF);
    out[1] = static_cast<char>(0xFB);
    std::string tag(128, '\0');
    tag.replace(0, 3, "TAG");
    std::string title = "Song number " + std::to_string(i), artist = "Artist " + std::to_string(i % 97);
    tag.replace(3, title.size(), title);
    tag.replace(33, artist.size(), artist);
    return out + tag;
}

// The floor of a rebuild: what any reader of these files must do.
double FloorRead(const std::vector<std::string>& files) {
    char tail[128];
    double t0 = Now();
    for (const auto& f : files) {
        if (GetFileAttributesA(f.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        HANDLE h = CreateFileA(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        DWORD got = 0;
        SetFilePointer(h, -128, nullptr, FILE_END);
        ReadFile(h, tail, sizeof tail, &got, nullptr);
        CloseHandle(h);
    }
    return Now() - t0;
}

double FloorPush(HWND host, const std::vector<std::string>& files) {
    double t0 = Now();
    for (const auto& f : files) {
        COPYDATASTRUCT cds{};
        cds.dwData = 100;
        cds.cbData = static_cast<DWORD>(f.size() + 1);
        cds.lpData = const_cast<char*>(f.c_str());
        SendMessageA(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    }
    return Now() - t0;
}

SIZE_T PrivateBytes() {
    struct TCounters {
        DWORD cb;
        DWORD PageFaultCount;
        SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
            QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage, PrivateUsage;
    } c{};
    c.cb = sizeof c;
    using TGet = BOOL(WINAPI*)(HANDLE, void*, DWORD);
    auto get = reinterpret_cast<TGet>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo")));
    if (!get || !get(GetCurrentProcess(), &c, sizeof c)) return 0;
    // Wine may leave PrivateUsage empty; the pagefile usage counts the same private pages.
    return c.PrivateUsage ? c.PrivateUsage : c.PagefileUsage;
}

std::string Bmp(int w, int h, COLORREF (*color)(int, int)) {
    const int stride = (w * 3 + 3) & ~3;
    std::string out(54 + static_cast<size_t>(stride) * h, '\0');
    auto put32 = [&](size_t at, DWORD v) {
        for (int k = 0; k < 4; ++k) out[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<DWORD>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<DWORD>(w));
    put32(22, static_cast<DWORD>(h));
    out[26] = 1;
    out[28] = 24;
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

void Ratio(const char* what, double measured, double floor, const char* target) {
    std::printf("%-34s %9.1f ms  floor %9.1f ms  ratio %5.2f  %s\n", what, measured * 1000, floor * 1000,
                floor > 0 ? measured / floor : 0.0, target);
}
}  // namespace

int main(int argc, char** argv) {
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    const std::string dir = std::string(cwd) + "\\playlist-bench-files";
    CreateDirectoryA(dir.c_str(), nullptr);
    // The largest list (100,000 by default); writing that many files under Wine takes a while.
    const int kMax = argc > 1 ? std::max(10000, std::atoi(argv[1])) : 100000;
    std::vector<std::string> files;
    files.reserve(kMax);
    std::printf("writing %d tagged files...\n", kMax);
    std::fflush(stdout);
    for (int i = 0; i < kMax; ++i) {
        files.push_back(dir + "\\song" + std::to_string(i) + ".mp3");
        if (GetFileAttributesA(files.back().c_str()) == INVALID_FILE_ATTRIBUTES && !WriteBytes(files.back(), TaggedFile(i))) {
            std::printf("cannot write %s\n", files.back().c_str());
            return 1;
        }
    }

    TTestHost host;
    Plugin.HostMainWindow = host.Main();
    Plugin.HostPlaylistEditorWindow = host.PlaylistEditor();
    auto* form = new TFormPlayList();
    if (!form->Create()) return 1;
    form->AudioExtensions.Assign({".mp3"});
    Pump();

    // ---- rebuild, and the memory it takes
    for (int n : {10000, kMax}) {
        std::vector<std::string> subset(files.begin(), files.begin() + n);
        form->ReplaceEntries({});
        host.Playlist = subset;
        host.ClearMessages();
        // The host records every message; room for them first, so its recording is not counted.
        host.Messages.reserve(4 * static_cast<size_t>(kMax));
        const SIZE_T before = PrivateBytes();
        double t0 = Now();
        form->RebuildFromHost();
        const double rebuild = Now() - t0;
        const SIZE_T after = PrivateBytes();
        if (form->EntryCount() != n) {
            std::printf("rebuild gave %d entries, not %d\n", form->EntryCount(), n);
            return 1;
        }
        // The floor runs on equally warm file caches: the rebuild read them just now.
        const double floor = FloorRead(subset);
        t0 = Now();
        form->RebuildFromHost();  // again, now replacing n entries
        const double again = Now() - t0;
        const std::string label = "rebuild " + std::to_string(n);
        Ratio(label.c_str(), std::min(rebuild, again), floor, "(target <= 1.5)");
        if (n == kMax && before && after >= before)
            std::printf("memory at %d entries %17.0f bytes per entry (process private bytes)\n", n,
                        static_cast<double>(after - before) / n);
    }

    // ---- push
    {
        host.ClearMessages();
        double t0 = Now();
        form->PushListToHost();
        const double push = Now() - t0;
        if (host.Playlist.size() != static_cast<size_t>(kMax)) {
            std::printf("push left %zu entries on the host\n", host.Playlist.size());
            return 1;
        }
        host.Playlist.clear();
        host.ClearMessages();
        const double floor = FloorPush(host.Main(), files);
        host.Playlist.clear();
        host.ClearMessages();
        const std::string label = "push " + std::to_string(kMax);
        Ratio(label.c_str(), push, floor, "(target <= 1.2)");
    }

    // ---- paint: 1000 x 800 list, 50 rows of 16 pixels, foreground over tiles
    {
        WriteBytes(dir + "\\fg.bmp", Bmp(300, 200, [](int x, int y) {
                       return (x + y) % 7 == 0 ? RGB(255, 255, 255) : RGB(x & 0xFF, y & 0xFF, 0x80);
                   }));
        WriteBytes(dir + "\\bg.bmp", Bmp(64, 64, [](int x, int y) { return RGB(x * 4, y * 4, 0x40); }));
        form->Skin->LoadFG(dir + "\\fg.bmp");
        form->Skin->LoadBG(dir + "\\bg.bmp");
        form->ListBox->SetItemHeight(16);
        HWND pl = form->Handle();
        RECT r{0, 0, 1000, 820};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(pl, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(pl, GWL_EXSTYLE)));
        SetWindowPos(pl, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(pl, SW_SHOWNOACTIVATE);
        Pump();
        HWND list = form->ListBox->Handle();
        RECT c{};
        GetClientRect(list, &c);
        std::printf("paint: list %ld x %ld, %ld rows\n", c.right, c.bottom, c.bottom / 16);
        const int kRounds = 30;
        double t0 = Now();
        for (int k = 0; k < kRounds; ++k) {
            InvalidateRect(list, nullptr, TRUE);
            UpdateWindow(list);
        }
        GdiFlush();
        const double paint = (Now() - t0) / kRounds;
        HDC dc = GetDC(list);
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, c.right, c.bottom);
        HGDIOBJ old = SelectObject(mem, bmp);
        PatBlt(mem, 0, 0, c.right, c.bottom, WHITENESS);
        t0 = Now();
        for (int k = 0; k < kRounds; ++k) BitBlt(dc, 0, 0, c.right, c.bottom, mem, 0, 0, SRCCOPY);
        GdiFlush();
        const double floor = (Now() - t0) / kRounds;
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        ReleaseDC(list, dc);
        Ratio("paint 1000x800, 50 rows", paint, floor, "(reported)");
    }

    form->Release();
    Pump();
    DestroyPendingWindows();
    host.DestroyWindows();
    for (const auto& f : files) DeleteFileA(f.c_str());
    DeleteFileA((dir + "\\fg.bmp").c_str());
    DeleteFileA((dir + "\\bg.bmp").c_str());
    RemoveDirectoryA(dir.c_str());
    return 0;
}
