#pragma once
// The playlist commands tests' fixture: a started plug-in driven by keys,
// clicks and the real common dialogs.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include "ConfigureDriver.h"
#include "DialogDriver.h"
#include "PlayListFixture.h"
#include "playlist/PlayList_win.h"
#include "resources/resource.h"

namespace {

// The pixels of one image of an image list that its mask leaves opaque.
[[maybe_unused]] std::vector<bool> MaskedPixels(HIMAGELIST images, int image) {
    IMAGEINFO info{};
    BITMAP bm{};
    if (!ImageList_GetImageInfo(images, image, &info) || !GetObjectW(info.hbmMask, sizeof bm, &bm)) return {};
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB}};
    std::vector<std::uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmMask, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::vector<bool> out;
    for (int y = info.rcImage.top; y < info.rcImage.bottom; ++y)
        for (int x = info.rcImage.left; x < info.rcImage.right; ++x)
            out.push_back((px[static_cast<size_t>(y) * bm.bmWidth + x] & 0xFFFFFF) == 0);
    return out;
}

// The pixels a window draws, on white, when a menu asks it for an item's image.
[[maybe_unused]] std::vector<bool> DrawnMenuImage(HWND owner, UINT item, int cx, int cy) {
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB}};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT dis{ODT_MENU, 0, item, ODA_DRAWENTIRE, 0, nullptr, dc, r, 0};
    std::vector<bool> out;
    if (SendMessageW(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis))) {
        GdiFlush();
        for (int i = 0; i < cx * cy; ++i) out.push_back((static_cast<std::uint32_t*>(bits)[i] & 0xFFFFFF) != 0xFFFFFF);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return out;
}

// The explorer-style open dialog: its file-name box and its file-type list.
constexpr int kFileNameBox = 0x47c;  // cmb13
constexpr int kFileTypeList = 0x470;  // cmb1

struct TOpenDialogSeen {
    std::mutex m;
    std::wstring Title;
    int FilterCount = -1;
    int FilterIndex = -1;
    std::wstring FilterText;
};

class PlayListCommands : public TPlayListTest {
protected:
    HWND Bar() { return FindWindowExW(PlayListWindow(), nullptr, L"ToolbarWindow32", nullptr); }
    std::vector<int> Selected() {
        std::vector<int> out;
        const int n = static_cast<int>(SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) out.push_back(i);
        return out;
    }
    void Select(std::initializer_list<int> rows) {
        SendMessageW(List(), LB_SETSEL, FALSE, -1);
        for (int r : rows) SendMessageW(List(), LB_SETSEL, TRUE, r);
    }
    void ClickTool(UINT id, bool shift = false, bool ctrl = false) {
        RECT r{};
        ASSERT_TRUE(SendMessageW(Bar(), TB_GETRECT, id, reinterpret_cast<LPARAM>(&r)));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SetModifiers(shift, ctrl, false);
        SendMessageW(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Bar(), WM_LBUTTONUP, 0, at);
        SetModifiers(false, false, false);
        Pump();
    }
    // The host commands (WM_COMMAND ids) received since the last ClearMessages.
    std::vector<WPARAM> HostCommands() {
        std::vector<WPARAM> out;
        for (auto& m : host->MessagesTo(host->Main(), WM_COMMAND)) out.push_back(LOWORD(m.WParam));
        return out;
    }
    // The time label's width and the width that fills the space up to the eject button.
    std::pair<LONG, LONG> TimeLabelWidth() {
        RECT next{}, eject{}, bar{}, label{};
        SendMessageW(Bar(), TB_GETRECT, ToolButtonCtrlNext, reinterpret_cast<LPARAM>(&next));
        SendMessageW(Bar(), TB_GETRECT, ToolButtonCtrlEject, reinterpret_cast<LPARAM>(&eject));
        GetClientRect(Bar(), &bar);
        GetWindowRect(FindWindowExW(Bar(), nullptr, L"Static", nullptr), &label);
        return {label.right - label.left, bar.right - next.right - (eject.right - eject.left) - 4};
    }
    bool IconRegistered(HWND window) {
        NOTIFYICONDATAA nid{};
        nid.cbSize = 88;
        nid.hWnd = window;
        nid.uID = 68;
        nid.uFlags = NIF_TIP;
        lstrcpynA(nid.szTip, "VelvetLister", 64);
        return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    }
};

}  // namespace
