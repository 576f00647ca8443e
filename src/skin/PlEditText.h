#pragma once
// The look the player's own playlist editor takes from its skin: the "[Text]"
// section of the skin folder's "pledit.txt" (Normal, Current, NormalBG,
// SelectedBG: "#RRGGBB" or "RRGGBB"; Font: a face name). Under the "Inherit"
// option it is laid over the plug-in's own colours and list face without
// replacing them, so the plug-in's settings never take it in.
#include "base/ProfileText.h"
#include "skin/SkinConfig.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* kPlEditFileName = "pledit.txt";
inline constexpr const char* kPlEditTextSection = "Text";
// A real pledit.txt is a few hundred bytes; what lies beyond this is not read,
// so a huge or binary file costs a bounded read and parse.
inline constexpr std::size_t kPlEditReadLimit = 256 * 1024;

// What the player's skin lends; each value only when the file gave a readable one.
struct TInheritedLook {
    std::optional<std::uint32_t> NormalColor;       // "Normal", 0x00BBGGRR
    std::optional<std::uint32_t> PlayColor;         // "Current"
    std::optional<std::uint32_t> BackgroundColor;   // "NormalBG"
    std::optional<std::uint32_t> SelectedBarColor;  // "SelectedBG"
    std::optional<std::string> FontFace;            // "Font", never empty
    bool operator==(const TInheritedLook&) const = default;
};

// "#RRGGBB" or "RRGGBB" (blanks and quotes around it ignored) as 0x00BBGGRR;
// nothing for any other text.
std::optional<std::uint32_t> ParsePlEditColour(std::string_view text);

// The "[Text]" section's values, keys without regard to case.
TInheritedLook ReadPlEditText(const TProfileReader& read);

// A skin's VelvetLister.txt wins for what it sets: the matching values go.
// Its select colour means the skin author chose how selected rows look, so the
// bar goes with it.
TInheritedLook WithoutConfigured(TInheritedLook look, const TSkinConfiguration& config);

// The colours of the list: the plug-in's own, or as shown with a look over them.
struct TListColours {
    std::uint32_t Normal = 0;
    std::uint32_t Play = 0;
    std::uint32_t Select = 0;
    std::uint32_t Background = 0;
    std::optional<std::uint32_t> SelectedBar;
};
TListColours ShownColours(const TListColours& own, const TInheritedLook& look);

// How one row is drawn: its title's and its number and length's colour, and the
// bar under a selected row (then the text keeps its unselected colour). A kept
// (unread) entry's normal colour is dimmed half way to the background.
struct TRowColours {
    std::uint32_t Title = 0;
    std::uint32_t Column = 0;
    std::optional<std::uint32_t> Bar;
};
TRowColours RowColours(const TListColours& shown, bool selected, bool playing, bool kept);
