#pragma once
// The values of a skin configuration file (".wsc" or a skin's "VelvetLister.txt",
// section "VelvetLister Plug-in"), read through the same profile reader as the
// settings. Each value says whether the file gave it; the caller keeps its
// current value for the ones it did not, then applies the result.
#include "base/ProfileText.h"
#include "base/Rect.h"
#include "skin/EqualizerLayout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* kSkinConfigSection = "VelvetLister Plug-in";
// A picture value that leaves the current picture in place.
inline constexpr const char* kKeepPicture = "::none::";

// The layout keyword's value, compared without regard to case; any other text
// is "inherit" (0).
int EqualizerLayoutFromKeyword(std::string_view keyword);

struct TSkinConfiguration {
    // Present when the key held a number.
    std::optional<int> WindowLeft;
    std::optional<int> WindowTop;
    std::optional<int> WindowWidth;
    std::optional<int> WindowHeight;

    std::optional<std::string> FontFace;  // present even when empty
    std::optional<int> FontPoint;         // as written; the skin takes SafeAbs of it
    std::optional<bool> FontBold;
    std::optional<bool> FontItalic;

    // Present whenever the key is; text that is no colour reads as black.
    std::optional<std::uint32_t> PlayColor;
    std::optional<std::uint32_t> SelectColor;
    std::optional<std::uint32_t> NormalColor;
    // Present only for a non-empty text; set after the pictures are loaded.
    std::optional<std::uint32_t> ShadowColor;

    // The picture values as written (still to be resolved against the file's
    // folder); absent for no key and for "::none::". An empty value means the
    // built-in logo for the foreground and no picture for the background.
    std::optional<std::string> ForegroundPath;
    std::optional<std::string> BackgroundPath;

    int EqualizerLayout = EqualizerLayoutInherit;
    int EqualizerOffsetX = 0;
    int EqualizerOffsetY = 0;
    int EqualizerZorder = 0;
};

// Reads every key of the configuration. Nothing is applied here.
TSkinConfiguration ReadSkinConfigurationValues(const TProfileReader& read);

// The playlist window's new bounds from a configuration: position and size come
// from the file only where the matching override option is on, the rest from
// the current bounds; the result is fitted onto the screen. Nothing (no change)
// when neither option is on or the bounds come out as they are now.
std::optional<TBounds> SkinWindowBounds(const TSkinConfiguration& config, bool positionOverride,
                                        bool sizeOverride, const TBounds& current, int screenWidth,
                                        int screenHeight);
