#include "skin/WatermarkPlacement.h"

namespace {
// One axis: picture extent f in an area of extent a.
void PlaceAxis(int f, int a, int& dest, int& extent, int& source) {
    if (f > a) {
        dest = 0;
        extent = a;
        source = f - a;
    } else {
        dest = a - f;
        extent = f;
        source = 0;
    }
}
}  // namespace

TWatermarkPlacement PlaceWatermark(int fw, int fh, int areaWidth, int areaHeight) {
    if (fw < 0) fw = 0;
    if (fh < 0) fh = 0;
    if (areaWidth < 0) areaWidth = 0;
    if (areaHeight < 0) areaHeight = 0;
    TWatermarkPlacement p;
    PlaceAxis(fw, areaWidth, p.DestX, p.Width, p.SourceX);
    PlaceAxis(fh, areaHeight, p.DestY, p.Height, p.SourceY);
    p.OriginX = areaWidth - fw;
    p.OriginY = areaHeight - fh;
    return p;
}
