#include "plugin/PluginEntry_win.h"
#include "plugin/PlayListPreferences_win.h"
#include "base/Window_win.h"
#include "host/CommonLib_win.h"
#include "host/HostOps_win.h"
#include "plugin/Hooks_win.h"
#include "host/PluginState_win.h"
#include "plugin/Settings_win.h"
#include "playlist/PlayList_win.h"
#include "reading/TagReaderThread_win.h"
#include "preferences/Configure_win.h"

TPluginState Plugin;

namespace {
int InitPluginGuarded() noexcept {
    int result = 1;
    RunGuarded(nullptr, [&] { result = InitPlugin(); });
    return result;
}
void ConfigPluginGuarded() noexcept { RunGuarded(nullptr, [] { ConfigPlugin(); }); }
void QuitPluginGuarded() noexcept { RunGuarded(nullptr, [] { QuitPlugin(); }); }

TPluginRecord PluginRecord = {16, "KDZR VelvetLyster Plug-In v0.00 (gen_VelvetLister.dll)", &InitPluginGuarded,
                              &ConfigPluginGuarded, &QuitPluginGuarded, nullptr, nullptr};

std::string ModuleFileName(HMODULE module) {
    char buffer[1025] = {};
    GetModuleFileNameA(module, buffer, sizeof buffer - 1);
    return std::string(buffer);
}

// The running executable's path with its extension replaced by ".ini".
std::string HostIniPathFor(const std::string& exe) {
    return exe.substr(0, exe.size() - ExtractPathExt(exe, AnsiPathText()).size()) + ".ini";
}
}  // namespace

TPluginRecord* GetPluginRecordForHost() {
    if (FindWindowA("Tjwinamp", "MoeWinamp")) {
        MessageBoxA(nullptr, "MoeWinamp detected !!\nVelvetLister is automatically disabled.", "VelvetLister",
                    MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    return &PluginRecord;
}

int InitPlugin() {
    const int version = HostGetVersionOf(PluginRecord.hwndParent);
    if (version < 0x2004) {
        MessageBoxA(PluginRecord.hwndParent, "VelvetLister requires WinAMP 2.04 or later version.", "VelvetLister",
                    MB_OK | MB_ICONWARNING);
        return 1;
    }
    Plugin.EqualizerZOrderLink = 0;
    Plugin.PluginModulePath = ModuleFileName(PluginRecord.hDllInstance);
    Plugin.HostIniPath = HostIniPathFor(ModuleFileName(nullptr));
    Plugin.HostMainWindow = PluginRecord.hwndParent;
    // From 5.3 on the host keeps wide names, unless it does not answer for them.
    Plugin.HostUnicodeNames = version >= HostIpc::UnicodeNamesVersion;
    if (Plugin.HostUnicodeNames) HostGetPlaylistFileW(0);
    Plugin.HostPlaylistEditorWindow = FindWindowA("Winamp PE", "Winamp Playlist Editor");
    if (!Plugin.HostPlaylistEditorWindow) return 1;
    Plugin.HostEqualizerWindow = FindWindowA("Winamp EQ", "Winamp Equalizer");
    if (!Plugin.HostEqualizerWindow) return 1;

    Plugin.PlayList = new TFormPlayList();
    static TPlayListPreferences preferencesTarget;
    Plugin.Configure = new TFormConfigure(preferencesTarget);
    if (!Plugin.PlayList->Create() || !Plugin.Configure->Create()) {
        ReleaseWindows();
        return 1;
    }
    if (!InstallHooks()) {
        ReleaseWindows();
        return 1;
    }
    try {
        HostMaskPlaylistEditor(false);
        Plugin.HooksActive = true;
        ProcessPendingMessages();
        LoadSettings();
        HostPostWindowHandle(Plugin.PlayList->Handle());
    } catch (...) {
        // Leave the host as it was before init: no hook of ours, its editor
        // visible, no window of ours. The caller reports the error.
        UndoInit();
        throw;
    }
    return 0;
}

void UndoInit() {
    Plugin.HooksActive = false;
    RemoveHooksIfCurrent();
    if (IsWindow(Plugin.HostPlaylistEditorWindow)) HostMaskPlaylistEditor(true);
    Plugin.PlaylistEditorRegion = nullptr;
    ReleaseWindows();
    // No handler of ours is on the stack here: destroy them now rather than
    // leaving them to a message loop.
    DestroyPendingWindows();
    Plugin.EqualizerZOrderLink = 0;
}

void ConfigPlugin() {
    if (Plugin.Configure) Plugin.Configure->ShowAndBringForward();
}

void QuitPlugin() {}

void ShutdownPlugin() {
    if (!Plugin.HostMainWindow) return;
    RunGuarded(nullptr, [] { SaveSettings(); });
    if (IsWindow(Plugin.HostPlaylistEditorWindow)) ShowWindow(Plugin.HostPlaylistEditorWindow, SW_HIDE);
    Plugin.HooksActive = false;
    ReleaseWindows();
}

void ReleaseWindows() {
    if (Plugin.Configure) {
        TFormConfigure* w = Plugin.Configure;
        Plugin.Configure = nullptr;
        Plugin.Notices.Unsubscribe(w);  // it hears nothing while its release is pending
        w->Release();
    }
    if (Plugin.PlayList) {
        TFormPlayList* w = Plugin.PlayList;
        Plugin.PlayList = nullptr;
        w->Release();
    }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH) {
        // Unloaded by FreeLibrary while the process goes on: leave no host window
        // with a procedure in freed code, and no window of ours behind.
        if (reserved == nullptr) try {
            TTagReaderThread::Unloading();
            Plugin.HooksActive = false;
            RemoveHooksIfCurrent();
            // The host's editor gets its region back so that it shows again. Only
            // on its own thread: from here a message to another thread could wait
            // on the loader lock we hold.
            HWND editor = Plugin.HostPlaylistEditorWindow;
            if (Plugin.PlaylistEditorRegion && IsWindow(editor) &&
                GetWindowThreadProcessId(editor, nullptr) == GetCurrentThreadId())
                HostMaskPlaylistEditor(true);
            ReleaseWindows();
            DestroyPendingWindows();
        } catch (...) {
            // Nothing may reach the loader; what is left goes with the process.
        }
        Plugin.PluginModulePath.clear();
        Plugin.HostIniPath.clear();
    }
    return TRUE;
}
