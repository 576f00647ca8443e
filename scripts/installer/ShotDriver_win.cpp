// Walks the setup program's pages and saves a picture of each (24-bit BMP), for
// scripts/installer/screenshots. Run under Wine:
//   ShotDriver.exe setup SETUP.exe OUTDIR EMPTY-FOLDER
//       welcome, folder, no-player (EMPTY-FOLDER typed in), player-running, finish
//   ShotDriver.exe uninstall UNINSTALL.exe OUTDIR PLUGINS-FOLDER
//       the uninstaller's first page (it is cancelled)
// The setup's own search must find the fake player folder (the caller sets the registry).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct TFind {
    DWORD Process;
    HWND Skip;
    HWND Found;
};

BOOL CALLBACK FindDialog(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<TFind*>(lp);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == f->Process && h != f->Skip && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h)) {
        f->Found = h;
        return FALSE;
    }
    return TRUE;
}

bool Save(HWND window, const std::wstring& file) {
    RECT r{};
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
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
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
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

// The process's visible dialog other than skip, waited for up to 20 s.
HWND WaitForDialog(DWORD process, HWND skip = nullptr) {
    for (int i = 0; i < 200; ++i) {
        TFind f{process, skip, nullptr};
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&f));
        if (f.Found) {
            Sleep(1500);  // let the page paint
            return f.Found;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "no dialog appeared\n");
    Save(GetDesktopWindow(), L"Z:\\tmp\\shot-failure.bmp");
    ExitProcess(1);
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    Sleep(300);
}

// The page inside the wizard frame is a child dialog; its folder box has the id 1019.
HWND FolderBox(HWND wizard) {
    HWND page = FindWindowExW(wizard, nullptr, L"#32770", nullptr);
    return page ? GetDlgItem(page, 1019) : nullptr;
}

PROCESS_INFORMATION Start(const std::wstring& commandLine) {
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start the program\n");
        ExitProcess(1);
    }
    return pi;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    std::wstring mode = argv[1], exe = argv[2], out = argv[3], folder = argv[4];
    if (mode == L"setup") {
        PROCESS_INFORMATION pi = Start(L"\"" + exe + L"\"");
        HWND wizard = WaitForDialog(pi.dwProcessId);
        Save(wizard, out + L"\\installer-welcome.bmp");
        Press(wizard, IDOK);
        wizard = WaitForDialog(pi.dwProcessId);
        Save(wizard, out + L"\\installer-folder.bmp");
        wchar_t found[MAX_PATH] = {};
        SendMessageW(FolderBox(wizard), WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(found));  // another process: not GetWindowText
        SetWindowTextW(FolderBox(wizard), folder.c_str());
        Press(wizard, IDOK);
        HWND box = WaitForDialog(pi.dwProcessId, wizard);
        Save(box, out + L"\\installer-no-player.bmp");
        Press(box, IDOK);
        Sleep(1000);
        SetWindowTextW(FolderBox(wizard), found);
        // A window of the player's class stands for a running player.
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Winamp v1.x";
        RegisterClassW(&wc);
        HWND player = CreateWindowW(L"Winamp v1.x", L"Winamp", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    wc.hInstance, nullptr);
        Press(wizard, IDOK);
        box = WaitForDialog(pi.dwProcessId, wizard);
        Save(box, out + L"\\installer-player-running.bmp");
        DestroyWindow(player);
        Press(box, IDRETRY);
        Sleep(3000);  // the files are copied; the finish page follows
        wizard = WaitForDialog(pi.dwProcessId);
        Save(wizard, out + L"\\installer-finish.bmp");
        Press(wizard, IDOK);
        WaitForSingleObject(pi.hProcess, 20000);
    } else {
        PROCESS_INFORMATION pi = Start(L"\"" + exe + L"\" _?=" + folder);
        HWND wizard = WaitForDialog(pi.dwProcessId);
        Save(wizard, out + L"\\uninstaller.bmp");
        Press(wizard, IDCANCEL);
        WaitForSingleObject(pi.hProcess, 20000);
    }
    return 0;
}
