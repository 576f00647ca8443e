// The Japanese captions. The texts are UTF-16 and set through the wide
// functions on our Unicode windows, so they read correctly on a system of any
// code page; the menu keeps each item's shortcut text.
#include "plugin/Captions_win.h"
#include "host/ListFileTexts_win.h"
#include <windows.h>
#include "host/PluginState_win.h"
#include "playlist/PlayList_win.h"
#include "preferences/Configure_win.h"
#include "resources/resource.h"

const TCaption kCaptions[] = {
    {TCaptionTarget::OpenDialogTitle, 0, L"Open file(s)", L"\xFF75\xFF70\xFF83\xFF9E\xFF68\xFF75\xFF8C\xFF67\xFF72\xFF99\x306E\x9078\x629E"},
    {TCaptionTarget::MenuItem, PopupItemPlayFile, L"Play file(s)", L"\x518D\x751F"},
    {TCaptionTarget::MenuItem, PopupItemPlayBase, L"Play control", L"\xFF8C\xFF9F\xFF9A\xFF72\xFF7A\xFF9D\xFF84\xFF9B\xFF70\xFF99"},
    {TCaptionTarget::MenuItem, PopupItemCtrlPrevious, L"Previous", L"\x524D\x66F2"},
    {TCaptionTarget::MenuItem, PopupItemCtrlRewind, L"Rewind", L"\x5DFB\x623B\x3057"},
    {TCaptionTarget::MenuItem, PopupItemCtrlPlay, L"Play", L"\x518D\x751F"},
    {TCaptionTarget::MenuItem, PopupItemCtrlPause, L"Pause", L"\x4E00\x6642\x505C\x6B62"},
    {TCaptionTarget::MenuItem, PopupItemCtrlStop, L"Stop", L"\x505C\x6B62"},
    {TCaptionTarget::MenuItem, PopupItemCtrlForward, L"Forward", L"\x65E9\x9001\x308A"},
    {TCaptionTarget::MenuItem, PopupItemCtrlNext, L"Next", L"\x6B21\x66F2"},
    {TCaptionTarget::MenuItem, PopupItemCtrlEject, L"Eject", L"\xFF72\xFF7C\xFF9E\xFF6A\xFF78\xFF84"},
    {TCaptionTarget::MenuItem, PopupItemJumpToFile, L"Jump to file...", L"\x30D5\x30A1\x30A4\x30EB\x3078\x30B8\x30E3\x30F3\x30D7..."},
    {TCaptionTarget::MenuItem, PopupItemUndo, L"Undo", L"\x5143\x306B\x623B\x3059"},
    {TCaptionTarget::MenuItem, PopupItemRedo, L"Redo", L"\x3084\x308A\x76F4\x3057"},
    {TCaptionTarget::MenuItem, PopupItemAddBase, L"Add", L"\x8FFD\x52A0"},
    {TCaptionTarget::MenuItem, PopupItemAddFile, L"Add File...", L"\xFF8C\xFF67\xFF72\xFF99"},
    {TCaptionTarget::MenuItem, PopupItemAddFolder, L"Add Directory...", L"\xFF83\xFF9E\xFF68\xFF9A\xFF78\xFF84\xFF98"},
    {TCaptionTarget::MenuItem, PopupItemAddURL, L"Add URL...", L"URL"},
    {TCaptionTarget::MenuItem, PopupItemDeleteBase, L"Delete", L"\x524A\x9664"},
    {TCaptionTarget::MenuItem, PopupItemDeleteFile, L"Remove file(s)", L"\x9078\x629E\x884C"},
    {TCaptionTarget::MenuItem, PopupItemDeleteCrop, L"Crop file(s)", L"\x975E\x9078\x629E\x884C"},
    {TCaptionTarget::MenuItem, PopupItemDeleteAll, L"Remove all", L"\x5168\x3066"},
    {TCaptionTarget::MenuItem, PopupItemDeleteDuplicates, L"Remove duplicates", L"\x91CD\x8907\x3057\x305F\x9805\x76EE\x3092\x524A\x9664"},
    {TCaptionTarget::MenuItem, PopupItemDeleteDeadFiles, L"Remove dead files", L"\x5B58\x5728\x3057\x306A\x3044\x30D5\x30A1\x30A4\x30EB\x3092\x524A\x9664"},
    {TCaptionTarget::MenuItem, PopupItemSelectBase, L"Select", L"\x9078\x629E"},
    {TCaptionTarget::MenuItem, PopupItemSelectAll, L"&Select all", L"\x5168\x3066"},
    {TCaptionTarget::MenuItem, PopupItemSelectClear, L"&Unselect all", L"\x89E3\x9664"},
    {TCaptionTarget::MenuItem, PopupItemSelectInverse, L"&Inverse selection", L"\x53CD\x8EE2"},
    {TCaptionTarget::MenuItem, PopupItemSortBase, L"Sort", L"\x4E26\x3079\x66FF\x3048"},
    {TCaptionTarget::MenuItem, PopupItemSortTitle, L"Sort list by &Title", L"\xFF80\xFF72\xFF84\xFF99"},
    {TCaptionTarget::MenuItem, PopupItemSortFilename, L"Sort list by &Filename", L"\xFF8C\xFF67\xFF72\xFF99\x540D"},
    {TCaptionTarget::MenuItem, PopupItemSortPath, L"Sort list by &Path && Filename", L"\xFF8A\xFF9F\xFF7D\x540D+\xFF8C\xFF67\xFF72\xFF99\x540D"},
    {TCaptionTarget::MenuItem, PopupItemSortRandomize, L"&Raandomize list", L"\xFF7C\xFF6C\xFF6F\xFF8C\xFF99"},
    {TCaptionTarget::MenuItem, PopupItemSortReverse, L"R&everse list", L"\x53CD\x8EE2"},
    {TCaptionTarget::MenuItem, PopupItemSaveList, L"Save list...", L"\x30EA\x30B9\x30C8\x306E\x4FDD\x5B58..."},
    {TCaptionTarget::MenuItem, PopupItemInfoBase, L"Information", L"\x60C5\x5831"},
    {TCaptionTarget::MenuItem, PopupItemShowControlPanel, L"Show control panel", L"\x5236\x5FA1\x30D1\x30CD\x30EB\x306E\x8868\x793A"},
    {TCaptionTarget::MenuItem, PopupItemAutomaticShowPL, L"Automatic show originl playlist", L"\xFF75\xFF98\xFF7C\xFF9E\xFF85\xFF99\xFF8C\xFF9F\xFF9A\xFF72\xFF98\xFF7D\xFF84\x306E\x81EA\x52D5\x8868\x793A"},
    {TCaptionTarget::MenuItem, PopupItemAutomaticShowEQ, L"Automatic show equalizer", L"\xFF72\xFF7A\xFF97\xFF72\xFF7B\xFF9E\x306E\x81EA\x52D5\x8868\x793A"},
    {TCaptionTarget::MenuItem, PopupItemAOT, L"Always on top", L"\x5E38\x306B\x624B\x524D\x306B\x8868\x793A"},
    {TCaptionTarget::MenuItem, LaunchtheControlpanel1, L"Launch the Control panel", L"\x8A2D\x5B9A\xFF73\xFF68\xFF9D\xFF84\xFF9E\xFF73\x306E\x8868\x793A..."},
    {TCaptionTarget::DialogControl, IDC_CONFIG_CANCEL, L"Cancel", L"\xFF77\xFF6C\xFF9D\xFF7E\xFF99"},
    {TCaptionTarget::DialogControl, IDC_CONFIG_UPDATE, L"Update", L"\x66F4\x65B0"},
    {TCaptionTarget::DialogCaption, 0, L"VelvetLister Preferences", L"VelvetLister - \x8A2D\x5B9A"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetFont, L"Display font", L"\x8868\x793A\xFF8C\xFF6B\xFF9D\xFF84"},
    {TCaptionTarget::DialogControl, IDC_GROUP_PLAYLIST, L"Playlist &display font", L"\x30D7\x30EC\x30A4\x30EA\x30B9\x30C8"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_FONT_SELECT, L"&Font", L"\x30D5\x30A9\x30F3\x30C8"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_NORMAL_COLOR, L"&Normal color", L"\x6A19\x6E96\x8272"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_SELECT_COLOR, L"&Select color", L"\x9078\x629E\x8272"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_PLAY_COLOR, L"&Play color", L"\x518D\x751F\x8272"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetFormat, L"Display format", L"\x8868\x793A\x5F62\x5F0F"},
    {TCaptionTarget::DialogControl, IDC_GROUP_WM_FG, L"&Foreground image", L"\x524D\x666F\x753B\x50CF"},
    {TCaptionTarget::DialogControl, IDC_GROUP_WM_BG, L"&Background image", L"\x80CC\x666F\x753B\x50CF"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetInherit, L"Inherit", L"\x7D99\x627F"},
    {TCaptionTarget::DialogControl, IDC_CHECK_INHERIT_SKIN, L"Use the colours and font of the player's skin", L"\x30D7\x30EC\x30FC\x30E4\x30FC\x306E\x30B9\x30AD\x30F3\x306E\x8272\x3068\x30D5\x30A9\x30F3\x30C8\x3092\x4F7F\x3046"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetSettings, L"Options", L"\xFF75\xFF8C\xFF9F\xFF7C\xFF6E\xFF9D"},
    {TCaptionTarget::DialogControl, IDC_CHECK_SONG_ADD_LAST, L"Add songs at &last", L"\xFF8C\xFF9F\xFF9A\xFF72\xFF98\xFF7D\xFF84\x306E\x6700\x5F8C\x306B\x8FFD\x52A0"},
    {TCaptionTarget::DialogControl, IDC_CHECK_SHOW_SONG_NUMBER, L"Show &numbers in playlist", L"\x66F2\x901A\x756A\x306E\x8868\x793A"},
    {TCaptionTarget::DialogControl, IDC_CHECK_SHOW_SONG_TIME, L"&Show song time", L"\x66F2\x9577\x306E\x8868\x793A"},
    {TCaptionTarget::DialogControl, IDC_CHECK_EQUALIZER_RELOCATION, L"Enable Equalizer window position change", L"\xFF72\xFF7A\xFF97\xFF72\xFF7B\xFF9E\xFF73\xFF68\xFF9D\xFF84\xFF9E\xFF73\x306E\x81EA\x52D5\x4F4D\x7F6E\x5909\x66F4"},
    {TCaptionTarget::DialogControl, IDC_CHECK_ABOUT_WINAMP, L"&Launch the About Winamp Dialog", L"About Winamp\xFF80\xFF9E\xFF72\xFF71\xFF9B\xFF78\xFF9E\xFF8E\xFF9E\xFF80\xFF9D\x6709\x52B9"},
    {TCaptionTarget::DialogControl, IDC_CHECK_WINDOW_POS_OVERRIDE, L"Window position override by WSC", L".wsc\x306B\x3088\x308B\xFF73\xFF68\xFF9D\xFF84\xFF9E\xFF73\x4F4D\x7F6E\x5909\x66F4\x3092\x8A31\x53EF\x3059\x308B"},
    {TCaptionTarget::DialogControl, IDC_CHECK_WINDOW_SIZE_OVERRIDE, L"Window size override by WSC", L".wsc\x306B\x3088\x308B\xFF73\xFF68\xFF9D\xFF84\xFF9E\xFF73\xFF7B\xFF72\xFF7D\xFF9E\x5909\x66F4\x3092\x8A31\x53EF\x3059\x308B"},
    {TCaptionTarget::DialogControl, IDC_CHECK_PREFER_ID3V2, L"Prefer ID3v2 tags", L"ID3v2\x30BF\x30B0\x3092\x512A\x5148"},
    {TCaptionTarget::DialogControl, IDC_CHECK_READ_SONG_LENGTH, L"Read song lengths from files",
     L"\x30D5\x30A1\x30A4\x30EB\x304B\x3089\x66F2\x306E\x9577\x3055\x3092\x8AAD\x3080"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetExtension, L"Extension", L"\x62E1\x5F35\x5B50"},
    {TCaptionTarget::DialogControl, IDC_LABEL_EXTENSION, L"Audio file extensions", L"\xFF75\xFF70\xFF83\xFF9E\xFF68\xFF75\x62E1\x5F35\x5B50"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_EXT_ADD, L" Add", L"\x8FFD\x52A0"},
    {TCaptionTarget::DialogControl, IDC_BUTTON_EXT_DEL, L" Remove", L"\x524A\x9664"},
    {TCaptionTarget::DialogControl, IDC_LABEL_EXTENSION_NOTICE, L"* Don't add playlist's extension", L"* \xFF8C\xFF9F\xFF9A\xFF72\xFF98\xFF7D\xFF84\x306E\x62E1\x5F35\x5B50\x306F\x8FFD\x52A0\x3057\x306A\x3044\x3067\x4E0B\x3055\x3044"},
    {TCaptionTarget::Page, TFormConfigure::TabSheetAbout, L"About", L"VelvetLister\x306B\x3064\x3044\x3066"},
};
const std::size_t kCaptionCount = sizeof kCaptions / sizeof kCaptions[0];

const TListFileTexts& ListFileTexts(bool japanese) {
    static const TListFileTexts kEnglish{
        L"Save list",
        L"M3U playlist (*.m3u)\0*.m3u\0M3U8 playlist, UTF-8 (*.m3u8)\0*.m3u8\0PLS playlist (*.pls)\0*.pls\0",
        L"Add file(s)",
        L"Add URL",
        L"Cancel",
        L"Cannot save the list",
        L"Entries left out of this list: %d\n(their names have characters outside the code page and no short form)"
        L"\n\nA .m3u8 list keeps them all.",
    };
    static const TListFileTexts kJapanese{
        L"\x30EA\x30B9\x30C8\x306E\x4FDD\x5B58",
        L"M3U \x30D7\x30EC\x30A4\x30EA\x30B9\x30C8 (*.m3u)\0*.m3u\0"
        L"M3U8 \x30D7\x30EC\x30A4\x30EA\x30B9\x30C8 UTF-8 (*.m3u8)\0*.m3u8\0"
        L"PLS \x30D7\x30EC\x30A4\x30EA\x30B9\x30C8 (*.pls)\0*.pls\0",
        L"\x30D5\x30A1\x30A4\x30EB\x306E\x8FFD\x52A0",
        L"URL\x306E\x8FFD\x52A0",
        L"\x30AD\x30E3\x30F3\x30BB\x30EB",
        L"\x30EA\x30B9\x30C8\x3092\x4FDD\x5B58\x3067\x304D\x307E\x305B\x3093",
        L"\x3053\x306E\x30D5\x30A1\x30A4\x30EB\x5F62\x5F0F\x3067\x66F8\x3051\x306A\x304B\x3063\x305F\x9805\x76EE: %d \x4EF6\n"
        L"(\x540D\x524D\x304C\x30B3\x30FC\x30C9\x30DA\x30FC\x30B8\x3067\x8868\x305B\x305A\x3001\x77ED\x3044\x540D\x524D\x3082\x3042\x308A\x307E\x305B\x3093)"
        L"\n\n.m3u8 \x5F62\x5F0F\x306E\x30EA\x30B9\x30C8\x306A\x3089\x3059\x3079\x3066\x4FDD\x5B58\x3067\x304D\x307E\x3059\x3002",
    };
    return japanese ? kJapanese : kEnglish;
}

namespace {
int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

void Apply(const TCaption& c, TFormPlayList* playList, TFormConfigure* configure) {
    switch (c.Target) {
    case TCaptionTarget::OpenDialogTitle:
        OpenDialogTitle = c.Japanese;
        break;
    case TCaptionTarget::MenuItem:
        if (playList) playList->SetMenuCaption(static_cast<UINT>(c.Id), c.Japanese);
        break;
    case TCaptionTarget::DialogCaption:
        if (configure && configure->Handle()) SetWindowTextW(configure->Handle(), c.Japanese);
        break;
    case TCaptionTarget::Page:
        if (configure) configure->SetPageCaption(static_cast<TFormConfigure::TPage>(c.Id), c.Japanese);
        break;
    case TCaptionTarget::DialogControl:
        if (configure) configure->SetControlCaption(c.Id, c.Japanese);
        break;
    }
}
}  // namespace

bool ScreenFontInstalled(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    if (!dc) return false;
    EnumFontFamiliesExW(dc, &lf, &FoundFont, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

void ApplyCaptionsTo(TFormPlayList* playList, TFormConfigure* configure, bool japanese, bool uiGothicInstalled) {
    if (!japanese) {
        if (playList) playList->SetFormFontName(L"Arial");
        if (configure) configure->SetFormFontName(L"Arial");
        return;
    }
    // Without "MS UI Gothic" both windows keep their designed font.
    if (uiGothicInstalled) {
        if (playList) playList->SetFormFontName(L"MS UI Gothic");
        if (configure) configure->SetFormFontName(L"MS UI Gothic");
    }
    for (std::size_t i = 0; i < kCaptionCount; ++i) Apply(kCaptions[i], playList, configure);
}

void ApplyCaptions() {
    ApplyCaptionsTo(Plugin.PlayList, Plugin.Configure, Plugin.JapaneseCaptions,
                    Plugin.JapaneseCaptions && ScreenFontInstalled(L"MS UI Gothic"));
}
