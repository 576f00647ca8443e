#pragma once
// The general-purpose plug-in record and the lifecycle of the plug-in.
#include <windows.h>

// Layout fixed by the host: seven 32-bit fields, 28 bytes on the host platform.
struct TPluginRecord {
    int version;
    const char* description;
    int (*init)();
    void (*config)();
    void (*quit)();
    HWND hwndParent;
    HINSTANCE hDllInstance;
};

// The export's work: null when the plug-in refuses to run beside another player build.
TPluginRecord* GetPluginRecordForHost();

int InitPlugin();
void ConfigPlugin();
void QuitPlugin();
// Teardown, run by the main-window hook at WM_DESTROY after HostGone was set.
void ShutdownPlugin();
// Releases both plug-in windows (deferred destruction).
void ReleaseWindows();
// Undoes a successful part of init: hooks, the editor's empty region, both windows.
void UndoInit();
