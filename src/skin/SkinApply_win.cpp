#include "skin/SkinApply_win.h"
#include <windows.h>
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "skin/WatermarkSkin_win.h"

namespace {
bool FileExistsIn(const std::string& dir, const char* name) {
    std::string path = dir;
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += name;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Join(const std::string& dir, const char* name) {
    return (!dir.empty() && dir.back() != '\\') ? dir + "\\" + name : dir + name;
}
}  // namespace

void ApplyHostSkin(const std::string& dir) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl) return;
    const bool hasEditor = FileExistsIn(dir, "pledit.bmp");
    const bool hasEqualizer = FileExistsIn(dir, "eqmain.bmp");
    const bool hasConfiguration = FileExistsIn(dir, "VelvetLister.txt");
    HostMaskPlaylistEditor(pl->IsChecked(PopupItemAutomaticShowPL) && hasEditor);
    if (pl->IsChecked(PopupItemAutomaticShowEQ)) HostSetEqualizerVisible(hasEqualizer);
    if (hasConfiguration) ApplySkinFile(Join(dir, "VelvetLister.txt"));
}

void ApplySkinFile(const std::string& fileName) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl || !pl->Skin) return;
    const size_t dot = fileName.find_last_of('.');
    const bool bitmap = dot != std::string::npos && lstrcmpiA(fileName.c_str() + dot, ".bmp") == 0;
    if (bitmap) {
        pl->Skin->LoadFG(fileName);
        pl->Skin->LoadBG("");
    }
    if (pl->Skin->Changed()) pl->RepaintList();
}
