#include "PolygonRegion.h"

#include <cstdlib>

bool ReadBitmapPixels(HBITMAP bitmap, int& width, int& height, std::vector<unsigned>& pixels) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info)) return false;
    width = info.bmWidth;
    height = std::abs(info.bmHeight);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } bi{};
    bi.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return lines == height;
}

HRGN BuildOpaqueRegionByPolygons(HBITMAP bitmap) {
    int width = 0, height = 0;
    std::vector<unsigned> px;
    if (!ReadBitmapPixels(bitmap, width, height, px) || width <= 0 || height <= 0) return nullptr;
    const unsigned key = px[0] & 0xFFFFFF;
    std::vector<unsigned char> mask(width + 16, 0);
    std::vector<POINT> points;
    points.reserve(2 * (width + 1));
    HRGN result = nullptr;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) mask[x] = (px[static_cast<size_t>(y) * width + x] & 0xFFFFFF) == key ? 0 : 255;
        points.clear();
        int x = 0;
        while (x < width) {
            if (!mask[x]) {
                ++x;
                continue;
            }
            int e = x;
            while (mask[e]) ++e;
            points.push_back({x, y + 1});
            points.push_back({x, y});
            points.push_back({e, y});
            points.push_back({e, y + 1});
            x = e + 1;
        }
        if (points.empty()) continue;
        HRGN row = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
        if (!result) {
            result = row;
        } else {
            CombineRgn(result, result, row, RGN_OR);
            DeleteObject(row);
        }
    }
    return result;
}
