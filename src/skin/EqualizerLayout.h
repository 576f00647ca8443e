#pragma once
// Where the host's equaliser window goes relative to its main window, worked
// out from the two windows' rectangles alone. The Win32 side gathers the
// rectangles, calls PlanEqualizerRelocation, then applies the z-order steps and
// moves the equaliser and the main window to the planned positions, in that
// order. It also keeps the z-order wish for the window hooks itself.
#include "base/Rect.h"

#include <vector>

// Equaliser placements relative to the host's main window.
enum TEqualizerLayout : int {
    EqualizerLayoutInherit = 0,
    EqualizerLayoutLeft = 1,
    EqualizerLayoutRight = 2,
    EqualizerLayoutAbove = 3,
    EqualizerLayoutBelow = 4,
    EqualizerLayoutOverwrap = 5,
    EqualizerLayoutRelative = 6,
};

// Remembered between calls for the life of the plug-in; starts all zero.
struct TEqualizerPlacementState {
    TRect HomePosition;    // the main window where the user last left it
    TRect LastPlacedRect;  // the main window where the last relocation put it
};

struct TEqualizerRelocationInput {
    int Layout = 0;  // 0 inherit … 6 relative
    int OffsetX = 0;
    int OffsetY = 0;
    int Zorder = 0;  // < 0 equaliser behind the main window, > 0 in front, 0 leave
    bool MainVisible = false;
    TRect Main;
    TRect Equalizer;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
};

enum class TZOrderStep {
    EqualizerBehindMain,  // the equaliser directly behind the main window
    MainBehindEqualizer,  // the main window directly behind the equaliser
};

struct TEqualizerRelocation {
    // Stacking changes, applied in this order before any move.
    std::vector<TZOrderStep> ZOrder;
    // Whether the windows are to be moved (without resizing, activating or
    // restacking): the equaliser first, then the main window.
    bool Move = false;
    int MainLeft = 0;
    int MainTop = 0;
    int EqualizerLeft = 0;
    int EqualizerTop = 0;
};

// How the equaliser sits against the main window now: a layout value 1–5 when
// it touches one side or covers the main window exactly, 0 otherwise.
int EqualizerRelation(const TRect& main, const TRect& equalizer);

// Plans one relocation and updates the remembered state.
TEqualizerRelocation PlanEqualizerRelocation(const TEqualizerRelocationInput& in,
                                             TEqualizerPlacementState& state);
