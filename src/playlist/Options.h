#pragma once
// The options record: seven flags and the title format.
#include <string>

struct TOptions {
    bool SongAddLast = true;
    bool ShowSongNumber = false;
    bool ShowSongTime = false;
    bool WindowPositionOverrideByWSC = false;
    bool WindowSizeOverrideByWSC = false;
    bool EnableEqualizerRelocation = true;
    bool EnableDrawFontShadow = false;
    std::string PlaylistFormat = "${INAM}";
};
