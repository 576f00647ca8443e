#pragma once
// The list control's properties and the pure rules derived from them: the window
// style bits, the column width and the background rectangle. The bit values are
// the system's own (checked against <windows.h> where the control is built).
#include <cstdint>

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum class TBorderStyle { bsNone, bsSingle };

namespace lbbits {
constexpr std::uint32_t kNotify = 0x0001;
constexpr std::uint32_t kSort = 0x0002;
constexpr std::uint32_t kMultipleSel = 0x0008;
constexpr std::uint32_t kOwnerDrawFixed = 0x0010;
constexpr std::uint32_t kOwnerDrawVariable = 0x0020;
constexpr std::uint32_t kHasStrings = 0x0040;
constexpr std::uint32_t kUseTabStops = 0x0080;
constexpr std::uint32_t kNoIntegralHeight = 0x0100;
constexpr std::uint32_t kMultiColumn = 0x0200;
constexpr std::uint32_t kExtendedSel = 0x0800;
constexpr std::uint32_t kNoData = 0x2000;
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kClipSiblings = 0x04000000;
constexpr std::uint32_t kDisabled = 0x08000000;
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kHScroll = 0x00100000;
constexpr std::uint32_t kVScroll = 0x00200000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kExClientEdge = 0x00000200;
}  // namespace lbbits

struct TListBoxParams {
    TListBoxStyle Style = TListBoxStyle::lbStandard;
    TBorderStyle BorderStyle = TBorderStyle::bsSingle;
    int Columns = 0;
    int TabWidth = 0;
    bool Sorted = false;
    bool MultiSelect = false;
    bool ExtendedSelect = true;
    bool IntegralHeight = false;
    bool TabStop = true;
    bool Enabled = true;
    bool Ctl3D = true;
};

struct TWindowStyle {
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
};

// The style a string-holding list with these properties has. system3D: the
// system offers the three-dimensional control look.
TWindowStyle ListBoxWindowStyle(const TListBoxParams& p, bool system3D = true);

// The style the native window is really created with: the rows live in our
// store, so the native list is an owner-drawn no-data list (fixed-height rows)
// or an owner-drawn list without strings (measured rows); sorting is ours too.
std::uint32_t NativeListStyle(std::uint32_t nominalStyle, TListBoxStyle style);

// Width of one column of a multi-column list; 0 when none is to be set.
int ListColumnWidth(int controlWidth, int columns);

struct TRectI {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TRectI&) const = default;
};

// The rectangle handed to the background painter: the row width (taken from
// row 0's rectangle) by the control height, or by whole rows with integral height.
TRectI EraseRectangle(const TRectI& row0, int controlHeight, int itemHeight, bool borderSingle, bool integralHeight);
