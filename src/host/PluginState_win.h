#pragma once
// Module state of the plug-in: what the host gave us and what we installed.
// Plain module-level variables, all zero/false/empty until InitPlugin runs.
#include <windows.h>
#include <string>
#include "base/Notices_win.h"

class TFormPlayList;
class TFormConfigure;

struct TPluginState {
    HWND HostMainWindow = nullptr;
    HWND HostPlaylistEditorWindow = nullptr;
    HWND HostEqualizerWindow = nullptr;
    HRGN PlaylistEditorRegion = nullptr;  // handed to the host editor; the system owns it
    bool HooksActive = false;
    bool HostGone = false;
    // The host is 5.3 or later (version 0x5030 on): it may keep wide names.
    bool HostUnicodeNames = false;
    int EqualizerZOrderLink = 0;
    bool AboutWinampEnabled = false;
    bool JapaneseCaptions = false;
    // plugin.ini was there but could not be read at load: saving the defaults
    // over it would lose the user's settings.
    bool SettingsUnreadAtLoad = false;
    std::string PluginModulePath;
    std::string HostIniPath;
    WNDPROC PrevMainProc = nullptr;
    WNDPROC PrevPlaylistEditorProc = nullptr;
    WNDPROC PrevEqualizerProc = nullptr;
    TFormPlayList* PlayList = nullptr;
    TFormConfigure* Configure = nullptr;
    // What the playlist window and the skin tell the windows that follow them.
    TNotices Notices;
};

extern TPluginState Plugin;
