// Loading and saving the plug-in's settings section through the platform's
// profile functions, so values behave exactly as the player's own files do.
#include "plugin/Settings_win.h"
#include <windows.h>
#include "base/Text_win.h"
#include "base/Window_win.h"
#include "base/CommonLib.h"
#include "plugin/Captions_win.h"
#include "host/CommonLib_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "host/SettingsTable.h"
#include "base/FileExists_win.h"
#include "base/Fonts_win.h"
#include "base/ProfileFile_win.h"
#include "base/Rect.h"
#include "playlist/PlayList_win.h"
#include "preferences/Configure_win.h"
#include "skin/WatermarkSkin_win.h"

namespace {
std::string PluginFolder() {
    const std::string dir = ExtractPathDir(Plugin.PluginModulePath, AnsiPathText());
    return dir.empty() ? std::string(".") : ExcludeTrailingPathDelimiter(dir, AnsiPathText());
}

struct TFontValues {
    std::string Face;
    int Point = 0;
    bool Bold = false;
    bool Italic = false;
};

TFontValues ValuesOf(HFONT font) {
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    TFontValues v;
    v.Face = lf.lfFaceName;
    v.Point = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, ScreenDpi());
    v.Bold = lf.lfWeight >= FW_BOLD;
    v.Italic = lf.lfItalic != 0;
    return v;
}

// The list font's values and the skin's colours: the defaults of a load and what a save writes.
void TakeFontAndColours(const TFormPlayList& pl, const TWatermarkSkin& skin, TPluginSettings& s) {
    const TFontValues f = ValuesOf(pl.ListFont());
    s.FontFace = f.Face;
    s.FontPoint = f.Point;
    s.FontBold = f.Bold;
    s.FontItalic = f.Italic;
    s.PlayColor = skin.PlayColor();
    s.SelectColor = skin.SelectColor();
    s.NormalColor = skin.NormalColor();
}

// The options record's fields, between the settings and Option (either way).
template <class TFrom, class TTo>
void CopyOptions(const TFrom& from, TTo& to) {
    to.SongAddLast = from.SongAddLast;
    to.ShowSongNumber = from.ShowSongNumber;
    to.ShowSongTime = from.ShowSongTime;
    to.WindowPositionOverrideByWSC = from.WindowPositionOverrideByWSC;
    to.WindowSizeOverrideByWSC = from.WindowSizeOverrideByWSC;
    to.InheritSkinColors = from.InheritSkinColors;
    to.EnableEqualizerRelocation = from.EnableEqualizerRelocation;
    to.EnableDrawFontShadow = from.EnableDrawFontShadow;
    to.PreferID3v2 = from.PreferID3v2;
    to.ReadSongLength = from.ReadSongLength;
    to.PlaylistFormat = from.PlaylistFormat;
}
}  // namespace

std::string PluginSettingsPath() { return PluginFolder() + "\\plugin.ini"; }

namespace {
// A file that exists and cannot be opened for reading (held open by another
// program without sharing, or no access): the profile functions then read nothing.
bool ExistsButCannotBeRead(const std::string& path) {
    if (!FileExists(path)) return false;
    TFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr));
    return !file;
}

// The watermark pictures, the style object's font and colours, and the list font.
void ApplyStyleSettings(TFormPlayList& pl, TWatermarkSkin& skin, const TPluginSettings& s) {
    // Stored names are relative to the plug-in folder; one that cannot be
    // resolved (the folder cannot be entered) is tried as it stands.
    const std::string folder = PluginFolder();
    std::string fg = s.WatermarkFG, bg = s.WatermarkBG;
    ResolvePath(folder, s.WatermarkFG, fg);
    skin.LoadFG(fg);
    ResolvePath(folder, s.WatermarkBG, bg);
    skin.LoadBG(bg);

    skin.SetFontName(s.FontFace);
    skin.SetFontSize(s.FontPoint);
    skin.SetFontBold(s.FontBold);
    skin.SetFontItalic(s.FontItalic);
    skin.SetSelectColor(s.SelectColor);
    skin.SetNormalColor(s.NormalColor);
    skin.SetPlayColor(s.PlayColor);
    if (s.ShadowColor) skin.SetShadowColor(*s.ShadowColor);

    // The list font takes a face only when it is installed; the skin keeps it anyway.
    LOGFONTA lf{};
    GetObjectA(pl.ListFont(), sizeof lf, &lf);
    if (FontInstalled(s.FontFace)) lstrcpynA(lf.lfFaceName, s.FontFace.c_str(), LF_FACESIZE);
    lf.lfHeight = -MulDiv(SafeAbs(s.FontPoint), ScreenDpi(), 72);
    lf.lfWidth = 0;
    lf.lfWeight = s.FontBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = s.FontItalic ? TRUE : FALSE;
    pl.SetListFont(TFont(CreateFontIndirectA(&lf)));
    pl.ApplyListFont();
    if (Plugin.Configure) {
        // The preferences preview shows the rows in the list's font.
        LOGFONTW preview{};
        GetObjectW(pl.ListFont(), sizeof preview, &preview);
        Plugin.Configure->SetPreviewFont(preview);
    }
}
}  // namespace

void LoadSettings() {
    TFormPlayList& pl = *Plugin.PlayList;
    TWatermarkSkin& skin = *pl.Skin();
    const std::string path = PluginSettingsPath();

    RECT pe{};
    GetWindowRect(Plugin.HostPlaylistEditorWindow, &pe);
    THostSettings host;
    host.EditorTop = pe.top;
    host.EditorLeft = pe.left;
    host.EditorWidth = pe.right - pe.left;
    host.EditorHeight = pe.bottom - pe.top;
    host.EditorOpen = IsWindowVisible(Plugin.HostPlaylistEditorWindow) != FALSE;
    LoadHostSettings(ProfileFileReader(Plugin.HostIniPath, kHostSettingsSection), host);
    pl.SetSnapDistance(host.SnapDistance());
    HostSetPlaylistPosition(host.PlaylistPosition);

    Plugin.SettingsUnreadAtLoad = ExistsButCannotBeRead(path);
    TPluginSettings s;
    ApplyHostDefaults(host, s);
    TakeFontAndColours(pl, skin, s);
    s.AlwaysOnTop = pl.IsChecked(PopupItemAOT);
    LoadPluginSettings(ProfileFileReader(path, kPluginSettingsSection), s);

    CopyOptions(s, Option);
    Plugin.AboutWinampEnabled = s.EnableAboutWinamp;
    if (Plugin.Configure) Plugin.Configure->SetAboutWinampChecked(s.EnableAboutWinamp);
    pl.SetAudioExtensions(s.AudioExtensions);
    Plugin.JapaneseCaptions = s.JapaneseCaptions;

    const TBounds fitted = FitWindowOnScreen(TBounds{s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight},
                                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    const std::pair<UINT, bool> switches[] = {{PopupItemAOT, s.AlwaysOnTop},
                                              {PopupItemShowControlPanel, s.ShowControlPanel},
                                              {PopupItemAutomaticShowPL, s.AutomaticShowPL},
                                              {PopupItemAutomaticShowEQ, s.AutomaticShowEQ}};
    for (const auto& [item, value] : switches)
        if (pl.IsChecked(item) != value) pl.ClickMenuItem(item);

    SetWindowPos(pl.Handle(), nullptr, fitted.Left, fitted.Top, fitted.Width, fitted.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    ApplyStyleSettings(pl, skin, s);

    pl.SetReadyForHostReports();
    pl.SetPlayingEntry(host.PlaylistPosition);
    ApplyCaptions();
    if (host.EditorOpen) pl.ShowFromHost();
}

void SaveSettings() {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl || !pl->Skin()) return;
    TWatermarkSkin& skin = *pl->Skin();
    const std::string path = PluginSettingsPath();

    TPluginSettings s;
    RECT r{};
    GetWindowRect(pl->Handle(), &r);
    s.WindowTop = r.top;
    s.WindowLeft = r.left;
    s.WindowWidth = r.right - r.left;
    s.WindowHeight = r.bottom - r.top;
    TakeFontAndColours(*pl, skin, s);
    s.JapaneseCaptions = Plugin.JapaneseCaptions;
    s.ShowControlPanel = pl->IsChecked(PopupItemShowControlPanel);
    s.AutomaticShowPL = pl->IsChecked(PopupItemAutomaticShowPL);
    s.AutomaticShowEQ = pl->IsChecked(PopupItemAutomaticShowEQ);
    s.AlwaysOnTop = pl->IsChecked(PopupItemAOT);
    CopyOptions(Option, s);
    s.EnableAboutWinamp = Plugin.Configure ? Plugin.Configure->AboutWinampChecked() : Plugin.AboutWinampEnabled;
    const std::string folder = PluginFolder() + "\\";
    // Before the first load the skin holds no foreground name at all: store none.
    const std::string fgName = skin.FGFileName() == TWatermarkSkin::kNoFileYet ? std::string() : skin.FGFileName();
    s.WatermarkFG = RelativePath(folder, fgName);
    s.WatermarkBG = RelativePath(folder, skin.BGFileName());
    s.AudioExtensions = pl->AudioExtensions();

    // Erasing the section is a write too: if it fails, nothing is written, or
    // old keys would end up mixed with new ones.
    bool written = !Plugin.SettingsUnreadAtLoad &&
                   WritePrivateProfileStringA(kPluginSettingsSection, nullptr, nullptr, path.c_str()) != FALSE;
    if (written) {
        for (const auto& [key, value] : SavePluginSettings(s)) {
            if (!WritePrivateProfileStringA(kPluginSettingsSection, key.c_str(), value.c_str(), path.c_str())) {
                written = false;  // the keys written so far stay; the save stops here
                break;
            }
        }
    }
    // Make sure the profile cache reaches the disk (and the file is closed)
    // before the host goes.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    if (!written) ShowErrorBox(nullptr, WideToUtf8(AnsiToWide(path)) + " に書き込めません");
}
