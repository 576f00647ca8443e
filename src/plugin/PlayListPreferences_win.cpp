#include "plugin/PlayListPreferences_win.h"

#include "base/Text_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "playlist/SkinInherit_win.h"
#include "skin/WatermarkSkin_win.h"

TWatermarkSkin* TPlayListPreferences::StyleObject() {
    return Plugin.PlayList ? Plugin.PlayList->Skin() : nullptr;
}

TExtensionSet TPlayListPreferences::AudioExtensions() const {
    return Plugin.PlayList ? Plugin.PlayList->AudioExtensions() : TExtensionSet(&AnsiLeadByte);
}

void TPlayListPreferences::SetAudioExtensions(const TExtensionSet& chosen) {
    if (!Plugin.PlayList) return;
    TExtensionSet set = Plugin.PlayList->AudioExtensions();
    set.Assign(chosen.Values());
    Plugin.PlayList->SetAudioExtensions(std::move(set));
}

void TPlayListPreferences::RereadTags() {
    if (Plugin.PlayList) Plugin.PlayList->RereadMp3Tags();
}

void TPlayListPreferences::ReadSongLengthChanged() {
    if (Plugin.PlayList) Plugin.PlayList->Lengths().ReadSongLengthChanged();
}

void TPlayListPreferences::RetitleAll() {
    if (Plugin.PlayList) Plugin.PlayList->RetitleAll();
}

void TPlayListPreferences::TakeListFont(TFont font) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl) return;
    // The old font goes only after the list has let it go.
    TFont old = pl->SetListFont(std::move(font));
    pl->ApplyListFont();
}

void TPlayListPreferences::RepaintListNow() {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl) return;
    pl->RepaintList();
    if (pl->ListBox() && pl->ListBox()->Handle()) UpdateWindow(pl->ListBox()->Handle());
    if (pl->Skin()) pl->Skin()->ClearChanged();
}

std::string TPlayListPreferences::HostSkinTextFile() {
    std::string dir;
    return Plugin.PlayList && HostGetSkin(dir) ? PlEditFileIn(dir) : std::string();
}

void TPlayListPreferences::ApplySkinInheritance() {
    std::string dir;
    if (!HostGetSkin(dir)) dir.clear();
    ApplyInheritedLook(dir);
}
