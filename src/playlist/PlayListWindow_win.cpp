// The playlist window itself: creation, styles, size limits, snapping, the
// notification-area icon and the window messages it answers from outside.
#include "playlist/PlayList_win.h"
#include <shellapi.h>
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"

TOptions Option;

namespace {
constexpr wchar_t kClassName[] = L"TFormPlayList";
constexpr UINT kTrayCallback = 0x8044;
constexpr UINT kTrayIconId = 68;
}  // namespace

TFormPlayList::TFormPlayList() = default;

TFormPlayList::~TFormPlayList() {
    RunGuarded(nullptr, [this] { FormDestroy(); });
    DestroyNative();
}

bool TFormPlayList::Create() {
    DWORD ex = WS_EX_ACCEPTFILES | WS_EX_TOOLWINDOW | (alwaysOnTop_ ? WS_EX_TOPMOST : 0);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    RECT r{0, 0, 267, 116};
    AdjustWindowRectEx(&r, style, FALSE, ex);
    if (!icon_) icon_.reset(static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, 0, 0, LR_SHARED)));
    if (!CreateNative(kClassName, ex, L"VelvetLister", style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                      r.bottom - r.top, nullptr, nullptr, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE)))
        return false;
    FormCreate();
    return true;
}

void TFormPlayList::FormCreate() { AddTrayIcon(); }

void TFormPlayList::FormDestroy() { RemoveTrayIcon(); }

void TFormPlayList::FormClose() {
    HostTogglePlaylistEditor();
    ShowWindow(Handle(), SW_HIDE);
}

void TFormPlayList::FormResize() {}

void TFormPlayList::ShowFromHost() { ShowWindow(Handle(), SW_SHOW); }

void TFormPlayList::HideFromHost() { ShowWindow(Handle(), SW_HIDE); }

void TFormPlayList::SetPlayingEntry(int) {}

LRESULT TFormPlayList::ReplaceByDroppedFiles(HDROP drop) {
    DragFinish(drop);
    return 0;
}

void TFormPlayList::AddTrayIcon() {
    NOTIFYICONDATAA nid{};
    nid.cbSize = 88;  // the original record size: every shell accepts it
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayCallback;
    nid.hIcon = icon_.get();
    lstrcpynA(nid.szTip, "VelvetLister", 64);
    trayIconAdded_ = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

void TFormPlayList::RemoveTrayIcon() {
    if (!trayIconAdded_ || !Handle()) return;
    NOTIFYICONDATAA nid{};
    nid.cbSize = 88;
    nid.hWnd = Handle();
    nid.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &nid);
    trayIconAdded_ = false;
}

LRESULT TFormPlayList::OnTrayIcon(LPARAM lp) {
    if (lp == WM_LBUTTONUP || lp == WM_RBUTTONUP || lp == WM_MBUTTONUP) {
        if (IsWindowVisible(Handle()))
            SetForegroundWindow(Handle());
        else
            HostTogglePlaylistEditor();
    }
    return 0;
}

void TFormPlayList::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = 275;
    info->ptMinTrackSize.y = 116;
}

void TFormPlayList::OnWindowPosChanging(WINDOWPOS* pos) {}

LRESULT TFormPlayList::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_SIZE:
        FormResize();
        return 0;
    case WM_GETMINMAXINFO: {
        LRESULT r = DefaultHandling(msg, wp, lp);
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
        return r;
    }
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lp));
        return 0;
    case kTrayCallback:
        return OnTrayIcon(lp);
    default:
        return DefaultHandling(msg, wp, lp);
    }
}
