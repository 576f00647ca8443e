#pragma once
// The opaque region of a bitmap built the plain way, as a reference for the fast
// builder: for each row one polygon through the corners of all its runs (the edges
// joining them lie on the row's bottom line and enclose nothing), filled with the
// winding rule and joined to the result by union. Pixels whose 24-bit colour equals
// the top-left pixel's are left out.
#include <windows.h>
#include <vector>

HRGN BuildOpaqueRegionByPolygons(HBITMAP bitmap);

// The bitmap's pixels as top-down 0x00RRGGBB values (the fourth byte as stored).
bool ReadBitmapPixels(HBITMAP bitmap, int& width, int& height, std::vector<unsigned>& pixels);
