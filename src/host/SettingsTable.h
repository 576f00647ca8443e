#pragma once
// The plug-in's settings section and the host settings it borrows defaults from,
// declared once: each key's table row says its type and which value it loads
// into and saves from, and the table's order is the order of reading and
// writing. The Win32 side supplies the profile reading and writing.
#include "base/ProfileText.h"
#include "host/SettingsValues.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

inline constexpr const char* kPluginSettingsSection = "VelvetLister Plug-in";
inline constexpr const char* kHostSettingsSection = "Winamp";

// Every value of the plug-in's settings section. Members with an initializer
// have a fixed default; the others take theirs from the host and the running
// plug-in (see ApplyHostDefaults) before loading.
struct TPluginSettings {
    // Playlist window; defaults from the host's playlist editor.
    int WindowTop = 0;
    int WindowLeft = 0;
    int WindowWidth = 0;
    int WindowHeight = 0;

    // List font; defaults from the list font.
    std::string FontFace;
    int FontPoint = 0;
    bool FontBold = false;
    bool FontItalic = false;

    // Skin colours as RGB (0x00BBGGRR); defaults from the skin, system colours
    // already resolved.
    std::uint32_t PlayColor = 0;
    std::uint32_t SelectColor = 0;
    std::uint32_t NormalColor = 0;
    // Read only: set when the stored text is non-empty, never written.
    std::optional<std::uint32_t> ShadowColor;

    bool JapaneseCaptions = true;  // stored as the locale "0411" (the default) / "0000"

    // Menu switches.
    bool ShowControlPanel = true;
    bool AutomaticShowPL = false;
    bool AutomaticShowEQ = false;
    bool AlwaysOnTop = false;  // default: the menu item's check mark

    // The options record.
    bool SongAddLast = true;
    bool ShowSongNumber = false;  // default from the host's shownumsinpl
    bool ShowSongTime = false;    // default from the host's aot
    bool WindowPositionOverrideByWSC = false;
    bool WindowSizeOverrideByWSC = false;
    bool InheritSkinColors = false;
    bool EnableEqualizerRelocation = true;
    bool EnableDrawFontShadow = false;
    bool PreferID3v2 = false;
    bool ReadSongLength = true;
    std::string PlaylistFormat = "${INAM}";

    bool EnableAboutWinamp = true;

    // Watermark pictures as stored: relative to the plug-in folder or absolute.
    std::string WatermarkFG;
    std::string WatermarkBG;

    TExtensionSet AudioExtensions = DefaultAudioExtensions();

    static TExtensionSet DefaultAudioExtensions();
};

// The values read from the host's own settings file (section "Winamp"). The
// caller fills the defaults that depend on the host's windows before loading.
struct THostSettings {
    int EditorTop = 0;     // pe_wy
    int EditorLeft = 0;    // pe_wx
    int EditorWidth = 0;   // pe_width
    int EditorHeight = 0;  // pe_height
    bool EditorOpen = false;          // pe_open
    int PlaylistPosition = 0;         // pilp
    bool ShowNumbersInPlaylist = false;  // shownumsinpl
    bool AlwaysOnTop = false;         // aot
    int SnapLength = 10;              // snaplen

    // The playlist window's snap distance: the magnitude of snaplen.
    int SnapDistance() const { return SafeAbs(SnapLength); }
};

enum class TSettingKind {
    Int,
    Bool,
    Colour,        // colour text, read with TextToColor, written with ColorToText
    ShadowColour,  // colour text that counts only when non-empty; never written
    Locale,        // "0411" turns the Japanese captions on
    Format,        // written between double quotes, one pair removed at load
    String,
    Extensions,    // comma text, lower-cased at load
};

template <typename TValues>
using TSettingField = std::variant<int TValues::*, bool TValues::*, std::uint32_t TValues::*,
                                   std::optional<std::uint32_t> TValues::*, std::string TValues::*,
                                   TExtensionSet TValues::*>;

template <typename TValues>
struct TSettingKey {
    const char* Key;
    TSettingKind Kind;
    TSettingField<TValues> Field;
    bool Written;
};

// The plug-in section's keys in reading order; the written ones in this order
// are exactly what a save produces.
std::span<const TSettingKey<TPluginSettings>> PluginSettingKeys();
std::span<const TSettingKey<THostSettings>> HostSettingKeys();

// Reads every key in table order; an absent key, or an int or bool that is not
// a number, leaves the value already in `values` (its default).
void LoadPluginSettings(const TProfileReader& read, TPluginSettings& values);
// The written keys in table order with their texts.
std::vector<std::pair<std::string, std::string>> SavePluginSettings(const TPluginSettings& values);

void LoadHostSettings(const TProfileReader& read, THostSettings& values);

// The plug-in defaults that come from the host's settings: the playlist editor's
// geometry and the two display options.
void ApplyHostDefaults(const THostSettings& host, TPluginSettings& values);
