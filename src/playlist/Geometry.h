#pragma once
// Placement rules of the playlist window, free of any window system. (Fitting a
// stored window onto the screen is FitWindowOnScreen in base/Rect.h.)
#include <string>

// Screen-edge snapping of a proposed window position (x, y) for a window of
// cx x cy on a screen of screenWidth x screenHeight: within `snapDistance`
// pixels of an edge the window sticks to it. Left and top are tested first,
// and the right and bottom tests see the position those may have changed.
// A negative distance counts by its absolute value.
void SnapToScreenEdges(int& x, int& y, int cx, int cy, int screenWidth, int screenHeight, int snapDistance);

// Digits of the number column for a list of `count` entries: the decimal digits
// of the count, at most 8 (1 for an empty list).
int NumberColumnDigits(int count);

// The text whose width is the number column's width: that many eights followed
// by ". " ("88. " for 10 to 99 entries).
std::string NumberColumnSample(int count);
