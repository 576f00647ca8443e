#pragma once
// Captions of the playlist window and the preferences dialog: English with
// "Arial", or the Japanese texts with a Japanese user-interface font.
#include <cstddef>
#include <string>

class TFormPlayList;
class TFormConfigure;

enum class TCaptionTarget { OpenDialogTitle, MenuItem, DialogCaption, Page, DialogControl };

struct TCaption {
    TCaptionTarget Target;
    int Id;  // menu command, dialog control id or page, by target
    const wchar_t* English;
    const wchar_t* Japanese;
};

// The replaced captions, in the order they are set.
extern const TCaption kCaptions[];
extern const std::size_t kCaptionCount;

// Once, at the end of loading the settings: both windows exist by then.
void ApplyCaptions();
// The same for given windows (either may be null) and a given font choice.
void ApplyCaptionsTo(TFormPlayList* playList, TFormConfigure* configure, bool japanese, bool uiGothicInstalled);
// Whether a font family of that name is among the screen fonts.
bool ScreenFontInstalled(const std::wstring& face);
