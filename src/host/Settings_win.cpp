#include "host/Settings_win.h"
#include <windows.h>
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"

void LoadSettings() {
    const char* ini = Plugin.HostIniPath.c_str();
    int pilp = static_cast<int>(GetPrivateProfileIntA("Winamp", "pilp", 0, ini));
    bool peOpen = GetPrivateProfileIntA("Winamp", "pe_open", IsWindowVisible(Plugin.HostPlaylistEditorWindow), ini) != 0;
    HostSetPlaylistPosition(pilp);
    Plugin.PlayList->SetPlayingEntry(pilp);
    if (peOpen) Plugin.PlayList->ShowFromHost();
}

void SaveSettings() {}
