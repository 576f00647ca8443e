// Applying skins to the playlist window and laying out the host's equaliser.
// Runs on the host's GUI thread only, inside host notifications and our own
// commands; nothing here shows a box of its own (picture load errors come from
// the style object, once per file content).
#include "playlist/SkinApply_win.h"
#include <windows.h>
#include "base/FileExists_win.h"
#include "base/Fonts_win.h"
#include "base/Handles_win.h"
#include "base/ProfileFile_win.h"
#include "host/CommonLib_win.h"
#include "host/HostOps_win.h"
#include "host/PluginState_win.h"
#include "host/SettingsValues.h"
#include "playlist/PlayList_win.h"
#include "playlist/SkinInherit_win.h"
#include "skin/EqualizerLayout.h"
#include "skin/SkinConfig.h"
#include "skin/WatermarkSkin_win.h"

namespace {

constexpr char kHostSkinConfiguration[] = "VelvetLister.txt";
constexpr char kTimePanelClass[] = "YunaSoft SexyFont Plug-In TimePanel";

// Where the main window was left by the user and where we last put it; lives as
// long as the plug-in, never saved.
TEqualizerPlacementState PlacementState;

std::string Join(const std::string& dir, const char* name) { return JoinPath(dir, name, AnsiPathText()); }

bool SameText(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }



// The folder of a file without its trailing backslash, except for a drive's
// root ("X:\"), where "X:" alone would mean that drive's current folder.
std::string SkinFolderOf(const std::string& fileName) { return ExtractPathFolder(fileName, AnsiPathText()); }

std::string ResolvePicture(const std::string& folder, const std::string& value) {
    if (value.empty()) return value;  // the logo, or no background
    std::string path = value;
    ResolvePath(folder, value, path);
    return path;
}

TRect WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

void PlaceBehind(HWND window, HWND after) {
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MoveOnly(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
}

// The playlist window to the skin's bounds, when an override option asks for it.
void ApplyWindowBounds(TFormPlayList& pl, const TSkinConfiguration& config) {
    RECT r{};
    GetWindowRect(pl.Handle(), &r);
    const TBounds current{r.left, r.top, r.right - r.left, r.bottom - r.top};
    const std::optional<TBounds> bounds =
        SkinWindowBounds(config, Option.WindowPositionOverrideByWSC, Option.WindowSizeOverrideByWSC, current,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (!bounds) return;
    SetWindowPos(pl.Handle(), nullptr, bounds->Left, bounds->Top, bounds->Width, bounds->Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetForegroundWindow(pl.Handle());
}

// The list font's face, size in points and styles: what a skin without font keys
// gives the style object back.
TFontSpec ListFontSpec(const TFormPlayList& pl, const TFontSpec& fallback) {
    LOGFONTA lf{};
    if (!pl.ListFont() || !GetObjectA(pl.ListFont(), sizeof lf, &lf)) return fallback;
    return TFontSpec{lf.lfFaceName, MulDiv(SafeAbs(lf.lfHeight), 72, ScreenDpi()), lf.lfWeight >= FW_BOLD,
                     lf.lfItalic != 0};
}

// The list font takes what the skin gives; a face only when it is installed.
void ApplyToListFont(TFormPlayList& pl, const TSkinConfiguration& config) {
    LOGFONTA lf{};
    if (!pl.ListFont() || !GetObjectA(pl.ListFont(), sizeof lf, &lf)) return;
    if (config.FontFace && FontInstalled(*config.FontFace))
        lstrcpynA(lf.lfFaceName, config.FontFace->c_str(), LF_FACESIZE);
    if (config.FontPoint) {
        lf.lfHeight = -MulDiv(SafeAbs(*config.FontPoint), ScreenDpi(), 72);
        lf.lfWidth = 0;
    }
    if (config.FontBold) lf.lfWeight = *config.FontBold ? FW_BOLD : FW_NORMAL;
    if (config.FontItalic) lf.lfItalic = *config.FontItalic ? TRUE : FALSE;
    TFont font(CreateFontIndirectA(&lf));
    if (!font) return;
    pl.SetListFont(std::move(font));
    pl.ApplyListFont();
    LOGFONTW wide{};
    if (GetObjectW(pl.ListFont(), sizeof wide, &wide)) {
        TNotice notice{TNotice::ListFontChanged};
        notice.Font = &wide;
        Plugin.Notices.Raise(notice);
    }
}

}  // namespace

void ApplyHostSkin(const std::string& dir) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl) return;
    const std::string configuration = Join(dir, kHostSkinConfiguration);
    if (pl->IsChecked(PopupItemAutomaticShowEQ)) HostSetEqualizerVisible(FileExists(Join(dir, "eqmain.bmp")));
    // Without the option the host's editor stays masked whatever the skin holds.
    HostMaskPlaylistEditor(pl->IsChecked(PopupItemAutomaticShowPL) && FileExists(Join(dir, "pledit.bmp")));
    if (FileExists(configuration)) ApplySkinFile(configuration);
    // After the configuration: what it sets wins over the player's own look.
    ApplyInheritedLook(dir);
}

void ApplySkinFile(const std::string& fileName) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl || !pl->Skin() || !FileExists(fileName)) return;
    TWatermarkSkin& skin = *pl->Skin();
    skin.ClearChanged();
    skin.SetEqualizerLayout(0);
    skin.EqualizerOffsetX = 0;
    skin.EqualizerOffsetY = 0;

    const std::string name = ExtractPathName(fileName, AnsiPathText());
    const std::string extension = ExtractPathExt(name, AnsiPathText());
    if (SameText(extension, ".bmp")) {
        skin.LoadFG(fileName);
        skin.LoadBG("");
    } else if (SameText(name, kHostSkinConfiguration) || SameText(extension, ".wsc")) {
        ReadSkinConfiguration(fileName);
    } else {
        return;
    }

    if (Option.EnableEqualizerRelocation && skin.EqualizerLayout() != 0)
        RelocateEqualizer(skin.EqualizerLayout(), skin.EqualizerOffsetX, skin.EqualizerOffsetY, skin.EqualizerZorder);
    else
        RelocateEqualizer(0, 0, 0, 0);

    // The list paints its background from the skin's shadow colour itself, so
    // a repaint is all the recolouring it needs; the preview grid keeps a brush
    // of its own. A failed repaint must not keep the rest of the skin applying.
    try {
        TNotice notice{TNotice::ListBackgroundChanged};
        notice.Color = skin.ShadowColor();
        Plugin.Notices.Raise(notice);
        if (skin.Changed()) pl->RepaintList();
    } catch (...) {
    }
    ShapeTimePanel();
}

void ReadSkinConfiguration(const std::string& fileName) {
    TFormPlayList* pl = Plugin.PlayList;
    if (!pl || !pl->Skin()) return;
    TWatermarkSkin& skin = *pl->Skin();
    const std::string folder = SkinFolderOf(fileName);
    const TSkinConfiguration config = ReadSkinConfigurationValues(ProfileFileReader(fileName, kSkinConfigSection));

    if (pl->Handle()) ApplyWindowBounds(*pl, config);

    skin.EqualizerOffsetX = config.EqualizerOffsetX;
    skin.EqualizerOffsetY = config.EqualizerOffsetY;
    skin.EqualizerZorder = config.EqualizerZorder;
    skin.SetEqualizerLayout(static_cast<std::uint8_t>(config.EqualizerLayout));

    // Absent font keys mean the list's current font: a face an earlier skin named
    // but the list could not take does not linger in the style object.
    const TFontSpec listFont = ListFontSpec(*pl, skin.FontSpec());
    skin.SetFontName(config.FontFace.value_or(listFont.Name));
    skin.SetFontSize(config.FontPoint.value_or(listFont.Size));
    skin.SetFontBold(config.FontBold.value_or(listFont.Bold));
    skin.SetFontItalic(config.FontItalic.value_or(listFont.Italic));
    // Absent colour keys keep the current colours, so a file without keys changes nothing.
    if (config.SelectColor) skin.SetSelectColor(*config.SelectColor);
    if (config.NormalColor) skin.SetNormalColor(*config.NormalColor);
    if (config.PlayColor) skin.SetPlayColor(*config.PlayColor);

    if (config.ForegroundPath) skin.LoadFG(ResolvePicture(folder, *config.ForegroundPath));
    if (config.BackgroundPath) skin.LoadBG(ResolvePicture(folder, *config.BackgroundPath));
    // After the pictures: a new foreground has just set its own corner colour.
    if (config.ShadowColor) skin.SetShadowColor(*config.ShadowColor);

    ApplyToListFont(*pl, config);
}

void RelocateEqualizer(int layout, int offsetX, int offsetY, int zorder) {
    Plugin.EqualizerZOrderLink = zorder;
    const HWND main = Plugin.HostMainWindow, equalizer = Plugin.HostEqualizerWindow;
    if (Plugin.HostGone || layout == 0 || !IsWindow(main) || !IsWindow(equalizer)) return;

    TEqualizerRelocationInput in;
    in.Layout = layout;
    in.OffsetX = offsetX;
    in.OffsetY = offsetY;
    in.Zorder = zorder;
    in.MainVisible = IsWindowVisible(main) != FALSE;
    in.Main = WindowRectOf(main);
    in.Equalizer = WindowRectOf(equalizer);
    in.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    in.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    const TEqualizerRelocation plan = PlanEqualizerRelocation(in, PlacementState);

    for (TZOrderStep step : plan.ZOrder) {
        if (step == TZOrderStep::EqualizerBehindMain)
            PlaceBehind(equalizer, main);
        else
            PlaceBehind(main, equalizer);
    }
    if (!plan.Move) return;
    MoveOnly(equalizer, plan.EqualizerLeft, plan.EqualizerTop);
    // The host notices a moved equaliser only through its own dragging.
    HostNudgeEqualizer();
    MoveOnly(main, plan.MainLeft, plan.MainTop);
}

void ShapeTimePanel() {
    const HWND panel = FindWindowA(kTimePanelClass, nullptr);
    if (!panel || !IsWindow(Plugin.HostMainWindow)) return;
    TRegion shape(CreateRectRgn(0, 0, 0, 0));
    if (!shape) return;
    // No region at all: no skin shape to follow. An empty one hides the whole
    // area, which removes the panel's own region below.
    if (GetWindowRgn(Plugin.HostMainWindow, shape.get()) == ERROR) return;

    const bool normalSize = WindowRectOf(Plugin.HostMainWindow).Width() <= 275;
    const int scale = normalSize ? 1 : 2;
    OffsetRgn(shape.get(), -48 * scale, -26 * scale);
    TRegion area(CreateRectRgn(0, 0, 52 * scale, 14 * scale));
    TRegion cut(CreateRectRgn(0, 0, 0, 0));
    if (!area || !cut) return;
    const int result = CombineRgn(cut.get(), shape.get(), area.get(), RGN_AND);
    if (result == ERROR) return;
    if (result == NULLREGION || EqualRgn(cut.get(), area.get())) {
        SetWindowRgn(panel, nullptr, TRUE);
        return;
    }
    // From here on the region belongs to the panel window.
    if (SetWindowRgn(panel, cut.get(), TRUE)) cut.release();
}
