#pragma once
// The playlist window tests' fixture: a started plug-in with its window open,
// drops onto its rows, and captures of what its list draws.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>
#include "DropBuilder.h"
#include "MessageBoxCatcher.h"
#include "PluginFixture.h"

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
inline std::string MakeBmp(int w, int h, const std::function<COLORREF(int, int)>& color) {
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

class FormPlayList : public TPluginTest {
protected:
    static void SetKeys(bool shift, bool ctrl) { SetModifiers(shift, ctrl, false); }
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
