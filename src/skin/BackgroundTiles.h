#pragma once
// The background picture is enlarged once, when it is loaded, into a block of whole
// copies of itself more than 200 pixels each way, so that painting the list needs few
// block copies: nx = 200 div w further copies across, ny = 200 div h further copies
// down. A picture more than 200 pixels wide (high) is not widened (heightened); one
// of exactly 200 is doubled.
#include "skin/BmpDecode.h"

constexpr int kMinTileBlockSide = 200;

struct TTilePlan {
    int TileWidth = 0, TileHeight = 0;  // the loaded picture
    int CopiesAcross = 0, CopiesDown = 0;  // nx, ny: copies added right of and below it
    int Width = 0, Height = 0;  // the block: (nx + 1) * w by (ny + 1) * h
};

// False for an empty picture (zero or negative width or height) and for a block of
// more than kMaxImagePixels pixels.
bool PlanTileBlock(int width, int height, TTilePlan& plan);

// The block itself: the picture repeated plan.CopiesAcross + 1 times across and
// plan.CopiesDown + 1 times down, starting at the top-left corner.
TPixelImage BuildTileBlock(const TPixelImage& picture, const TTilePlan& plan);
