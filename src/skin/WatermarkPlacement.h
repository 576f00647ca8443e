#pragma once
// Where the foreground picture of the list background goes: anchored at the
// bottom-right corner of the area; a picture wider or taller than the area loses its
// left or top part.

struct TWatermarkPlacement {
    int DestX = 0, DestY = 0;    // top-left corner in the area
    int Width = 0, Height = 0;   // size of the part shown
    int SourceX = 0, SourceY = 0;  // top-left corner of that part in the picture
    // Where the picture's own origin lands (the offset for its opaque region):
    // (W - fw, H - fh), negative when the picture is cut.
    int OriginX = 0, OriginY = 0;
};

// fw x fh: the picture; areaWidth x areaHeight: the area, whose top-left is (0, 0).
TWatermarkPlacement PlaceWatermark(int fw, int fh, int areaWidth, int areaHeight);
