#include "host/Captions_win.h"
#include <windows.h>
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"

void ApplyCaptions() {
    // English captions stay as designed; both windows switch to a Latin font.
    if (!Plugin.JapaneseCaptions && Plugin.PlayList) Plugin.PlayList->SetFormFontName(L"Arial");
}
