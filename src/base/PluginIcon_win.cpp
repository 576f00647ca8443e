#include "base/PluginIcon_win.h"
#include "base/Window_win.h"
#include "resources/resource.h"

HICON PluginIcon(bool small) {
    const int cx = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int cy = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    HANDLE icon = LoadImageW(ThisModule(), MAKEINTRESOURCEW(IDI_VELVETLISTER), IMAGE_ICON, cx, cy, LR_SHARED);
    return static_cast<HICON>(icon);
}
