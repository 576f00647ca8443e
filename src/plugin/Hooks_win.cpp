#include "plugin/Hooks_win.h"
#include "base/Window_win.h"
#include "plugin/PluginEntry_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"

namespace {
LRESULT PassOn(WNDPROC prev, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (prev) return CallWindowProcA(prev, hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Replaces a window's procedure; failure is a zero previous procedure with an error set.
bool Replace(HWND hwnd, WNDPROC hook, WNDPROC& prev) {
    SetLastError(0);
    prev = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook)));
    return !(prev == nullptr && GetLastError() != 0);
}

void PutBack(HWND hwnd, WNDPROC prev) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
}

void PlaceBelow(HWND window, HWND insertAfter, UINT extraFlags) {
    SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | extraFlags);
}
}  // namespace

LPARAM RewriteAboutClick(LPARAM lp, int width) {
    int x = static_cast<short>(LOWORD(lp));
    int y = static_cast<short>(HIWORD(lp));
    if (width <= 275) {
        if (x >= 250 && x <= 265 && y >= 91 && y <= 106) { x = 249; y = 90; }
    } else {
        if (x >= 500 && x <= 531 && y >= 182 && y <= 213) { x = 499; y = 181; }
    }
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

LRESULT CALLBACK MainWindowHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC prev = Plugin.PrevMainProc;
    if (!Plugin.HooksActive) return PassOn(prev, hwnd, msg, wp, lp);
    switch (msg) {
    case WM_DESTROY: {
        Plugin.HostGone = true;
        // Our windows are used below the hooks too: a release dispatched by a
        // modal loop there waits for the end of the handler.
        TDispatchScope scope;
        RunGuarded(nullptr, [] { ShutdownPlugin(); });
        break;
    }
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        if (Plugin.EqualizerZOrderLink > 0 && IsWindowVisible(Plugin.HostEqualizerWindow) && pos &&
            pos->hwndInsertAfter != Plugin.HostEqualizerWindow)
            PlaceBelow(hwnd, Plugin.HostEqualizerWindow, SWP_NOACTIVATE);
        break;
    }
    case WM_LBUTTONUP:
        if (!Plugin.AboutWinampEnabled) {
            RECT r{};
            GetWindowRect(hwnd, &r);
            lp = RewriteAboutClick(lp, r.right - r.left);
        }
        break;
    case WM_DROPFILES:
        if (Plugin.PlayList && Plugin.PlayList->HandleAllocated()) {
            TDispatchScope scope;
            LRESULT result = 0;
            RunGuarded(Plugin.PlayList->Handle(), [&] {
                result = Plugin.PlayList->ReplaceByDroppedFiles(reinterpret_cast<HDROP>(wp));
            });
            return result;
        }
        break;
    default:
        break;
    }
    return PassOn(prev, hwnd, msg, wp, lp);
}

LRESULT CALLBACK PlaylistEditorHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC prev = Plugin.PrevPlaylistEditorProc;
    if (!Plugin.HooksActive) return PassOn(prev, hwnd, msg, wp, lp);
    switch (msg) {
    case WM_SHOWWINDOW:
        if (Plugin.PlayList) {
            TDispatchScope scope;
            RunGuarded(nullptr, [&] {
                if (wp)
                    Plugin.PlayList->ShowFromHost();
                else if (!IsIconic(Plugin.HostMainWindow))
                    Plugin.PlayList->HideFromHost();
            });
        }
        return 0;
    case WM_USER:
        if (Plugin.PlayList) {
            TDispatchScope scope;
            RunGuarded(Plugin.PlayList->Handle(), [&] { Plugin.PlayList->SetPlayingEntry(static_cast<int>(lp)); });
        }
        break;
    default:
        break;
    }
    return PassOn(prev, hwnd, msg, wp, lp);
}

LRESULT CALLBACK EqualizerHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC prev = Plugin.PrevEqualizerProc;
    if (!Plugin.HooksActive) return PassOn(prev, hwnd, msg, wp, lp);
    HWND mainWnd = Plugin.HostMainWindow;
    switch (msg) {
    case WM_ACTIVATE:
        if (wp != 0 && IsWindowVisible(mainWnd)) {
            if (Plugin.EqualizerZOrderLink > 0) {
                PlaceBelow(mainWnd, hwnd, SWP_NOACTIVATE);
            } else if (Plugin.EqualizerZOrderLink < 0) {
                PlaceBelow(mainWnd, HWND_TOP, SWP_NOACTIVATE);
                PlaceBelow(hwnd, mainWnd, 0);
            }
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
        if (Plugin.EqualizerZOrderLink < 0 && IsWindowVisible(mainWnd) && pos && pos->hwndInsertAfter != mainWnd)
            PlaceBelow(hwnd, mainWnd, SWP_NOACTIVATE);
        break;
    }
    default:
        break;
    }
    return PassOn(prev, hwnd, msg, wp, lp);
}

bool InstallHooks() {
    if (!Replace(Plugin.HostPlaylistEditorWindow, &PlaylistEditorHook, Plugin.PrevPlaylistEditorProc))
        return false;
    if (!Replace(Plugin.HostEqualizerWindow, &EqualizerHook, Plugin.PrevEqualizerProc)) {
        PutBack(Plugin.HostPlaylistEditorWindow, Plugin.PrevPlaylistEditorProc);
        return false;
    }
    if (!Replace(Plugin.HostMainWindow, &MainWindowHook, Plugin.PrevMainProc)) {
        PutBack(Plugin.HostPlaylistEditorWindow, Plugin.PrevPlaylistEditorProc);
        PutBack(Plugin.HostEqualizerWindow, Plugin.PrevEqualizerProc);
        return false;
    }
    return true;
}

void RemoveHooksIfCurrent() {
    auto restore = [](HWND hwnd, WNDPROC hook, WNDPROC prev) {
        if (!hwnd || !prev || !IsWindow(hwnd)) return;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == hook) PutBack(hwnd, prev);
    };
    restore(Plugin.HostPlaylistEditorWindow, &PlaylistEditorHook, Plugin.PrevPlaylistEditorProc);
    restore(Plugin.HostEqualizerWindow, &EqualizerHook, Plugin.PrevEqualizerProc);
    restore(Plugin.HostMainWindow, &MainWindowHook, Plugin.PrevMainProc);
}
