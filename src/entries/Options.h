#pragma once
// The options record: the flags and the title format.
#include <string>

struct TOptions {
    bool SongAddLast = true;
    bool ShowSongNumber = false;
    bool ShowSongTime = false;
    bool WindowPositionOverrideByWSC = false;
    bool WindowSizeOverrideByWSC = false;
    bool InheritSkinColors = false;  // the player's skin's pledit.txt colours and face over ours
    bool EnableEqualizerRelocation = true;
    bool EnableDrawFontShadow = false;
    bool PreferID3v2 = false;  // a non-empty ID3v2 value replaces the ID3v1 one
    bool ReadSongLength = true;  // lengths from the files too, not only from the host
    std::string PlaylistFormat = "${INAM}";
};

// The one options record, read by the window and changed by the preferences.
extern TOptions Option;
