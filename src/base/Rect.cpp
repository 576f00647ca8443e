#include "base/Rect.h"

#include <algorithm>

TBounds FitWindowOnScreen(TBounds b, int screenWidth, int screenHeight) {
    b.Width = std::min(b.Width, screenWidth);
    b.Height = std::min(b.Height, screenHeight);
    b.Top = std::max(b.Top, 0);
    b.Left = std::max(b.Left, 0);
    // Sums in 64 bits: positions come from settings files and may be anything.
    if (std::int64_t{b.Left} + b.Width > screenWidth)
        b.Left = screenWidth - b.Width;
    if (std::int64_t{b.Top} + b.Height > screenHeight)
        b.Top = screenHeight - b.Height;
    return b;
}
