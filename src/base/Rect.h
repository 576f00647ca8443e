#pragma once
// Plain screen geometry shared by the portable layout code. Edges are in screen
// pixels; Right and Bottom are exclusive, as in a Windows RECT.
#include <cstdint>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// A window's bounds the way the window itself is positioned: origin and size.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

// Pulls a window onto a screen of the given size: the size is cut to the screen,
// a negative origin becomes 0, and a window sticking out to the right or bottom
// is pushed back so its far edge meets the screen's. Safe for any int input.
TBounds FitWindowOnScreen(TBounds bounds, int screenWidth, int screenHeight);
